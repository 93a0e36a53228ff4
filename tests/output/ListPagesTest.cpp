#include "output/OutputPages.h"
#include "output/PrintJob.h"

#include "LeagueData.h"
#include "PageImages.h"
#include "db/Tables.h"
#include "support/Fixtures.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace torvm {
namespace {

using test::blankPage;
using test::inked;
using test::kPageHeight;
using test::kPageWidth;
using test::paint;

// A plan as the layout sees it: `rounds` rounds with pairings in the two halves, each with
// `pairings` pairings.
FixtureSchedule schedule(int k, std::initializer_list<std::pair<int, int>> places, int pairings)
{
    FixtureSchedule s;
    s.k = k;
    int number = 0;
    for (const auto& [half, position] : places) {
        ScheduleRound round;
        round.number = ++number;
        round.half = half;
        round.position = position;
        for (int p = 1; p <= pairings; ++p)
            round.pairings.emplace_back(p, 2 * pairings + 1 - p);
        s.rounds.push_back(round);
    }
    return s;
}

FixtureSchedule fullSchedule(int k, int pairings)
{
    FixtureSchedule full = schedule(k, {}, pairings);
    int number = 0;
    for (int h = 0; h < 2; ++h) {
        for (int i = 0; i < k; ++i) {
            ScheduleRound round;
            round.number = ++number;
            round.half = h;
            round.position = i;
            round.pairings.assign(static_cast<std::size_t>(pairings), {1, 2});
            full.rounds.push_back(round);
        }
    }
    return full;
}

TEST(ScheduleLayout, TwoHalvesOfBlocksInThreeColumns)
{
    struct Place {
        int half;
        int position;
        int page;
        int line;
    };
    struct Case {
        const char* what;
        FixtureSchedule schedule;
        int linesPerBlock;
        int halfLines;
        int pages;
        std::vector<Place> places;
    };
    const Case cases[] = {
        // 8 teams, double round robin: k = 7, blocks of 6 lines, 3 block rows, 18 lines a half.
        {"8 teams",
         fullSchedule(7, 4),
         6,
         18,
         1,
         {{0, 0, 0, 0}, {0, 2, 0, 0}, {0, 3, 0, 6}, {0, 6, 0, 12}, {1, 0, 0, 18}, {1, 4, 0, 24}, {1, 6, 0, 30}}},
        // Rounds 0 ... 6 and 15 with pairings: k = 4, round 7 has none, so position 3 of the
        // second half stays empty.
        {"gap",
         schedule(4, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 0}, {1, 1}, {1, 2}}, 2),
         5,
         10,
         1,
         {{0, 3, 0, 5}, {1, 0, 0, 10}, {1, 2, 0, 10}}},
        // 20 rounds: k = 10, blocks of 8 lines, 4 rows, 32 lines a half: the second half does not
        // fit below the first and starts a page of its own.
        {"20 rounds", fullSchedule(10, 5), 8, 32, 2, {{0, 0, 0, 0}, {0, 9, 0, 24}, {1, 0, 1, 0}, {1, 9, 1, 24}}},
        // A round with more pairings than the block holds widens every block instead of running
        // into the next one.
        {"crowded", schedule(2, {{0, 0}, {0, 1}, {1, 0}}, 10), 12, 12, 1, {{0, 1, 0, 0}, {1, 0, 0, 12}}},
        // Second half only (the first half's rounds have no pairings): it moves to the top.
        {"second half only", schedule(10, {{1, 0}, {1, 9}}, 10), 12, 48, 1, {{1, 0, 0, 0}, {1, 9, 0, 36}}},
        // No rounds: the header alone.
        {"empty", schedule(0, {}, 0), 3, 3, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ScheduleLayout l = scheduleLayout(c.schedule);
        EXPECT_EQ(l.linesPerBlock, c.linesPerBlock);
        EXPECT_EQ(l.halfLines, c.halfLines);
        EXPECT_EQ(l.lines, 50);
        EXPECT_EQ(l.pages, c.pages);
        for (const Place& p : c.places) {
            SCOPED_TRACE(testing::Message() << p.half << "/" << p.position);
            const ScheduleLayout::Place where = l.place(p.half, p.position);
            EXPECT_EQ(where.page, p.page);
            EXPECT_EQ(where.line, p.line);
        }
        // Every round's block ends inside the body of its page.
        for (const ScheduleRound& round : c.schedule.rounds) {
            const ScheduleLayout::Place where = l.place(round.half, round.position);
            EXPECT_LE(where.line + static_cast<int>(round.pairings.size()), l.lines - 1);
        }
    }
}

