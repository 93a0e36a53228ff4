#include "output/Ranking.h"

#include "LeagueData.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <vector>

namespace torvm {
namespace {

// Two groups; group 0 has class 3, group 1 class 0. Participants 1 ... 9 in class 1 unless set.
class RankingTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::LeagueData data{*comp.db()};

    void SetUp() override
    {
        data.exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), (11, 'SG Weiß')");
        data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Klasse, Verein01, VNr01, Verein02, VNr02) "
                  "VALUES (0, 'Gauliga', 4, 0, 3, 10, '1', 11, '1'), (1, 'Kreisliga', 4, 0, 0, 10, '2', 0, '')");
        data.exec("INSERT INTO Teilnehmer (Paßnummer, Name, Vorname, Klasse) VALUES (1, 'Huber', 'Anna', 1), "
                  "(2, 'Maier', 'Sepp', 1), (3, 'Bauer', 'Resi', 1), (4, 'Gruber', 'Toni', 1), "
                  "(5, 'Wimmer', 'Vroni', 1), (6, 'Lechner', 'Kathi', 2), (7, 'Zehentner', 'Max', 20), "
                  "(8, 'Fischer', 'Ulli', 25)");
        data.exec("UPDATE Klasse SET Name = 'Sonderklasse' WHERE KlasseID = 20");
    }

    IndividualRanking rank(int platz, RankingClassMode mode, int round = 0)
    {
        return ComputeRanking(comp.doc(), round, platz, mode);
    }

    static std::vector<int> labels(const RankingClass& c)
    {
        std::vector<int> out;
        for (const RankingRow& row : c.rows)
            out.push_back(row.rank);
        return out;
    }
    static std::vector<int> classIndexes(const IndividualRanking& r)
    {
        std::vector<int> out;
        for (const RankingClass& c : r.classes)
            out.push_back(c.index);
        return out;
    }
};

TEST_F(RankingTest, TiesAtTheLastPlaceAreAllListed)
{
    // Rings 290, 288, 288, 288, 285 in class 1 with Platz 3.
    data.shooters(0, 0, 1, {290, 288, 288}, {1, 2, 3});
    data.shooters(0, 0, 2, {288, 285}, {4, 5});
    const IndividualRanking r = rank(3, RankingClassMode::Participant);
    ASSERT_EQ(classIndexes(r), (std::vector<int>{1}));
    const RankingClass& c = r.classes[0];
    EXPECT_EQ(c.name, QStringLiteral("Schützenklasse"));
    EXPECT_EQ(c.counted, 3);
    EXPECT_EQ(labels(c), (std::vector<int>{1, 2, 0, 0}));
    ASSERT_EQ(c.rows.size(), 4u);
    EXPECT_EQ(c.rows[0].name, QStringLiteral("Huber Anna"));
    EXPECT_EQ(c.rows[0].team, QStringLiteral("SV Tell 1"));
    EXPECT_EQ(c.rows[3].team, QStringLiteral("SG Weiß 1"));
}

TEST_F(RankingTest, RankLabelsSkipThePlacesOfTies)
{
    data.shooters(0, 0, 1, {290, 288, 288, 285}, {1, 2, 3, 4});
    const IndividualRanking r = rank(10, RankingClassMode::Participant);
    ASSERT_EQ(r.classes.size(), 1u);
    EXPECT_EQ(labels(r.classes[0]), (std::vector<int>{1, 2, 0, 4}));
}

TEST_F(RankingTest, PlatzZeroRanksNothing)
{
    data.shooters(0, 0, 1, {290, 288}, {1, 6});
    EXPECT_TRUE(rank(0, RankingClassMode::Participant).classes.empty());
    EXPECT_TRUE(rank(0, RankingClassMode::None).classes.empty());
}

