#include "output/MissingResults.h"
#include "output/OutputPages.h"
#include "output/PrintJob.h"

#include "TextBoxes.h"
#include "support/Fixtures.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace torvm {
namespace {

// One group of three on a plan of three rounds; round 1 is entered, round 2 only has a team marked
// as not appeared, round 3 has nothing.
class MissingResultsTest : public ::testing::Test {
protected:
    test::TempCompetition comp;

    void SetUp() override
    {
        ASSERT_TRUE(comp.db()->execute(R"(
        INSERT INTO "Verein" ("Vereinsnummer", "Name") VALUES (1, 'SV Adler'), (2, 'SG Tell'), (3, 'KK Eiche');
        INSERT INTO "Plan" ("PlanID", "Name", "Datum1", "A1", "B1") VALUES
            (0, 'Drei', '2025-10-03 19:30:00', 1, 2), (1, 'Drei', '2025-10-17 19:30:00', 3, 1),
            (2, 'Drei', '2025-11-07 19:30:00', 2, 3), (3, 'Drei', NULL, 1, 3);
        INSERT INTO "Gruppe" ("ID", "Name", "Anzahl", "Plan", "Verein01", "VNr01", "MFuehrer01", "Telefon01",
            "Verein02", "VNr02", "Verein03", "VNr03", "MFuehrer03", "Telefon03") VALUES
            (0, 'Kreisliga', 1, 0, 1, '1', 'Huber', '0871 1', 2, '1', 3, '2', 'Maier', '0815');
        INSERT INTO "Wettkampf" ("ID", "TNr", "Ergebnis", "Flag") VALUES (101, 7, 290, 0), (201, 8, 0, 0),
            (10399, 0, 0, 1);)"))
            << comp.db()->lastError().text.toStdString();
    }
};

TEST_F(MissingResultsTest, PairingsOfPastRoundsWithoutAnyResultAreListedWithTheirCaptains)
{
    const struct {
        QDate reference;
        const char* text;
    } cases[] = {
        {{2025, 10, 3}, "Keine ausstehenden Ergebnisse vor dem 03.10.2025.\n"},
        {{2025, 11, 7}, "Keine ausstehenden Ergebnisse vor dem 07.11.2025.\n"},
        {{2025, 11, 8},
         "Ausstehende Ergebnisse vor dem 08.11.2025: 1 Paarung\n\nKreisliga\n"
         "Durchgang 3, 07.11.2025: SG Tell 1 – KK Eiche 2 (Maier, Tel. 0815)\n"},
    };
    for (const auto& c : cases) {
        QString error;
        const auto missing = missingResults(comp.db(), &comp.doc(), c.reference, &error);
        ASSERT_TRUE(missing) << error.toStdString();
        EXPECT_EQ(missingResultsText(*missing, c.reference).toStdString(), c.text);
    }
    // Round 1 loses its rings: both its teams wait again, the captain of slot 1 named.
    ASSERT_TRUE(comp.db()->execute(R"(UPDATE "Wettkampf" SET "Ergebnis" = 0 WHERE "ID" = 101)"));
    QString error;
    const auto missing = missingResults(comp.db(), &comp.doc(), {2025, 12, 1}, &error);
    ASSERT_TRUE(missing);
    ASSERT_EQ(missing->size(), 2u);
    EXPECT_EQ(missing->front().a.team, QStringLiteral("SV Adler 1"));
    EXPECT_EQ(missing->front().a.phone, QStringLiteral("0871 1"));
    EXPECT_EQ(missing->front().round, 0);
}

// The output of the sheet: the same list in the text file and on paper, for the day asked.
TEST_F(MissingResultsTest, TheOutputWritesAndPrintsTheListOfTheDay)
{
    OutputOverrides o;
    o.outputs.emplace();
    (*o.outputs)[static_cast<int>(Output::Ausstehend)] = true;
    o.reference = QDate(2025, 11, 8);
    const OutputSettings settings = loadOutputSettings(comp.doc(), o);
    EXPECT_EQ(sectionText(comp.doc(), settings, Output::Ausstehend).value_or(QString()).toStdString(),
              "\r\nAusstehende Ergebnisse vor dem 08.11.2025: 1 Paarung\r\n\r\nKreisliga\r\n"
              "Durchgang 3, 07.11.2025: SG Tell 1 – KK Eiche 2 (Maier, Tel. 0815)\r\n");

    const struct {
        QDate reference;
        std::vector<const char*> texts; // the page's texts from the title line on, without the footer
    } cases[] = {
        {{2025, 10, 3},
         {"Ausstehende Ergebnisse vor dem 03.10.2025", "Keine ausstehenden Ergebnisse vor dem 03.10.2025."}},
        {{2025, 11, 8},
         {"Ausstehende Ergebnisse vor dem 08.11.2025", "Dg.", "Datum", "Mannschaft", "Mannschaftsführer", "Telefon",
          "Kreisliga", "3.", "07.11.2025", "SG Tell 1", "KK Eiche 2", "Maier", "0815"}},
    };
    for (const auto& c : cases) {
        o.reference = c.reference;
        const PrintJob job(comp.doc(), loadOutputSettings(comp.doc(), o));
        ASSERT_EQ(job.totalPages(), 1);
        test::TextBoxPage page;
        ASSERT_TRUE(test::paintJobPage(job, page, 1));
        QStringList texts;
        for (const test::TextBox& box : page.boxes()) {
            if (!box.text.trimmed().isEmpty())
                texts << box.text;
        }
        QStringList expected;
        for (const char* text : c.texts)
            expected << QString::fromUtf8(text);
        const qsizetype title = texts.indexOf(expected.front());
        ASSERT_GE(title, 0) << texts.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(texts.mid(title, expected.size()), expected);
    }
}

// A pairing's two lines stay on one page; a group going on over a page break is named again.
TEST(MissingResultsPages, PairingsKeepTheirTwoLinesAndGroupsTheirHeading)
{
    using Kind = MissingLine::Kind;
    const auto list = [](std::initializer_list<std::pair<int, int>> groups) {
        std::vector<MissingPairing> missing;
        for (const auto& [group, count] : groups) {
            MissingPairing pairing;
            pairing.group = group;
            missing.insert(missing.end(), static_cast<std::size_t>(count), pairing);
        }
        return missing;
    };
    const struct {
        std::vector<MissingPairing> missing;
        std::vector<int> lines; // per page
        Kind secondPageFirst;
        bool continued;
    } cases[] = {
        {{}, {0}, Kind::Empty, false},
        {list({{0, 23}}), {47}, Kind::Empty, false},
        {list({{0, 24}}), {47, 3}, Kind::Group, true},
        {list({{0, 22}, {1, 2}}), {45, 5}, Kind::Group, false},
        {list({{0, 1}, {1, 1}}), {7}, Kind::Empty, false},
    };
    for (const auto& c : cases) {
        const auto pages = missingPages(c.missing);
        std::vector<int> lines;
        for (const auto& page : pages)
            lines.push_back(static_cast<int>(page.size()));
        EXPECT_EQ(lines, c.lines) << c.missing.size();
        if (pages.size() > 1) {
            EXPECT_EQ(pages[1].front().kind, c.secondPageFirst);
            EXPECT_EQ(pages[1].front().continued, c.continued);
            EXPECT_EQ(pages[0].back().kind, Kind::Guest);
        }
    }
}

} // namespace
} // namespace torvm
