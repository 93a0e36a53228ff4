// Walks the main paths of the program and reads every text a user can see in each window on the
// way: window captions, labels, buttons, tabs, group titles, list headers, place holders, tool
// tips and the actions of tool bars. None may be English, and no icon-only button may lack its
// tool tip.
#include "AppFixture.h"

#include "app/ui/DialogRegistry.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/MainFrame.h"
#include "db/Settings.h"
#include "exchange/DemoCompetition.h"
#include "widgets/CommandIds.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace torvm {
namespace {

namespace cmd = ui::cmd;

// Words of English user interfaces that German has no use for. Words both languages share
// ("Name", "Plan", "Status", "Export", "Import", "Start", "Text", "Filter", "Version", "Link",
// "Computer", "Detail", "Details", "fit") are not here.
const std::set<QString>& englishWords()
{
    static const std::set<QString> words = [] {
        std::set<QString> set;
        for (const char* w :
             {"the",         "and",         "of",        "to",          "is",         "are",         "can't",
              "cannot",      "could",       "file",      "files",       "open",       "save",        "cancel",
              "close",       "yes",         "no",        "apply",       "help",       "print",       "printer",
              "preview",     "page",        "pages",     "error",       "warning",    "select",      "settings",
              "options",     "browse",      "delete",    "remove",      "add",        "edit",        "back",
              "next",        "previous",    "finish",    "reset",       "default",    "abort",       "retry",
              "ignore",      "directory",   "folder",    "look",        "type",       "size",        "date",
              "modified",    "unknown",     "failed",    "occurred",    "properties", "landscape",   "portrait",
              "copies",      "paper",       "source",    "orientation", "margins",    "zoom",        "width",
              "first",       "last",        "show",      "setup",       "view",       "new",         "create",
              "rename",      "hidden",      "color",     "colour",      "quit",       "exit",        "about",
              "question",    "please",      "enter",     "value",       "number",     "between",     "found",
              "specified",   "path",        "operating", "memory",      "access",     "denied",      "invalid",
              "association", "application", "library",   "sharing",     "violation",  "transaction", "timed",
              "out",         "which",       "this",      "that",        "from",       "into",        "your",
              "you",         "all",         "none",      "selected",    "current",    "document",    "recent",
              "window",      "tile",        "cascade",   "arrange",     "icons",      "toolbar",     "ready",
              "undo",        "redo",        "cut",       "copy",        "paste",      "collate",     "reverse",
              "duplex",      "range",       "selection", "output",      "location",   "comment",     "custom",
              "inches",      "millimeters", "points",    "search",      "contents",   "home",        "forward",
              "drive",       "list",        "go",        "parent",      "sidebar",    "discard",     "single",
              "double",      "facing",      "overview"}) {
            set.insert(QString::fromLatin1(w));
        }
        return set;
    }();
    return words;
}

// Product names and units that are the same in German.
const std::set<QString>& allowed()
{
    static const std::set<QString> words{QStringLiteral("OK"), QStringLiteral("Ok")};
    return words;
}

QStringList englishIn(const QString& text)
{
    QStringList found;
    static const QRegularExpression word(QStringLiteral("[A-Za-zÄÖÜäöüß']+"));
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const QString w = it.next().captured();
        if (!allowed().count(w) && englishWords().count(w.toLower()))
            found << w;
    }
    return found;
}

QString plain(const QString& text)
{
    return Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

// Every text of window a user can read now, with where it was found.
std::vector<std::pair<QString, QString>> visibleTexts(QWidget* window)
{
    std::vector<std::pair<QString, QString>> texts;
    auto add = [&texts](const QString& where, const QString& text) {
        if (!text.isEmpty())
            texts.emplace_back(where, plain(text).remove(QLatin1Char('&')));
    };
    add(QStringLiteral("caption"), window->windowTitle());
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        if (!w->isVisibleTo(window) && w != window)
            continue;
        const QString where = QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName();
        add(where + QStringLiteral(" tip"), w->toolTip());
        if (auto* label = qobject_cast<QLabel*>(w))
            add(where, label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            add(where, button->text());
        if (auto* box = qobject_cast<QGroupBox*>(w))
            add(where, box->title());
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            add(where + QStringLiteral(" placeholder"), edit->placeholderText());
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                add(where + QStringLiteral(" tab"), tabs->tabText(i));
        }
        if (auto* header = qobject_cast<QHeaderView*>(w); header && header->model()) {
            for (int i = 0; i < header->count(); ++i)
                add(where, header->model()->headerData(i, header->orientation()).toString());
        }
        for (QAction* action : w->actions()) {
            add(where + QStringLiteral(" action"), action->text());
            add(where + QStringLiteral(" action tip"), action->toolTip());
        }
    }
    return texts;
}

