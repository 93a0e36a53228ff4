#include "results/CompetitionRules.h"
#include "results/PairingEntry.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace torvm {
namespace {

TEST(RingTextTest, TypedRingsAndTheirTextInWholeRingsAndTenths)
{
    struct Case {
        const char* typed;
        bool tenths;
        std::optional<std::int32_t> stored;
        const char* shown; // text of the stored value; null when refused
    };
    const Case cases[] = {
        {"97", false, 97, "97"},
        {"97,3", false, std::nullopt, nullptr},
        {"97", true, 970, "97,0"},
        {"97,3", true, 973, "97,3"},
        {" 97.3 ", true, 973, "97,3"},
        {"0,5", true, 5, "0,5"},
        {"97,35", true, std::nullopt, nullptr},
        {"-1", true, std::nullopt, nullptr},
        {"", false, std::nullopt, nullptr},
        {"9a", false, std::nullopt, nullptr},
        {"327,0", true, 3270, "327,0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(parseRings(QString::fromUtf8(c.typed), c.tenths), c.stored);
        if (c.stored) {
            EXPECT_EQ(ringText(*c.stored, c.tenths), QString::fromUtf8(c.shown));
        }
    }
    EXPECT_EQ(ringText(-5, true), QStringLiteral("-0,5"));
}

TEST(TieBreakTest, ChainsParseOnlyFromOneToThreeDistinctKnownWords)
{
    using enum TieBreak;
    struct Case {
        const char* list;
        std::optional<std::vector<TieBreak>> chain;
        const char* line;
    };
    const Case cases[] = {
        {"ringe", std::vector{Rings}, ""},
        {"direkt,ringe", std::vector{Direct, Rings}, "Bei Punktgleichheit: Direkter Vergleich, Ringe"},
        {"direkt-ringe, bestes", std::vector{DirectRings, BestTeam},
         "Bei Punktgleichheit: Direkter Vergleich Ringe, Bestes Mannschaftsergebnis"},
        {"bestes,direkt,ringe", std::vector{BestTeam, Direct, Rings},
         "Bei Punktgleichheit: Bestes Mannschaftsergebnis, Direkter Vergleich, Ringe"},
        {"ringe,ringe", std::nullopt, nullptr},
        {"ringe,direkt,bestes,direkt-ringe", std::nullopt, nullptr},
        {"", std::nullopt, nullptr},
        {"Ringe", std::nullopt, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        const auto chain = parseTieBreaks(QString::fromUtf8(c.list));
        EXPECT_EQ(chain, c.chain);
        if (chain) {
            EXPECT_EQ(tieBreakLine(*chain), QString::fromUtf8(c.line));
            EXPECT_EQ(parseTieBreaks(tieBreakKeywords(*chain)), chain);
        }
    }
}

TEST(CountedRowsTest, BestNOfTheTeamShootersCountAndMarkedRowsNever)
{
    struct Case {
        const char* what;
        std::vector<std::int32_t> rings;
        std::vector<std::uint8_t> scoring;
        int best;
        std::vector<bool> counted;
    };
    const Case cases[] = {
        {"all count by default", {90, 95, 80, 85}, {0, 0, 0, 0}, 0, {true, true, true, true}},
        {"best 3 of 4 leaves the lowest", {90, 95, 80, 85}, {0, 0, 0, 0}, 3, {true, true, false, true}},
        {"equal rings: the upper row counts", {90, 90, 90, 90}, {0, 0, 0, 0}, 2, {true, true, false, false}},
        {"individual and AK never count", {99, 98, 80, 85}, {1, 2, 0, 0}, 0, {false, false, true, true}},
        {"nor take a best place", {99, 98, 80, 85}, {1, 2, 0, 0}, 1, {false, false, false, true}},
        {"N above the team shooters: all count", {90, 95}, {0, 0}, 4, {true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::array<std::int32_t, kShooterRows> rings{};
        std::array<std::uint8_t, kShooterRows> scoring{};
        std::copy(c.rings.begin(), c.rings.end(), rings.begin());
        std::copy(c.scoring.begin(), c.scoring.end(), scoring.begin());
        const auto counted = countedRows(rings, scoring, static_cast<int>(c.rings.size()), c.best);
        EXPECT_EQ(std::vector<bool>(counted.begin(), counted.begin() + static_cast<std::ptrdiff_t>(c.rings.size())),
                  c.counted);
        EXPECT_FALSE(counted[c.rings.size()]);
    }
}

class CompetitionRulesTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    Database* db() { return comp.db(); }

    void exec(const char* sql) { ASSERT_TRUE(db()->execute(sql)) << db()->lastError().text.toStdString(); }
    // Every result and setting, to show that a refused change left the file as it was.
    QString contents()
    {
        QString text;
        Statement st = db()->prepare(R"(SELECT "ID" || ':' || COALESCE("Ergebnis", '') FROM "Wettkampf"
            UNION ALL SELECT "Name" || '=' || COALESCE("Int", '') || COALESCE("String", '') FROM "Profile" ORDER BY 1)");
        while (st.next())
            text += st.text(0) + QLatin1Char(' ');
        return text;
    }
};

TEST_F(CompetitionRulesTest, DefaultsAreTodaysRulesAndEveryRuleIsStored)
{
    EXPECT_EQ(competitionRules(db(), &comp.doc()), CompetitionRules{});
    EXPECT_EQ(groupBestCount(db(), &comp.doc(), 2), 0);
    const CompetitionRules rules{false, {TieBreak::Direct, TieBreak::BestTeam}, 3};
    QString error;
    ASSERT_TRUE(setCompetitionRules(db(), &comp.doc(), rules, &error)) << error.toStdString();
    ASSERT_TRUE(setGroupBestCount(db(), &comp.doc(), 2, 3, &error));
    EXPECT_EQ(competitionRules(db(), &comp.doc()), rules);
    EXPECT_EQ(groupBestCount(db(), &comp.doc(), 2), 3);
    EXPECT_EQ(groupBestCount(db(), &comp.doc(), 1), 0);

    struct Refused {
        CompetitionRules rules;
        const char* error;
    };
    const Refused refused[] = {
        {{false, {}, 0}, "Bei Punktgleichheit gelten ein bis drei Kriterien."},
        {{false, {TieBreak::Rings, TieBreak::Rings}, 0}, "Das Kriterium \"Ringe\" ist mehrfach gewählt."},
        {{false, {TieBreak::Rings}, 100}, "Die Ersatzeinsätze je Schütze müssen zwischen 0 und 99 liegen."},
    };
    for (const Refused& r : refused) {
        EXPECT_FALSE(setCompetitionRules(db(), &comp.doc(), r.rules, &error));
        EXPECT_EQ(error, QString::fromUtf8(r.error));
    }
    EXPECT_FALSE(setGroupBestCount(db(), &comp.doc(), 2, 21, &error));
    EXPECT_EQ(competitionRules(db(), &comp.doc()), rules);
    EXPECT_EQ(groupBestCount(db(), &comp.doc(), 2), 3);
}

TEST_F(CompetitionRulesTest, SwitchingTenthsScalesEveryResultOrIsRefusedWithTheFileUnchanged)
{
    exec(R"(INSERT INTO "Wettkampf" ("ID", "TNr", "Durchgang", "Ergebnis") VALUES (101, 7, 0, 97), (102, 8, 0, 0),
            (199, 0, 0, 0))");
    ASSERT_TRUE(setHighestSingleResult(db(), &comp.doc(), 327));
    struct Step {
        bool tenths;
        const char* sqlBefore; // a change to the results before the switch
        bool ok;
        std::int64_t rings; // row 101 afterwards
        int highest;
    };
    const Step steps[] = {
        {true, nullptr, true, 970, 3270},
        {true, nullptr, true, 970, 3270}, // already on: nothing scales twice
        {false, nullptr, true, 97, 327},
        {true, R"(UPDATE "Wettkampf" SET "Ergebnis" = 214748365 WHERE "ID" = 102)", false, 97, 327},
        {true, R"(UPDATE "Wettkampf" SET "Ergebnis" = 0 WHERE "ID" = 102)", true, 970, 3270},
        {false, R"(UPDATE "Wettkampf" SET "Ergebnis" = 973 WHERE "ID" = 101)", false, 973, 3270},
    };
    for (const Step& step : steps) {
        if (step.sqlBefore)
            exec(step.sqlBefore);
        const QString before = contents();
        QString error;
        EXPECT_EQ(setCompetitionRules(db(), &comp.doc(), {step.tenths, {TieBreak::Rings}, 0}, &error), step.ok)
            << error.toStdString();
        Statement st = db()->prepare(R"(SELECT "Ergebnis" FROM "Wettkampf" WHERE "ID" = 101)");
        ASSERT_TRUE(st.next());
        EXPECT_EQ(st.int64(0), step.rings);
        EXPECT_EQ(highestSingleResult(db(), &comp.doc()), step.highest);
        if (!step.ok) {
            EXPECT_EQ(contents(), before);
            EXPECT_FALSE(error.isEmpty());
        }
    }
    QString error;
    EXPECT_FALSE(setCompetitionRules(db(), &comp.doc(), {false, {TieBreak::Rings}, 0}, &error));
    EXPECT_EQ(error, QStringLiteral("Die Zehntelwertung kann nicht ausgeschaltet werden: gespeicherte Ergebnisse haben "
                                    "Zehntel (z. B. 97,3). Bitte diese Ergebnisse zuerst auf ganze Ringe ändern."));
}

TEST_F(CompetitionRulesTest, TheHighestSingleResultIsUnsetUnderTenthsUntilChosen)
{
    QString error;
    ASSERT_TRUE(setCompetitionRules(db(), &comp.doc(), {true, {TieBreak::Rings}, 0}, &error));
    EXPECT_EQ(highestSingleResult(db(), &comp.doc()), 0);
    ASSERT_TRUE(setHighestSingleResult(db(), &comp.doc(), 4360));
    EXPECT_EQ(highestSingleResult(db(), &comp.doc()), 4360);
}

} // namespace
} // namespace torvm
