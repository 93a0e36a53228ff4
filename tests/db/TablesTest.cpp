#include "db/Tables.h"
#include "db/CompetitionFile.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace torvm {
namespace {

class TablesTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    Database& db() { return *comp.db(); }
    CTorvmDoc* doc() { return &comp.doc(); }

    void exec(const char* sql) { ASSERT_TRUE(db().execute(sql)) << db().lastError().text.toStdString(); }
    std::int64_t scalar(const std::string& sql)
    {
        Statement st = db().prepare(sql);
        EXPECT_TRUE(st.next()) << sql;
        return st.int64(0);
    }
    bool isNullValue(const std::string& sql)
    {
        Statement st = db().prepare(sql);
        EXPECT_TRUE(st.next()) << sql;
        return st.isNull(0);
    }
};

// ---------------------------------------------------------------------------------- null markers

TEST_F(TablesTest, NullColumnsReadAsMarkersAndAreWrittenBackAsNull)
{
    // Typ holds the marker's number as a real value: it stays that number.
    exec(
        R"(INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Typ, Verein01) VALUES (3, NULL, NULL, NULL, 1246576928, NULL))");
    CGruppeTable groups(&db(), doc());
    ASSERT_TRUE(groups.OpenTable());
    ASSERT_TRUE(groups.LoadGroup(3));
    EXPECT_TRUE(groups.IsFieldNull(&groups.m_Plan));
    EXPECT_TRUE(groups.IsFieldNull(&groups.m_Anzahl));
    EXPECT_FALSE(groups.IsFieldNull(&groups.m_Typ));
    EXPECT_EQ(groups.m_Typ, kNullLong);
    EXPECT_EQ(groups.m_Anzahl, kNullShort);
    EXPECT_EQ(groups.m_Plan, kNullLong);
    EXPECT_EQ(groups.m_Verein[0], kNullLong);
    EXPECT_EQ(groups.m_Name, QString());
    // A Null club number is "something" to code that tests for 0.
    EXPECT_TRUE(groups.SlotUsed(1));

    groups.m_Name = QStringLiteral("Kreisliga");
    ASSERT_TRUE(groups.SaveGroup(3));
    EXPECT_TRUE(isNullValue("SELECT Plan FROM Gruppe WHERE ID = 3"));
    EXPECT_TRUE(isNullValue("SELECT Anzahl FROM Gruppe WHERE ID = 3"));
    EXPECT_TRUE(isNullValue("SELECT Verein01 FROM Gruppe WHERE ID = 3"));
    EXPECT_EQ(scalar("SELECT Typ FROM Gruppe WHERE ID = 3"), kNullLong);

    // A participant numbered as the marker, in a row selected from nothing, is that participant.
    CWettkampfTable results(&db(), doc());
    ASSERT_TRUE(results.OpenTable());
    EXPECT_TRUE(results.SelectTeamRows(0, 0, 1));
    ASSERT_TRUE(results.SaveResult(kNullLong, 95, 0, 0, 1, 1));
    EXPECT_EQ(scalar("SELECT TNr FROM Wettkampf WHERE ID = 101"), kNullLong);
}

TEST_F(TablesTest, SelectWithoutRowSetsEveryColumnToItsMarker)
{
    CTeilnehmerTable people(&db(), doc());
    ASSERT_TRUE(people.OpenTable());
    people.m_Verein = 12;
    people.m_Name = QStringLiteral("alt");
    EXPECT_TRUE(people.SelectParticipant(4711));
    EXPECT_EQ(people.m_Passnummer, kNullLong);
    EXPECT_EQ(people.m_Verein, kNullLong);
    EXPECT_EQ(people.m_Klasse, kNullLong);
    EXPECT_TRUE(people.m_Name.isEmpty());
    EXPECT_TRUE(people.m_Geburtstag.isNull());
}

TEST_F(TablesTest, RowsWrittenInPartGetZeroNotTheMarker)
{
    CVereinTable clubs(&db(), doc());
    ASSERT_TRUE(clubs.SaveClubName(17, QStringLiteral("SG Nord")));
    ASSERT_TRUE(clubs.OpenTable());
    ASSERT_FALSE(clubs.SelectClub(17));
    EXPECT_EQ(clubs.m_Meistbeteiligung, 0);
    EXPECT_EQ(clubs.m_Entfernung, 0);
}