class Walk {
public:
    // What each kind of window does once it was read: go one step deeper, or close.
    std::map<QString, std::function<void(QWidget&, int visit)>> steps;
    QStringList english;
    QStringList silentButtons;
    QStringList cramped;
    QStringList seen;

    void read(QWidget* window)
    {
        const QString name = QString::fromLatin1(window->metaObject()->className());
        seen << name;
        // Every page of a tabbed window is read, not only the one in front.
        const QList<QTabWidget*> tabs = window->findChildren<QTabWidget*>();
        for (QTabWidget* tab : tabs) {
            for (int i = 0; i < tab->count(); ++i) {
                tab->setCurrentIndex(i);
                collect(name, window);
            }
            tab->setCurrentIndex(0);
        }
        if (tabs.isEmpty())
            collect(name, window);
    }

    // Reads each modal window that opens while action runs, then lets its step act on it.
    void run(const std::function<void()>& action)
    {
        QTimer timer;
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            // Windows that are gone leave the books, so a new one at the same address counts anew.
            std::erase_if(m_visits, [](const auto& entry) { return entry.second.window.isNull(); });
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || m_busy)
                return;
            Visits& book = m_visits[modal];
            book.window = modal;
            const int visit = ++book.count;
            // Read when it opens, and again after a step came back to it.
            if (visit == 1 || book.stepped)
                read(modal);
            const auto step = steps.find(QString::fromLatin1(modal->metaObject()->className()));
            if (step == steps.end()) {
                close(*modal);
                return;
            }
            book.stepped = true;
            m_busy = true;
            // A step may open the next window modally; it runs outside this timer's slot, so the
            // timer keeps firing inside the new window's event loop.
            QTimer::singleShot(0, modal, [this, guard = QPointer<QWidget>(modal), act = step->second, visit] {
                m_busy = false;
                if (guard)
                    act(*guard, visit);
            });
        });
        timer.start();
        action();
        timer.stop();
    }

    static void close(QWidget& window)
    {
        if (auto* dialog = qobject_cast<QDialog*>(&window))
            dialog->reject();
        else
            window.close();
    }

private:
    void collect(const QString& name, QWidget* window)
    {
        for (const auto& [where, text] : visibleTexts(window)) {
            if (const QStringList words = englishIn(text); !words.isEmpty())
                english << QStringLiteral("%1 / %2: \"%3\" (%4)").arg(name, where, text, words.join(QLatin1Char(',')));
        }
        // Nothing sticks out of the window or is squeezed below what it needs; a scroll area's
        // content may, that is what it scrolls for.
        if (window->width() < window->minimumSizeHint().width() ||
            window->height() < window->minimumSizeHint().height())
            cramped << QStringLiteral("%1: %2x%3 below %4x%5")
                           .arg(name)
                           .arg(window->width())
                           .arg(window->height())
                           .arg(window->minimumSizeHint().width())
                           .arg(window->minimumSizeHint().height());
        for (QWidget* w : window->findChildren<QWidget*>()) {
            // The size grip sits in the corner by design.
            if (!w->isVisibleTo(window) || w->isWindow() || insideScrollArea(w, window) || w->inherits("QSizeGrip"))
                continue;
            const QRect at(w->mapTo(window, QPoint(0, 0)), w->size());
            if (!window->rect().contains(at))
                cramped << QStringLiteral("%1 / %2 %3 outside")
                               .arg(name, QString::fromLatin1(w->metaObject()->className()), w->objectName());
        }
        // Every tab is in view at once, none behind scroll arrows.
        for (QTabBar* bar : window->findChildren<QTabBar*>()) {
            if (bar->isVisibleTo(window) && bar->sizeHint().width() > bar->width())
                cramped << QStringLiteral("%1: tabs %2 wide in %3")
                               .arg(name)
                               .arg(bar->sizeHint().width())
                               .arg(bar->width());
        }
        for (auto* button : window->findChildren<QAbstractButton*>()) {
            const QString text = button->text();
            const bool wordless = std::none_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
            // Qt's own windows are Qt's affair; the program's buttons all say what they do.
            if (!name.startsWith(QLatin1String("torvm::")))
                continue;
            if (button->isVisibleTo(window) && wordless && button->toolTip().isEmpty() &&
                !button->inherits("QMdiSubWindow") && button->objectName() != QLatin1String("qt_toolbar_ext_button"))
                silentButtons << QStringLiteral("%1 / %2 %3")
                                     .arg(name, QString::fromLatin1(button->metaObject()->className()),
                                          button->objectName());
        }
    }

    static bool insideScrollArea(const QWidget* w, const QWidget* window)
    {
        for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget()) {
            if (qobject_cast<const QAbstractScrollArea*>(p))
                return true;
        }
        return false;
    }

    struct Visits {
        QPointer<QWidget> window;
        int count = 0;
        bool stepped = false;
    };
    std::map<QWidget*, Visits> m_visits;
    bool m_busy = false;
};

