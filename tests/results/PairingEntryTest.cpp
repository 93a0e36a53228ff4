#include "results/PairingEntry.h"
#include "db/CompetitionFile.h"
#include "support/Fixtures.h"

#include <QRegularExpression>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <tuple>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace torvm {
namespace {

class PairingEntryTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    Database& db() { return *comp.db(); }

    void exec(const char* sql) { ASSERT_TRUE(db().execute(sql)) << db().lastError().text.toStdString(); }
    std::int64_t scalar(const char* sql)
    {
        Statement st = db().prepare(sql);
        EXPECT_TRUE(st.next()) << sql;
        return st.int64(0);
    }

    // Group 0 "Kreisliga" with 4 shooters per team on plan 1; round 0 pairs 1-2 and 3-4, round 1
    // pairs 2-3 and 4-1; position 3 of round 0 names slot 5 against nobody.
    void SetUp() override
    {
        exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Nord'), (11, 'SG Süd'), (12, 'BSV West'), "
             "(13, 'KK Ost'), (14, 'SC Mitte')");
        exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01, Verein02, VNr02, Verein03, VNr03, "
             "Verein04, VNr04, Verein05, VNr05) VALUES (0, 'Kreisliga', 4, 1, 10, '1', 11, '1', 12, '2', 13, '1', "
             "14, '1')");
        exec("INSERT INTO Plan (PlanID, Name, A1, B1, A2, B2, A3, B3) VALUES (20, 'P', 1, 2, 3, 4, 5, 0), "
             "(21, 'P', 2, 3, 4, 1, 0, 0)");
        exec("INSERT INTO Teilnehmer (Paßnummer, Name, Vorname) VALUES (101, 'Huber', 'Anna'), "
             "(102, 'Maier', 'Sepp'), (201, 'O''Neill', 'Kim')");
    }
};

TEST_F(PairingEntryTest, SaveWritesTheTeamSizeRowsAndTheSummaryRowPerTeam)
{
    PairingEntry entry(&db(), &comp.doc());
    ASSERT_TRUE(entry.open());
    entry.load(0, 0, 0);
    EXPECT_EQ(entry.teamSize(), 4);
    EXPECT_EQ(entry.groupName(), QStringLiteral("Kreisliga"));
    ASSERT_EQ(entry.side(0).slot, 1);
    ASSERT_EQ(entry.side(1).slot, 2);
    EXPECT_EQ(entry.side(0).team, QStringLiteral("SV Nord 1"));
    EXPECT_EQ(entry.side(1).team, QStringLiteral("SG Süd 1"));

    PairingSide& a = entry.side(0);
    PairingSide& b = entry.side(1);
    a.participant = {101, 102, 0, 0};
    a.rings = {381, 377, 0, 0};
    b.participant = {201, 0, 0, 0};
    b.rings = {390, 0, 0, 0};
    // Values beyond the team size are not part of the pairing and are not stored.
    a.participant[6] = 999;
    a.rings[6] = 100;
    b.adjustment = -1;
    b.reason = QStringLiteral("verspäteter Beginn");
    ASSERT_TRUE(entry.save());

    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf"), 10);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf WHERE ID BETWEEN 101 AND 120"), 4);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf WHERE ID BETWEEN 201 AND 220"), 4);
    EXPECT_EQ(scalar("SELECT Ergebnis FROM Wettkampf WHERE ID = 102"), 377);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf WHERE ID = 107"), 0);
    EXPECT_EQ(scalar("SELECT Punkte FROM Wettkampf WHERE ID = 299"), -1);
    EXPECT_EQ(scalar("SELECT Durchgang FROM Wettkampf WHERE ID = 299"), 0);

    PairingEntry again(&db(), &comp.doc());
    ASSERT_TRUE(again.open());
    again.load(0, 0, 0);
    EXPECT_EQ(again.side(0).total(), 758);
    EXPECT_EQ(again.side(1).total(), 390);
    EXPECT_EQ(again.side(1).adjustment, -1);
    EXPECT_EQ(again.side(1).reason, QStringLiteral("verspäteter Beginn"));
    EXPECT_EQ(again.side(0).participant[6], 0);
    EXPECT_EQ(again.participantName(201), QStringLiteral("O'Neill Kim"));
    EXPECT_EQ(again.participantName(0), QString());
    EXPECT_EQ(again.participantName(555), QString());
}