// ---------------------------------------------------------------------------------- key composition

TEST(Keys, Composition)
{
    struct Case {
        int group, round, slot, row;
        std::int32_t key;
    };
    const Case cases[] = {
        {0, 0, 1, 1, 101},          {2, 2, 7, 4, 2020704}, {2, 2, 7, 99, 2020799},
        {39, 19, 20, 20, 39192020}, {0, 1, 0, 99, 10099},  {2146, 99, 99, 99, 2146999999},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(resultKey(c.group, c.round, c.slot, c.row), c.key) << c.key;
        EXPECT_TRUE(isValidResultKey(c.group, c.round, c.slot, c.row));
    }
    EXPECT_EQ(planKey(0, 0), 0);
    EXPECT_EQ(planKey(2, 3), 43);
    EXPECT_EQ(planKey(4, 19), 99);
    // Parts that would spill into the next group's or slot's range, or overflow the column.
    EXPECT_FALSE(isValidResultKey(2147, 0, 0, 0));
    EXPECT_FALSE(isValidResultKey(0, 100, 1, 1));
    EXPECT_FALSE(isValidResultKey(0, 0, kNullLong, 1));
    EXPECT_FALSE(isValidResultKey(-1, 0, 1, 1));
}

TEST_F(TablesTest, ResultsAreStoredUnderTheComposedKey)
{
    CWettkampfTable results(&db(), doc());
    ASSERT_TRUE(results.OpenTable());
    ASSERT_TRUE(results.SaveResult(4711, 381, 2, 2, 7, 4));
    ASSERT_TRUE(results.SavePoints(-1, QStringLiteral("verspätet"), 2, 2, 7, kSummaryRow));
    EXPECT_EQ(scalar("SELECT Ergebnis FROM Wettkampf WHERE ID = 2020704"), 381);
    EXPECT_EQ(scalar("SELECT TNr FROM Wettkampf WHERE ID = 2020704"), 4711);
    EXPECT_EQ(scalar("SELECT Durchgang FROM Wettkampf WHERE ID = 2020704"), 2);
    EXPECT_EQ(scalar("SELECT Punkte FROM Wettkampf WHERE ID = 2020799"), -1);
    EXPECT_EQ(scalar("SELECT Ergebnis FROM Wettkampf WHERE ID = 2020799"), 0);

    EXPECT_FALSE(results.LoadResult(2, 2, 7, kSummaryRow));
    EXPECT_EQ(results.m_Text, QStringLiteral("verspätet"));
    EXPECT_FALSE(results.LoadResult(2, 2, 7, 4));
    EXPECT_EQ(results.m_Ergebnis, 381);
    EXPECT_TRUE(results.m_Text.isEmpty());

    // A missing row reads as an empty row under its key.
    EXPECT_TRUE(results.LoadResult(2, 3, 7, 4));
    EXPECT_EQ(results.m_ID, 2030704);
    EXPECT_EQ(results.m_Durchgang, 3);
    EXPECT_EQ(results.m_TNr, 0);
    EXPECT_EQ(results.m_Ergebnis, 0);
}

TEST_F(TablesTest, SaveResultOverwritesEveryColumnOfAnImportedRow)
{
    exec("INSERT INTO Wettkampf (ID, TNr, Durchgang, ErgID, Ergebnis, Punkte, Ersatz, Wertung, Flag, Text) "
         "VALUES (101, 5, 0, 9, 300, 2, 1, 1, 1, 'x')");
    CWettkampfTable results(&db(), doc());
    ASSERT_TRUE(results.OpenTable());
    ASSERT_TRUE(results.SaveResult(6, 310, 0, 0, 1, 1));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf"), 1);
    EXPECT_EQ(scalar("SELECT ErgID + Punkte + Ersatz + Wertung + Flag FROM Wettkampf WHERE ID = 101"), 0);
    EXPECT_EQ(scalar("SELECT TNr FROM Wettkampf WHERE ID = 101"), 6);
}

