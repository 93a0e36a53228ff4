#include "results/ui/RegelnDlg.h"
#include "masterdata/ui/DialogDriver.h"
#include "results/CompetitionRules.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QLineEdit>

namespace torvm::ui {
namespace {

using test::child;
using test::click;

class RegelnDlgTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::ScriptedPrompter prompter;
};

TEST_F(RegelnDlgTest, HighestSingleResultIsShownCheckedAndStored)
{
    struct Case {
        const char* typed;
        bool accepted;
        int stored;
    };
    for (const Case& c :
         {Case{"10001", false, 400}, Case{"abc", false, 400}, Case{"0", true, 0}, Case{"300", true, 300}}) {
        SCOPED_TRACE(c.typed);
        prompter.messages.clear();
        CRegelnDlg dlg(comp.doc());
        auto* highest = child<QLineEdit>(&dlg, "highest");
        highest->setText(QString::fromLatin1(c.typed));
        click(&dlg, "ok");
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.accepted);
        EXPECT_EQ(prompter.messages.empty(), c.accepted);
        EXPECT_EQ(highestSingleResult(comp.db(), &comp.doc()), c.stored);
    }
    CRegelnDlg dlg(comp.doc());
    EXPECT_EQ(child<QLineEdit>(&dlg, "highest")->text(), QStringLiteral("300"));
}

} // namespace
} // namespace torvm::ui
