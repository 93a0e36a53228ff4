#include "output/Standings.h"

#include "LeagueData.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace torvm {
namespace {

// Group 0 with two counting shooters per team on plan 0; slots 1 ... 4 are used.
// Round 0 pairs 1-2 and 3-4, round 1 pairs 1-3 and 4-2, round 2 pairs 1-4 and 2-3.
class StandingsTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::LeagueData data{*comp.db()};

    void SetUp() override
    {
        data.exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), (11, 'SG Weiß'), "
                  "(12, 'FSG Au'), (13, 'KSV Öd'), (14, 'SC Mitte')");
        data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01, Verein02, VNr02, Verein03, VNr03, "
                  "Verein04, VNr04) VALUES (0, 'Gauliga', 2, 0, 10, '1', 11, '1', 12, '2', 13, '1')");
        data.exec("INSERT INTO Plan (PlanID, Name, A1, B1, A2, B2) VALUES (0, 'P', 1, 2, 3, 4), (1, 'P', 1, 3, 4, 2), "
                  "(2, 'P', 1, 4, 2, 3)");
    }

    CTabellenStand standings(int round) { return ComputeStandings(comp.db(), &comp.doc(), 0, round); }
    LeagueTable table(int round) { return ComputeLeagueTable(comp.db(), &comp.doc(), 0, round); }

    static std::vector<int> shownSlots(const LeagueTable& t)
    {
        std::vector<int> result;
        for (const StandingRow& row : t.rows)
            result.push_back(row.slot);
        return result;
    }
    static std::vector<int> shownRanks(const LeagueTable& t)
    {
        std::vector<int> ranks;
        for (const StandingRow& row : t.rows)
            ranks.push_back(row.rank);
        return ranks;
    }
};

struct Team {
    int plus, minus;
    std::int64_t rings;
    int shot;
};

struct ScoringCase {
    const char* name;
    std::function<void(test::LeagueData&)> enter; // results of round 0
    Team slot1, slot2;
};

TEST_F(StandingsTest, ScoresEachPairingByTheMatchRuleWithTheTeamsAdjustments)
{
    const std::vector<ScoringCase> cases{
        {"0:0 with an adjustment: not shot, no points, adjustment applied",
         [](test::LeagueData& d) { d.adjustment(0, 0, 1, -1, QStringLiteral("nicht angetreten")); },
         {-1, 0, 0, 0},
         {0, 0, 0, 0}},
        {"equal totals: 1 : 1 each",
         [](test::LeagueData& d) {
             d.shooters(0, 0, 1, {190, 190});
             d.shooters(0, 0, 2, {185, 195});
         },
         {1, 1, 380, 1},
         {1, 1, 380, 1}},
        {"+2 credit on a loss gives 2 : 2",
         [](test::LeagueData& d) {
             d.shooters(0, 0, 1, {180, 190});
             d.shooters(0, 0, 2, {190, 190});
             d.adjustment(0, 0, 1, 2, QStringLiteral("Einspruch"));
         },
         {2, 2, 370, 1},
         {2, 0, 380, 1}},
        {"-1 without a win leaves negative points for",
         [](test::LeagueData& d) {
             d.shooters(0, 0, 1, {180, 190});
             d.shooters(0, 0, 2, {190, 190});
             d.adjustment(0, 0, 1, -1);
         },
         {-1, 2, 370, 1},
         {2, 0, 380, 1}},
        {"rows above the team size do not count",
         [](test::LeagueData& d) {
             d.shooters(0, 0, 1, {180, 180, 300});
             d.shooters(0, 0, 2, {181, 180});
         },
         {0, 2, 360, 1},
         {2, 0, 361, 1}},
        {"one side without rows still makes the pairing shot",
         [](test::LeagueData& d) {
             d.shooters(0, 0, 2, {100, 0});
         },
         {0, 2, 0, 1},
         {2, 0, 100, 1}},
    };
    for (const ScoringCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(comp.db()->execute("DELETE FROM Wettkampf"));
        c.enter(data);
        const CTabellenStand s = standings(0);
        for (const auto& [slot, team] : {std::pair{1, c.slot1}, std::pair{2, c.slot2}}) {
            EXPECT_EQ(s.Pluspunkte[slot], team.plus) << "slot " << slot;
            EXPECT_EQ(s.Minuspunkte[slot], team.minus) << "slot " << slot;
            EXPECT_EQ(s.Ringe[slot], team.rings) << "slot " << slot;
            EXPECT_EQ(s.Kaempfe[slot], team.shot) << "slot " << slot;
        }
    }
}

