// "Ergebnis Import": the dialog's round and file settings, and the import it starts.
#include "exchange/ui/ErgImportDlg.h"

#include "db/Tables.h"
#include "exchange/JetFile.h"
#include "masterdata/ui/DialogDriver.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>

#include <iostream>

namespace torvm::ui {
namespace {

using test::child;
using test::click;

const QString kSection = QStringLiteral("VMPrintAll");

// One group (ID 0) with teams in slots 1 and 2, two shooters a team, playing plan 0 whose every
// round pairs 1 - 2.
void buildLeague(Database& db)
{
    CGruppeTable group(&db, nullptr);
    ASSERT_TRUE(group.Open());
    group.LoadGroup(0);
    group.m_Name = QStringLiteral("Kreisliga");
    group.m_Anzahl = 2;
    group.m_Plan = 0;
    group.m_Verein[0] = 10;
    group.m_Verein[1] = 20;
    ASSERT_TRUE(group.SaveGroup(0));
    CPlanTable plan(&db, nullptr);
    ASSERT_TRUE(plan.Open());
    for (int round = 0; round < 5; ++round) {
        plan.SelectRound(0, round);
        plan.m_A.fill(0);
        plan.m_B.fill(0);
        plan.m_A[0] = 1;
        plan.m_B[0] = 2;
        ASSERT_TRUE(plan.SaveRound(0, round));
    }
}

class ErgImportDlgTest : public ::testing::Test {
protected:
    test::TempCompetition source;
    test::TempCompetition target;
    test::ScriptedPrompter prompter;

    void SetUp() override
    {
        buildLeague(*source.db());
        buildLeague(*target.db());
        CWettkampfTable results(source.db(), nullptr);
        ASSERT_TRUE(results.Open());
        // Rows 1 and 2 of both teams in rounds 2, 3 and 4 (indexes 1 ... 3).
        for (int round = 1; round <= 3; ++round) {
            for (int slot = 1; slot <= 2; ++slot) {
                for (int row = 1; row <= 2; ++row)
                    ASSERT_TRUE(results.SaveResult(100 * round + 10 * slot + row, 90 + round, 0, round, slot, row));
            }
        }
    }

    std::vector<std::int64_t> targetRounds()
    {
        std::vector<std::int64_t> rounds;
        Statement st = target.db()->prepare(R"(SELECT "ID" / 10000 % 100 FROM "Wettkampf" ORDER BY "ID")");
        while (st.next())
            rounds.push_back(st.int64(0));
        return rounds;
    }

