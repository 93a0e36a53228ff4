#include "exchange/NewSeason.h"
#include "cli/Cli.h"
#include "db/CompetitionFile.h"
#include "support/Fixtures.h"

#include <QTextStream>

#include <gtest/gtest.h>

namespace torvm {
namespace {

TEST(NewSeason, TheTitleCountsEveryYearOn)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Kreisliga 2025/26", "Kreisliga 2026/27"},
        {"RWK 2025/2026 Gau", "RWK 2026/2027 Gau"},
        {"Saison 2025", "Saison 2026"},
        {"Liga 1999/00", "Liga 2000/01"},
        {"Gau 2025-26", "Gau 2026-27"},
        {"Ohne Jahr", "Ohne Jahr"},
        {"Runde 12345", "Runde 12345"},
        {"", ""},
    };
    for (const auto& [old, next] : cases)
        EXPECT_EQ(nextSeasonTitle(QString::fromUtf8(old)), QString::fromUtf8(next)) << old;
}

TEST(NewSeason, TheFirstTeamsGoUpAndTheLastDownBetweenNeighbouringGroups)
{
    const auto group = [](int id, std::vector<int> ranked) {
        SeasonGroup g{id, QString::number(id), {}};
        for (int slot : ranked)
            g.table.push_back({slot, QString::number(slot)});
        return g;
    };
    const std::vector<SeasonGroup> league{group(0, {3, 1, 2, 4}), group(1, {2, 4, 1}), group(2, {5})};
    struct Case {
        std::vector<int> up, down;
        SeasonMoves expected;
    };
    const std::vector<Case> cases{
        {{1, 1, 1}, {1, 1, 1}, {{{0, 4}, 1}, {{1, 2}, 0}, {{1, 1}, 2}, {{2, 5}, 1}}},
        {{0, 2, 0}, {2, 0, 0}, {{{0, 2}, 1}, {{0, 4}, 1}, {{1, 2}, 0}, {{1, 4}, 0}}},
        {{}, {}, {}},
        // A group of three sending three up and one down: the up-goers take all, none is left to fall.
        {{0, 3, 0}, {0, 1, 0}, {{{1, 2}, 0}, {{1, 4}, 0}, {{1, 1}, 0}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(proposeMoves(league, c.up, c.down), c.expected);
}

class NewSeasonFileTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    void exec(const char* sql)
    {
        ASSERT_TRUE(comp.db()->execute(sql)) << sql << ": " << comp.db()->lastError().text.toStdString();
    }
    int cli(const QStringList& args, QString* out)
    {
        QString err;
        out->clear();
        QTextStream o(out);
        QTextStream e(&err);
        const int rc = runCli(args, o, e);
        o.flush();
        *out += err;
        return rc;
    }
    // What the new season must carry, read with plain selects.
    static QString dump(Database& db)
    {
        QString text;
        const auto rows = [&db, &text](const char* sql) {
            Statement st = db.prepare(sql);
            while (st.next()) {
                QStringList cells;
                for (int c = 0; c < st.columnCount(); ++c)
                    cells << st.text(c);
                text += cells.join(QLatin1Char('|')) + QLatin1Char('\n');
            }
        };
        rows(R"(SELECT "Wettbewerb" FROM "Wettbewerb")");
        rows(R"(SELECT COUNT(*) FROM "Wettkampf")");
        rows(R"(SELECT "PlanID", "Datum1", "A1", "B1" FROM "Plan" ORDER BY 1)");
        rows(R"(SELECT "KlasseID", "von", "bis" FROM "Klasse" WHERE "KlasseID" IN (1, 7) ORDER BY 1)");
        rows(R"(SELECT "ID", "Verein01", "VNr01", "Verein02", "VNr02", "MFuehrer02", "Telefon02", "Verein03"
                FROM "Gruppe" ORDER BY 1)");
        return text;
    }
};

// Two groups of three on one plan of three rounds, one shooter a team: Bezirksliga ends
// SV Adler 4:0, KK Eiche 2:2, SG Tell 0:4; Kreisliga SG Linde 4:0, SV Hubertus 2:2, SV Falke 0:4.
TEST_F(NewSeasonFileTest, TheNextSeasonKeepsTheLeagueMovesDatesAndTeamsAndDropsTheResults)
{
    exec(R"(INSERT INTO "Wettbewerb" ("ID", "Wettbewerb") VALUES (1, 'Kreisliga Velmarik 2025/26');
        INSERT INTO "Verein" ("Vereinsnummer", "Name") VALUES (1, 'SV Adler'), (2, 'SG Tell'), (3, 'KK Eiche'),
            (4, 'SV Hubertus'), (5, 'SG Linde'), (6, 'SV Falke');
        INSERT INTO "Teilnehmer" ("Paßnummer", "Name", "Verein") VALUES (11, 'A', 1), (12, 'B', 2), (13, 'C', 3),
            (14, 'D', 4), (15, 'E', 5), (16, 'F', 6);
        UPDATE "Klasse" SET "von" = '1960-01-01 00:00:00', "bis" = '2007-12-31 00:00:00' WHERE "KlasseID" = 1;
        UPDATE "Klasse" SET "von" = '2008-02-29 00:00:00', "bis" = '2016-12-31 00:00:00' WHERE "KlasseID" = 7;
        INSERT INTO "Plan" ("PlanID", "Name", "Datum1", "A1", "B1") VALUES
            (0, 'Drei', '2025-10-03 19:30:00', 1, 2), (1, 'Drei', '2025-10-17 19:30:00', 3, 1),
            (2, 'Drei', '2025-11-07 19:30:00', 2, 3);
        INSERT INTO "Gruppe" ("ID", "Name", "Anzahl", "Plan", "Verein01", "VNr01", "Verein02", "VNr02",
            "MFuehrer02", "Telefon02", "Verein03", "VNr03") VALUES
            (0, 'Bezirksliga', 1, 0, 1, '1', 2, '1', 'Huber', '0871', 3, '1'),
            (1, 'Kreisliga', 1, 0, 4, '1', 5, '2', 'Maier', '0815', 6, '1');
        INSERT INTO "Wettkampf" ("ID", "TNr", "Durchgang", "Ergebnis") VALUES
            (101, 11, 0, 300), (201, 12, 0, 290), (10301, 13, 1, 280), (10101, 11, 1, 295),
            (20201, 12, 2, 285), (20301, 13, 2, 288),
            (1000101, 14, 0, 270), (1000201, 15, 0, 275), (1010301, 16, 1, 260), (1010101, 14, 1, 265),
            (1020201, 15, 2, 280), (1020301, 16, 2, 250);)");
    const QString next = comp.file(QStringLiteral("saison2026.mdb"));
    QString out;
    EXPECT_EQ(
        cli({QStringLiteral("new-season"), comp.path(), next, QStringLiteral("--auf"), QStringLiteral("x")}, &out), 1);
    ASSERT_EQ(cli({QStringLiteral("new-season"), comp.path(), next}, &out), 0) << out.toStdString();
    EXPECT_EQ(out, QStringLiteral("SG Tell 1: Bezirksliga -> Kreisliga\nSG Linde 2: Kreisliga -> Bezirksliga\n"
                                  "Neue Saison angelegt: %1\n")
                       .arg(next));
    EXPECT_EQ(cli({QStringLiteral("new-season"), comp.path(), next}, &out), 2); // never over a file

    QString error;
    auto made = openCompetition(next, &error, Access::ReadOnly);
    ASSERT_TRUE(made) << error.toStdString();
    // Dates 52 weeks on (still Fridays), bounds one year on with 29 February as the 28th, the
    // promoted SG Linde 2 with its captain in the relegated SG Tell 1's slot and the other way round.
    EXPECT_EQ(dump(*made).toStdString(), "Kreisliga Velmarik 2026/27\n"
                                         "0\n"
                                         "0|2026-10-02 19:30:00|1|2\n"
                                         "1|2026-10-16 19:30:00|3|1\n"
                                         "2|2026-11-06 19:30:00|2|3\n"
                                         "1|1961-01-01 00:00:00|2008-12-31 00:00:00\n"
                                         "7|2009-02-28 00:00:00|2017-12-31 00:00:00\n"
                                         "0|1|1|5|2|Maier|0815|3\n"
                                         "1|4|1|2|1|Huber|0871|6\n");
    EXPECT_TRUE(dump(*comp.db()).startsWith(QStringLiteral("Kreisliga Velmarik 2025/26\n12\n"))); // only read
}

} // namespace
} // namespace torvm