TEST_F(TablesTest, CopyResultRowTakesAllColumnsOfTheSource)
{
    CWettkampfTable source(&db(), doc());
    source.m_ID = resultKey(1, 2, 3, 4);
    source.m_TNr = 77;
    source.m_Durchgang = 2;
    source.m_ErgID = 5;
    source.m_Ergebnis = 290;
    source.m_Punkte = 1;
    source.m_Ersatz = 1;
    source.m_Wertung = 2;
    source.m_Flag = 3;
    source.m_Text = QStringLiteral("Ersatzschütze");
    CWettkampfTable target(&db(), doc());
    ASSERT_TRUE(target.OpenTable());
    target.CopyResultRow(source);
    ASSERT_FALSE(target.LoadResult(1, 2, 3, 4));
    EXPECT_EQ(target.m_TNr, 77);
    EXPECT_EQ(target.m_ErgID, 5);
    EXPECT_EQ(target.m_Ergebnis, 290);
    EXPECT_EQ(target.m_Wertung, 2);
    EXPECT_EQ(target.m_Flag, 3);
    EXPECT_EQ(target.m_Text, QStringLiteral("Ersatzschütze"));
}

// ---------------------------------------------------------------------------------- upsert

TEST_F(TablesTest, UpsertKeepsTheCallersValuesForNewAndExistingRows)
{
    CGruppeTable groups(&db(), doc());
    ASSERT_TRUE(groups.OpenTable());
    EXPECT_FALSE(groups.LoadGroup(0));
    groups.m_Name = QStringLiteral("Bezirksliga");
    groups.m_Anzahl = 6;
    groups.m_Plan = 2;
    groups.m_Verein[4] = 1234;
    groups.m_VNr[4] = QStringLiteral("2");
    groups.m_PLZ2[19] = QStringLiteral("99999");
    ASSERT_TRUE(groups.SaveGroup(0));
    // The buffer still holds what the caller put there, not what a select would have left.
    EXPECT_EQ(groups.m_Name, QStringLiteral("Bezirksliga"));
    EXPECT_EQ(groups.m_Verein[4], 1234);

    groups.m_Anzahl = 5;
    ASSERT_TRUE(groups.SaveGroup(0));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Gruppe"), 1);

    CGruppeTable again(&db(), doc());
    ASSERT_TRUE(again.OpenTable());
    ASSERT_TRUE(again.LoadGroup(0));
    EXPECT_EQ(again.m_Name, QStringLiteral("Bezirksliga"));
    EXPECT_EQ(again.m_Anzahl, 5);
    EXPECT_EQ(again.m_Plan, 2);
    EXPECT_EQ(again.m_Verein[4], 1234);
    EXPECT_EQ(again.m_VNr[4], QStringLiteral("2"));
    EXPECT_EQ(again.m_PLZ2[19], QStringLiteral("99999"));
}

TEST_F(TablesTest, MissingGroupReadsAsDefaults)
{
    CGruppeTable groups(&db(), doc());
    ASSERT_TRUE(groups.OpenTable());
    groups.m_Verein[3] = 5;
    groups.m_MFuehrer[3] = QStringLiteral("alt");
    EXPECT_FALSE(groups.LoadGroup(7));
    EXPECT_EQ(groups.m_ID, 7);
    EXPECT_EQ(groups.m_Anzahl, 4);
    EXPECT_EQ(groups.m_Plan, 0);
    EXPECT_EQ(groups.m_Klasse, 0);
    EXPECT_EQ(groups.m_Verein[3], 0);
    EXPECT_TRUE(groups.m_MFuehrer[3].isEmpty());
    EXPECT_TRUE(groups.m_Name.isEmpty());
}

// ---------------------------------------------------------------------------------- next numbers

TEST_F(TablesTest, NextNumbersOnEmptyAndFilledTables)
{
    CTeilnehmerTable people(&db(), doc());
    CVereinTable clubs(&db(), doc());
    ASSERT_TRUE(people.OpenTable());
    ASSERT_TRUE(clubs.OpenTable());
    EXPECT_EQ(people.NextPassNumber(), 1);
    EXPECT_EQ(people.FirstPassNumber(), 1);
    EXPECT_EQ(people.LastPassNumber(), 1);
    EXPECT_EQ(people.ParticipantCount(), 0);
    EXPECT_EQ(clubs.NextClubNumber(), 1);
    EXPECT_EQ(clubs.ClubCount(), 0);

    exec("INSERT INTO Teilnehmer (Paßnummer, Name) VALUES (70, 'B'), (3, 'A'), (12, 'C')");
    exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (104, 'X'), (9, 'Y')");
    EXPECT_EQ(people.NextPassNumber(), 71);
    EXPECT_EQ(people.FirstPassNumber(), 3);
    EXPECT_EQ(people.LastPassNumber(), 70);
    EXPECT_EQ(people.ParticipantCount(), 3);
    EXPECT_EQ(clubs.NextClubNumber(), 105);
    EXPECT_EQ(clubs.ClubCount(), 2);

    // No number is left above the largest one: propose from the bottom instead of overflowing.
    exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (2147483647, 'Z')");
    EXPECT_EQ(clubs.NextClubNumber(), 1);
}