TEST_F(PairingEntryTest, PairingWithoutTeamOnOneSideStoresNothingUnderSlotZero)
{
    PairingEntry entry(&db(), &comp.doc());
    ASSERT_TRUE(entry.open());
    entry.load(0, 0, 2);
    EXPECT_EQ(entry.side(0).slot, 5);
    EXPECT_FALSE(entry.side(1).hasTeam());
    EXPECT_TRUE(entry.side(1).team.isEmpty());
    entry.side(0).rings[0] = 300;
    entry.side(1).rings[0] = 200;
    entry.side(1).participant[0] = 101;
    ASSERT_TRUE(entry.save());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf WHERE ID % 10000 < 100"), 0);
    EXPECT_EQ(scalar("SELECT Ergebnis FROM Wettkampf WHERE ID = 501"), 300);

    // A position that names no slot at all on either side stores nothing.
    PairingEntry empty(&db(), &comp.doc());
    ASSERT_TRUE(empty.open());
    empty.load(0, 0, 7);
    EXPECT_FALSE(empty.side(0).hasTeam());
    EXPECT_FALSE(empty.side(1).hasTeam());
    const std::int64_t before = scalar("SELECT COUNT(*) FROM Wettkampf");
    ASSERT_TRUE(empty.save());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf"), before);
}

TEST_F(PairingEntryTest, TakeOverParticipantsCopiesEachTeamsOwnPreviousLineUp)
{
    PairingEntry entry(&db(), &comp.doc());
    ASSERT_TRUE(entry.open());
    // Round 1: slot 2 and slot 3 shot against 1 and 4 respectively.
    entry.load(0, 0, 0);
    entry.side(1).participant = {201, 202, 203, 204};
    entry.side(1).rings = {300, 301, 302, 303};
    ASSERT_TRUE(entry.save());
    entry.load(0, 0, 1);
    entry.side(0).participant = {301, 302, 303, 304};
    entry.side(0).rings = {290, 291, 292, 293};
    ASSERT_TRUE(entry.save());

    // In the first round there is nothing to take over.
    entry.load(0, 0, 0);
    entry.takeOverParticipants();
    EXPECT_EQ(entry.side(1).participant[0], 201);
    EXPECT_EQ(entry.side(1).rings[0], 300);

    // Round 2 pairs 2 against 3.
    entry.load(0, 1, 0);
    ASSERT_EQ(entry.side(0).slot, 2);
    ASSERT_EQ(entry.side(1).slot, 3);
    entry.side(0).rings[0] = 55;
    entry.takeOverParticipants();
    EXPECT_EQ(entry.side(0).participant, (std::array<std::int32_t, 20>{201, 202, 203, 204}));
    EXPECT_EQ(entry.side(1).participant, (std::array<std::int32_t, 20>{301, 302, 303, 304}));
    EXPECT_EQ(entry.side(0).total(), 0);
    EXPECT_EQ(entry.side(1).total(), 0);
    // Nothing is stored until the next save.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf WHERE Durchgang = 1"), 0);
}