GroupSheet groupSheet(int teams, int rounds, int pairings)
{
    GroupSheet sheet;
    sheet.name = QStringLiteral("Gauliga");
    for (int t = 1; t <= teams; ++t)
        sheet.teams.push_back({QStringLiteral("Team %1").arg(t), QStringLiteral("Adresse"), QStringLiteral("0815")});
    for (int r = 0; r < rounds; ++r) {
        GroupRound round;
        round.date = DateTime::fromParts(2025, 10, r + 1);
        for (int p = 0; p < pairings; ++p)
            round.pairings.emplace_back(QStringLiteral("A%1").arg(p), QStringLiteral("B%1").arg(p));
        sheet.rounds.push_back(round);
    }
    return sheet;
}

TEST(SheetPages, LongSheetsContinueWithWholeRounds)
{
    struct Case {
        const char* what;
        GroupSheet sheet;
        std::vector<std::size_t> lines; // per page
        QString firstOfLastPage;        // date or team on the first line of the last page
    };
    const Case cases[] = {
        {"small", groupSheet(4, 2, 2), {4 + 1 + 2 * 3}, QStringLiteral("Team 1")},
        // 12 teams, 10 rounds of 4: 63 lines. Page 1 takes the teams and seven rounds (48 lines);
        // round 8 would end on line 52 and opens page 2.
        {"twelve teams", groupSheet(12, 10, 4), {48, 15}, QStringLiteral("8.10.2025")},
        // A round whose pairings all name empty slots keeps its date line.
        {"dates only", groupSheet(2, 3, 0), {2 + 1 + 3 * 2}, QStringLiteral("Team 1")},
        // 20 teams and 20 rounds of 10: two rounds after the teams, then four a page.
        {"full group", groupSheet(20, 20, 10), {43, 44, 44, 44, 44, 22}, QStringLiteral("19.10.2025")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto pages = sheetPages(c.sheet);
        std::vector<std::size_t> lines;
        for (const auto& page : pages) {
            lines.push_back(page.size());
            EXPECT_LE(page.size(), static_cast<std::size_t>(kSheetLinesPerPage));
            ASSERT_FALSE(page.empty());
            EXPECT_NE(page.front().kind, SheetLine::Kind::Empty);
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(pages.back().front().first, c.firstOfLastPage);
        // Every team and every pairing is somewhere, once.
        std::size_t teams = 0;
        std::size_t pairings = 0;
        for (const auto& page : pages) {
            for (const SheetLine& line : page) {
                teams += line.kind == SheetLine::Kind::Team ? 1 : 0;
                pairings += line.kind == SheetLine::Kind::Pairing && !line.second.isEmpty() ? 1 : 0;
            }
        }
        EXPECT_EQ(teams, c.sheet.teams.size());
        std::size_t expected = 0;
        for (const GroupRound& r : c.sheet.rounds)
            expected += r.pairings.size();
        EXPECT_EQ(pairings, expected);
    }
}

// Fixture plans, groups and master data in a competition file, for the outputs that print them.
class ListPagesTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::LeagueData data{*comp.db()};

    void SetUp() override
    {
        data.exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), (11, 'SG Weiß'), "
                  "(12, 'FSG Au'), (13, 'KSV Öd')");
        data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01, Verein02, VNr02, Verein03, VNr03, "
                  "Verein04, VNr04) VALUES (0, 'Gauliga', 2, 0, 10, '1', 11, '1', 12, '2', 13, '1'), "
                  "(1, 'Kreisliga', 2, 1, 10, '2', 11, '2', 0, '', 0, '')");
        // Plan 1 ("Vorrunde"): rounds 0 ... 6 and 15 with pairings. Plan 2 ("Rückrunde"): one round.
        for (int r : {0, 1, 2, 3, 4, 5, 6, 15}) {
            Statement st = comp.db()->prepare(
                R"(INSERT INTO "Plan" ("PlanID", "Name", "Datum1", "A1", "B1", "A2", "B2") VALUES (?, ?, ?, 1, 2, 3, 4))");
            st.bind(1, std::int64_t{r});
            st.bind(2, QStringLiteral("Vorrunde"));
            st.bind(3, QStringLiteral("2025-%1-05 19:30:00").arg(1 + r % 12, 2, 10, QLatin1Char('0')));
            ASSERT_TRUE(st.exec());
        }
        data.exec("INSERT INTO Plan (PlanID, Name, Datum1, A1, B1) VALUES (20, 'Rückrunde', '2026-01-09 20:00:00', "
                  "2, 1)");
        CRSWettbewerb title(comp.db(), &comp.doc());
        title.SetTitle(QStringLiteral("Rundenwettkampf 2025"));
    }

    OutputSettings settings(std::initializer_list<Output> outputs, std::array<bool, kPlanCount> plans = {true, true})
    {
        OutputOverrides o;
        o.outputs.emplace();
        for (const Output output : outputs)
            (*o.outputs)[static_cast<int>(output)] = true;
        o.plans = plans;
        return loadOutputSettings(comp.doc(), o);
    }

    void participants(int count)
    {
        data.exec("DELETE FROM Teilnehmer");
        Transaction transaction(*comp.db());
        for (int i = 1; i <= count; ++i) {
            Statement st = comp.db()->prepare(
                R"(INSERT INTO "Teilnehmer" ("Paßnummer", "Name", "Vorname", "Verein") VALUES (?, ?, 'Anna', 10))");
            st.bind(1, std::int64_t{i});
            st.bind(2, QStringLiteral("Schützin %1").arg(i));
            ASSERT_TRUE(st.exec());
        }
        ASSERT_TRUE(transaction.commit());
    }

    void clubs(int count)
    {
        data.exec("DELETE FROM Verein");
        Transaction transaction(*comp.db());
        for (int i = 1; i <= count; ++i) {
            Statement st = comp.db()->prepare(R"(INSERT INTO "Verein" ("Vereinsnummer", "Name") VALUES (?, ?))");
            st.bind(1, std::int64_t{i});
            st.bind(2, QStringLiteral("Verein %1").arg(i));
            ASSERT_TRUE(st.exec());
        }
        ASSERT_TRUE(transaction.commit());
    }

    // Is line m of a grid of `lines` inked (its upper part, so no neighbour reaches in)?
    static bool lineInked(const QImage& page, int m, int lines, int left = 0, int right = kPageWidth)
    {
        const PageGeometry g(page.rect());
        const int top = g.lineTop(m, lines);
        return inked(page, top + 1, top + g.bodyHeight / lines / 2, left, right);
    }
};

