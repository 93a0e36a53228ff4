#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace torvm::ui {

// The help is a set of German HTML pages shipped with the program and shown in the desktop's
// web browser.
inline constexpr auto kStrHelpMissing =
    "Onlinehilfe nicht verfügbar, bitte Internet Explorer Version 4 oder höher installieren"; // string 133

// How pages reach a browser. Tests replace it so no browser starts.
struct HelpViewer {
    std::function<bool()> available;
    std::function<bool(const QUrl&)> open;
};
// An empty viewer restores the desktop's; returns the previous one.
HelpViewer setHelpViewer(HelpViewer viewer);

// Whether this desktop can show HTML pages at all.
bool helpViewerAvailable();
// The folder that holds the help pages: beside the program in the build tree, or the installed
// data folder. Empty when none is found.
QString helpFolder();
// Opens page (a file name such as "index.html") of the help; shows a message when it cannot.
bool showHelpPage(QWidget* parent, const QString& page);

} // namespace torvm::ui
