// The outputs read a whole season at once. On a large league (60 groups of 10 teams, 18 rounds
// entered with the 20 rows and the summary row the result entry writes per team, 4 000 shooters,
// 1 000 clubs) these measure one group's standings under the default rules and under best N with
// the direct comparison, beside bare SQLite summing the same rings, and the text export of whole
// outputs.
#include "BenchMain.h"
#include "LargeLeague.h"
#include "output/Standings.h"
#include "output/TextExport.h"
#include "results/CompetitionRules.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace torvm;
using namespace bench;

void BM_StandingsOneGroup(benchmark::State& state)
{
    CTorvmDoc& doc = *league().doc;
    int g = 0;
    for (auto _ : state) {
        const CTabellenStand s = ComputeStandings(doc.GetDatabase(), &doc, g, kLastRound);
        benchmark::DoNotOptimize(s.Rang);
        g = (g + 1) % kGroups;
    }
}

void BM_LeagueTableOneGroup(benchmark::State& state)
{
    CTorvmDoc& doc = *league().doc;
    int g = 0;
    for (auto _ : state) {
        const LeagueTable t = ComputeLeagueTable(doc.GetDatabase(), &doc, g, kLastRound);
        benchmark::DoNotOptimize(t.rows.data());
        g = (g + 1) % kGroups;
    }
}

// The same standings when the league counts the best 3 of 4 and orders equal points by the
// direct comparison, then rings: the rules are set for this benchmark and taken back after it.
void BM_StandingsRulesOneGroup(benchmark::State& state)
{
    CTorvmDoc& doc = *league().doc;
    Database* db = doc.GetDatabase();
    QString error;
    const auto setRules = [&](int best, const std::vector<TieBreak>& chain) {
        for (int g = 0; g < kGroups; ++g) {
            if (!setGroupBestCount(db, &doc, g, best, &error))
                state.SkipWithError("best N not stored");
        }
        if (!setCompetitionRules(db, &doc, {false, chain, 0}, &error))
            state.SkipWithError("rules not stored");
    };
    setRules(kTeamSize - 1, {TieBreak::Direct, TieBreak::Rings});
    int g = 0;
    for (auto _ : state) {
        const CTabellenStand s = ComputeStandings(db, &doc, g, kLastRound);
        benchmark::DoNotOptimize(s.Rang);
        g = (g + 1) % kGroups;
    }
    setRules(0, {TieBreak::Rings});
}

// The floor: one query summing the same rings of one group, nothing else.
void BM_BareRingSumOneGroup(benchmark::State& state)
{
    Database& db = *league().doc->GetDatabase();
    int g = 0;
    for (auto _ : state) {
        Statement st = db.prepare(R"(SELECT "ID" / 100, SUM("Ergebnis") FROM "Wettkampf"
            WHERE "ID" BETWEEN ? AND ? AND "ID" % 100 BETWEEN 1 AND ? GROUP BY "ID" / 100)");
        st.bind(1, std::int64_t{resultKey(g, 0, 0, 0)});
        st.bind(2, std::int64_t{resultKey(g, kLastRound, 99, 99)});
        st.bind(3, std::int64_t{kTeamSize});
        std::int64_t total = 0;
        while (st.next())
            total += st.int64(1);
        benchmark::DoNotOptimize(total);
        g = (g + 1) % kGroups;
    }
}

void exportText(benchmark::State& state, std::initializer_list<Output> outputs)
{
    CTorvmDoc& doc = *league().doc;
    OutputSettings settings;
    settings.round = kLastRound;
    settings.klasse = RankingClassMode::Participant;
    settings.plans[0] = true;
    for (const Output output : outputs)
        settings.outputs[static_cast<int>(output)] = true;
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        if (!writeTextExport(doc, settings, buffer))
            state.SkipWithError("export failed");
        bytes = buffer.size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_TextExportTabelle(benchmark::State& state)
{
    exportText(state, {Output::Tabelle});
}

void BM_TextExportEinzel(benchmark::State& state)
{
    exportText(state, {Output::Einzel});
}

void BM_TextExportAll(benchmark::State& state)
{
    exportText(state,
               {Output::Termin, Output::Gruppe, Output::Tabelle, Output::Einzel, Output::Verein, Output::Teilnehmer});
}

} // namespace

BENCHMARK(BM_StandingsOneGroup)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StandingsRulesOneGroup)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareRingSumOneGroup)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LeagueTableOneGroup)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextExportTabelle)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextExportEinzel)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextExportAll)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv, [] { league(); });
}
