// Opening a competition checks the whole file (every page, and every index against its table)
// before anything is read or written. On the large league (60 groups of 10 teams, 18 rounds,
// 4 000 shooters, 1 000 clubs) these measure the whole open, the full check alone and the quick
// check it replaced, and the backup copy of the file.
#include "BenchMain.h"
#include "LargeLeague.h"

#include "db/Backup.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

using namespace torvm;
using namespace bench;

void BM_OpenCompetition(benchmark::State& state)
{
    const QString path = league().doc->path();
    for (auto _ : state) {
        QString error;
        auto db = openCompetition(path, &error, Access::ReadOnly);
        if (!db)
            state.SkipWithError(qPrintable(error));
        benchmark::DoNotOptimize(db.get());
    }
}

void runCheck(benchmark::State& state, const char* pragma)
{
    const QString path = league().doc->path();
    auto db = Database::open(path, Database::Mode::ReadOnly, nullptr);
    for (auto _ : state) {
        Statement st = db->prepare(pragma);
        if (!st.next() || st.text(0) != QLatin1String("ok"))
            state.SkipWithError("check failed");
    }
}

void BM_IntegrityCheck(benchmark::State& state)
{
    runCheck(state, "PRAGMA integrity_check(5)");
}

void BM_QuickCheck(benchmark::State& state)
{
    runCheck(state, "PRAGMA quick_check");
}

// The copy made before every import and on the day's first opening, by the engine's online backup.
void BM_Backup(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString path = league().doc->path();
    QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        QString error;
        now = now.addSecs(1);
        if (!makeBackup(*league().doc->GetDatabase(), path, now, &error, folder.path()))
            state.SkipWithError(qPrintable(error));
    }
}

BENCHMARK(BM_OpenCompetition)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_IntegrityCheck)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_QuickCheck)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv, [] {
        const QString path = league().doc->path();
        std::printf("league file: %.1f MB\n", double(QFileInfo(path).size()) / 1e6);
    });
}