TEST_F(RankingTest, ClassesComeFromParticipantsGroupsOrNowhere)
{
    data.shooters(0, 0, 1, {290, 280}, {1, 6});       // group 0: class 3
    data.shooters(1, 0, 1, {285}, {2});               // group 1: no class
    data.shooters(0, 0, 2, {270, 0, 260}, {0, 3, 4}); // no participant, no rings, rings
    struct Case {
        RankingClassMode mode;
        std::vector<int> classes;
        std::vector<int> rowsPerClass;
    };
    for (const Case& c : {Case{RankingClassMode::Participant, {1, 2}, {3, 1}},
                          Case{RankingClassMode::Group, {0, 3}, {1, 3}}, Case{RankingClassMode::None, {0}, {4}}}) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        const IndividualRanking r = rank(10, c.mode);
        EXPECT_EQ(classIndexes(r), c.classes);
        std::vector<int> rows;
        for (const RankingClass& cls : r.classes)
            rows.push_back(static_cast<int>(cls.rows.size()));
        EXPECT_EQ(rows, c.rowsPerClass);
    }
    const IndividualRanking byGroup = rank(10, RankingClassMode::Group);
    ASSERT_EQ(byGroup.classes.size(), 2u);
    ASSERT_FALSE(byGroup.classes[0].rows.empty());
    EXPECT_EQ(byGroup.classes[1].name, QStringLiteral("Altersklasse"));
    EXPECT_TRUE(byGroup.classes[0].name.isEmpty());
    EXPECT_EQ(byGroup.classes[0].rows[0].team, QStringLiteral("SV Tell 2"));
}

TEST_F(RankingTest, ClassTwentyIsRankedAndUnknownClassesOrPeopleCountAsNoClass)
{
    data.shooters(0, 0, 1, {290, 280, 270}, {7, 8, 99}); // class 20, class 25, unknown number
    const IndividualRanking r = rank(10, RankingClassMode::Participant);
    ASSERT_EQ(classIndexes(r), (std::vector<int>{0, 20}));
    EXPECT_EQ(r.classes[1].name, QStringLiteral("Sonderklasse"));
    ASSERT_EQ(r.classes[0].rows.size(), 2u);
    EXPECT_EQ(r.classes[0].rows[0].name, QStringLiteral("Fischer Ulli"));
    // A row stored under an unknown number is listed under that number, in both rankings.
    EXPECT_EQ(r.classes[0].rows[1].name, QStringLiteral("Passnr. 99 (unbekannt)"));
    EXPECT_EQ(r.classes[0].rows[1].rings, 270);
    const SeasonRanking season = ComputeSeasonRanking(comp.doc(), 0, 1, RankingClassMode::Participant);
    ASSERT_EQ(season.classes.size(), 2u);
    ASSERT_EQ(season.classes[0].rows.size(), 2u);
    EXPECT_EQ(season.classes[0].rows[1].name, QStringLiteral("Passnr. 99 (unbekannt)"));
}

TEST_F(RankingTest, OnlyTheChosenRoundIsRead)
{
    data.shooters(0, 0, 1, {290}, {1});
    data.shooters(0, 1, 1, {250}, {1});
    const IndividualRanking r = rank(10, RankingClassMode::None, 1);
    ASSERT_EQ(r.classes.size(), 1u);
    ASSERT_EQ(r.classes[0].rows.size(), 1u);
    EXPECT_EQ(r.classes[0].rows[0].rings, 250);
    EXPECT_TRUE(rank(10, RankingClassMode::None, 2).classes.empty());
}

TEST(ParticipantNameTest, LeavesOutEmptyParts)
{
    const QString s;
    EXPECT_EQ(participantDisplayName(QStringLiteral("Dr."), QStringLiteral("Weiß"), QStringLiteral("Jörg"),
                                     QStringLiteral("jun.")),
              QStringLiteral("Dr. Weiß Jörg jun."));
    EXPECT_EQ(participantDisplayName(s, QStringLiteral("Weiß"), s, QStringLiteral("sen.")),
              QStringLiteral("Weiß sen."));
    EXPECT_EQ(participantDisplayName(s, QStringLiteral("Weiß"), s, s), QStringLiteral("Weiß"));
}

} // namespace
} // namespace torvm
