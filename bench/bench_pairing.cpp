// Moving from one pairing to the next in the result entry: save the 42 rows of the pairing being
// left (one transaction), load the next pairing with the shooters' names. Compared with bare
// SQLite doing the same writes and reads by the same keys, in the same run, on a full season:
// 40 groups of 10 teams, 18 rounds entered.
#include "BenchMain.h"
#include "db/CompetitionFile.h"
#include "results/PairingEntry.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

using namespace torvm;

constexpr int kGroups = 40;
constexpr int kTeams = 10;
constexpr int kRounds = 18;
constexpr int kPairings = kTeams / 2;

struct Season {
    // TORVM_BENCH_DIR picks the disk: a tmpfs folder shows the program's own cost, a disk folder
    // adds the flush of every commit.
    QTemporaryDir dir{qEnvironmentVariable("TORVM_BENCH_DIR", QDir::tempPath()) + QStringLiteral("/torvm-bench")};
    std::unique_ptr<Database> db;

    Season()
    {
        const QString path = dir.filePath(QStringLiteral("saison.mdb"));
        QString error;
        if (!copyTemplate(QStringLiteral(TORVM_TEST_TEMPLATE), path, &error) || !(db = openCompetition(path, &error)))
            qFatal("%s", qPrintable(error));
        Transaction tx(*db);
        Statement club = db->prepare("INSERT INTO Verein (Vereinsnummer, Name) VALUES (?, ?)");
        for (int c = 1; c <= kGroups * kTeams; ++c) {
            club.bind(1, std::int64_t{c});
            club.bind(2, QStringLiteral("Schützenverein %1").arg(c));
            club.exec();
            club.reset();
        }
        Statement person = db->prepare("INSERT INTO Teilnehmer (Paßnummer, Name, Vorname) VALUES (?, ?, ?)");
        for (int p = 1; p <= 4000; ++p) {
            person.bind(1, std::int64_t{p});
            person.bind(2, QStringLiteral("Name%1").arg(p));
            person.bind(3, QStringLiteral("Vorname"));
            person.exec();
            person.reset();
        }
        // One plan: round r pairs slot k with slot k + 5 (enough for the benchmark's purpose).
        Statement plan = db->prepare("INSERT INTO Plan (PlanID, Name, A1, B1, A2, B2, A3, B3, A4, B4, A5, B5) "
                                     "VALUES (?, 'Liga', 1, 6, 2, 7, 3, 8, 4, 9, 5, 10)");
        for (int r = 0; r < 20; ++r) {
            plan.bind(1, std::int64_t{r});
            plan.exec();
            plan.reset();
        }
        Statement group = db->prepare("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, Verein02, Verein03, "
                                      "Verein04, Verein05, Verein06, Verein07, Verein08, Verein09, Verein10) "
                                      "VALUES (?, ?, 4, 0, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (int g = 0; g < kGroups; ++g) {
            group.bind(1, std::int64_t{g});
            group.bind(2, QStringLiteral("Gruppe %1").arg(g + 1));
            for (int s = 0; s < kTeams; ++s)
                group.bind(3 + s, std::int64_t{g * kTeams + s + 1});
            group.exec();
            group.reset();
        }
        Statement result = db->prepare("INSERT INTO Wettkampf (ID, TNr, Durchgang, Ergebnis) VALUES (?, ?, ?, ?)");
        for (int g = 0; g < kGroups; ++g)
            for (int r = 0; r < kRounds; ++r)
                for (int s = 1; s <= kTeams; ++s)
                    for (int row = 1; row <= 21; ++row) {
                        const int key = resultKey(g, r, s, row <= 20 ? row : kSummaryRow);
                        result.bind(1, std::int64_t{key});
                        result.bind(2, std::int64_t{row <= 4 ? 1 + (g * 40 + s * 4 + row) % 4000 : 0});
                        result.bind(3, std::int64_t{r});
                        result.bind(4, std::int64_t{row <= 4 ? 350 + (key % 50) : 0});
                        result.exec();
                        result.reset();
                    }
        if (!tx.commit())
            qFatal("commit failed");
    }
};

