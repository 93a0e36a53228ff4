// The web site of a whole season: on the large league (60 groups, 18 rounds entered) one run
// writes the menu, the start page and a fixture and a results page per group with every round.
// The modern style (argument 1) beside the classic one (argument 0), each into its own folder:
// a page per group with standings, results and fixtures, and the two rankings.
#include "BenchMain.h"
#include "LargeLeague.h"
#include "exchange/WebExport.h"

#include <QDir>
#include <QFileInfo>

#include <benchmark/benchmark.h>

namespace {

using namespace torvm;
using namespace bench;

void BM_WebExportSeason(benchmark::State& state)
{
    CTorvmDoc& doc = *league().doc;
    const WebStyle style = state.range(0) == 1 ? WebStyle::Modern : WebStyle::Classic;
    const QString site =
        league().dir.filePath(style == WebStyle::Modern ? QStringLiteral("modern") : QStringLiteral("web"));
    WebOptions options;
    options.einzel = true;
    options.round = kLastRound;
    int pages = 0;
    for (auto _ : state) {
        CWebExport exporter(doc, options, QStringLiteral("Schützengau Velmarik"));
        exporter.setStyle(style);
        const WebExportResult result = exporter.run(site);
        if (!result.succeeded())
            state.SkipWithError("export failed");
        pages = result.pagesWritten;
    }
    qint64 bytes = 0;
    for (const QFileInfo& file : QDir(site).entryInfoList(QDir::Files))
        bytes += file.size();
    state.counters["pages"] = pages;
    state.counters["bytes"] = static_cast<double>(bytes);
}

} // namespace

BENCHMARK(BM_WebExportSeason)
    ->Arg(0)
    ->Arg(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv, [] { league(); });
}