// ---------------------------------------------------------------------------------- display strings

TEST_F(TablesTest, CaptainAddressSeparators)
{
    struct Case {
        const char *name, *plz, *ort, *strasse, *expected;
    };
    const Case cases[] = {
        {"Max Muster", "80331", "München", "Hauptstr. 1", "Max Muster, 80331 München, Hauptstr. 1"},
        {"Max Muster", "", "", "Hauptstr. 1", "Max Muster, Hauptstr. 1"},
        {"Max Muster", "", "", "", "Max Muster"},
        {"Max Muster", "", "München", "", "Max Muster München"},
        {"Max Muster", "80331", "", "", "Max Muster, 80331"},
        {"", "80331", "München", "", ", 80331 München"},
    };
    CGruppeTable groups(&db(), doc());
    for (int slot = 1; slot <= 6; ++slot) {
        const Case& c = cases[slot - 1];
        groups.m_MFuehrer[slot - 1] = QString::fromUtf8(c.name);
        groups.m_PLZ[slot - 1] = QString::fromUtf8(c.plz);
        groups.m_Ort[slot - 1] = QString::fromUtf8(c.ort);
        groups.m_Strasse[slot - 1] = QString::fromUtf8(c.strasse);
        EXPECT_EQ(groups.CaptainAddress(slot), QString::fromUtf8(c.expected)) << slot;
    }
    EXPECT_TRUE(groups.CaptainAddress(0).isEmpty());
    EXPECT_TRUE(groups.CaptainAddress(21).isEmpty());
}

TEST_F(TablesTest, CaptainPhoneFallsBackToSlotOne)
{
    CGruppeTable groups(&db(), doc());
    for (int s = 0; s < kSlotCount; ++s)
        groups.m_Telefon[s] = QStringLiteral("T%1").arg(s + 1);
    EXPECT_EQ(groups.CaptainPhone(1), QStringLiteral("T1"));
    EXPECT_EQ(groups.CaptainPhone(2), QStringLiteral("T2"));
    EXPECT_EQ(groups.CaptainPhone(20), QStringLiteral("T20"));
    EXPECT_EQ(groups.CaptainPhone(0), QStringLiteral("T1"));
    EXPECT_EQ(groups.CaptainPhone(21), QStringLiteral("T1"));
}

TEST_F(TablesTest, ClubNamePadding)
{
    exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (1, 'SV Musterhausen 1921 e.V.')");
    CVereinTable clubs(&db(), doc());
    EXPECT_EQ(clubs.ClubName(2, 20), QString(20, QLatin1Char(' ')));
    EXPECT_EQ(clubs.ClubName(2, 0), QString());
    EXPECT_EQ(clubs.ClubName(1, 0), QStringLiteral("SV Musterhausen 1921 e.V."));
    EXPECT_EQ(clubs.ClubName(1, 10), QStringLiteral("SV Musterh"));
    EXPECT_EQ(clubs.ClubName(1, 30), QStringLiteral("SV Musterhausen 1921 e.V.     "));
    // Padding is 42 blanks: a wider column than name + 42 stays short.
    EXPECT_EQ(clubs.ClubName(1, 100).size(), 25 + 42);
}

TEST_F(TablesTest, TeamNameJoinsClubAndDesignation)
{
    exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (8, 'SG Süd')");
    CGruppeTable groups(&db(), doc());
    groups.m_Verein[2] = 8;
    groups.m_VNr[2] = QStringLiteral("2");
    groups.m_Verein[3] = 9;
    groups.m_VNr[3] = QStringLiteral("1");
    EXPECT_EQ(groups.TeamName(3), QStringLiteral("SG Süd 2"));
    EXPECT_EQ(groups.TeamName(4), QStringLiteral(" 1"));
    EXPECT_TRUE(groups.TeamName(0).isEmpty());
    EXPECT_TRUE(groups.TeamName(21).isEmpty());
}

