// The web site of a whole season: on the large league (60 groups, 18 rounds entered) one run
// writes the menu, the start page and a fixture and a results page per group with every round.
#include "LargeLeague.h"
#include "exchange/WebExport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <benchmark/benchmark.h>

namespace {

using namespace torvm;
using namespace bench;

void BM_WebExportSeason(benchmark::State& state)
{
    CTorvmDoc& doc = *league().doc;
    const QString site = league().dir.filePath(QStringLiteral("web"));
    WebOptions options;
    options.einzel = true;
    options.round = kLastRound;
    int pages = 0;
    for (auto _ : state) {
        CWebExport exporter(doc, options, QStringLiteral("Schützengau Velmarik"));
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

BENCHMARK(BM_WebExportSeason)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    league();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
