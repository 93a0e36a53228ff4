#pragma once

#include "db/Database.h"

namespace torvm::test {

// Kreisliga: four teams of one shooter on three rounds of two pairings. Round 1 (04.10.2024) is
// complete, round 2 (18.10.) has 1-3 (285 : 286) but not 2-4, round 3 (08.11.) has nothing.
// Bezirksliga: two teams, one round (15.11.), nothing entered.
inline bool fillOverviewLeague(Database* db)
{
    return db->execute(R"(
        INSERT INTO "Verein" ("Vereinsnummer", "Name") VALUES (1, 'SV Adler'), (2, 'SG Tell'), (3, 'KK Eiche'),
            (4, 'SG Linde');
        INSERT INTO "Plan" ("PlanID", "Name", "Datum1", "A1", "B1", "A2", "B2") VALUES
            (0, 'Vier', '2024-10-04 19:30:00', 1, 2, 3, 4), (1, 'Vier', '2024-10-18 19:30:00', 1, 3, 2, 4),
            (2, 'Vier', '2024-11-08 19:30:00', 1, 4, 2, 3), (20, 'Zwei', '2024-11-15 19:30:00', 1, 2, 0, 0);
        INSERT INTO "Gruppe" ("ID", "Name", "Anzahl", "Plan", "Verein01", "VNr01", "Verein02", "VNr02", "Verein03",
            "VNr03", "Verein04", "VNr04") VALUES (0, 'Kreisliga', 1, 0, 1, '1', 2, '1', 3, '1', 4, '1'),
            (1, 'Bezirksliga', 1, 1, 1, '2', 2, '2', 0, '', 0, '');
        INSERT INTO "Wettkampf" ("ID", "TNr", "Ergebnis") VALUES (101, 0, 290), (201, 0, 280), (301, 0, 270),
            (401, 0, 275), (10101, 0, 285), (10301, 0, 286);)");
}

} // namespace torvm::test