// Lowering the team size hides rows; browsing past the pairing must not wipe them, and raising
// the size again shows them.
TEST_F(PairingEntryTest, RowsAboveTheTeamSizeAreNeitherReadNorWritten)
{
    exec("INSERT INTO Wettkampf (ID, TNr, Durchgang, Ergebnis) VALUES (105, 9, 0, 99)");
    PairingEntry entry(&db(), &comp.doc());
    ASSERT_TRUE(entry.open());
    entry.load(0, 0, 0);
    EXPECT_EQ(entry.side(0).participant[4], 0);
    EXPECT_EQ(entry.side(0).total(), 0);
    entry.side(0).rings[0] = 10;
    ASSERT_TRUE(entry.save());
    EXPECT_EQ(scalar("SELECT TNr + Ergebnis FROM Wettkampf WHERE ID = 105"), 108);

    exec("UPDATE Gruppe SET Anzahl = 5 WHERE ID = 0");
    entry.load(0, 0, 0);
    EXPECT_EQ(entry.side(0).participant[4], 9);
    EXPECT_EQ(entry.side(0).rings[4], 99);
}

TEST_F(PairingEntryTest, APlanRoundNamingATeamTwiceIsAConflictAndSavesNothing)
{
    exec("UPDATE Plan SET A2 = 2, B2 = 4 WHERE PlanID = 20"); // slot 2 in pairings 1 and 2
    PairingEntry entry(&db(), &comp.doc());
    ASSERT_TRUE(entry.open());
    entry.load(0, 0, 0);
    EXPECT_TRUE(entry.conflict().contains(QStringLiteral("Wettkampfplan 2, Durchgang 1")));
    EXPECT_TRUE(entry.conflict().contains(QStringLiteral("Mannschaft 2")));
    entry.side(0).rings[0] = 300;
    ASSERT_TRUE(entry.save());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf"), 0);

    entry.load(0, 0, 2); // slot 5 against nobody: not touched by the fault
    EXPECT_TRUE(entry.conflict().isEmpty());

    exec("UPDATE Plan SET A2 = 4, B2 = 4 WHERE PlanID = 20");
    entry.load(0, 0, 1);
    EXPECT_TRUE(entry.conflict().contains(QStringLiteral("gegen sich selbst")));
}

TEST_F(PairingEntryTest, KnowsWhetherThePairingChangedSinceItWasRead)
{
    PairingEntry entry(&db(), &comp.doc());
    ASSERT_TRUE(entry.open());
    entry.load(0, 0, 0);
    EXPECT_FALSE(entry.isModified());
    entry.side(0).participant[6] = 5; // above the team size: not part of the pairing
    EXPECT_FALSE(entry.isModified());
    entry.side(1).rings[3] = 1;
    EXPECT_TRUE(entry.isModified());
    ASSERT_TRUE(entry.save());
    EXPECT_FALSE(entry.isModified());
    entry.side(1).reason = QStringLiteral("Protest");
    EXPECT_TRUE(entry.isModified());
}

struct CheckCase {
    const char* name;
    int highest;
    std::array<std::int32_t, 4> numbersA, ringsA, numbersB, ringsB;
    std::vector<std::tuple<int, int, PairingWarning::Field, const char*>> expected; // side, row, field, text part
};

