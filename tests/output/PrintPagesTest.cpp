#include "output/OutputPages.h"
#include "output/PrintJob.h"

#include "LeagueData.h"
#include "PageImages.h"
#include "TextBoxes.h"
#include "db/Tables.h"
#include "support/Fixtures.h"

#include <QBuffer>
#include <QFontInfo>
#include <QFontMetrics>
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

// Two groups of four teams on plan 0 with two rounds, as in a small league:
//   round 1: 1 - 2, 3 - 4        round 2: 1 - 3, 4 - 2
class PrintPagesTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::LeagueData data{*comp.db()};

    void SetUp() override
    {
        data.exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), (11, 'SG Weiß'), "
                  "(12, 'FSG Au'), (13, 'KSV Öd')");
        data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Klasse, Verein01, VNr01, Verein02, VNr02, Verein03, "
                  "VNr03, Verein04, VNr04) VALUES (0, 'Gauliga', 2, 0, 1, 10, '1', 11, '1', 12, '2', 13, '1'), "
                  "(1, 'Kreisliga', 2, 0, 2, 10, '2', 11, '2', 12, '3', 13, '2')");
        data.exec("INSERT INTO Plan (PlanID, Name, Datum1, A1, B1, A2, B2) VALUES "
                  "(0, 'Vorrunde', '2025-09-26 19:30:00', 1, 2, 3, 4), (1, 'Vorrunde', '2025-10-03 19:30:00', 1, 3, "
                  "4, 2)");
        data.exec("INSERT INTO Teilnehmer (Paßnummer, Name, Vorname, Klasse, Verein) VALUES "
                  "(101, 'Huber', 'Anna', 1, 10), (102, 'Maier', 'Sepp', 1, 10), (103, 'Weiß', 'Jörg', 1, 12), "
                  "(104, 'Öztürk', 'Ali', 1, 13)");
        data.shooters(0, 0, 1, {190, 185}, {101, 102});
        data.shooters(0, 0, 2, {188, 190});
        data.adjustment(0, 0, 2, -1, QStringLiteral("verspätet"));
        data.shooters(0, 0, 3, {180, 181});
        data.shooters(0, 0, 4, {175, 186});
        data.shooters(1, 0, 1, {170, 171}, {103, 104});
        data.shooters(1, 0, 2, {172, 173});
        CRSWettbewerb title(comp.db(), &comp.doc());
        title.SetTitle(QStringLiteral("Rundenwettkampf 2025"));
    }

    OutputSettings settings(std::initializer_list<Output> outputs, int round = 0)
    {
        OutputOverrides o;
        o.round = round;
        o.outputs.emplace();
        for (const Output output : outputs)
            (*o.outputs)[static_cast<int>(output)] = true;
        o.klasse = RankingClassMode::Group;
        return loadOutputSettings(comp.doc(), o);
    }

    // Participants of class 3 with results in group 0, round 0, slots 5 ...: `count` results of
    // falling rings, `ties` more with the rings of the last of them.
    void manyShooters(int count, int ties)
    {
        data.exec("DELETE FROM Wettkampf WHERE ID % 10000 / 100 >= 5");
        data.exec("DELETE FROM Teilnehmer WHERE Paßnummer >= 1000");
        Transaction transaction(*comp.db());
        for (int i = 0; i < count + ties; ++i) {
            const int number = 1000 + i;
            Statement st =
                comp.db()->prepare(R"(INSERT INTO "Teilnehmer" ("Paßnummer", "Name", "Klasse") VALUES (?, ?, 3))");
            st.bind(1, std::int64_t{number});
            st.bind(2, QStringLiteral("Schütze %1").arg(number));
            ASSERT_TRUE(st.exec());
            const int rings = 400 - std::min(i, count - 1);
            data.insert(resultKey(0, 0, 5 + i / 20, 1 + i % 20), number, 0, rings, 0, QString());
        }
        ASSERT_TRUE(transaction.commit());
    }
};

TEST_F(PrintPagesTest, FontsAreSizedByCellHeightFromThePrintableHeight)
{
    QImage image = blankPage();
    const PrintFonts fonts(image);
    const int b = 89 * kPageHeight / 100;
    struct Case {
        const QFont* font;
        int cell;
    };
    for (const Case& c : {Case{&fonts.large, b / 45}, Case{&fonts.medium, b / 60}, Case{&fonts.footer, b / 75},
                          Case{&fonts.small, b / 100}}) {
        SCOPED_TRACE(c.cell);
        const QFontMetrics metrics(*c.font, &image);
        EXPECT_NEAR(metrics.height(), c.cell, 2);
        EXPECT_EQ(QFontInfo(*c.font).family(), QStringLiteral("Liberation Sans"));
    }
    EXPECT_GE(fonts.lineHeight, QFontMetrics(fonts.medium, &image).height());
    EXPECT_GT(fonts.footerCharWidth, 0);
}

