#include "output/CompetitionOverview.h"
#include "results/CompetitionRules.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvm {
namespace {

// Kreisliga: four teams of one shooter on three rounds of two pairings. Round 1 is complete, round 2
// has 1-3 (285 : 286) but not 2-4, round 3 lies ahead. Bezirksliga: two teams, one round, nothing
// entered.
void fillLeague(Database* db)
{
    ASSERT_TRUE(db->execute(R"(
        INSERT INTO "Verein" ("Vereinsnummer", "Name") VALUES (1, 'SV Adler'), (2, 'SG Tell'), (3, 'KK Eiche'),
            (4, 'SG Linde');
        INSERT INTO "Plan" ("PlanID", "Name", "Datum1", "A1", "B1", "A2", "B2") VALUES
            (0, 'Vier', '2025-10-03 19:30:00', 1, 2, 3, 4), (1, 'Vier', '2025-10-17 19:30:00', 1, 3, 2, 4),
            (2, 'Vier', '2025-11-07 19:30:00', 1, 4, 2, 3), (20, 'Zwei', '2025-11-14 19:30:00', 1, 2, 0, 0);
        INSERT INTO "Gruppe" ("ID", "Name", "Anzahl", "Plan", "Verein01", "VNr01", "Verein02", "VNr02", "Verein03",
            "VNr03", "Verein04", "VNr04") VALUES (0, 'Kreisliga', 1, 0, 1, '1', 2, '1', 3, '1', 4, '1'),
            (1, 'Bezirksliga', 1, 1, 1, '2', 2, '2', 0, '', 0, '');
        INSERT INTO "Wettkampf" ("ID", "TNr", "Ergebnis") VALUES (101, 0, 290), (201, 0, 280), (301, 0, 270),
            (401, 0, 275), (10101, 0, 285), (10301, 0, 286);)"))
        << db->lastError().text.toStdString();
}

std::vector<std::string> rows(const GroupOverview& g)
{
    std::vector<std::string> lines;
    for (const OverviewStanding& s : g.standings)
        lines.push_back(QStringLiteral("%1|%2|%3:%4|%5")
                            .arg(s.place)
                            .arg(s.team)
                            .arg(s.pointsFor)
                            .arg(s.pointsAgainst)
                            .arg(s.rings)
                            .toStdString());
    return lines;
}

TEST(CompetitionOverview, EachGroupShowsItsStandingsItsRoundAndWhatIsOverdue)
{
    test::TempCompetition comp;
    fillLeague(comp.db());
    const struct {
        const char* what;
        std::vector<TieBreak> tieBreaks;
        QDate today;
        std::vector<std::string> kreisliga;
        const char* kreisligaNext;
        int overdue; // of the Kreisliga
    } cases[] = {
        // Points first, equal points by rings and without a place of their own.
        {"default rules",
         {TieBreak::Rings},
         {2025, 11, 1},
         {"1|SV Adler 1|2:2|575", "0|KK Eiche 1|2:2|556", "0|SG Linde 1|2:0|275", "4|SG Tell 1|0:2|280"},
         "Nächster Durchgang: 3 am 07.11.2025",
         1},
        // Among the three with 2 points Eiche beat Adler and Linde beat Eiche: Adler falls behind both,
        // rings part the two winners, and the chain gives every team a place.
        {"direct comparison",
         {TieBreak::Direct, TieBreak::Rings},
         {2025, 11, 7},
         {"1|KK Eiche 1|2:2|556", "2|SG Linde 1|2:0|275", "3|SV Adler 1|2:2|575", "4|SG Tell 1|0:2|280"},
         "Nächster Durchgang: 3 am 07.11.2025",
         1},
        {"after the season",
         {TieBreak::Rings},
         {2025, 12, 1},
         {"1|SV Adler 1|2:2|575", "0|KK Eiche 1|2:2|556", "0|SG Linde 1|2:0|275", "4|SG Tell 1|0:2|280"},
         "Kein weiterer Durchgang mit Datum.",
         3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QString error;
        CompetitionRules rules;
        rules.tieBreaks = c.tieBreaks;
        ASSERT_TRUE(setCompetitionRules(comp.db(), &comp.doc(), rules, &error)) << error.toStdString();
        const auto overview = competitionOverview(comp.doc(), c.today, &error);
        ASSERT_TRUE(overview) << error.toStdString();
        ASSERT_EQ(overview->size(), 2u);
        const GroupOverview& kreis = overview->at(0);
        EXPECT_EQ(kreis.name, QStringLiteral("Kreisliga"));
        EXPECT_EQ(kreis.round, 1);
        EXPECT_TRUE(kreis.hasResults);
        EXPECT_EQ(rows(kreis), c.kreisliga);
        EXPECT_EQ(pairingProgressText(kreis), QStringLiteral("1 von 2 Begegnungen"));
        EXPECT_EQ(nextRoundText(kreis).toStdString(), c.kreisligaNext);
        ASSERT_EQ(kreis.missing.size(), std::size_t(c.overdue));
        // Round 2, pairing 2: Tell against Linde, as the entry counts positions.
        EXPECT_EQ(kreis.missing.front().round, 1);
        EXPECT_EQ(kreis.missing.front().pairing, 1);
        EXPECT_EQ(kreis.missing.front().a.team, QStringLiteral("SG Tell 1"));
        EXPECT_EQ(kreis.missing.front().b.team, QStringLiteral("SG Linde 1"));

        // Nothing entered yet: the first round, its teams all at nought.
        const GroupOverview& bezirk = overview->at(1);
        EXPECT_EQ(bezirk.name, QStringLiteral("Bezirksliga"));
        EXPECT_EQ(bezirk.round, 0);
        EXPECT_FALSE(bezirk.hasResults);
        EXPECT_EQ(rows(bezirk), (std::vector<std::string>{"1|SG Tell 2|0:0|0", "0|SV Adler 2|0:0|0"}));
        EXPECT_EQ(pairingProgressText(bezirk), QStringLiteral("0 von 1 Begegnung"));
        EXPECT_EQ(bezirk.missing.size(), c.today > QDate(2025, 11, 14) ? 1u : 0u);
    }
}

} // namespace
} // namespace torvm
