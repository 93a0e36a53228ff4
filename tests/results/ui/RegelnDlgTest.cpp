#include "results/ui/RegelnDlg.h"
#include "masterdata/ui/DialogDriver.h"
#include "results/CompetitionRules.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
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

// One after the other on the same file, with team A's first shooter holding result before each
// case: switching tenths converts results and the highest single result, or is refused and
// changes nothing.
TEST_F(RegelnDlgTest, RulesAreCheckedAndStoredTogether)
{
    const struct {
        int result;
        const char* choices; // Zehntelwertung|highest (empty: as the dialog converted it)|criteria 1 ... 3|Ersatz
        const char* refusal; // part of the message; nullptr: stored, a gap in the chain closed
        bool tenths;
        const char* chain;
        int highest;
        int resultAfter;
    } cases[] = {
        {381, "0|400|Ringe|Ringe|(keines)|0", "Das Kriterium \"Ringe\" ist mehrfach gewählt.", false, "ringe", 400,
         381},
        {381, "0|400|Ringe|(keines)|(keines)|100", "Zahl zwischen 0 und 99 ein.", false, "ringe", 400, 381},
        {381, "1|327,05|Ringe|(keines)|(keines)|0", "Ringzahl zwischen 0,0 und 1000,0", false, "ringe", 400, 381},
        {381, "1||Direkter Vergleich|Ringe|(keines)|3", nullptr, true, "direkt,ringe", 4000, 3810},
        {973, "0||Ringe|(keines)|(keines)|0", "(z. B. 97,3)", true, "direkt,ringe", 4000, 973},
        {970, "0||Bestes Mannschaftsergebnis|(keines)|Direkter Vergleich Ringe|1", nullptr, false,
         "bestes,direkt-ringe", 400, 97},
    };
    ASSERT_TRUE(comp.db()->execute("INSERT INTO Wettkampf (ID, TNr, Durchgang, Ergebnis) VALUES (101, 1, 0, 0)"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choices);
        ASSERT_TRUE(comp.db()->execute(QStringLiteral("UPDATE Wettkampf SET Ergebnis = %1").arg(c.result).toUtf8()));
        const QStringList choice = QString::fromUtf8(c.choices).split(u'|');
        prompter.messages.clear();
        CRegelnDlg dlg(comp.doc());
        child<QCheckBox>(&dlg, "zehntel")->setChecked(choice[0] == u'1');
        if (!choice[1].isEmpty())
            child<QLineEdit>(&dlg, "highest")->setText(choice[1]);
        for (int i = 1; i <= 3; ++i) {
            auto* box = child<QComboBox>(&dlg, QStringLiteral("tieBreak%1").arg(i).toLatin1());
            box->setCurrentIndex(box->findText(choice[i + 1]));
        }
        child<QLineEdit>(&dlg, "ersatz")->setText(choice[5]);
        click(&dlg, "ok");
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.refusal == nullptr);
        ASSERT_EQ(prompter.messages.size(), c.refusal ? 1u : 0u);
        if (c.refusal) {
            EXPECT_TRUE(prompter.texts().front().contains(QString::fromUtf8(c.refusal)))
                << prompter.texts().front().toStdString();
        }
        const CompetitionRules stored = competitionRules(comp.db(), &comp.doc());
        EXPECT_EQ(stored.tenths, c.tenths);
        EXPECT_EQ(tieBreakKeywords(stored.tieBreaks), QString::fromLatin1(c.chain));
        EXPECT_EQ(highestSingleResult(comp.db(), &comp.doc()), c.highest);
        Statement result = comp.db()->prepare("SELECT Ergebnis FROM Wettkampf WHERE ID = 101");
        EXPECT_TRUE(result.next() && result.int64(0) == c.resultAfter);
    }
    EXPECT_EQ(competitionRules(comp.db(), &comp.doc()).substituteLimit, 1);
    // Under each choice the sentence saying what it does; with tenths the usual highest values.
    CRegelnDlg dlg(comp.doc());
    child<QComboBox>(&dlg, "tieBreak3")->setCurrentIndex(0);
    EXPECT_EQ(child<QLabel>(&dlg, "tieBreakText1")->text(), tieBreakSentence(TieBreak::BestTeam));
    EXPECT_EQ(child<QLabel>(&dlg, "tieBreakText3")->text(),
              QStringLiteral("Sind die Mannschaften auch darin gleich, teilen sie sich den Platz."));
    child<QCheckBox>(&dlg, "zehntel")->setChecked(true);
    EXPECT_EQ(child<QComboBox>(&dlg, "highestBox")->itemText(1), QStringLiteral("436,0"));
}

} // namespace
} // namespace torvm::ui