TEST_F(PairingEntryTest, ChecksListEverythingWorthASecondLook)
{
    using F = PairingWarning::Field;
    exec("UPDATE Teilnehmer SET Verein = 10 WHERE Paßnummer IN (101, 102)");
    exec("UPDATE Teilnehmer SET Verein = 11 WHERE Paßnummer = 201");
    exec("INSERT INTO Teilnehmer (Paßnummer, Name, Vorname, Verein) VALUES (301, 'Gast', 'Gustav', 12), "
         "(302, 'Zweit', 'Zora', 11)");
    // Group 1 shoots the same round: 302 stands in its line-up; its row 5 lies above its team size.
    exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01) VALUES (1, 'Bezirksliga', 4, 1, 13, '2')");
    exec("INSERT INTO Wettkampf (ID, TNr, Durchgang, Ergebnis) VALUES (1000102, 302, 0, 350), "
         "(1000105, 201, 0, 0), (10102, 201, 1, 0)");
    const std::vector<CheckCase> cases{
        {"a clean pairing", 400, {101, 102, 0, 0}, {380, 377, 0, 0}, {201, 0, 0, 0}, {390, 0, 0, 0}, {}},
        {"rings above the highest single result",
         400,
         {101, 102, 0, 0},
         {401, 377, 0, 0},
         {201, 0, 0, 0},
         {390, 0, 0, 0},
         {{0, 0, F::Rings, "401 Ringe liegen über dem höchsten Einzelergebnis 400"}}},
        {"0 turns the rings check off", 0, {101, 0, 0, 0}, {9999, 0, 0, 0}, {201, 0, 0, 0}, {1, 0, 0, 0}, {}},
        {"a pass number of nobody",
         400,
         {101, 555, 0, 0},
         {380, 300, 0, 0},
         {201, 0, 0, 0},
         {390, 0, 0, 0},
         {{0, 1, F::Number, "Paßnummer 555 gehört zu keinem Teilnehmer"}}},
        {"the same shooter twice in the pairing",
         400,
         {101, 102, 0, 0},
         {380, 377, 0, 0},
         {201, 101, 0, 0},
         {390, 300, 0, 0},
         {{1, 1, F::Number, "nicht zum Verein"}, {1, 1, F::Number, "in dieser Paarung bereits"}}},
        {"a shooter already in another group's pairing of this round",
         400,
         {101, 102, 0, 0},
         {380, 377, 0, 0},
         {201, 302, 0, 0},
         {390, 300, 0, 0},
         {{1, 1, F::Number, "bereits bei KK Ost 2 (Bezirksliga)"}}},
        {"a guest of another club",
         400,
         {101, 301, 0, 0},
         {380, 377, 0, 0},
         {201, 0, 0, 0},
         {390, 0, 0, 0},
         {{0, 1, F::Number, "Gustav Gast gehört nicht zum Verein der Mannschaft"}}},
        {"one team without results",
         400,
         {101, 102, 0, 0},
         {380, 377, 0, 0},
         {201, 0, 0, 0},
         {0, 0, 0, 0},
         {{1, 0, F::Number, "SG Süd 1 hat kein Ergebnis; die Paarung zählte als Sieg für SV Nord 1"}}},
    };
    PairingEntry entry(&db(), &comp.doc());
    ASSERT_TRUE(entry.open());
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        entry.load(0, 0, 0);
        for (int n = 0; n < 4; ++n) {
            entry.side(0).participant[n] = c.numbersA[n];
            entry.side(0).rings[n] = c.ringsA[n];
            entry.side(1).participant[n] = c.numbersB[n];
            entry.side(1).rings[n] = c.ringsB[n];
        }
        const std::vector<PairingWarning> warnings = entry.check(c.highest);
        ASSERT_EQ(warnings.size(), c.expected.size());
        for (std::size_t i = 0; i < warnings.size(); ++i) {
            const auto& [side, row, field, text] = c.expected[i];
            EXPECT_EQ(warnings[i].side, side) << i;
            EXPECT_EQ(warnings[i].row, row) << i;
            EXPECT_EQ(warnings[i].field, field) << i;
            EXPECT_TRUE(warnings[i].text.contains(QString::fromUtf8(text))) << warnings[i].text.toStdString();
        }
    }
}

TEST_F(PairingEntryTest, MarksAndTheAbsentFlagAreStoredAndDecideTheCountedTotals)
{
    QString error;
    ASSERT_TRUE(setGroupBestCount(&db(), &comp.doc(), 0, 3, &error));
    PairingEntry entry(&db(), &comp.doc());
    ASSERT_TRUE(entry.open());
    entry.load(0, 0, 0);
    entry.side(0).rings = {380, 377, 390, 360};
    entry.side(0).substitute[1] = true;
    entry.side(0).scoring[2] = kIndividual;
    entry.side(1).rings[0] = 300;
    entry.side(1).absent = true;
    ASSERT_TRUE(entry.save());
    Statement st = db().prepare("SELECT group_concat(Ersatz || Wertung || Flag, ' ') FROM (SELECT * FROM Wettkampf "
                                "WHERE ID IN (101, 102, 103, 104, 199, 299) ORDER BY ID)");
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.text(0), QStringLiteral("000 100 010 000 000 001"));

    entry.load(0, 0, 0);
    EXPECT_EQ(entry.bestCount(), 3);
    EXPECT_FALSE(entry.isModified());
    // 390 is an individual result: the best three team results are 380, 377 and 360.
    EXPECT_EQ(entry.counted(0), (std::array<bool, kShooterRows>{true, true, false, true}));
    EXPECT_EQ(entry.countedTotal(0), 1117);
    EXPECT_EQ(entry.countedTotal(1), 0); // did not appear: its rings count nothing
    entry.side(0).substitute[1] = false;
    EXPECT_TRUE(entry.isModified());
}

