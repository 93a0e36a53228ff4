#include "results/CompetitionRules.h"
#include "support/Fixtures.h"

#include <QFile>

#include <gtest/gtest.h>

namespace torvm {
namespace {

TEST(CompetitionRulesTest, RingsAreTypedAndShownInWholeRingsOrTenths)
{
    struct Case {
        const char* typed;
        bool tenths;
        std::optional<std::int32_t> stored;
        const char* shown;
    };
    for (const Case& c : {Case{"97", false, 97, "97"}, Case{"97,3", false, {}, ""}, Case{"97", true, 970, "97,0"},
                          Case{" 97.3 ", true, 973, "97,3"}, Case{"0,5", true, 5, "0,5"}, Case{"97,35", true, {}, ""},
                          Case{"-1", true, {}, ""}, Case{"", false, {}, ""}}) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(parseRings(QString::fromUtf8(c.typed), c.tenths), c.stored);
        EXPECT_EQ(c.stored ? ringText(*c.stored, c.tenths) : QString(), QString::fromUtf8(c.shown));
    }
}

TEST(CompetitionRulesTest, TieBreakChainsHoldOneToThreeDistinctCriteria)
{
    using enum TieBreak;
    using Chain = std::optional<std::vector<TieBreak>>;
    const std::vector<std::tuple<const char*, Chain, const char*>> cases{
        {"ringe", std::vector{Rings}, ""},
        {"direkt-ringe, bestes", std::vector{DirectRings, BestTeam},
         "Bei Punktgleichheit: Direkter Vergleich Ringe, Bestes Mannschaftsergebnis"},
        {"bestes,direkt,ringe", std::vector{BestTeam, Direct, Rings},
         "Bei Punktgleichheit: Bestes Mannschaftsergebnis, Direkter Vergleich, Ringe"},
        {"ringe,ringe", {}, ""},
        {"ringe,direkt,bestes,direkt-ringe", {}, ""},
        {"", {}, ""},
        {"Ringe", {}, ""}};
    for (const auto& [list, chain, line] : cases) {
        SCOPED_TRACE(list);
        EXPECT_EQ(parseTieBreaks(QString::fromUtf8(list)), chain);
        EXPECT_EQ(chain ? tieBreakLine(*chain) : QString(), QString::fromUtf8(line));
    }
}

class CompetitionRulesFileTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    Database* db() { return comp.db(); }
    QByteArray fileBytes()
    {
        QFile file(comp.path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    std::int64_t rings()
    {
        Statement st = db()->prepare(R"(SELECT "Ergebnis" FROM "Wettkampf" WHERE "ID" = 101)");
        return st.next() ? st.int64(0) : -1;
    }
};

TEST_F(CompetitionRulesFileTest, RulesAreStoredOnlyWhenValid)
{
    EXPECT_EQ(competitionRules(db(), &comp.doc()), CompetitionRules{});
    const CompetitionRules rules{false, {TieBreak::Direct, TieBreak::BestTeam}, 3};
    QString error;
    ASSERT_TRUE(setCompetitionRules(db(), &comp.doc(), rules, &error)) << error.toStdString();
    ASSERT_TRUE(setGroupBestCount(db(), &comp.doc(), 2, 3, &error));
    for (const auto& [refused, text] : std::vector<std::pair<CompetitionRules, const char*>>{
             {{false, {}, 0}, "Bei Punktgleichheit gelten ein bis drei Kriterien."},
             {{false, {TieBreak::Rings, TieBreak::Rings}, 0}, "Das Kriterium \"Ringe\" ist mehrfach gewählt."},
             {{false, {TieBreak::Rings}, 100}, "Die Ersatzeinsätze je Schütze müssen zwischen 0 und 99 liegen."}}) {
        EXPECT_FALSE(setCompetitionRules(db(), &comp.doc(), refused, &error));
        EXPECT_EQ(error, QString::fromUtf8(text));
    }
    EXPECT_FALSE(setGroupBestCount(db(), &comp.doc(), 2, 21, &error));
    EXPECT_EQ(competitionRules(db(), &comp.doc()), rules);
    EXPECT_EQ(groupBestCount(db(), &comp.doc(), 2), 3);
    EXPECT_EQ(groupBestCount(db(), &comp.doc(), 1), 0);
}

TEST_F(CompetitionRulesFileTest, SwitchingTenthsScalesEveryResultOrIsRefusedWithTheFileUnchanged)
{
    ASSERT_TRUE(db()->execute(R"(INSERT INTO "Wettkampf" ("ID", "TNr", "Ergebnis") VALUES (101, 7, 97), (102, 8, 0))"));
    QString error;
    ASSERT_TRUE(setCompetitionRules(db(), &comp.doc(), {true, {TieBreak::Rings}, 0}, &error));
    EXPECT_EQ(highestSingleResult(db(), &comp.doc()), 0); // unset under tenths until chosen
    ASSERT_TRUE(setHighestSingleResult(db(), &comp.doc(), 3270));
    struct Step {
        bool tenths;
        const char* sqlBefore;
        const char* error; // empty: switched
        std::int64_t rings;
        int highest;
    };
    for (const Step& step :
         {Step{true, nullptr, "", 970, 3270}, // already on: nothing scales twice
          Step{false, nullptr, "", 97, 327},
          Step{true, R"(UPDATE "Wettkampf" SET "Ergebnis" = 214748365 WHERE "ID" = 102)",
               "Die Zehntelwertung kann nicht eingeschaltet werden: das Ergebnis 214748365 ist zu groß.", 97, 327},
          Step{true, R"(UPDATE "Wettkampf" SET "Ergebnis" = 0 WHERE "ID" = 102)", "", 970, 3270},
          Step{false, R"(UPDATE "Wettkampf" SET "Ergebnis" = 973 WHERE "ID" = 101)",
               "Die Zehntelwertung kann nicht ausgeschaltet werden: gespeicherte Ergebnisse haben Zehntel (z. B. "
               "97,3). Bitte diese Ergebnisse zuerst auf ganze Ringe ändern.",
               973, 3270}}) {
        if (step.sqlBefore) {
            ASSERT_TRUE(db()->execute(step.sqlBefore));
        }
        const QByteArray before = fileBytes();
        EXPECT_EQ(setCompetitionRules(db(), &comp.doc(), {step.tenths, {TieBreak::Rings}, 0}, &error), !*step.error);
        EXPECT_EQ(*step.error ? error : QString(), QString::fromUtf8(step.error));
        EXPECT_EQ(rings(), step.rings);
        EXPECT_EQ(highestSingleResult(db(), &comp.doc()), step.highest);
        EXPECT_EQ(competitionRules(db(), &comp.doc()).tenths, *step.error ? !step.tenths : step.tenths);
        if (*step.error) {
            EXPECT_EQ(fileBytes(), before);
        }
    }
}

} // namespace
} // namespace torvm
