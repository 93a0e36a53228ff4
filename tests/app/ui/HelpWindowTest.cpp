#include "AppFixture.h"

#include "app/ui/Help.h"
#include "app/ui/HelpWindow.h"
#include "app/ui/MainFrame.h"
#include "fixtures/ui/GruppeDlg.h"
#include "masterdata/ui/WettbewerbDlg.h"
#include "widgets/CommandIds.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace torvm {
namespace {

namespace cmd = ui::cmd;

QString readPage(const QString& file)
{
    QFile f(QDir(ui::helpFolder()).filePath(file));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// A link target "page.html#anchor" exists: the page, and the anchor as an id on it.
bool resolves(const QString& target)
{
    const QString page = readPage(target.section(QLatin1Char('#'), 0, 0));
    const QString anchor = target.section(QLatin1Char('#'), 1);
    return !page.isEmpty() && (anchor.isEmpty() || page.contains(QStringLiteral("id=\"%1\"").arg(anchor)));
}

TEST(Help, EveryContentsEntryAndEveryDialogTopicLeadsToItsPlace)
{
    ASSERT_FALSE(ui::helpFolder().isEmpty());
    ui::CHelpWindow window(ui::helpFolder());
    int entries = 0;
    for (QTreeWidgetItemIterator it(window.contents()); *it; ++it, ++entries)
        EXPECT_TRUE(resolves((*it)->data(0, Qt::UserRole).toString())) << (*it)->text(0).toStdString();
    EXPECT_GE(entries, 25);

    const QStringList topics = ui::helpTopics();
    EXPECT_GE(topics.size(), 15);
    for (const QString& topic : topics)
        EXPECT_TRUE(resolves(topic)) << topic.toStdString();
}

// Each command of the menus is explained on the commands page by its menu name.
TEST(Help, TheCommandsPageNamesEveryMenuCommand)
{
    test::AppFixture f;
    ui::CTorvmApp& app = f.start(f.competition(QStringLiteral("liga.mdb")));
    QTextDocument doc;
    doc.setHtml(readPage(QStringLiteral("befehle.html")));
    const QString text = doc.toPlainText();
    QList<QAction*> menus = app.mainFrame()->menuBar()->actions();
    while (!menus.isEmpty()) {
        for (QAction* action : menus.takeFirst()->menu()->actions()) {
            if (action->menu())
                menus << action;
            const int id = action->data().toInt();
            if (action->isSeparator() || action->text().isEmpty() ||
                (id >= cmd::FileMruFirst && id < cmd::FileMruFirst + 4))
                continue;
            QString name = action->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
            name.remove(QRegularExpression(QStringLiteral("\\.\\.\\.$")));
            EXPECT_TRUE(text.contains(name)) << name.toStdString();
        }
    }
}

TEST(Help, SearchFindsThePagesThatHoldEveryWord)
{
    ui::CHelpWindow window(ui::helpFolder());
    const struct {
        const char* words;
        const char* firstPage;
    } cases[] = {
        {"Punktabzug", "ergebnisse.html"},
        {"Teilnehmer übernehmen", "ergebnisse.html"},
        {"Hin- Rückrunde", "saison.html"},
        {"schreibgeschützt", "meldungen.html"},
        {"BSSB Win Original-Nummer", "importe.html"},
    };
    for (const auto& c : cases) {
        const QStringList hits = window.search(QString::fromUtf8(c.words));
        ASSERT_FALSE(hits.isEmpty()) << c.words;
        EXPECT_EQ(hits.constFirst().section(QLatin1Char('|'), 0, 0), QString::fromLatin1(c.firstPage)) << c.words;
    }
    EXPECT_TRUE(window.search(QStringLiteral("Quidditch")).isEmpty());
    EXPECT_TRUE(window.search(QStringLiteral("   ")).isEmpty());

    // Typed into the window, the hits list the pages, and choosing one shows it.
    QTest::keyClicks(window.searchField(), QStringLiteral("Punktabzug"));
    QTest::keyClick(window.searchField(), Qt::Key_Return);
    ASSERT_GE(window.hits()->count(), 1);
    emit window.hits()->itemActivated(window.hits()->item(0));
    EXPECT_TRUE(window.currentPage().toLocalFile().endsWith(QStringLiteral("/ergebnisse.html")));
}

TEST(Help, TheHelpOpensInsideTheProgramWithoutABrowser)
{
    test::AppFixture f;
    ui::CTorvmApp& app = f.start(f.file(QStringLiteral("keine.mdb")));
    const ui::HelpViewer recording = ui::setHelpViewer({});
    app.mainFrame()->action(cmd::HelpFinder)->trigger();
    auto* window = app.mainFrame()->findChild<ui::CHelpWindow*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->currentPage().toLocalFile().endsWith(QStringLiteral("/index.html")));
    EXPECT_TRUE(f.openedHelp.isEmpty());
    window->close();
    ui::setHelpViewer(recording);
}

// F1 in a dialog opens the page about that dialog; the dialog stays open.
TEST(Help, F1InADialogOpensItsTopic)
{
    test::AppFixture f;
    ui::CTorvmApp& app = f.start(f.competition(QStringLiteral("liga.mdb")));
    CTorvmDoc& doc = *app.documents().front();
    const struct {
        std::function<QDialog*()> make;
        const char* page;
    } cases[] = {
        {[&] { return new ui::CWettbewerbDlg(doc, app.mainFrame()); }, "saison.html"},
        {[&] { return new ui::CGruppeDlg(doc, app.mainFrame()); }, "saison.html"},
    };
    for (const auto& c : cases) {
        f.openedHelp.clear();
        std::unique_ptr<QDialog> dialog(c.make());
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        QWidget* focus = dialog->focusWidget() ? dialog->focusWidget() : dialog.get();
        QTest::keyClick(focus, Qt::Key_F1);
        ASSERT_EQ(f.openedHelp.size(), 1) << c.page;
        EXPECT_TRUE(f.openedHelp[0].endsWith(QStringLiteral("/") + QString::fromLatin1(c.page))) << c.page;
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_FALSE(ui::helpTopic(dialog.get()).isEmpty());
        dialog->reject();
    }
}

} // namespace
} // namespace torvm
