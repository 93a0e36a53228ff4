#include "output/MissingResults.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

namespace torvm {
namespace {

// One group of three on a plan of three rounds; round 1 is entered, round 2 only has a team marked
// as not appeared, round 3 has nothing.
TEST(MissingResults, PairingsOfPastRoundsWithoutAnyResultAreListedWithTheirCaptains)
{
    test::TempCompetition comp;
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

} // namespace
} // namespace torvm