    CProfileTable profile() { return CProfileTable(target.db(), &target.doc()); }
};

TEST_F(ErgImportDlgTest, CancelLeavesTheSettingsAsTheyWere)
{
    struct Case {
        const char* name;
        bool stored; // settings written before
        int round;
        QString path;
    };
    const Case cases[] = {
        {"defaults", false, 0, QStringLiteral("torvm2.mdb")},
        {"stored", true, 4, QStringLiteral("/daten/liga-kopie.mdb")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.stored) {
            ASSERT_TRUE(profile().WriteInt(kSection, QStringLiteral("Durchgang"), c.round));
            ASSERT_TRUE(profile().WriteString(kSection, QStringLiteral("ErgFile"), c.path));
        }
        test::whenShown<CErgImportDlg>([&c](CErgImportDlg& dlg) {
            EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Import Ergebnisse"));
            auto* round = child<QComboBox>(&dlg, "durchgang");
            EXPECT_EQ(round->count(), 20);
            EXPECT_EQ(round->itemText(19), QStringLiteral("20"));
            EXPECT_EQ(round->currentIndex(), c.round);
            EXPECT_EQ(child<QLineEdit>(&dlg, "datei")->text(), c.path);
            round->setCurrentIndex(7);
            child<QLineEdit>(&dlg, "datei")->setText(QStringLiteral("anders.mdb"));
            click(&dlg, "cancel");
        });
        runErgebnisImport(nullptr, target.doc());
        EXPECT_EQ(profile().GetInt(kSection, QStringLiteral("Durchgang"), -1), c.stored ? c.round : -1);
        EXPECT_EQ(profile().GetString(kSection, QStringLiteral("ErgFile"), QStringLiteral("-")),
                  c.stored ? c.path : QStringLiteral("-"));
        EXPECT_TRUE(targetRounds().empty());
        EXPECT_TRUE(prompter.messages.empty());
    }
}

TEST_F(ErgImportDlgTest, OkStoresTheSettingsAndImportsOnlyThatRound)
{
    prompter.files.push_back(source.path());
    test::whenShown<CErgImportDlg>([this](CErgImportDlg& dlg) {
        child<QComboBox>(&dlg, "durchgang")->setCurrentIndex(2);
        click(&dlg, "aendern");
        EXPECT_EQ(child<QLineEdit>(&dlg, "datei")->text(), source.path());
        click(&dlg, "ok");
    });
    runErgebnisImport(nullptr, target.doc());

    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].title, QStringLiteral("Ergebnis-Importdatei"));
    EXPECT_EQ(prompter.fileRequests[0].proposed, QStringLiteral("torvm2.mdb"));
    EXPECT_EQ(prompter.fileRequests[0].defaultSuffix, QStringLiteral("mdb"));
    EXPECT_EQ(profile().GetInt(kSection, QStringLiteral("Durchgang"), -1), 2);
    EXPECT_EQ(profile().GetString(kSection, QStringLiteral("ErgFile"), {}), source.path());
    EXPECT_EQ(targetRounds(), (std::vector<std::int64_t>{2, 2, 2, 2}));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("4 Ergebniszeilen des Durchgangs 3")))
        << prompter.messages[0].text.toStdString();
}

// A source that cannot serve leaves every result as it was and says why; an Access file is read
// through the reading program like any other.
TEST_F(ErgImportDlgTest, UnusableSourceGivesAnErrorMessage)
{
    JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
    const QString nwind = QStringLiteral(TORVM_SHARED_DATA "/jet/nwind.mdb");
    struct Case {
        QString path;
        QString says;
    };
    const QString notes = target.file(QStringLiteral("notiz.mdb"));
    {
        QFile f(notes);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Ergebnisse kommen morgen.\n");
    }
    std::vector<Case> cases = {
        {target.file(QStringLiteral("fehlt.mdb")), QStringLiteral("nicht gefunden")},
        {notes, QStringLiteral("keine Wettkampfdatei")},
    };
    if (QFile::exists(nwind))
        cases.push_back({nwind, QStringLiteral("Die Tabelle Wettkampf fehlt in der Datei")});
    else
        std::cerr << "Access sample " << nwind.toStdString() << " is not there; its case is left out\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        prompter.messages.clear();
        test::whenShown<CErgImportDlg>([&c](CErgImportDlg& dlg) {
            child<QLineEdit>(&dlg, "datei")->setText(c.path);
            click(&dlg, "ok");
        });
        runErgebnisImport(nullptr, target.doc());
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("Fehler: \n")));
        EXPECT_TRUE(prompter.messages[0].text.contains(c.says)) << prompter.messages[0].text.toStdString();
        EXPECT_TRUE(targetRounds().empty());
    }
}

TEST_F(ErgImportDlgTest, CompetitionThatRefusesWritesKeepsItsResults)
{
    ASSERT_TRUE(target.db()->execute("PRAGMA query_only = ON"));
    test::whenShown<CErgImportDlg>([this](CErgImportDlg& dlg) {
        child<QLineEdit>(&dlg, "datei")->setText(source.path());
        child<QComboBox>(&dlg, "durchgang")->setCurrentIndex(1);
        click(&dlg, "ok");
    });
    runErgebnisImport(nullptr, target.doc());
    ASSERT_TRUE(target.db()->execute("PRAGMA query_only = OFF"));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("schreibgeschützt")))
        << prompter.messages[0].text.toStdString();
    EXPECT_TRUE(targetRounds().empty());
}

} // namespace
} // namespace torvm::ui