TEST_F(PrintPagesTest, PagesAreNumberedAcrossTheOutputsInTheFixedOrder)
{
    // Einzel chosen first, yet the tables come first; groups 1 and 0 give two table pages and the
    // ranking has classes 1 (group 0) and 2 (group 1).
    OutputSettings s = settings({Output::Einzel, Output::Tabelle});
    const PrintJob job(comp.doc(), s);
    EXPECT_EQ(job.pageCount(Output::Tabelle), 2);
    EXPECT_EQ(job.pageCount(Output::Einzel), 2);
    EXPECT_EQ(job.totalPages(), 4);
    EXPECT_EQ(job.totalPages(), totalPageCount(comp.doc(), s));
    struct Case {
        int n;
        Output output;
        int page;
    };
    for (const Case& c : {Case{1, Output::Tabelle, 1}, Case{2, Output::Tabelle, 2}, Case{3, Output::Einzel, 1},
                          Case{4, Output::Einzel, 2}}) {
        SCOPED_TRACE(c.n);
        const auto where = job.locate(c.n);
        ASSERT_TRUE(where.has_value());
        EXPECT_EQ(where->output, c.output);
        EXPECT_EQ(where->page, c.page);
    }
    EXPECT_FALSE(job.locate(0).has_value());
    EXPECT_FALSE(job.locate(5).has_value());

    s.outputs[static_cast<int>(Output::Verein)] = true;
    const PrintJob withClubs(comp.doc(), s);
    EXPECT_EQ(withClubs.totalPages(), 5); // four clubs on one page after the ranking
    EXPECT_EQ(withClubs.locate(5)->output, Output::Verein);
}

TEST_F(PrintPagesTest, LongRankingClassesContinueOnFurtherPages)
{
    struct Case {
        int platz;
        int results;
        int ties;
        int pages; // of class 3; class 1 (the other participants) has one page
    };
    for (const Case& c : {
             Case{10, 40, 0, 1},  // medium font, 49 lines
             Case{49, 49, 0, 1},  // exactly one page
             Case{49, 49, 3, 2},  // ties beyond Platz: 52 rows on the 49-line grid
             Case{100, 74, 0, 1}, // more than 50 counted: footer font, 74 lines a page
             Case{100, 75, 0, 2},
             Case{200, 150, 0, 3},
         }) {
        SCOPED_TRACE(testing::Message() << c.platz << " " << c.results << " " << c.ties);
        manyShooters(c.results, c.ties);
        OutputSettings s = settings({Output::Einzel});
        s.platz = c.platz;
        s.klasse = RankingClassMode::Participant;
        const PrintJob job(comp.doc(), s);
        EXPECT_EQ(job.totalPages(), c.pages + 1);
        EXPECT_EQ(outputPageCount(comp.doc(), s, Output::Einzel), c.pages + 1);
        // Every page, the continuation ones included, carries rows.
        const PageGeometry g(blankPage().rect());
        for (int n = 1; n <= job.totalPages(); ++n) {
            SCOPED_TRACE(n);
            const QImage page = paint(job, n);
            EXPECT_TRUE(inked(page, g.bodyTop + g.bodyHeight / 80, g.bodyTop + g.bodyHeight / 20));
        }
    }
}

TEST_F(PrintPagesTest, EveryPageShowsItsOwnData)
{
    const PrintJob job(comp.doc(), settings({Output::Tabelle, Output::Einzel}));
    const PrintJob round2(comp.doc(), settings({Output::Tabelle, Output::Einzel}, 1));
    std::vector<QImage> pages;
    for (int n = 1; n <= job.totalPages(); ++n) {
        SCOPED_TRACE(n);
        pages.push_back(paint(job, n));
        EXPECT_EQ(paint(job, n), pages.back()); // painting is repeatable, so a difference is data
        EXPECT_NE(pages.back(), blankPage());
    }
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_NE(pages[0], pages[1]); // Gauliga, Kreisliga
    EXPECT_NE(pages[2], pages[3]); // two ranking classes
    EXPECT_NE(paint(round2, 1), pages[0]);
    EXPECT_EQ(paint(job, 99), blankPage()); // beyond the job: nothing drawn
}

