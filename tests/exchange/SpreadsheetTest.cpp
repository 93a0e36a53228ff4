#include "exchange/Spreadsheet.h"

#include "output/LeagueData.h"
#include "output/TextExport.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

namespace torvm {
namespace {

using Row = std::vector<SheetCell>;

// Two teams over three rounds: a tie, a win of the first team, a tie. Three shooters of the first
// team with participant numbers: 1001 shoots rounds 1 and 2, 1002 all three, 1003 only the third.
class SpreadsheetTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::LeagueData data{*comp.db()};

    void SetUp() override
    {
        data.exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), (11, 'SG Au')");
        data.exec("INSERT INTO Teilnehmer (Paßnummer, Name, Vorname, Geburtstag, Verein) VALUES "
                  "(1001, 'Huber', 'Anna', '1990-05-03 00:00:00', 10), (1002, 'Maier', 'Max', NULL, 10), "
                  "(1003, 'Roth', 'Eva', NULL, 10)");
        data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01, Verein02, VNr02) "
                  "VALUES (0, 'Kreisliga', 2, 0, 10, '1', 11, '1')");
        data.exec("INSERT INTO Plan (PlanID, Name, Datum1, A1, B1) VALUES (0, 'P', '2025-09-26 19:30:00', 1, 2), "
                  "(1, 'P', '2025-10-03 19:30:00', 2, 1), (2, 'P', '2025-10-10 19:30:00', 1, 2)");
        data.shooters(0, 0, 1, {380, 371}, {1001, 1002});
        data.shooters(0, 0, 2, {375, 376});
        data.shooters(0, 1, 1, {375, 372}, {1001, 1002});
        data.shooters(0, 1, 2, {360, 360});
        data.shooters(0, 2, 1, {371, 360}, {1002, 1003});
        data.shooters(0, 2, 2, {365, 366});
    }

    std::vector<SheetTable> tables(const char* outputs)
    {
        OutputOverrides o;
        o.round = 2;
        std::array<bool, kOutputCount> chosen{};
        for (const QString& key : QString::fromLatin1(outputs).split(QLatin1Char(',')))
            for (int i = 0; i < kOutputCount; ++i)
                chosen[i] = chosen[i] || outputKey(static_cast<Output>(i)).toLower() == key;
        o.outputs = chosen;
        const auto result = spreadsheetTables(comp.doc(), loadOutputSettings(comp.doc(), o));
        EXPECT_TRUE(result.has_value());
        return result.value_or(std::vector<SheetTable>{});
    }
};

TEST_F(SpreadsheetTest, SheetsHoldTypedValuesOfTheChosenOutputsInTheirOrder)
{
    const std::vector<SheetTable> t = tables("gesamt,tabelle,teilnehmer");
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].name, QStringLiteral("Ergebnisse Kreisliga"));
    EXPECT_EQ(t[0].rows,
              (std::vector<Row>{
                  {QStringLiteral("SV Tell 1"), QStringLiteral("SG Au 1"), std::int64_t{731}, std::int64_t{731}, {}}}));
    EXPECT_EQ(t[1].name, QStringLiteral("Tabelle Kreisliga"));
    EXPECT_EQ(t[1].rows, (std::vector<Row>{
                             {std::int64_t{1}, QStringLiteral("SV Tell 1"), std::int64_t{3}, std::int64_t{4},
                              std::int64_t{2}, std::int64_t{2229}},
                             {std::int64_t{2}, QStringLiteral("SG Au 1"), std::int64_t{3}, std::int64_t{2},
                              std::int64_t{4}, std::int64_t{2202}},
                         }));
    EXPECT_EQ(t[2].name, QStringLiteral("Teilnehmerliste"));
    ASSERT_EQ(t[2].rows.size(), 3u);
    EXPECT_EQ(t[2].rows[0][3], SheetCell{QDate(1990, 5, 3)});
    EXPECT_EQ(t[2].rows[1][3], SheetCell{QString()});
    EXPECT_EQ(t[3].name, QStringLiteral("Gesamtwertung"));
    ASSERT_GE(t[3].rows.size(), 2u);
    // 755 / 2 = 377,5 and 1114 / 3 = 371,33... shown as 371,3.
    EXPECT_EQ(Row(t[3].rows[0].begin() + 1, t[3].rows[0].end()),
              (Row{std::int64_t{1}, QStringLiteral("Huber Anna"), QStringLiteral("SV Tell 1"), std::int64_t{2},
                   std::int64_t{755}, Tenths{3775}, std::int64_t{380}}));
    EXPECT_EQ(std::get<Tenths>(t[3].rows[1][6]).value, 3713);
}

TEST(WorksheetName, IsValidAndUniqueWithoutCase)
{
    struct Case {
        QString wished;
        QString given;
    };
    const QString long40 = QStringLiteral("Tabelle Bezirksoberliga Luftgewehr Süd A");
    const Case cases[] = {
        {QStringLiteral("Tabelle A/B: [Nord]?"), QStringLiteral("Tabelle A B Nord")},
        {QStringLiteral("tabelle a b nord"), QStringLiteral("tabelle a b nord (2)")},
        {long40, long40.left(31)},
        {long40 + QStringLiteral("X"), long40.left(27).trimmed() + QStringLiteral(" (2)")},
        {QStringLiteral("'zitiert'"), QStringLiteral("zitiert")},
        {QStringLiteral("  *? "), QStringLiteral("Tabelle")},
    };
    QStringList taken;
    for (const Case& c : cases)
        EXPECT_EQ(worksheetName(c.wished, taken), c.given) << c.wished.toStdString();
}

} // namespace
} // namespace torvm
