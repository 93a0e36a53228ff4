#pragma once

// The large league the output benchmarks read: 60 groups of 10 teams, 18 rounds entered with the
// 20 rows and the summary row the result entry writes per team, 4 000 shooters, 1 000 clubs. It is
// built once per program in TORVM_BENCH_DIR (else the temporary folder).
#include "db/CompetitionFile.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "fixtures/RoundRobin.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace bench {

using namespace torvm;

constexpr int kGroups = 60;
constexpr int kTeams = 10;
constexpr int kRounds = 18;
constexpr int kShooters = 4000;
constexpr int kClubs = 1000;
constexpr int kTeamSize = 4;
constexpr int kLastRound = kRounds - 1;

struct League {
    QTemporaryDir dir{qEnvironmentVariable("TORVM_BENCH_DIR", QDir::tempPath()) + QStringLiteral("/torvm-bench")};
    std::unique_ptr<CTorvmDoc> doc = std::make_unique<CTorvmDoc>();

    League()
    {
        const QString path = dir.filePath(QStringLiteral("league.mdb"));
        QString error;
        if (!copyTemplate(QStringLiteral(TORVM_TEST_TEMPLATE), path, &error) || !doc->OnOpenDocument(path))
            qFatal("cannot create %s: %s", qPrintable(path), qPrintable(error + doc->failure().text));
        Database& db = *doc->GetDatabase();
        Transaction tx(db);
        const auto run = [&db](Statement& st) {
            if (!st.exec())
                qFatal("insert failed: %s", qPrintable(db.lastError().text));
            st.reset();
        };
        Statement club = db.prepare(R"(INSERT INTO "Verein" ("Vereinsnummer", "Name", "Sortieren") VALUES (?, ?, ?))");
        for (int c = 1; c <= kClubs; ++c) {
            club.bind(1, std::int64_t{c});
            club.bind(2, QStringLiteral("Schützengesellschaft Nr. %1").arg(c));
            club.bind(3, QString::number(c));
            run(club);
        }
        Statement person = db.prepare(
            R"(INSERT INTO "Teilnehmer" ("Paßnummer", "Name", "Vorname", "Klasse", "Verein") VALUES (?, ?, ?, ?, ?))");
        for (int p = 1; p <= kShooters; ++p) {
            person.bind(1, std::int64_t{p});
            person.bind(2, QStringLiteral("Müller%1").arg(p % 97));
            person.bind(3, QStringLiteral("Jörg%1").arg(p % 13));
            person.bind(4, std::int64_t{p % 9});
            person.bind(5, std::int64_t{1 + p % kClubs});
            run(person);
        }
        Statement plan = db.prepare(R"(INSERT INTO "Plan" ("PlanID", "Name", "Datum1", "A1", "B1", "A2", "B2", "A3",
            "B3", "A4", "B4", "A5", "B5") VALUES (?, 'Doppelrunde', '2025-09-26 19:30:00', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?))");
        const auto rounds = roundRobin(kTeams, RoundRobinKind::Double);
        for (int r = 0; r < kRounds; ++r) {
            plan.bind(1, std::int64_t{planKey(0, r)});
            for (int k = 0; k < kTeams / 2; ++k) {
                plan.bind(2 + 2 * k, std::int64_t{rounds[r][k].home});
                plan.bind(3 + 2 * k, std::int64_t{rounds[r][k].away});
            }
            run(plan);
        }
        Statement group = db.prepare(R"(INSERT INTO "Gruppe" ("ID", "Name", "Anzahl", "Plan", "Klasse", "Verein01",
            "VNr01", "Verein02", "VNr02", "Verein03", "VNr03", "Verein04", "VNr04", "Verein05", "VNr05", "Verein06",
            "VNr06", "Verein07", "VNr07", "Verein08", "VNr08", "Verein09", "VNr09", "Verein10", "VNr10")
            VALUES (?, ?, ?, 0, ?, ?, '1', ?, '1', ?, '1', ?, '1', ?, '1', ?, '1', ?, '1', ?, '1', ?, '1', ?, '1'))");
        for (int g = 0; g < kGroups; ++g) {
            group.bind(1, std::int64_t{g});
            group.bind(2, QStringLiteral("Gruppe %1").arg(g + 1));
            group.bind(3, std::int64_t{kTeamSize});
            group.bind(4, std::int64_t{g % 5});
            for (int s = 0; s < kTeams; ++s)
                group.bind(5 + s, std::int64_t{1 + (g * kTeams + s) % kClubs});
            run(group);
        }
        Statement result =
            db.prepare(R"(INSERT INTO "Wettkampf" ("ID", "TNr", "Durchgang", "Ergebnis", "Punkte", "Text")
            VALUES (?, ?, ?, ?, ?, ?))");
        int n = 0;
        for (int g = 0; g < kGroups; ++g)
            for (int r = 0; r < kRounds; ++r)
                for (int s = 1; s <= kTeams; ++s) {
                    for (int row = 1; row <= 20; ++row, ++n) {
                        const bool shoots = row <= kTeamSize;
                        result.bind(1, std::int64_t{resultKey(g, r, s, row)});
                        result.bind(2, std::int64_t{shoots ? 1 + ((g * kTeams + s) * kTeamSize + row) % kShooters : 0});
                        result.bind(3, std::int64_t{r});
                        result.bind(4, std::int64_t{shoots ? 330 + n % 66 : 0});
                        result.bind(5, std::int64_t{0});
                        result.bindNull(6);
                        run(result);
                    }
                    const bool adjusted = (g + r + s) % 37 == 0;
                    result.bind(1, std::int64_t{resultKey(g, r, s, kSummaryRow)});
                    result.bind(2, std::int64_t{0});
                    result.bind(3, std::int64_t{r});
                    result.bind(4, std::int64_t{0});
                    result.bind(5, std::int64_t{adjusted ? -1 : 0});
                    if (adjusted)
                        result.bind(6, QStringLiteral("verspätet"));
                    else
                        result.bindNull(6);
                    run(result);
                }
        if (!tx.commit())
            qFatal("commit failed");
    }
};

inline League& league()
{
    static League l;
    return l;
}

} // namespace bench