// ---------------------------------------------------------------------------------- rankings

// Rows of group 1, team 1: round 0 has a tie, round 1 a second row of one shooter; rows that
// hold no valid round, no rings or no participant belong to no round.
TEST_F(TablesTest, RankedRoundResultsGoRoundByRoundBestFirst)
{
    exec("INSERT INTO Teilnehmer (Paßnummer, Titel, Name, Vorname, Zusatz, Klasse) VALUES "
         "(7, 'Dr.', 'Weiß', 'Jörg', 'sen.', 3), (8, NULL, 'Öztürk', 'Ali', NULL, 2)");
    exec("INSERT INTO Wettkampf (ID, TNr, Durchgang, Ergebnis) VALUES "
         "(1000104, 7, 0, 180), (1000102, 8, 0, 190), (1000101, 9, 0, 180), (1000199, 0, 0, 550), "
         "(1010103, 8, 1, 170), (1010101, 7, 1, 195), (1010102, 8, 1, 171), "
         "(1020101, 7, 2, 0), (1020102, 8, 2, -5), (1020103, 7, 2, 188.5), (1020104, 7, 2, '190'), "
         "(1030101, 7, 1.5, 150), (1030102, 7, 'zwei', 150), (1030103, 0, 3, 150), (1030104, 8, 3, 160)");
    struct Case {
        int first, last;
        std::vector<std::pair<std::int32_t, int>> rows; // key and round, in order
    };
    const Case cases[] = {
        {0, 0, {{1000102, 0}, {1000101, 0}, {1000104, 0}}},
        {1, 1, {{1010101, 1}, {1010102, 1}, {1010103, 1}}},
        // A text that reads as a number is stored as one; a real is no ring count.
        {2, 2, {{1020104, 2}}},
        {0,
         3,
         {{1000102, 0},
          {1000101, 0},
          {1000104, 0},
          {1010101, 1},
          {1010102, 1},
          {1010103, 1},
          {1020104, 2},
          {1030104, 3}}},
        {4, 9, {}},
    };
    CWettkampfTable results(&db(), doc());
    ASSERT_TRUE(results.OpenTable());
    for (const Case& c : cases) {
        const auto rows = results.RankedRoundResults(c.first, c.last);
        ASSERT_TRUE(rows.has_value());
        std::vector<std::pair<std::int32_t, int>> got;
        for (const RoundResultRow& row : *rows) {
            got.emplace_back(row.id, row.round);
            // Every row of a shooter carries the name, not only the first one looked up.
            switch (row.participant) {
            case 7:
                EXPECT_TRUE(row.known);
                EXPECT_EQ(row.titel + row.name + row.vorname + row.zusatz, QStringLiteral("Dr.WeißJörgsen."));
                EXPECT_EQ(row.klasse, 3);
                break;
            case 8:
                EXPECT_TRUE(row.known);
                EXPECT_EQ(row.name, QStringLiteral("Öztürk"));
                EXPECT_EQ(row.klasse, 2);
                break;
            default:
                EXPECT_FALSE(row.known) << row.participant;
                EXPECT_TRUE(row.name.isEmpty());
            }
        }
        EXPECT_EQ(got, c.rows) << c.first << ".." << c.last;
    }
}

// ---------------------------------------------------------------------------------- plans

TEST_F(TablesTest, CountPlayedRounds)
{
    CPlanTable plans(&db(), doc());
    ASSERT_TRUE(plans.OpenTable());
    EXPECT_EQ(plans.CountPlayedRounds(1), 0);
    // Plan 1: round 0 with a real pairing, round 1 with a one-sided entry, round 5 with the
    // pairing at position 10; plan 0 and plan 2 rows must not count for plan 1.
    exec("INSERT INTO Plan (PlanID, A1, B1) VALUES (20, 1, 2), (21, 3, 0), (0, 1, 2), (40, 1, 2)");
    exec("INSERT INTO Plan (PlanID, A10, B10) VALUES (25, 19, 20)");
    EXPECT_EQ(plans.CountPlayedRounds(1), 2);
    EXPECT_EQ(plans.CountPlayedRounds(3), 0);
}