TEST_F(ListPagesTest, FixtureScheduleShowsTheTwoHalvesOfThePlan)
{
    const auto schedules = fixtureSchedules(comp.doc(), {true, false, false, false, false});
    ASSERT_TRUE(schedules.has_value());
    ASSERT_EQ(schedules->size(), 1u);
    const FixtureSchedule& s = schedules->front();
    EXPECT_EQ(s.name, QStringLiteral("Vorrunde"));
    EXPECT_EQ(s.k, 4); // eight rounds with pairings
    // Rounds 0 ... 7 are visited; round 7 has no pairing and round 15 lies beyond the second half.
    struct Shown {
        int half;
        int position;
        int month;
    };
    const std::vector<Shown> expected = {{0, 0, 1}, {0, 1, 2}, {0, 2, 3}, {0, 3, 4}, {1, 0, 5}, {1, 1, 6}, {1, 2, 7}};
    ASSERT_EQ(s.rounds.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s.rounds[i].number, static_cast<int>(i) + 1);
        EXPECT_EQ(s.rounds[i].half, expected[i].half);
        EXPECT_EQ(s.rounds[i].position, expected[i].position);
        EXPECT_EQ(s.rounds[i].date.month(), expected[i].month);
        EXPECT_EQ(s.rounds[i].pairings, (std::vector<std::pair<int, int>>{{1, 2}, {3, 4}}));
    }
    EXPECT_EQ(scheduleLabel(s.rounds[4]), QStringLiteral("5:   5.05.2025 19:30"));
}

