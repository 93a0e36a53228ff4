#include "app/ui/Help.h"

#include "widgets/Prompt.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace torvm::ui {

namespace {

HelpViewer& installed()
{
    static HelpViewer viewer;
    return viewer;
}

bool desktopCanShowHtml()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return true;
#else
    // Qt hands URLs to xdg-open or the desktop's own opener; $BROWSER names one explicitly.
    if (!qEnvironmentVariableIsEmpty("BROWSER"))
        return true;
    for (const char* opener : {"xdg-open", "gio", "kde-open5", "kde-open", "gnome-open", "x-www-browser",
                               "sensible-browser", "firefox", "chromium"}) {
        if (!QStandardPaths::findExecutable(QString::fromLatin1(opener)).isEmpty())
            return true;
    }
    return false;
#endif
}

} // namespace

HelpViewer setHelpViewer(HelpViewer viewer)
{
    HelpViewer previous = installed();
    installed() = std::move(viewer);
    return previous;
}

bool helpViewerAvailable()
{
    return installed().available ? installed().available() : desktopCanShowHtml();
}

QString helpFolder()
{
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QDir appDir(QCoreApplication::applicationDirPath());
        // Installed: share/torvm/help beside bin; build tree: bin/help, also seen from the test programs.
        candidates << appDir.filePath(QStringLiteral("help")) << appDir.filePath(QStringLiteral("../share/torvm/help"))
                   << appDir.filePath(QStringLiteral("../bin/help"));
    }
    candidates << QDir(QStringLiteral(TORVM_DATADIR)).filePath(QStringLiteral("help"));
    for (const QString& candidate : candidates) {
        if (QFileInfo(QDir(candidate).filePath(QStringLiteral("index.html"))).isFile())
            return QDir(candidate).absolutePath();
    }
    return {};
}

bool showHelpPage(QWidget* parent, const QString& page)
{
    const QString folder = helpFolder();
    const QString file = folder.isEmpty() ? QString() : QDir(folder).filePath(page);
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        message(parent, MessageIcon::Exclamation,
                QStringLiteral("Die Hilfeseite %1 wurde nicht gefunden. Bitte installieren Sie das Programm neu.")
                    .arg(page));
        return false;
    }
    if (!helpViewerAvailable()) {
        message(parent, MessageIcon::None, QString::fromUtf8(kStrHelpMissing));
        return false;
    }
    const QUrl url = QUrl::fromLocalFile(file);
    const bool opened = installed().open ? installed().open(url) : QDesktopServices::openUrl(url);
    if (!opened) {
        message(parent, MessageIcon::Exclamation,
                QStringLiteral("Die Hilfeseite %1 konnte nicht im Browser geöffnet werden.")
                    .arg(QDir::toNativeSeparators(file)));
    }
    return opened;
}

} // namespace torvm::ui
