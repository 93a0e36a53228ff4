#pragma once

#include "LeagueData.h"
#include "db/Recordsets.h"
#include "results/CompetitionRules.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

namespace torvm::test {

// One league under every rule at once: tenths, best 3 of 4, an individual starter (Roth, 113), an
// out-of-competition starter (Stein, 124), a substitute (Vogt, 115), a team that did not appear
// (KSV Öd 1 in round 3) and three teams on 2 points that the direct comparison puts in the order
// SV Tell 1, SG Weiß 1, FSG Au 1 while their rings would reverse it. Tie-breaks: direct, rings.
//   round 1: Tell - Au 297,0 : 290,5   Weiß - Öd 295,5 : 298,5
//   round 2: Tell - Öd 291,0 : 299,0   Weiß - Au 298,5 : 297,5
//   round 3: Tell - Weiß 301,5 : 298,9 (Tell -2: remark)   Au - Öd 309,0 : n. a.
class RulesLeague : public ::testing::Test {
protected:
    TempCompetition comp;
    LeagueData data{*comp.db()};

    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(setCompetitionRules(comp.db(), &comp.doc(), {true, {TieBreak::Direct, TieBreak::Rings}, 0}, &error))
            << error.toStdString();
        ASSERT_TRUE(setGroupBestCount(comp.db(), &comp.doc(), 0, 3, &error));
        CRSWettbewerb title(comp.db(), &comp.doc());
        title.SetTitle(QStringLiteral("Rundenwettkampf Auflage 2025"));
        data.exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), (11, 'SG Weiß'), (12, 'FSG Au'), "
                  "(13, 'KSV Öd')");
        data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01, Verein02, VNr02, Verein03, VNr03, "
                  "Verein04, VNr04) VALUES (0, 'Auflageliga', 4, 0, 10, '1', 11, '1', 12, '1', 13, '1')");
        data.exec("INSERT INTO Plan (PlanID, Name, Datum1, A1, B1, A2, B2) VALUES "
                  "(0, 'Runde', '2025-10-01 19:30:00', 1, 3, 2, 4), (1, 'Runde', '2025-10-15 19:30:00', 1, 4, 2, 3), "
                  "(2, 'Runde', '2025-10-29 19:30:00', 1, 2, 3, 4)");
        data.exec("INSERT INTO Teilnehmer (Paßnummer, Name, Vorname, Klasse, Verein) VALUES "
                  "(101, 'Huber', 'Anna', 1, 10), (102, 'Maier', 'Sepp', 1, 10), (103, 'Bauer', 'Eva', 1, 10), "
                  "(104, 'Kern', 'Max', 1, 10), (111, 'Weiß', 'Jörg', 1, 11), (112, 'Lang', 'Uli', 1, 11), "
                  "(113, 'Roth', 'Ida', 1, 11), (115, 'Vogt', 'Jan', 1, 11), (121, 'Au', 'Karl', 1, 12), "
                  "(122, 'Moos', 'Lea', 1, 12), (123, 'Fink', 'Otto', 1, 12), (124, 'Stein', 'Ute', 1, 12)");
        data.shooters(0, 0, 1, {1000, 990, 980, 970});
        data.shooters(0, 0, 3, {1015, 950, 940, 930}, {123});
        data.shooters(0, 0, 2, {990, 985, 980, 900});
        data.shooters(0, 0, 4, {1000, 995, 990, 985});
        data.shooters(0, 1, 1, {960, 950, 940, 1000});
        data.shooters(0, 1, 4, {1000, 1000, 990, 900});
        data.shooters(0, 1, 2, {1000, 995, 990, 985});
        data.shooters(0, 1, 3, {1020, 980, 975, 970});
        data.shooters(0, 2, 1, {1012, 998, 1005, 987}, {101, 102, 103, 104});
        data.adjustment(0, 2, 1, -2, QStringLiteral("Startgeld nicht bezahlt"));
        data.shooters(0, 2, 2, {1001, 995, 990, 993}, {111, 112, 113, 115});
        data.shooters(0, 2, 3, {1030, 1020, 1040, 1050}, {121, 122, 123, 124});
        data.adjustment(0, 2, 4, 0);
        data.exec(R"(UPDATE "Wettkampf" SET "Wertung" = 1 WHERE "TNr" = 113)");
        data.exec(R"(UPDATE "Wettkampf" SET "Wertung" = 2 WHERE "TNr" = 124)");
        data.exec(R"(UPDATE "Wettkampf" SET "Ersatz" = 1 WHERE "TNr" = 115)");
        data.exec(R"(UPDATE "Wettkampf" SET "Flag" = 1 WHERE "ID" = 20499)");
    }
};

} // namespace torvm::test