TEST_F(PrintPagesTest, TablePageDrawsOnlyTheChosenParts)
{
    const PageGeometry g(blankPage().rect());
    struct Case {
        bool ergebnis;
        bool tabelle;
        bool firstLineInked;
        bool bodyInked;
    };
    // The Kreisliga has no remarks: without "Ergebnis" the standings begin on line 1.
    for (const Case& c : {Case{true, true, true, true}, Case{false, true, true, true}, Case{false, false, false, false},
                          Case{true, false, true, true}}) {
        SCOPED_TRACE(testing::Message() << c.ergebnis << c.tabelle);
        OutputSettings s = settings({Output::Tabelle}, 1);
        s.ergebnis = c.ergebnis;
        s.tabelle = c.tabelle;
        s.groups = std::vector<int>{1};
        const PrintJob job(comp.doc(), s);
        ASSERT_EQ(job.totalPages(), 1);
        const QImage page = paint(job, 1);
        const int line1 = g.lineTop(1, 50);
        EXPECT_EQ(inked(page, line1, line1 + g.bodyHeight / 60), c.firstLineInked);
        EXPECT_EQ(inked(page, g.bodyTop + 2, g.bodyTop + g.bodyHeight - 2), c.bodyInked);
        // Header and footer are on every page.
        EXPECT_TRUE(inked(page, g.top, g.bodyTop));
        EXPECT_TRUE(inked(page, g.bodyTop + g.bodyHeight, kPageHeight));
    }
}

// The texts of one printed page of job, as drawn.
QStringList pageTexts(const PrintJob& job, int n)
{
    test::TextBoxPage page;
    EXPECT_TRUE(test::paintJobPage(job, page, n));
    QStringList texts;
    for (const test::TextBox& box : page.boxes())
        texts << box.text.trimmed();
    return texts;
}

// Every footer numbers its page among all and names the print date; the league table has the
// column headings of the web page.
TEST_F(PrintPagesTest, FootersNumberThePagesAndTheTableNamesItsColumns)
{
    PrintJob job(comp.doc(), settings({Output::Tabelle, Output::Einzel}));
    job.setPrintDate(QDate(2025, 10, 12));
    ASSERT_EQ(job.totalPages(), 4);
    for (int n = 1; n <= 4; ++n) {
        const QStringList texts = pageTexts(job, n);
        EXPECT_TRUE(texts.contains(QStringLiteral("Seite %1 von 4, gedruckt am 12.10.2025").arg(n))) << n;
        for (const char* heading : {"Platz", "Mannschaft", "Kämpfe", "Punkte", "Ringe"})
            EXPECT_EQ(texts.contains(QString::fromUtf8(heading)), n <= 2) << n << heading;
    }
}

// A team name is shortened only when the line is full, and then in the middle: its number stays.
TEST_F(PrintPagesTest, RankingsShortenTeamNamesInTheMiddleOnly)
{
    const struct {
        const char* club;
        const char* start; // of the team as printed
        const char* end;
    } cases[] = {
        {"KSV Immergrün Buchenberg", "KSV Immergrün Buchenberg 1", "Buchenberg 1"},
        {"KSV Immergrün Buchenberg am Wald und Umgebung im schönen Allgäu an der Iller", "KSV Immergrün", "… 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.club);
        Statement rename = comp.db()->prepare(R"(UPDATE "Verein" SET "Name" = ? WHERE "Vereinsnummer" = 10)");
        rename.bind(1, QString::fromUtf8(c.club));
        ASSERT_TRUE(rename.exec());
        for (const Output output : {Output::Einzel, Output::Gesamt}) {
            const PrintJob job(comp.doc(), settings({output}));
            const QStringList teams = pageTexts(job, 1).filter(QStringLiteral("KSV Immergrün"));
            ASSERT_EQ(teams.size(), 2) << outputKey(output).toStdString();
            EXPECT_TRUE(teams[0].startsWith(QString::fromUtf8(c.start))) << teams[0].toStdString();
            EXPECT_TRUE(teams[0].endsWith(QString::fromUtf8(c.end))) << teams[0].toStdString();
        }
    }
}

// The season ranking states its rule on every page.
TEST_F(PrintPagesTest, SeasonRankingStatesItsRule)
{
    const PrintJob job(comp.doc(), settings({Output::Gesamt}));
    ASSERT_GT(job.totalPages(), 0);
    EXPECT_EQ(pageTexts(job, 1)
                  .filter(QStringLiteral(" / 1. Durchgang, nach Ringdurchschnitt, mindestens 1 Durchgang"))
                  .size(),
              1);
    EXPECT_EQ(seasonRuleText(3), QStringLiteral("nach Ringdurchschnitt, mindestens 3 Durchgänge"));
}

TEST_F(PrintPagesTest, PdfHoldsEveryPage)
{
    const PrintJob job(comp.doc(), settings({Output::Tabelle, Output::Einzel}));
    QBuffer buffer;
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(writePdf(job, buffer, comp.doc().CompetitionTitle()));
    const QByteArray pdf = buffer.data();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), 4);
}

} // namespace
} // namespace torvm
