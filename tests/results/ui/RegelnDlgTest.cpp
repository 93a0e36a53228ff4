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

TEST_F(RegelnDlgTest, RulesAreCheckedAndStoredTogether)
{
    struct Case {
        const char* choices; // Zehntelwertung|highest|criteria 1 ... 3|Ersatzeinsätze
        const char* refusal; // nullptr: stored, a gap in the chain closed
        const char* chain;
        int highest;
    };
    const Case cases[] = {
        {"0|400|Ringe|Ringe|(keines)|0", "Das Kriterium \"Ringe\" ist mehrfach gewählt.", "", 0},
        {"0|400|Ringe|(keines)|(keines)|100", "Geben Sie bitte eine ganze Zahl zwischen 0 und 99 ein.", "", 0},
        {"1|327,05|Ringe|(keines)|(keines)|0",
         "Geben Sie bitte eine Ringzahl zwischen 0,0 und 1000,0 mit höchstens "
         "einer Nachkommastelle ein, zum Beispiel 97,3.",
         "", 0},
        {"1|327,0|Direkter Vergleich|Ringe|(keines)|3", nullptr, "direkt,ringe", 3270},
        {"0|400|Bestes Mannschaftsergebnis|(keines)|Direkter Vergleich Ringe|1", nullptr, "bestes,direkt-ringe", 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choices);
        const QStringList choice = QString::fromUtf8(c.choices).split(u'|');
        prompter.messages.clear();
        const CompetitionRules before = competitionRules(comp.db(), &comp.doc());
        CRegelnDlg dlg(comp.doc());
        child<QCheckBox>(&dlg, "zehntel")->setChecked(choice[0] == u'1');
        child<QLineEdit>(&dlg, "highest")->setText(choice[1]);
        for (int i = 1; i <= 3; ++i) {
            auto* box = child<QComboBox>(&dlg, QStringLiteral("tieBreak%1").arg(i).toLatin1());
            box->setCurrentIndex(box->findText(choice[i + 1]));
        }
        child<QLineEdit>(&dlg, "ersatz")->setText(choice[5]);
        click(&dlg, "ok");
        const CompetitionRules after = competitionRules(comp.db(), &comp.doc());
        EXPECT_EQ(prompter.texts(), c.refusal ? QStringList{QString::fromUtf8(c.refusal)} : QStringList{});
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.refusal == nullptr);
        if (c.refusal) {
            EXPECT_EQ(after, before);
            continue;
        }
        EXPECT_EQ(after.tenths, choice[0] == u'1');
        EXPECT_EQ(tieBreakKeywords(after.tieBreaks), QString::fromLatin1(c.chain));
        EXPECT_EQ(after.substituteLimit, choice[5].toInt());
        EXPECT_EQ(highestSingleResult(comp.db(), &comp.doc()), c.highest);
    }
    // Under each choice the sentence saying what it does.
    CRegelnDlg dlg(comp.doc());
    child<QComboBox>(&dlg, "tieBreak3")->setCurrentIndex(0);
    EXPECT_EQ(child<QLabel>(&dlg, "tieBreakText1")->text(), tieBreakSentence(TieBreak::BestTeam));
    EXPECT_EQ(child<QLabel>(&dlg, "tieBreakText3")->text(),
              QStringLiteral("Sind die Mannschaften auch darin gleich, teilen sie sich den Platz."));
}

// Results and the highest single result change their unit with the rule; a result with a tenth
// keeps the rule on and the file as it was.
TEST_F(RegelnDlgTest, SwitchingTenthsConvertsStoredResultsOrIsRefused)
{
    struct Case {
        std::int64_t result;
        bool accepted;
        std::int64_t after;
        const char* highestShown; // after the switch in the dialog
        int highestStored;
    };
    ASSERT_TRUE(comp.db()->execute("INSERT INTO Wettkampf (ID, TNr, Durchgang, Ergebnis) VALUES (101, 1, 0, 0)"));
    for (const Case& c :
         {Case{381, true, 3810, "400,0", 4000}, Case{973, false, 973, "400", 4000}, Case{970, true, 97, "400", 400}}) {
        SCOPED_TRACE(c.result);
        prompter.messages.clear();
        ASSERT_TRUE(comp.db()->execute(QStringLiteral("UPDATE Wettkampf SET Ergebnis = %1").arg(c.result).toUtf8()));
        const bool from = competitionRules(comp.db(), &comp.doc()).tenths;
        CRegelnDlg dlg(comp.doc());
        child<QCheckBox>(&dlg, "zehntel")->setChecked(!from);
        EXPECT_EQ(child<QLineEdit>(&dlg, "highest")->text(), QString::fromLatin1(c.highestShown));
        EXPECT_EQ(child<QComboBox>(&dlg, "highestBox")->itemText(0), QLatin1String(from ? "300" : "327,0"));
        click(&dlg, "ok");
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.accepted);
        // The refusal names a result that has a tenth.
        EXPECT_EQ(prompter.texts().join(u'|').contains(QStringLiteral("97,3")), !c.accepted);
        Statement stored = comp.db()->prepare("SELECT Ergebnis FROM Wettkampf WHERE ID = 101");
        EXPECT_TRUE(stored.next() && stored.int64(0) == c.after);
        EXPECT_EQ(competitionRules(comp.db(), &comp.doc()).tenths, c.accepted ? !from : from);
        EXPECT_EQ(highestSingleResult(comp.db(), &comp.doc()), c.highestStored);
    }
}

} // namespace
} // namespace torvm::ui
