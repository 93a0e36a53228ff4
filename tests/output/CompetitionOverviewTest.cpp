#include "output/CompetitionOverview.h"
#include "output/OverviewLeague.h"
#include "results/CompetitionRules.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace torvm {
namespace {

std::vector<std::string> rows(const GroupOverview& g)
{
    std::vector<std::string> lines;
    for (const OverviewStanding& s : g.standings)
        lines.push_back(std::to_string(s.place) + '|' + s.team.toStdString() + '|' + std::to_string(s.pointsFor) + ':' +
                        std::to_string(s.pointsAgainst) + '|' + s.rings.toStdString());
    return lines;
}

TEST(CompetitionOverview, EachGroupShowsItsStandingsItsRoundAndWhatIsOverdue)
{
    test::TempCompetition comp;
    ASSERT_TRUE(test::fillOverviewLeague(comp.db())) << comp.db()->lastError().text.toStdString();
    const struct {
        std::vector<TieBreak> tieBreaks;
        QDate today;
        std::vector<std::string> kreisliga;
        const char* next;
        std::size_t overdue, overdueBezirk;
    } cases[] = {
        // Points first, equal points by rings and without a place of their own.
        {{TieBreak::Rings},
         {2024, 11, 1},
         {"1|SV Adler 1|2:2|575", "0|KK Eiche 1|2:2|556", "0|SG Linde 1|2:0|275", "4|SG Tell 1|0:2|280"},
         "Nächster Durchgang: 3 am 08.11.2024",
         1,
         0},
        // Among the three with 2 points Eiche beat Adler and Linde beat Eiche: Adler falls behind both,
        // rings part the two winners, and the chain gives every team a place. The season is over.
        {{TieBreak::Direct, TieBreak::Rings},
         {2024, 12, 1},
         {"1|KK Eiche 1|2:2|556", "2|SG Linde 1|2:0|275", "3|SV Adler 1|2:2|575", "4|SG Tell 1|0:2|280"},
         "Kein weiterer Durchgang mit Datum.",
         3,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.next);
        QString error;
        CompetitionRules rules;
        rules.tieBreaks = c.tieBreaks;
        ASSERT_TRUE(setCompetitionRules(comp.db(), &comp.doc(), rules, &error)) << error.toStdString();
        const auto overview = competitionOverview(comp.doc(), c.today, &error);
        ASSERT_TRUE(overview && overview->size() == 2u) << error.toStdString();
        const GroupOverview& kreis = overview->at(0);
        EXPECT_EQ(kreis.round, 1);
        EXPECT_EQ(rows(kreis), c.kreisliga);
        EXPECT_EQ(pairingProgressText(kreis), QStringLiteral("1 von 2 Begegnungen"));
        EXPECT_EQ(nextRoundText(kreis).toStdString(), c.next);
        ASSERT_EQ(kreis.missing.size(), c.overdue);
        // Round 2, pairing 2 (Tell - Linde), as the entry counts positions.
        EXPECT_EQ(std::make_pair(kreis.missing.front().round, kreis.missing.front().pairing), std::make_pair(1, 1));

        // Nothing entered yet: the first round, its teams at nought.
        const GroupOverview& bezirk = overview->at(1);
        EXPECT_EQ(bezirk.round, 0);
        EXPECT_FALSE(bezirk.hasResults);
        EXPECT_EQ(rows(bezirk), (std::vector<std::string>{"1|SG Tell 2|0:0|0", "0|SV Adler 2|0:0|0"}));
        EXPECT_EQ(pairingProgressText(bezirk), QStringLiteral("0 von 1 Begegnung"));
        EXPECT_EQ(bezirk.missing.size(), c.overdueBezirk);
    }
}

} // namespace
} // namespace torvm
