#include "masterdata/ui/WettbewerbDlg.h"
#include "app/ui/DialogRegistry.h"
#include "app/ui/DocumentCommands.h"
#include "db/Recordsets.h"
#include "masterdata/ui/DialogDriver.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"
#include "widgets/CommandIds.h"

#include <QLineEdit>
#include <QSignalSpy>

namespace torvm::ui {
namespace {

using test::child;
using test::click;

class WettbewerbDlgTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::ScriptedPrompter prompter;
    DocumentCommands commands{[](CTorvmDoc&) {}};

    void SetUp() override { registerDialogs(commands); }

    QString storedTitle() { return CRSWettbewerb(comp.db(), &comp.doc()).GetTitle(); }
    std::int64_t titleRows()
    {
        Statement st = comp.db()->prepare("SELECT COUNT(*) FROM Wettbewerb WHERE ID = 1");
        EXPECT_TRUE(st.next());
        return st.int64(0);
    }
};

TEST_F(WettbewerbDlgTest, OkCreatesTheTitleRowAndEveryViewShowsTheNewTitle)
{
    ASSERT_EQ(titleRows(), 0);
    QSignalSpy views(&comp.doc(), &CTorvmDoc::titleChanged);
    test::whenShown<CWettbewerbDlg>([](CWettbewerbDlg& dlg) {
        QLineEdit* title = child<QLineEdit>(&dlg, "title");
        EXPECT_EQ(title->text(), QString());
        QTest::keyClicks(title, QStringLiteral("Rundenwettkampf 2024"));
        click(&dlg, "ok");
    });
    ASSERT_TRUE(commands.execute(cmd::Wettbewerb, comp.doc(), nullptr));
    EXPECT_EQ(titleRows(), 1);
    EXPECT_EQ(storedTitle(), QStringLiteral("Rundenwettkampf 2024"));
    EXPECT_EQ(comp.doc().title(), QStringLiteral("Rundenwettkampf 2024"));
    ASSERT_EQ(views.count(), 1);
    EXPECT_EQ(views.at(0).at(0).toString(), QStringLiteral("Rundenwettkampf 2024"));

    // An emptied title is stored empty and shown empty.
    test::whenShown<CWettbewerbDlg>([](CWettbewerbDlg& dlg) {
        QLineEdit* title = child<QLineEdit>(&dlg, "title");
        EXPECT_EQ(title->text(), QStringLiteral("Rundenwettkampf 2024"));
        title->clear();
        click(&dlg, "ok");
    });
    ASSERT_TRUE(commands.execute(cmd::Wettbewerb, comp.doc(), nullptr));
    EXPECT_EQ(storedTitle(), QString());
    EXPECT_EQ(comp.doc().title(), QString());
}

TEST_F(WettbewerbDlgTest, CancelStoresNothingYetTheViewsShowTheStoredTitle)
{
    CRSWettbewerb(comp.db(), &comp.doc()).SetTitle(QStringLiteral("Gauliga"));
    ASSERT_NE(comp.doc().title(), QStringLiteral("Gauliga")); // written behind the document's back
    test::whenShown<CWettbewerbDlg>([](CWettbewerbDlg& dlg) {
        QLineEdit* title = child<QLineEdit>(&dlg, "title");
        EXPECT_EQ(title->text(), QStringLiteral("Gauliga"));
        QTest::keyClicks(title, QStringLiteral(" Nord"));
        click(&dlg, "cancel");
    });
    ASSERT_TRUE(commands.execute(cmd::Wettbewerb, comp.doc(), nullptr));
    EXPECT_EQ(storedTitle(), QStringLiteral("Gauliga"));
    EXPECT_EQ(comp.doc().title(), QStringLiteral("Gauliga"));
}

TEST_F(WettbewerbDlgTest, EntryDialogsArePluggedIntoTheirCommands)
{
    for (int id : {cmd::Wettbewerb, cmd::Gruppe, cmd::Ergebnis})
        EXPECT_TRUE(commands.isAvailable(id)) << id;
}

} // namespace
} // namespace torvm::ui
