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
        bool tenths;
        const char* highest;
        std::array<const char*, 3> tieBreaks;
        const char* substitutes;
        const char* refusal; // nullptr: stored
        const char* chain;
        int highestStored;
    };
    const Case cases[] = {
        {false, "400", {"Ringe", "Ringe", "(keines)"}, "0", "Das Kriterium \"Ringe\" ist mehrfach gewählt.", "", 0},
        {false,
         "400",
         {"Ringe", "(keines)", "(keines)"},
         "100",
         "Geben Sie bitte eine ganze Zahl zwischen 0 und 99 ein.",
         "",
         0},
        {true,
         "327,05",
         {"Ringe", "(keines)", "(keines)"},
         "0",
         "Geben Sie bitte eine Ringzahl zwischen 0,0 und 1000,0 mit höchstens einer Nachkommastelle ein, zum Beispiel "
         "97,3.",
         "",
         0},
        {true, "327,0", {"Direkter Vergleich", "Ringe", "(keines)"}, "3", nullptr, "direkt,ringe", 3270},
        // A gap in the chain closes up.
        {false,
         "400",
         {"Bestes Mannschaftsergebnis", "(keines)", "Direkter Vergleich Ringe"},
         "1",
         nullptr,
         "bestes,direkt-ringe",
         400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.highest);
        prompter.messages.clear();
        const CompetitionRules before = competitionRules(comp.db(), &comp.doc());
        CRegelnDlg dlg(comp.doc());
        child<QCheckBox>(&dlg, "zehntel")->setChecked(c.tenths);
        child<QLineEdit>(&dlg, "highest")->setText(QString::fromUtf8(c.highest));
        for (int i = 0; i < 3; ++i) {
            auto* box = child<QComboBox>(&dlg, QStringLiteral("tieBreak%1").arg(i + 1).toLatin1());
            box->setCurrentIndex(box->findText(QString::fromUtf8(c.tieBreaks[i])));
        }
        child<QLineEdit>(&dlg, "ersatz")->setText(QString::fromLatin1(c.substitutes));
        // Under each choice the sentence saying what it does.
        EXPECT_EQ(child<QLabel>(&dlg, "tieBreakText1")->text(),
                  tieBreakSentence(
                      tieBreakFromKeyword(QString::fromLatin1(c.chain).section(u',', 0, 0)).value_or(TieBreak::Rings)));
        click(&dlg, "ok");
        const CompetitionRules after = competitionRules(comp.db(), &comp.doc());
        if (c.refusal) {
            EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(c.refusal)});
            EXPECT_NE(dlg.result(), QDialog::Accepted);
            EXPECT_EQ(after, before);
            continue;
        }
        EXPECT_TRUE(prompter.messages.empty());
        EXPECT_EQ(after.tenths, c.tenths);
        EXPECT_EQ(tieBreakKeywords(after.tieBreaks), QString::fromLatin1(c.chain));
        EXPECT_EQ(after.substituteLimit, QString::fromLatin1(c.substitutes).toInt());
        EXPECT_EQ(highestSingleResult(comp.db(), &comp.doc()), c.highestStored);
    }
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
        auto* tenths = child<QCheckBox>(&dlg, "zehntel");
        tenths->setChecked(!from);
        EXPECT_EQ(child<QLineEdit>(&dlg, "highest")->text(), QString::fromLatin1(c.highestShown));
        auto* offered = child<QComboBox>(&dlg, "highestBox");
        EXPECT_EQ(offered->itemText(0), from ? QStringLiteral("300") : QStringLiteral("327,0"));
        click(&dlg, "ok");
        EXPECT_EQ(dlg.result() == QDialog::Accepted, c.accepted);
        EXPECT_EQ(prompter.messages.size(), c.accepted ? 0u : 1u);
        if (!c.accepted) {
            EXPECT_TRUE(prompter.texts().front().contains(QStringLiteral("97,3")));
        }
        Statement stored = comp.db()->prepare("SELECT Ergebnis FROM Wettkampf WHERE ID = 101");
        ASSERT_TRUE(stored.next());
        EXPECT_EQ(stored.int64(0), c.after);
        EXPECT_EQ(competitionRules(comp.db(), &comp.doc()).tenths, c.accepted ? !from : from);
        EXPECT_EQ(highestSingleResult(comp.db(), &comp.doc()), c.highestStored);
    }
}

} // namespace
} // namespace torvm::ui