TEST_F(TablesTest, PlanNameIsWrittenToAllTwentyRows)
{
    CPlanTable plans(&db(), doc());
    ASSERT_TRUE(plans.OpenTable());
    exec("INSERT INTO Plan (PlanID, Name, A1, B1) VALUES (45, 'alt', 3, 4)");
    ASSERT_TRUE(plans.SetPlanName(2, QStringLiteral("Rückrunde")));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Plan WHERE PlanID BETWEEN 40 AND 59 AND Name = 'Rückrunde'"), 20);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Plan"), 20);
    EXPECT_EQ(scalar("SELECT A1 * 10 + B1 FROM Plan WHERE PlanID = 45"), 34);
    EXPECT_EQ(plans.PlanName(2), QStringLiteral("Rückrunde"));
    EXPECT_TRUE(plans.PlanName(3).isEmpty());
}

TEST_F(TablesTest, RoundsAndPairings)
{
    CPlanTable plans(&db(), doc());
    ASSERT_TRUE(plans.OpenTable());
    EXPECT_TRUE(plans.SelectRound(0, 3));
    plans.m_Name = QStringLiteral("Hinrunde");
    plans.m_Datum1 = DateTime::fromParts(2002, 10, 1, 19, 30);
    plans.m_A.fill(0);
    plans.m_B.fill(0);
    plans.m_A[0] = 1;
    plans.m_B[0] = 8;
    plans.m_A[9] = 5;
    plans.m_B[9] = 4;
    ASSERT_TRUE(plans.SaveRound(0, 3));

    CPlanTable again(&db(), doc());
    ASSERT_TRUE(again.OpenTable());
    ASSERT_FALSE(again.SelectRound(0, 3));
    EXPECT_EQ(again.m_Datum1, DateTime::fromParts(2002, 10, 1, 19, 30));
    EXPECT_TRUE(again.RoundHasPairing());
    EXPECT_EQ(again.PairingTeam(1, 0), 1);
    EXPECT_EQ(again.PairingTeam(0, 0), 8);
    EXPECT_EQ(again.PairingTeam(1, 9), 5);
    EXPECT_EQ(again.PairingTeam(0, 9), 4);
    EXPECT_EQ(again.PairingTeam(1, 10), 0);
    EXPECT_EQ(again.PairingTeam(1, -1), 0);
    Statement st = db().prepare("SELECT Datum1 FROM Plan WHERE PlanID = 3");
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.text(0), QStringLiteral("2002-10-01 19:30:00"));
}

TEST_F(TablesTest, PlanComboHasOneEntryPerBlockOfTwentyRows)
{
    CPlanTable plans(&db(), doc());
    ASSERT_TRUE(plans.OpenTable());
    ASSERT_TRUE(plans.SetPlanName(0, QStringLiteral("Liga A")));
    ASSERT_TRUE(plans.SetPlanName(2, QStringLiteral("Liga C")));
    const ComboItems items = plans.PlanComboItems();
    const ComboItems expected{{QStringLiteral("Liga A"), 0, QString()}, {QStringLiteral("Liga C"), 40, QString()}};
    EXPECT_EQ(items, expected);
}

// ---------------------------------------------------------------------------------- settings in the file