// Plans stored before the editors checked may name a team twice in a round or against itself;
// the team's rows of that round still count once.
TEST_F(StandingsTest, ATeamNamedTwiceInARoundCountsOnce)
{
    data.exec("UPDATE Plan SET A1 = 1, B1 = 2, A2 = 1, B2 = 3, A3 = 4, B3 = 4 WHERE PlanID = 0");
    data.shooters(0, 0, 1, {190, 190});
    data.shooters(0, 0, 2, {180, 180});
    data.shooters(0, 0, 3, {170, 170});
    data.shooters(0, 0, 4, {150, 150});
    const CTabellenStand s = standings(0);
    EXPECT_EQ(s.Ringe[1], 380);
    EXPECT_EQ(s.Kaempfe[1], 1);
    EXPECT_EQ(s.Pluspunkte[1], 2);
    EXPECT_EQ(s.Kaempfe[3], 0); // its pairing named slot 1 a second time
    EXPECT_EQ(s.Kaempfe[4], 0); // against itself
    EXPECT_EQ(s.Ringe[4], 0);
}

TEST_F(StandingsTest, SumsEveryRoundUpToTheChosenOneOnly)
{
    data.shooters(0, 0, 1, {190, 190});
    data.shooters(0, 0, 2, {180, 180});
    data.shooters(0, 1, 1, {170, 170});
    data.shooters(0, 1, 3, {175, 175});
    data.adjustment(0, 1, 1, -2);
    data.shooters(0, 2, 1, {199, 199}); // not counted after round 1

    const CTabellenStand s = standings(1);
    EXPECT_EQ(s.Ringe[1], 380 + 340);
    EXPECT_EQ(s.Pluspunkte[1], 2 + 0 - 2);
    EXPECT_EQ(s.Minuspunkte[1], 2);
    EXPECT_EQ(s.Kaempfe[1], 2);
    EXPECT_EQ(s.Pluspunkte[3], 2);
    EXPECT_EQ(s.MaxSlot, 4);
}

TEST_F(StandingsTest, OrdersByPointsThenRingsAndLabelsOnlyNewPoints)
{
    // Round 0: 1 beats 2, which gets a point back; 3 and 4 draw. Three teams end with 1 point:
    // 3 and 4 with 370 rings, 2 with 360.
    data.shooters(0, 0, 1, {190, 190});
    data.shooters(0, 0, 2, {180, 180});
    data.adjustment(0, 0, 2, 1);
    data.shooters(0, 0, 3, {185, 185});
    data.shooters(0, 0, 4, {180, 190});
    const LeagueTable t = table(0);
    EXPECT_EQ(shownSlots(t), (std::vector<int>{1, 4, 3, 2}));
    EXPECT_EQ(shownRanks(t), (std::vector<int>{1, 2, 0, 0}));
}

TEST_F(StandingsTest, TeamsEqualInPointsAndRingsEndInDescendingSlotOrder)
{
    data.shooters(0, 0, 1, {190, 190});
    data.shooters(0, 0, 2, {190, 190});
    data.shooters(0, 0, 3, {190, 190});
    data.shooters(0, 0, 4, {190, 190});
    const LeagueTable t = table(0);
    EXPECT_EQ(shownSlots(t), (std::vector<int>{4, 3, 2, 1}));
    EXPECT_EQ(shownRanks(t), (std::vector<int>{1, 0, 0, 0}));
}

TEST_F(StandingsTest, UnusedSlotsStayBehindEveryTeam)
{
    // Before any result every team is shown, and a deduction does not let empty slots 5 ... 20
    // pass the team or count in its rank.
    const LeagueTable before = table(0);
    EXPECT_EQ(shownSlots(before), (std::vector<int>{4, 3, 2, 1}));
    EXPECT_EQ(shownRanks(before), (std::vector<int>{1, 0, 0, 0}));

    data.adjustment(0, 0, 2, -2);
    const LeagueTable after = table(0);
    EXPECT_EQ(shownSlots(after), (std::vector<int>{4, 3, 1, 2}));
    EXPECT_EQ(shownRanks(after), (std::vector<int>{1, 0, 0, 4}));
}