TEST_F(ListPagesTest, ListsContinueOnFurtherPages)
{
    struct Case {
        Output output;
        int rows;
        int pages;
        int lines;       // grid of the list
        int lastOnLast;  // line of the last row on the last page
        bool twoColumns; // clubs: the last page's second column
    };
    for (const Case& c :
         {Case{Output::Teilnehmer, 150, 2, 77, 75, false}, Case{Output::Teilnehmer, 151, 3, 77, 1, false},
          Case{Output::Teilnehmer, 0, 0, 77, 0, false}, Case{Output::Verein, 100, 1, 52, 50, true},
          Case{Output::Verein, 101, 2, 52, 1, false}, Case{Output::Verein, 50, 1, 52, 50, false}}) {
        SCOPED_TRACE(testing::Message() << outputKey(c.output).toStdString() << " " << c.rows);
        if (c.output == Output::Teilnehmer)
            participants(c.rows);
        else
            clubs(c.rows);
        const OutputSettings s = settings({c.output});
        const PrintJob job(comp.doc(), s);
        EXPECT_EQ(job.totalPages(), c.pages);
        EXPECT_EQ(outputPageCount(comp.doc(), s, c.output), c.pages);
        if (c.pages == 0)
            continue;
        // The first page is full, the last holds the rest and nothing after it.
        const QImage first = paint(job, 1);
        EXPECT_TRUE(lineInked(first, 1, c.lines));
        const QImage last = paint(job, c.pages);
        EXPECT_TRUE(lineInked(last, c.lastOnLast, c.lines));
        if (c.lastOnLast < 75) {
            EXPECT_FALSE(lineInked(last, c.lastOnLast + 1, c.lines));
        }
        if (c.output == Output::Verein) {
            const PageGeometry g(last.rect());
            const int secondColumn = g.left + g.width / 16 + 7 * g.width / 16;
            EXPECT_EQ(lineInked(last, 1, c.lines, secondColumn + g.width / 40), c.twoColumns);
        }
    }
}

TEST_F(ListPagesTest, PagesAreNumberedAcrossEveryOutput)
{
    participants(76); // two pages
    // Both plans (one page each), two group sheets, two tables, the clubs and the participants.
    OutputSettings s = settings({Output::Teilnehmer, Output::Verein, Output::Tabelle, Output::Gruppe, Output::Termin});
    const PrintJob job(comp.doc(), s);
    EXPECT_EQ(job.pageCount(Output::Termin), 2);
    EXPECT_EQ(job.pageCount(Output::Gruppe), 2);
    EXPECT_EQ(job.pageCount(Output::Tabelle), 2);
    EXPECT_EQ(job.pageCount(Output::Einzel), 0);
    EXPECT_EQ(job.pageCount(Output::Verein), 1);
    EXPECT_EQ(job.pageCount(Output::Teilnehmer), 2);
    EXPECT_EQ(job.totalPages(), totalPageCount(comp.doc(), s));
    struct Case {
        int n;
        Output output;
        int page;
    };
    for (const Case& c : {Case{1, Output::Termin, 1}, Case{2, Output::Termin, 2}, Case{3, Output::Gruppe, 1},
                          Case{4, Output::Gruppe, 2}, Case{5, Output::Tabelle, 1}, Case{6, Output::Tabelle, 2},
                          Case{7, Output::Verein, 1}, Case{8, Output::Teilnehmer, 1}, Case{9, Output::Teilnehmer, 2}}) {
        SCOPED_TRACE(c.n);
        const auto where = job.locate(c.n);
        ASSERT_TRUE(where.has_value());
        EXPECT_EQ(where->output, c.output);
        EXPECT_EQ(where->page, c.page);
    }
    EXPECT_FALSE(job.locate(10).has_value());

    // Only the second group's sheet and one plan: the first table follows on page 3.
    s.sheetGroups = std::vector<int>{1};
    s.plans = {false, true};
    const PrintJob fewer(comp.doc(), s);
    EXPECT_EQ(fewer.locate(2)->output, Output::Gruppe);
    EXPECT_EQ(fewer.locate(3)->output, Output::Tabelle);
}