TEST_F(PairingEntryTest, ChecksKnowTenthsSubstitutesAndTheAbsentTeam)
{
    exec("UPDATE Teilnehmer SET Verein = 10 WHERE Paßnummer = 101");
    exec("UPDATE Teilnehmer SET Verein = 14 WHERE Paßnummer = 102");
    // 102 stood in twice before, for other teams.
    exec("INSERT INTO Wettkampf (ID, TNr, Durchgang, Ergebnis, Ersatz) VALUES (10301, 102, 1, 90, 1), "
         "(10501, 102, 1, 90, 1), (20101, 102, 2, 90, 0)");
    struct Case {
        bool tenths, substitute, absentB;
        int limit;
        std::int32_t ringsB;
        const char* expected; // the warnings' ends, "|" between them
    };
    PairingEntry entry(&db(), &comp.doc());
    ASSERT_TRUE(entry.open());
    for (const Case& c :
         {Case{false, false, false, 0, 300, "Sepp Maier gehört nicht zum Verein der Mannschaft."},
          Case{false, true, false, 3, 300, ""},
          Case{false, true, false, 2, 300, "Die Paßnummer 102 hat damit 3 Ersatzeinsätze; erlaubt sind 2."},
          Case{false, true, true, 0, 0, ""},
          Case{false, true, true, 0, 300,
               "SG Süd 1 ist als nicht angetreten markiert, hat aber Ergebnisse; sie zählen nicht."},
          Case{true, true, false, 0, 300, "380,1 Ringe liegen über dem höchsten Einzelergebnis 327,0."}}) {
        SCOPED_TRACE(c.expected);
        QString error;
        ASSERT_TRUE(setCompetitionRules(&db(), &comp.doc(), {c.tenths, {TieBreak::Rings}, c.limit}, &error));
        entry.load(0, 0, 0);
        entry.side(0).participant = {101, 102, 0, 0};
        entry.side(0).rings = {c.tenths ? 3801 : 380, 320, 0, 0};
        entry.side(0).substitute[1] = c.substitute;
        entry.side(1).rings[0] = c.ringsB;
        entry.side(1).absent = c.absentB;
        QStringList texts;
        for (const PairingWarning& w : entry.check(c.tenths ? 3270 : 400))
            texts << QString(w.text).remove(QRegularExpression(QStringLiteral("^.*, Zeile \\d+: ")));
        EXPECT_EQ(texts.join(QLatin1Char('|')), QString::fromUtf8(c.expected));
    }
}

TEST_F(PairingEntryTest, TheHighestSingleResultIsACompetitionSettingOf400UntilSet)
{
    EXPECT_EQ(highestSingleResult(&db(), &comp.doc()), 400);
    ASSERT_TRUE(setHighestSingleResult(&db(), &comp.doc(), 0));
    EXPECT_EQ(highestSingleResult(&db(), &comp.doc()), 0);
    ASSERT_TRUE(setHighestSingleResult(&db(), &comp.doc(), 300));
    EXPECT_EQ(highestSingleResult(&db(), &comp.doc()), 300);
    EXPECT_EQ(scalar("SELECT Int FROM Profile WHERE Name = 'Ergebnis_HoechstesEinzelergebnis'"), 300);
}

