// Clubs send their filled-in result forms back by the dozen: reading a form of 10 000 lines with
// every pairing's checks, and storing it after the backup, must each stay well under a second.
#include "BenchMain.h"
#include "LargeLeague.h"

#include "exchange/ResultForm.h"

#include <QBuffer>

#include <benchmark/benchmark.h>

namespace {

using namespace torvm;

constexpr int kLines = 10000;

// The forms of the first rounds of the large league, cut to kLines shooter lines, rings filled in.
QByteArray filledForm(Database& db)
{
    QByteArray form;
    int lines = 0;
    for (int round = 0; lines < kLines; ++round) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QString error;
        if (!writeResultForm(db, buffer, round, {}, &error))
            qFatal("%s", qPrintable(error));
        QList<QByteArray> rows = buffer.data().split('\n');
        if (round == 0)
            form += rows.front() + '\n';
        for (qsizetype i = 1; i < rows.size() && lines < kLines; ++i) {
            if (rows[i].trimmed().isEmpty())
                continue;
            QList<QByteArray> fields = rows[i].split(';');
            fields[8] = QByteArray::number(80 + (lines % 20));
            form += fields.join(';') + '\n';
            ++lines;
        }
    }
    return form;
}

void ReadForm(benchmark::State& state)
{
    Database& db = *bench::league().doc->GetDatabase();
    const QByteArray form = filledForm(db);
    for (auto _ : state) {
        const FormReading reading = readResultForm(db, form);
        if (!reading.ok)
            qFatal("%s", qPrintable(reading.error));
        benchmark::DoNotOptimize(reading.pairings.size());
    }
}
BENCHMARK(ReadForm)->Unit(benchmark::kMillisecond);

void StoreForm(benchmark::State& state)
{
    Database& db = *bench::league().doc->GetDatabase();
    const FormReading reading = readResultForm(db, filledForm(db));
    if (!reading.ok)
        qFatal("%s", qPrintable(reading.error));
    for (auto _ : state) {
        QString error;
        if (!storeResultForm(db, reading.pairings, &error))
            qFatal("%s", qPrintable(error));
    }
    state.counters["pairings"] = double(reading.pairings.size());
}
BENCHMARK(StoreForm)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv);
}