Season& season()
{
    static Season s;
    return s;
}

void BM_NextPairing(benchmark::State& state)
{
    Season& s = season();
    PairingEntry entry(s.db.get(), nullptr);
    entry.open();
    int step = 0;
    entry.load(0, 0, 0);
    for (auto _ : state) {
        entry.side(0).rings[0] = 300 + step % 100;
        if (!entry.save())
            state.SkipWithError("save failed");
        ++step;
        entry.load(step / (kRounds * kPairings) % kGroups, step / kPairings % kRounds, step % kPairings);
        for (int side = 0; side < 2; ++side)
            for (int row = 0; row < entry.teamSize(); ++row)
                benchmark::DoNotOptimize(entry.participantName(entry.side(side).participant[row]));
    }
}

void BM_BareNextPairing(benchmark::State& state)
{
    Season& s = season();
    sqlite3* db = s.db->handle();
    sqlite3_stmt* upsert = nullptr;
    sqlite3_stmt* rows = nullptr;
    sqlite3_stmt* name = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO Wettkampf (ID, TNr, Durchgang, ErgID, Ergebnis, Punkte, Ersatz, Wertung, Flag, "
                       "Text) VALUES (?, ?, ?, 0, ?, ?, 0, 0, 0, ?) ON CONFLICT (ID) DO UPDATE SET TNr = excluded.TNr, "
                       "Durchgang = excluded.Durchgang, ErgID = 0, Ergebnis = excluded.Ergebnis, Punkte = "
                       "excluded.Punkte, Ersatz = 0, Wertung = 0, Flag = 0, Text = excluded.Text",
                       -1, &upsert, nullptr);
    sqlite3_prepare_v2(db, "SELECT ID, TNr, Ergebnis, Punkte, Text FROM Wettkampf WHERE ID BETWEEN ? AND ?", -1, &rows,
                       nullptr);
    sqlite3_prepare_v2(db, "SELECT Name, Vorname FROM Teilnehmer WHERE Paßnummer = ?", -1, &name, nullptr);
    int step = 0;
    int g = 0, r = 0, k = 0;
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (int slot : {k + 1, k + 6})
            for (int row = 1; row <= 21; ++row) {
                sqlite3_bind_int64(upsert, 1, resultKey(g, r, slot, row <= 20 ? row : kSummaryRow));
                sqlite3_bind_int64(upsert, 2, 0);
                sqlite3_bind_int64(upsert, 3, r);
                sqlite3_bind_int64(upsert, 4, 300 + step % 100);
                sqlite3_bind_int64(upsert, 5, 0);
                sqlite3_bind_text(upsert, 6, "", 0, SQLITE_STATIC);
                sqlite3_step(upsert);
                sqlite3_reset(upsert);
            }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        ++step;
        g = step / (kRounds * kPairings) % kGroups;
        r = step / kPairings % kRounds;
        k = step % kPairings;
        for (int slot : {k + 1, k + 6}) {
            sqlite3_bind_int64(rows, 1, resultKey(g, r, slot, 1));
            sqlite3_bind_int64(rows, 2, resultKey(g, r, slot, kSummaryRow));
            while (sqlite3_step(rows) == SQLITE_ROW) {
                sqlite3_bind_int64(name, 1, sqlite3_column_int64(rows, 1));
                if (sqlite3_step(name) == SQLITE_ROW)
                    benchmark::DoNotOptimize(sqlite3_column_text(name, 0));
                sqlite3_reset(name);
            }
            sqlite3_reset(rows);
        }
    }
    sqlite3_finalize(upsert);
    sqlite3_finalize(rows);
    sqlite3_finalize(name);
}

BENCHMARK(BM_NextPairing)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareNextPairing)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv, [] { season(); });
}