std::function<void(QWidget&, int)> clickFirst(const char* button)
{
    return [button](QWidget& window, int visit) {
        auto* target = window.findChild<QAbstractButton*>(QString::fromLatin1(button));
        if (visit == 1 && target && target->isEnabled())
            target->click();
        else
            Walk::close(window);
    };
}

std::function<void(QWidget&, int)> acceptFirst()
{
    return [](QWidget& window, int visit) {
        if (visit == 1)
            qobject_cast<QDialog*>(&window)->accept();
        else
            Walk::close(window);
    };
}

// Opens every window of the main paths once, on the demo competition, reading each.
void walkMainPaths(Walk& walk)
{
    test::AppFixture f;
    const QString path = f.file(QStringLiteral("demo.mdb"));
    {
        CTorvmDoc maker;
        ASSERT_TRUE(maker.OnNewDocument(path));
        QString error;
        ASSERT_TRUE(fillDemoCompetition(maker, 1, &error)) << error.toStdString();
    }
    writeProfileString(QString::fromLatin1(kMainSection), QString::fromLatin1(kFileNameKey), QString());
    ui::CTorvmApp& app = f.start({});
    ui::registerDialogs(app.commands());
    ui::registerPrinting(app);
    ui::CMainFrame* frame = app.mainFrame();

    // The start page first, then the competition.
    walk.read(frame);
    ASSERT_NE(app.OpenDocumentFile(path), nullptr);
    walk.read(frame);
    for (QMenu* menu : frame->findChildren<QMenu*>())
        walk.read(static_cast<QWidget*>(menu));

    walk.steps[QStringLiteral("torvm::ui::CTeilnehmerNrDlg")] = clickFirst("open");
    walk.steps[QStringLiteral("torvm::ui::CVereinNrDlg")] = clickFirst("ok");
    walk.steps[QStringLiteral("torvm::ui::CPlanAuswahlDlg")] = clickFirst("plan1");
    walk.steps[QStringLiteral("torvm::ui::CPlanDlg")] = clickFirst("generate");
    walk.steps[QStringLiteral("torvm::ui::CWettkampfDlg")] = clickFirst("points");
    walk.steps[QStringLiteral("torvm::ui::CGruppeDlg")] = [](QWidget& window, int visit) {
        auto* captain = window.findChild<QAbstractButton*>(QStringLiteral("mf1"));
        if (visit == 1 && captain)
            captain->click();
        else
            Walk::close(window);
    };
    const int commands[] = {cmd::Teilnehmer,     cmd::Verein,    cmd::Wettbewerb,     cmd::Wertungsregeln,
                            cmd::Klasse,         cmd::Plan,      cmd::Gruppe,         cmd::Ergebnis,
                            cmd::SpeichernUnter, cmd::WebExport, cmd::ErgebnisImport, cmd::FilePrintSetup,
                            cmd::AppAbout};
    for (int id : commands) {
        SCOPED_TRACE(id);
        walk.run([&] { frame->action(id)->trigger(); });
    }
    // Printing and the preview: the output sheet confirmed, then Qt's own windows.
    walk.steps[QStringLiteral("torvm::ui::AusgabeSheet")] = acceptFirst();
    walk.run([&] { frame->action(cmd::FilePrintPreview)->trigger(); });
    walk.run([&] { frame->action(cmd::FilePrint)->trigger(); });

    // The help window and its search.
    f.openedHelp.clear();
    ui::setHelpViewer({});
    frame->action(cmd::HelpFinder)->trigger();
    auto* help = frame->findChild<ui::CHelpWindow*>();
    ASSERT_NE(help, nullptr);
    QTest::keyClicks(help->searchField(), QStringLiteral("Durchgang"));
    QTest::keyClick(help->searchField(), Qt::Key_Return);
    walk.read(help);
    help->close();

    // Qt's standard windows as the program shows them.
    QMessageBox box(QMessageBox::Question, QStringLiteral("Velmarik Wettkampfverwaltung"), QStringLiteral("Frage"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
    box.show();
    walk.read(&box);
    QFileDialog files(frame, QStringLiteral("Öffnen"));
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.show();
    walk.read(&files);
    files.setAcceptMode(QFileDialog::AcceptSave);
    walk.read(&files);
    QPrinter printer;
    QPageSetupDialog pageSetup(&printer, frame);
    pageSetup.show();
    walk.read(&pageSetup);

    for (const char* expected :
         {"CTeilnehmerDlg", "CVereinDlg", "CWettbewerbDlg", "CRegelnDlg", "CKlasseDlg", "CPlanDlg", "CSpielplanDlg",
          "CGruppeDlg", "CWettkampfDlg", "CPunkteDlg", "AusgabeSheet", "CWebDlg", "CErgImportDlg", "QPrintDialog",
          "QPrintPreviewDialog", "CAboutDlg"}) {
        EXPECT_TRUE(std::any_of(walk.seen.begin(), walk.seen.end(),
                                [expected](const QString& s) { return s.endsWith(QString::fromLatin1(expected)); }))
            << "not reached: " << expected;
    }
    f.prompter.messages.clear();
}

TEST(GermanText, EveryWindowOnTheMainPathsSpeaksGerman)
{
    // Qt's German translation is in place (the package qt6-translations-l10n).
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    EXPECT_EQ(QLocale().language(), QLocale::German);
    Walk walk;
    walkMainPaths(walk);
    EXPECT_TRUE(walk.english.isEmpty()) << walk.english.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(walk.silentButtons.isEmpty()) << walk.silentButtons.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(walk.cramped.isEmpty()) << walk.cramped.join(QLatin1Char('\n')).toStdString();
}

// Large text (twice the system font, as a screen at twice the scale reads to the layouts): every
// window still opens large enough for all its fields.
TEST(GermanText, EveryWindowFitsItsFieldsAtTwiceTheFontSize)
{
    const QFont systemFont = QApplication::font();
    QFont large = systemFont;
    large.setPointSizeF(systemFont.pointSizeF() * 2);
    QApplication::setFont(large);
    Walk walk;
    walkMainPaths(walk);
    QApplication::setFont(systemFont);
    EXPECT_TRUE(walk.cramped.isEmpty()) << walk.cramped.join(QLatin1Char('\n')).toStdString();
}

// The detector itself: it must catch what Qt shows untranslated and pass the program's German.
TEST(GermanText, DetectorTellsTheLanguagesApart)
{
    const struct {
        const char* text;
        bool english;
    } cases[] = {
        {"Cancel", true},
        {"Can't open link:", true},
        {"Look in:", true},
        {"Next page", true},
        {"Abbrechen", false},
        {"Web Export", false},
        {"Ergebnisse und Tabellen speichern", false},
        {"Als PDF speichern", false},
        {"OK", false},
        {"Name", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(!englishIn(QString::fromUtf8(c.text)).isEmpty(), c.english) << c.text;
}

} // namespace
} // namespace torvm