TEST_F(ListPagesTest, EveryOutputPaintsItsOwnPagesAndThePdfHoldsThemAll)
{
    participants(3);
    data.shooters(0, 0, 1, {190, 185}, {1, 2});
    data.shooters(0, 0, 2, {188, 190}, {3, 0});
    for (int i = 0; i < kOutputCount; ++i) {
        const auto output = static_cast<Output>(i);
        SCOPED_TRACE(outputKey(output).toStdString());
        const PrintJob job(comp.doc(), settings({output}));
        ASSERT_GE(job.totalPages(), 1);
        const PageGeometry g(blankPage().rect());
        for (int n = 1; n <= job.totalPages(); ++n) {
            const QImage page = paint(job, n);
            EXPECT_TRUE(inked(page, g.top, g.bodyTop));                            // header
            EXPECT_TRUE(inked(page, g.bodyTop + 2, g.bodyTop + g.bodyHeight - 2)); // body
            EXPECT_TRUE(inked(page, g.bodyTop + g.bodyHeight, kPageHeight));       // footer
        }
        QBuffer buffer;
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        ASSERT_TRUE(writePdf(job, buffer, comp.doc().CompetitionTitle()));
        EXPECT_EQ(QString::fromLatin1(buffer.data()).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))),
                  job.totalPages());
    }
}

TEST_F(ListPagesTest, GroupSheetPagesShowTheirGroup)
{
    OutputSettings s = settings({Output::Gruppe});
    const PrintJob both(comp.doc(), s);
    ASSERT_EQ(both.totalPages(), 2);
    // Above the footer, which numbers the page among all.
    const PageGeometry frame(blankPage().rect());
    const auto content = [&frame](const QImage& page) {
        return page.copy(0, 0, page.width(), frame.bodyTop + frame.bodyHeight);
    };
    const QImage gauliga = content(paint(both, 1));
    const QImage kreisliga = content(paint(both, 2));
    EXPECT_NE(gauliga, kreisliga);
    s.sheetGroups = std::vector<int>{1, 0};
    const PrintJob reversed(comp.doc(), s);
    EXPECT_EQ(content(paint(reversed, 1)), kreisliga);
    EXPECT_EQ(content(paint(reversed, 2)), gauliga);
    // The Gauliga's four teams fill lines 1 ... 4, line 5 is empty, the first round's date and
    // pairing share line 6.
    EXPECT_TRUE(lineInked(gauliga, 4, 50));
    EXPECT_FALSE(lineInked(gauliga, 5, 50));
    EXPECT_TRUE(lineInked(gauliga, 6, 50));
    // Tables keep their own choice of groups.
    EXPECT_EQ(outputPageCount(comp.doc(), s, Output::Gruppe), 2);
    s.outputs[static_cast<int>(Output::Tabelle)] = true;
    s.groups = std::vector<int>{};
    EXPECT_EQ(outputPageCount(comp.doc(), s, Output::Tabelle), 0);
}

} // namespace
} // namespace torvm
