#include "app/ui/Help.h"

#include "app/ui/HelpWindow.h"
#include "widgets/Prompt.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>

namespace torvm::ui {

namespace {

HelpViewer& installed()
{
    static HelpViewer viewer;
    return viewer;
}

// The page of each dialog, by class; the dialogs themselves know nothing of the help.
const std::pair<const char*, const char*> kTopics[] = {
    {"CTeilnehmerDlg", "saison.html#teilnehmer"},
    {"CTeilnehmerNrDlg", "saison.html#teilnehmer"},
    {"CVereinDlg", "saison.html#vereine"},
    {"CVereinNrDlg", "saison.html#vereine"},
    {"CKlasseDlg", "saison.html#klassen"},
    {"CWettbewerbDlg", "saison.html#titel"},
    {"CRegelnDlg", "saison.html#regeln"},
    {"CPlanAuswahlDlg", "saison.html#plaene"},
    {"CPlanDlg", "saison.html#plaene"},
    {"CSpielplanDlg", "saison.html#generator"},
    {"CGruppeDlg", "saison.html#gruppen"},
    {"CMFuehrerDlg", "saison.html#mannschaftsfuehrer"},
    {"CWettkampfDlg", "ergebnisse.html"},
    {"CPunkteDlg", "ergebnisse.html#punktabzug"},
    {"CErgImportDlg", "importe.html#ergebnisse"},
    {"CVorlageDlg", "importe.html#vorlage"},
    {"CErgebnisVorschauDlg", "importe.html#vorlage"},
    {"CFortschrittDlg", "importe.html#teilnehmer"},
    {"AusgabeSheet", "ausgaben.html"},
    {"CWebDlg", "ausgaben.html#web"},
    {"CWebFertigDlg", "ausgaben.html#web"},
    {"CRestoreDlg", "saison.html#sicherungen"},
    {"CAusstehendDlg", "ergebnisse.html#ausstehend"},
    {"CNeueSaisonDlg", "saison.html#neue-saison"},
    {"CAboutDlg", "index.html"},
};

class DialogHelpFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* window = widget ? widget->window() : nullptr;
        if (!qobject_cast<QDialog*>(window) || window->objectName() == QLatin1String("helpWindow"))
            return false;
        const QString topic = helpTopic(window);
        showHelpPage(window, topic.isEmpty() ? QStringLiteral("index.html") : topic);
        return true;
    }
};

} // namespace

HelpViewer setHelpViewer(HelpViewer viewer)
{
    HelpViewer previous = installed();
    installed() = std::move(viewer);
    return previous;
}

bool helpViewerAvailable()
{
    // The program's own window needs nothing from the desktop.
    return installed().available ? installed().available() : true;
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
    const QString file = folder.isEmpty() ? QString() : QDir(folder).filePath(page.section(QLatin1Char('#'), 0, 0));
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
    QUrl url = QUrl::fromLocalFile(file);
    url.setFragment(page.section(QLatin1Char('#'), 1));
    if (installed().open)
        return installed().open(url);
    // A modal dialog blocks every other window; a help window of its own stays usable beside it.
    QWidget* owner = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : parent;
    static QPointer<CHelpWindow> window;
    if (!window || window->parentWidget() != owner) {
        if (window)
            window->close();
        window = new CHelpWindow(folder, owner);
    }
    window->showPage(page);
    window->show();
    return true;
}

QString helpTopic(const QWidget* window)
{
    if (!window)
        return {};
    const QString name = QString::fromLatin1(window->metaObject()->className()).section(QStringLiteral("::"), -1);
    for (const auto& [dialog, topic] : kTopics) {
        if (name == QLatin1String(dialog))
            return QString::fromLatin1(topic);
    }
    return {};
}

QStringList helpTopics()
{
    QStringList topics;
    for (const auto& [dialog, topic] : kTopics)
        topics << QString::fromLatin1(topic);
    return topics;
}

void installDialogHelp(QObject* owner)
{
    QCoreApplication::instance()->installEventFilter(new DialogHelpFilter(owner));
}
} // namespace torvm::ui
