// Result rows are read and written one key at a time all season long; these measure the table
// layer against bare SQLite doing the same by the same key, on a file of 100 000 result rows.
#include "BenchMain.h"
#include "db/CompetitionFile.h"
#include "db/Tables.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <random>
#include <vector>

namespace {

using namespace torvm;

constexpr int kGroups = 48;
constexpr int kRounds = 10;
constexpr int kSlots = 10;

struct Fixture {
    // TORVM_BENCH_DIR picks the disk: a tmpfs folder shows the program's own cost, a disk folder
    // adds the flush of every commit.
    QTemporaryDir dir{qEnvironmentVariable("TORVM_BENCH_DIR", QDir::tempPath()) + QStringLiteral("/torvm-bench")};
    std::unique_ptr<Database> db;
    std::vector<std::array<int, 4>> keys; // group, round, slot, row of every stored row

    Fixture()
    {
        const QString path = dir.filePath(QStringLiteral("bench.mdb"));
        QString error;
        if (!copyTemplate(QStringLiteral(TORVM_TEST_TEMPLATE), path, &error) || !(db = openCompetition(path, &error)))
            qFatal("%s", qPrintable(error));
        Transaction tx(*db);
        Statement insert = db->prepare("INSERT INTO Wettkampf (ID, TNr, Durchgang, Ergebnis) VALUES (?, ?, ?, ?)");
        int n = 0;
        for (int g = 0; g < kGroups; ++g)
            for (int r = 0; r < kRounds; ++r)
                for (int s = 1; s <= kSlots; ++s)
                    for (int row = 1; row <= 21; ++row, ++n) {
                        const int key = resultKey(g, r, s, row <= 20 ? row : kSummaryRow);
                        keys.push_back({g, r, s, row <= 20 ? row : kSummaryRow});
                        insert.bind(1, std::int64_t{key});
                        insert.bind(2, std::int64_t{1000 + n % 4000});
                        insert.bind(3, std::int64_t{r});
                        insert.bind(4, std::int64_t{250 + n % 150});
                        if (!insert.exec())
                            qFatal("insert failed");
                        insert.reset();
                    }
        if (!tx.commit())
            qFatal("commit failed");
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_LoadResult(benchmark::State& state)
{
    Fixture& f = fixture();
    CWettkampfTable table(f.db.get(), nullptr);
    table.OpenTable();
    std::mt19937 rng(1);
    std::uniform_int_distribution<std::size_t> pick(0, f.keys.size() - 1);
    for (auto _ : state) {
        const auto& k = f.keys[pick(rng)];
        benchmark::DoNotOptimize(table.LoadResult(k[0], k[1], k[2], k[3]));
        benchmark::DoNotOptimize(table.m_Ergebnis);
    }
}

void BM_BareSelect(benchmark::State& state)
{
    Fixture& f = fixture();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(f.db->handle(),
                       "SELECT ID, TNr, Durchgang, ErgID, Ergebnis, Punkte, Ersatz, Wertung, Flag, Text "
                       "FROM Wettkampf WHERE ID = ?",
                       -1, &st, nullptr);
    std::mt19937 rng(1);
    std::uniform_int_distribution<std::size_t> pick(0, f.keys.size() - 1);
    for (auto _ : state) {
        const auto& k = f.keys[pick(rng)];
        sqlite3_bind_int64(st, 1, resultKey(k[0], k[1], k[2], k[3]));
        if (sqlite3_step(st) == SQLITE_ROW)
            benchmark::DoNotOptimize(sqlite3_column_int(st, 4));
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
}

// Writes run inside one open transaction, as the result entry's saves do; committing every call
// would measure the disk's flush, not the call.
void BM_SaveResult(benchmark::State& state)
{
    Fixture& f = fixture();
    CWettkampfTable table(f.db.get(), nullptr);
    table.OpenTable();
    std::mt19937 rng(2);
    std::uniform_int_distribution<std::size_t> pick(0, f.keys.size() - 1);
    int i = 0;
    Transaction tx(*f.db);
    for (auto _ : state) {
        const auto& k = f.keys[pick(rng)];
        benchmark::DoNotOptimize(table.SaveResult(1234, 300 + i % 100, k[0], k[1], k[2], k[3]));
        ++i;
    }
    tx.commit();
}

void BM_BareUpsert(benchmark::State& state)
{
    Fixture& f = fixture();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(f.db->handle(),
                       "INSERT INTO Wettkampf (ID, TNr, Durchgang, ErgID, Ergebnis, Punkte, Ersatz, Wertung, Flag, "
                       "Text) VALUES (?, ?, ?, 0, ?, 0, 0, 0, 0, '') ON CONFLICT (ID) DO UPDATE SET TNr = "
                       "excluded.TNr, Durchgang = excluded.Durchgang, ErgID = 0, Ergebnis = excluded.Ergebnis, "
                       "Punkte = 0, Ersatz = 0, Wertung = 0, Flag = 0, Text = ''",
                       -1, &st, nullptr);
    std::mt19937 rng(2);
    std::uniform_int_distribution<std::size_t> pick(0, f.keys.size() - 1);
    int i = 0;
    Transaction tx(*f.db);
    for (auto _ : state) {
        const auto& k = f.keys[pick(rng)];
        sqlite3_bind_int64(st, 1, resultKey(k[0], k[1], k[2], k[3]));
        sqlite3_bind_int64(st, 2, 1234);
        sqlite3_bind_int64(st, 3, k[1]);
        sqlite3_bind_int64(st, 4, 300 + i % 100);
        sqlite3_step(st);
        sqlite3_reset(st);
        ++i;
    }
    tx.commit();
    sqlite3_finalize(st);
}

BENCHMARK(BM_LoadResult)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_BareSelect)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_SaveResult)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_BareUpsert)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv,
                                [] { std::printf("result rows in the file: %zu\n", fixture().keys.size()); });
}