// The program dies in the middle of a save (after the tenth row): the file holds the old pairing,
// complete, not a mixture.
TEST_F(PairingEntryTest, CrashInTheMiddleOfASaveLeavesTheOldPairing)
{
    {
        PairingEntry entry(&db(), &comp.doc());
        ASSERT_TRUE(entry.open());
        entry.load(0, 0, 0);
        entry.side(0).rings = {100, 100, 100, 100};
        entry.side(1).rings = {200, 200, 200, 200};
        ASSERT_TRUE(entry.save());
    }
    const QString path = comp.path();
    comp.doc().OnCloseDocument();

    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        CTorvmDoc doc;
        if (!doc.OnOpenDocument(path))
            ::_exit(2);
        static int writes = 0;
        sqlite3_update_hook(
            doc.GetDatabase()->handle(),
            [](void*, int, const char*, const char*, sqlite3_int64) {
                if (++writes == 10)
                    ::_exit(0); // no destructors, no rollback: as if the power went off
            },
            nullptr);
        PairingEntry entry(doc.GetDatabase(), &doc);
        if (!entry.open())
            ::_exit(3);
        entry.load(0, 0, 0);
        entry.side(0).rings = {400, 400, 400, 400};
        entry.side(1).rings = {400, 400, 400, 400};
        entry.save();
        ::_exit(4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0) << "the child did not stop in the middle of the save";

    CTorvmDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path)) << doc.failure().text.toStdString();
    PairingEntry entry(doc.GetDatabase(), &doc);
    ASSERT_TRUE(entry.open());
    entry.load(0, 0, 0);
    EXPECT_EQ(entry.side(0).total(), 400);
    EXPECT_EQ(entry.side(1).total(), 800);
}

TEST_F(PairingEntryTest, LockedFileReportsTheFailureAndKeepsTheOldRows)
{
    PairingEntry entry(&db(), &comp.doc());
    ASSERT_TRUE(entry.open());
    entry.load(0, 0, 0);
    entry.side(0).rings = {10, 10, 10, 10};
    ASSERT_TRUE(entry.save());
    // Another program holds the write lock, or reads while the save wants to finish: either way
    // for longer than we wait. A reader lets the save begin and write, so its COMMIT is what fails.
    struct Case {
        const char* what;
        Transaction::Kind held;
    };
    for (const Case& c : {Case{"writer: the begin fails", Transaction::Kind::Write},
                          Case{"reader: the commit fails", Transaction::Kind::Read}}) {
        SCOPED_TRACE(c.what);
        QString error;
        auto other = openCompetition(comp.path(), &error);
        ASSERT_TRUE(other) << error.toStdString();
        {
            Transaction held(*other, c.held);
            ASSERT_TRUE(held.active());
            Statement read = other->prepare(R"(SELECT COUNT(*) FROM "Wettkampf")");
            ASSERT_TRUE(read.next());
            db().setBusyTimeout(20);
            entry.side(0).rings = {20, 20, 20, 20};
            EXPECT_FALSE(entry.save());
            EXPECT_EQ(entry.lastError().code & 0xff, 5) << entry.lastError().text.toStdString(); // SQLITE_BUSY
            EXPECT_EQ(db().transactionDepth(), 0);
            // The other program still sees the rows as they were.
            CWettkampfTable seen(other.get(), nullptr);
            ASSERT_TRUE(seen.Open());
            EXPECT_FALSE(seen.LoadResult(0, 0, 1, 1));
            EXPECT_EQ(seen.m_Ergebnis, 10);
        }
        entry.load(0, 0, 0);
        EXPECT_EQ(entry.side(0).total(), 40);
    }
    // Once the other program is done, the same save goes through.
    entry.side(0).rings = {20, 20, 20, 20};
    ASSERT_TRUE(entry.save()) << entry.lastError().text.toStdString();
    entry.load(0, 0, 0);
    EXPECT_EQ(entry.side(0).total(), 80);
}

} // namespace
} // namespace torvm