TEST_F(StandingsTest, RoundsAfterThePlansLastRoundStillShowTheTable)
{
    data.shooters(0, 2, 1, {190, 190});
    data.shooters(0, 2, 4, {180, 180});
    const LeagueTable t = table(7);
    EXPECT_EQ(t.stand.MaxSlot, 4);
    EXPECT_EQ(shownSlots(t), (std::vector<int>{1, 4, 3, 2}));
    EXPECT_EQ(t.stand.Ringe[1], 380);
    EXPECT_TRUE(t.pairings.empty()); // round 8 itself has no pairings
}

TEST_F(StandingsTest, TeamsBeyondTheLargestPlannedSlotGetNoRow)
{
    data.exec("UPDATE Gruppe SET Verein05 = 14, VNr05 = '1' WHERE ID = 0");
    data.shooters(0, 0, 1, {190, 190});
    data.shooters(0, 0, 2, {180, 180});
    data.adjustment(0, 0, 2, -1);
    const LeagueTable t = table(0);
    EXPECT_EQ(t.stand.MaxSlot, 4);
    EXPECT_EQ(shownSlots(t), (std::vector<int>{1, 5, 4, 3})); // slot 5 takes a place, 2 falls off
}

TEST_F(StandingsTest, PairingsWithAnEmptySlotAreNotCounted)
{
    data.exec("UPDATE Gruppe SET Verein02 = 0 WHERE ID = 0");
    data.shooters(0, 0, 1, {190, 190});
    data.shooters(0, 0, 2, {180, 180});
    const LeagueTable t = table(0);
    EXPECT_EQ(t.stand.Kaempfe[1], 0);
    EXPECT_EQ(t.stand.Ringe[1], 0);
    ASSERT_EQ(t.pairings.size(), 1u);
    EXPECT_EQ(t.pairings[0].slotA, 3);
    EXPECT_EQ(shownSlots(t), (std::vector<int>{4, 3, 1}));
}

TEST_F(StandingsTest, NumbersTheRemarksOfTheRoundInPairingOrder)
{
    data.exec("UPDATE Plan SET A3 = 5, B3 = 6 WHERE PlanID = 0");
    data.exec("UPDATE Gruppe SET Verein05 = 14, VNr05 = '1', Verein06 = 14, VNr06 = '2' WHERE ID = 0");
    data.adjustment(0, 0, 2, -1, QStringLiteral("verspätet"));
    data.adjustment(0, 0, 3, 0, QStringLiteral("Ersatzschütze"));
    data.adjustment(0, 0, 4, 0, QStringLiteral("Termin verlegt"));
    data.adjustment(0, 0, 5, 0); // no text, no remark
    data.adjustment(0, 1, 1, 0, QStringLiteral("andere Runde"));

    const LeagueTable t = table(0);
    EXPECT_EQ(t.remarks, (QStringList{QStringLiteral("verspätet"), QStringLiteral("Ersatzschütze - Termin verlegt")}));
    ASSERT_EQ(t.pairings.size(), 3u);
    EXPECT_EQ(t.pairings[0].remark, 1);
    EXPECT_EQ(t.pairings[1].remark, 2);
    EXPECT_EQ(t.pairings[2].remark, 0);
    EXPECT_EQ(remarkMarker(1), QStringLiteral("*"));
    EXPECT_EQ(remarkMarker(3), QStringLiteral("***"));
}

TEST_F(StandingsTest, AMissingGroupGivesAnEmptyTable)
{
    const LeagueTable t = ComputeLeagueTable(comp.db(), &comp.doc(), 7, 0);
    EXPECT_TRUE(t.ok);
    EXPECT_TRUE(t.name.isEmpty());
    EXPECT_TRUE(t.rows.empty());
    EXPECT_TRUE(t.pairings.empty());
}

} // namespace
} // namespace torvm