TEST_F(TablesTest, ProfileStoreOnEmptyTable)
{
    CProfileTable profile(&db(), doc());
    EXPECT_EQ(profile.NextProfileId(), 1);
    EXPECT_EQ(profile.GetInt(QStringLiteral("VMPrintAll"), QStringLiteral("Durchgang"), 7), 7);
    EXPECT_EQ(profile.GetString(QStringLiteral("VMPrintAll"), QStringLiteral("ErgFile"), QStringLiteral("torvm2.mdb")),
              QStringLiteral("torvm2.mdb"));

    ASSERT_TRUE(profile.WriteInt(QStringLiteral("VMPrintAll"), QStringLiteral("Durchgang"), 3));
    EXPECT_EQ(scalar("SELECT ID1 FROM Profile WHERE Name = 'VMPrintAll_Durchgang'"), 1);
    EXPECT_EQ(scalar("SELECT ID FROM Profile WHERE Name = 'VMPrintAll_Durchgang'"), 1);
    ASSERT_TRUE(profile.WriteString(QStringLiteral("VMPrintAll"), QStringLiteral("ErgFile"), QStringLiteral("b.mdb")));
    EXPECT_EQ(scalar("SELECT ID FROM Profile WHERE Name = 'VMPrintAll_ErgFile'"), 2);
    ASSERT_TRUE(profile.WriteInt(QStringLiteral("VMPrintAll"), QStringLiteral("Durchgang"), 5));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Profile"), 2);

    EXPECT_EQ(profile.GetInt(QStringLiteral("VMPrintAll"), QStringLiteral("Durchgang"), 7), 5);
    EXPECT_EQ(profile.GetString(QStringLiteral("VMPrintAll"), QStringLiteral("ErgFile"), QString()),
              QStringLiteral("b.mdb"));
    EXPECT_EQ(profile.NextProfileId(), 3);

    // An integer and a text under the same name live in one row without overwriting each other.
    ASSERT_TRUE(profile.WriteString(QStringLiteral("VMPrintAll"), QStringLiteral("Durchgang"), QStringLiteral("x")));
    EXPECT_EQ(profile.GetInt(QStringLiteral("VMPrintAll"), QStringLiteral("Durchgang"), 7), 5);
}

TEST_F(TablesTest, EntryPositionRoundTrip)
{
    CRSWettbewerb title(&db(), doc());
    const EntryPosition none = title.LoadEntryPosition();
    EXPECT_EQ(none.group, 0);
    EXPECT_EQ(none.round, 0);
    EXPECT_EQ(none.pairing, 0);

    title.SaveEntryPosition(1, 2, 4);
    EXPECT_EQ(scalar("SELECT Val1 FROM Wettbewerb WHERE ID = 1"), 444);
    const EntryPosition pos = title.LoadEntryPosition();
    EXPECT_EQ(pos.group, 1);
    EXPECT_EQ(pos.round, 2);
    EXPECT_EQ(pos.pairing, 4);
    EXPECT_TRUE(title.GetTitle().isEmpty());

    title.SetTitle(QStringLiteral("Rundenwettkampf 2026/27"));
    EXPECT_EQ(title.GetTitle(), QStringLiteral("Rundenwettkampf 2026/27"));
    EXPECT_EQ(scalar("SELECT Val1 FROM Wettbewerb WHERE ID = 1"), 444);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettbewerb"), 1);
}

