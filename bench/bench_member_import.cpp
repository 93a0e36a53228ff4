// The association's member table runs to tens of thousands of rows; the import must take them over
// in seconds, with the club names, from a SQLite copy of the two tables.
#include "BenchMain.h"
#include "db/CompetitionFile.h"
#include "exchange/MemberImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace torvm;

constexpr int kMembers = 100000;
constexpr int kClubs = 600;

void makeSource(const QString& source)
{
    if (!QFile(source).open(QIODevice::WriteOnly))
        qFatal("no source");
    {
        auto src = Database::open(source, Database::Mode::ReadWrite, nullptr);
        if (!src || !src->execute(R"(
            CREATE TABLE "tblMitglieder" ("Passnummer" INTEGER, "Stammverein" INTEGER, "MName" TEXT,
                "Vorname" TEXT, "NZusatz" TEXT, "Strasse" TEXT, "PLZ" TEXT, "Ort" TEXT, "LKZ" TEXT,
                "Geschlecht" INTEGER, "Geburtsdatum" TEXT, "Eintritt" TEXT, "VereinsNr" INTEGER);
            CREATE TABLE "tblVereine_kurz" ("Verein" INTEGER, "VName" TEXT);)"))
            qFatal("no source");
        Transaction tx(*src);
        Statement member = src->prepare(R"(INSERT INTO "tblMitglieder" VALUES (?, 0, ?, 'Eva', '', 'Hauptstraße 1',
            '86150', 'Augsburg', 'D', ?, '1970-05-04 00:00:00', '2001-02-03 00:00:00', ?))");
        for (int i = 1; i <= kMembers; ++i) {
            member.bind(1, std::int64_t{i});
            member.bind(2, QStringLiteral("Müller %1").arg(i));
            member.bind(3, std::int64_t{i % 2});
            member.bind(4, std::int64_t{i % kClubs + 1});
            member.exec();
            member.reset();
        }
        Statement club = src->prepare(R"(INSERT INTO "tblVereine_kurz" VALUES (?, ?))");
        for (int i = 1; i <= kClubs; ++i) {
            club.bind(1, std::int64_t{i});
            club.bind(2, QStringLiteral("Verein %1").arg(i));
            club.exec();
            club.reset();
        }
        tx.commit();
    }
}

// The source file is made once and shared by both benchmarks.
QString source()
{
    static QTemporaryDir dir{qEnvironmentVariable("TORVM_BENCH_DIR", QDir::tempPath()) +
                             QStringLiteral("/torvm-bench")};
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("bssb.db"));
        makeSource(file);
        return file;
    }();
    return path;
}

void Import(benchmark::State& state)
{
    QTemporaryDir dir{qEnvironmentVariable("TORVM_BENCH_DIR", QDir::tempPath()) + QStringLiteral("/torvm-bench")};
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = dir.filePath(QStringLiteral("w%1.mdb").arg(++run));
        QString error;
        std::unique_ptr<Database> db;
        if (!copyTemplate(QStringLiteral(TORVM_TEST_TEMPLATE), target, &error) ||
            !(db = openCompetition(target, &error)))
            qFatal("%s", qPrintable(error));
        state.ResumeTiming();
        // With the window updating, as the program runs it: events are handled before every row.
        MemberImportProgress progress;
        if (state.range(0) != 0) {
            progress.cancelled = [] {
                QCoreApplication::processEvents();
                return false;
            };
            progress.report = [](int stored, std::int32_t) { benchmark::DoNotOptimize(stored); };
        }
        const MemberImportResult r = importMembers(*db, source(), progress);
        if (!r.ok || r.members != kMembers)
            qFatal("import failed: %s", qPrintable(r.error));
    }
    state.counters["rows/s"] =
        benchmark::Counter(double(kMembers) * double(state.iterations()), benchmark::Counter::kIsRate);
}

// The floor: reading the same columns of the same rows and nothing else.
void ReadAlone(benchmark::State& state)
{
    auto db = Database::open(source(), Database::Mode::ReadOnly, nullptr);
    if (!db)
        qFatal("no source");
    for (auto _ : state) {
        Statement st = db->prepare(R"(SELECT "Passnummer", "Stammverein", "MName", "Vorname", "NZusatz", "Strasse",
            "PLZ", "Ort", "LKZ", "Geschlecht", "Geburtsdatum", "Eintritt", "VereinsNr" FROM "tblMitglieder"
            ORDER BY "Passnummer")");
        int rows = 0;
        while (st.next()) {
            for (int c = 0; c < 13; ++c) {
                if (c == 0 || c == 1 || c == 9 || c == 12)
                    benchmark::DoNotOptimize(st.int64(c));
                else
                    benchmark::DoNotOptimize(st.text(c));
            }
            ++rows;
        }
        if (rows != kMembers)
            qFatal("read %d rows", rows);
    }
    state.counters["rows/s"] =
        benchmark::Counter(double(kMembers) * double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(Import)->ArgName("window")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(ReadAlone)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv);
}
