#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QObject;
class QWidget;

namespace torvm::ui {

// The help is a set of German HTML pages shipped with the program and shown in its own help
// window.
inline constexpr auto kStrHelpMissing =
    "Onlinehilfe nicht verfügbar, bitte Internet Explorer Version 4 oder höher installieren"; // string 133

// How pages reach the reader. Tests replace it so no window opens.
struct HelpViewer {
    std::function<bool()> available;
    std::function<bool(const QUrl&)> open;
};
// An empty viewer restores the program's help window; returns the previous one.
HelpViewer setHelpViewer(HelpViewer viewer);

// Whether help can be shown at all.
bool helpViewerAvailable();
// The folder that holds the help pages: beside the program in the build tree, or the installed
// data folder. Empty when none is found.
QString helpFolder();
// Opens page (a file name such as "index.html", optionally with "#anchor") of the help; shows a
// message when it cannot.
bool showHelpPage(QWidget* parent, const QString& page);

// The help topic of a window: its page for F1, by the window's class. Empty for none.
QString helpTopic(const QWidget* window);
// Every page that F1 in some dialog leads to.
QStringList helpTopics();
// Makes F1 in any dialog open that dialog's topic (the main window's F1 is its menu command), for
// as long as owner lives.
void installDialogHelp(QObject* owner);

} // namespace torvm::ui