TEST_F(TablesTest, NewTitleRowGetsEmptyAndZeroColumns)
{
    CRSWettbewerb title(&db(), doc());
    title.SetTitle(QStringLiteral("Gauliga"));
    EXPECT_EQ(scalar("SELECT Val1 + Val2 FROM Wettbewerb WHERE ID = 1"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettbewerb WHERE Str1 = '' AND Str2 = ''"), 1);
}

// ---------------------------------------------------------------------------------- quoting

TEST_F(TablesTest, NamesWithQuotesAndSharpSRoundTrip)
{
    const QString names[] = {
        QStringLiteral("O'Brien"),
        QStringLiteral("Schützengesellschaft „Groß-Straße“ e.V."),
        QStringLiteral("x'); DROP TABLE Verein; --"),
        QStringLiteral("Tab\tund \"Anführung\""),
    };
    CVereinTable clubs(&db(), doc());
    int number = 1;
    for (const QString& name : names) {
        ASSERT_TRUE(clubs.SaveClubName(number, name));
        EXPECT_EQ(clubs.ClubName(number, 0), name);
        ++number;
    }
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Verein"), 4);

    CProfileTable profile(&db(), doc());
    ASSERT_TRUE(profile.WriteString(QStringLiteral("O'Brien"), QStringLiteral("Straße"), names[1]));
    EXPECT_EQ(profile.GetString(QStringLiteral("O'Brien"), QStringLiteral("Straße"), QString()), names[1]);

    CTeilnehmerTable people(&db(), doc());
    ASSERT_TRUE(people.OpenTable());
    EXPECT_TRUE(people.SelectParticipant(5));
    people.AddNew();
    people.m_Passnummer = 5;
    people.m_Name = QStringLiteral("D'Alessandro");
    people.m_Strasse = QStringLiteral("Große Straße 5");
    ASSERT_TRUE(people.Update());
    ASSERT_FALSE(people.SelectParticipant(5));
    EXPECT_EQ(people.m_Name, QStringLiteral("D'Alessandro"));
    EXPECT_EQ(people.m_Strasse, QStringLiteral("Große Straße 5"));
}

// ---------------------------------------------------------------------------------- failures

TEST_F(TablesTest, FullDiskLeavesNoHalfWrittenPlan)
{
    test::ScriptedPrompter prompts;
    // Room for nothing more: every page the plan rows need is refused like a full disk.
    const std::int64_t pages = scalar("PRAGMA page_count");
    exec(("PRAGMA max_page_count = " + std::to_string(pages)).c_str());
    CPlanTable plans(&db(), doc());
    ASSERT_TRUE(plans.OpenTable());
    std::string bigName(3000, 'x');
    EXPECT_FALSE(plans.SetPlanName(0, QString::fromStdString(bigName)));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Plan"), 0);
    EXPECT_EQ(db().transactionDepth(), 0);

    CWettkampfTable results(&db(), doc());
    ASSERT_TRUE(results.OpenTable());
    int failures = 0;
    for (int row = 1; row <= 20; ++row)
        failures += results.SavePoints(1, QString::fromStdString(bigName), 0, 0, 1, row) ? 0 : 1;
    EXPECT_GT(failures, 0);
    // What could not be written is not there; what was written is whole.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf WHERE length(Text) <> 3000"), 0);

    CProfileTable profile(&db(), doc());
    EXPECT_FALSE(profile.WriteString(QStringLiteral("S"), QStringLiteral("K"), QString(20000, QLatin1Char('y'))));
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_TRUE(prompts.messages.back().text.startsWith(QStringLiteral("Fehler: \n")));
    EXPECT_EQ(prompts.messages.back().icon, MessageIcon::Exclamation);
}

TEST_F(TablesTest, OpenTableOnMissingTableShowsTheEngineError)
{
    test::ScriptedPrompter prompts;
    exec("DROP TABLE Verein");
    CVereinTable clubs(&db(), doc());
    EXPECT_FALSE(clubs.OpenTable());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QStringLiteral("Fehler: \n")));
    // Lookups report nothing and fall back.
    EXPECT_EQ(clubs.NextClubNumber(), 1);
    EXPECT_TRUE(clubs.SelectClub(3));
    EXPECT_FALSE(clubs.SaveClubName(3, QStringLiteral("A")));
    EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(TablesTest, TwoConnectionsSeeEachOthersWrites)
{
    // A second program instance on the same file.
    QString error;
    auto other = openCompetition(comp.path(), &error);
    ASSERT_TRUE(other) << error.toStdString();
    CWettkampfTable mine(&db(), doc());
    CWettkampfTable theirs(other.get(), nullptr);
    ASSERT_TRUE(mine.OpenTable());
    ASSERT_TRUE(theirs.OpenTable());
    for (int row = 1; row <= 20; ++row) {
        ASSERT_TRUE(mine.SaveResult(row, 300 + row, 0, 0, 1, row));
        ASSERT_TRUE(theirs.SaveResult(row, 200 + row, 0, 0, 2, row));
    }
    EXPECT_FALSE(theirs.LoadResult(0, 0, 1, 20));
    EXPECT_EQ(theirs.m_Ergebnis, 320);
    EXPECT_FALSE(mine.LoadResult(0, 0, 2, 20));
    EXPECT_EQ(mine.m_Ergebnis, 220);

    // While one holds the write lock the other's save fails cleanly instead of half-writing.
    other->setBusyTimeout(50);
    Transaction held(db());
    ASSERT_TRUE(held.active());
    ASSERT_TRUE(mine.SaveResult(1, 999, 0, 0, 1, 1));
    EXPECT_FALSE(theirs.SaveResult(1, 111, 0, 0, 2, 1));
    EXPECT_EQ(theirs.GetLastError().code & 0xff, 5); // SQLITE_BUSY
    ASSERT_TRUE(held.commit());
    EXPECT_FALSE(theirs.LoadResult(0, 0, 1, 1));
    EXPECT_EQ(theirs.m_Ergebnis, 999);
    EXPECT_FALSE(theirs.LoadResult(0, 0, 2, 1));
    EXPECT_EQ(theirs.m_Ergebnis, 201);
}

} // namespace
} // namespace torvm
