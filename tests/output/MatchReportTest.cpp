#include "output/MatchReport.h"
#include "output/PrintJob.h"

#include "TextBoxes.h"
#include "db/Tables.h"
#include "support/Fixtures.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace torvm {
namespace {

// One side as "team[number name|...]", an empty row as "0 ".
std::string side(const ReportTeam& team)
{
    QStringList rows;
    for (const ReportShooter& s : team.rows)
        rows << QString::number(s.number) + QLatin1Char(' ') + s.name;
    return (team.team + QLatin1Char('[') + rows.join(QLatin1Char('|')) + QLatin1Char(']')).toStdString();
}

// Three teams of two on a plan of three rounds (round 2 with a bye, round 3 against an empty
// slot). Team 1 shot in round 1 with a third row beyond the team size and an unknown pass
// number, lined up without rings in round 2 and shot again in round 3; team 2 shot in round 1 with
// one shooter on 0 rings; team 3 never shot. The second group's plan has no rounds.
class MatchReportTest : public ::testing::Test {
protected:
    test::TempCompetition comp;

    void SetUp() override
    {
        ASSERT_TRUE(comp.db()->execute(R"(
            INSERT INTO "Verein" ("Vereinsnummer", "Name") VALUES (1, 'SV Adler'), (2, 'SG Tell'), (3, 'KK Eiche');
            INSERT INTO "Teilnehmer" ("Paßnummer", "Name", "Vorname") VALUES (7, 'Huber', 'Anna'),
                (9, 'Maier', 'Paul'), (10, 'Weiß', 'Eva'), (11, 'Groß', 'Otto'), (12, 'Klein', 'Udo');
            INSERT INTO "Plan" ("PlanID", "Name", "Datum1", "A1", "B1", "A2", "B2") VALUES
                (0, 'Drei', '2025-10-03 19:30:00', 1, 2, 0, 0), (1, 'Drei', NULL, 3, 1, 2, 0),
                (2, 'Drei', '2025-11-07 00:00:00', 2, 3, 1, 4);
            INSERT INTO "Gruppe" ("ID", "Name", "Anzahl", "Plan", "Verein01", "VNr01", "MFuehrer01", "Telefon01",
                "Verein02", "VNr02", "Verein03", "VNr03", "MFuehrer03") VALUES
                (0, 'Kreisliga', 2, 0, 1, '1', 'Huber', '0871 1', 2, '1', 3, '2', 'Maier'),
                (1, 'Bezirksliga', 2, 3, 1, '1', '', '', 2, '1', 0, '', '');
            INSERT INTO "Wettkampf" ("ID", "TNr", "Ergebnis") VALUES (101, 7, 290), (102, 8, 280), (103, 12, 270),
                (201, 10, 0), (202, 11, 250), (10101, 9, 0), (20101, 12, 260);)"))
            << comp.db()->lastError().text.toStdString();
    }
};

TEST_F(MatchReportTest, EveryPairingOfTheRoundWithTheLatestLineUpOfEachTeam)
{
    const std::string adler = "SV Adler 1[7 Huber Anna|8 ]";
    const std::string tell = "SG Tell 1[10 Weiß Eva|11 Groß Otto]";
    const std::string eiche = "KK Eiche 2[0 |0 ]";
    const struct {
        int round;
        std::vector<std::string> pairings;
    } cases[] = {
        {0, {adler + " - " + tell}},
        {1, {eiche + " - " + adler}},
        {2, {tell + " - " + eiche}},
        {3, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.round);
        QString error;
        const auto reports = matchReports(comp.db(), &comp.doc(), {1, 0}, c.round, &error);
        ASSERT_TRUE(reports) << error.toStdString();
        std::vector<std::string> pairings;
        for (const MatchReport& r : *reports) {
            pairings.push_back(side(r.a) + " - " + side(r.b));
            EXPECT_EQ(r.groupName, QStringLiteral("Kreisliga"));
            EXPECT_EQ(r.round, c.round);
        }
        EXPECT_EQ(pairings, c.pairings);
    }
}

TEST_F(MatchReportTest, FormShowsCaptainsDateAndTheChosenSeries)
{
    OutputOverrides o;
    o.outputs.emplace();
    (*o.outputs)[static_cast<int>(Output::Bericht)] = true;
    o.series = 2;
    const OutputSettings settings = loadOutputSettings(comp.doc(), o);
    const PrintJob job(comp.doc(), settings);
    ASSERT_EQ(job.pageCount(Output::Bericht), 1);
    test::TextBoxPage page;
    ASSERT_TRUE(test::paintJobPage(job, page, 1));
    QStringList texts;
    for (const test::TextBox& box : page.boxes())
        texts << box.text;
    for (const char* expected :
         {"Wettkampfbericht / 1. Durchgang", "Gruppe: Kreisliga", "Termin: 03.10.2025, 19:30 Uhr",
          "Mannschaftsführer: Huber", "Tel.: 0871 1", "Serie 2", "Gesamt", "Huber Anna", "Bemerkungen:"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_FALSE(texts.contains(QStringLiteral("Serie 3")));
    EXPECT_EQ(texts.count(QStringLiteral("Mannschaftsführer")), 2);
    EXPECT_EQ(texts.count(QStringLiteral("Mannschaftsergebnis")), 2);
}

TEST_F(MatchReportTest, SeriesSettingIsKeptWithinOneToSix)
{
    const struct {
        std::optional<int> stored;
        std::optional<int> override;
        int series;
    } cases[] = {{{}, {}, 4}, {0, {}, 1}, {9, {}, 6}, {5, {}, 5}, {5, 3, 3}};
    for (const auto& c : cases) {
        if (c.stored) {
            CProfileTable profile(comp.db(), &comp.doc());
            ASSERT_TRUE(profile.WriteInt(QStringLiteral("PrintBericht"), QStringLiteral("Serien"), *c.stored));
        }
        OutputOverrides o;
        o.series = c.override;
        const OutputSettings s = loadOutputSettings(comp.doc(), o);
        EXPECT_EQ(s.series, c.series);
        EXPECT_FALSE(s.chosen(Output::Bericht));
    }
}

} // namespace
} // namespace torvm
