// Reading a large member table: through the supervised child process (what the program does)
// and with the reading library alone in this process (the lower bound), to show what the
// isolation costs; and the whole member import from that file, to show what storing adds.
#include "BenchMain.h"
#include "db/CompetitionFile.h"
#include "db/Database.h"
#include "exchange/JetFile.h"
#include "exchange/MemberImport.h"
#include "support/JetFixtures.h"
#include "support/JetWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <glib.h>

#include <mdbtools.h>

#include <memory>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kClubs = 200; // covers every club number the members name

// A member as the association's file holds them: names and address filled, most of the many
// code columns short or empty.
void member(const std::vector<torvm::JetColumn>& columns, int index, torvm::JetRow& row)
{
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const QString& name = columns[c].name;
        switch (columns[c].type) {
        case torvm::JetType::Text:
            if (name == QLatin1String("MName"))
                row[c] = torvm::test::jetText(QStringLiteral("Müller-Lüdenscheidt %1").arg(index));
            else if (name == QLatin1String("Vorname"))
                row[c] = torvm::test::jetText(QStringLiteral("Jörg"));
            else if (name == QLatin1String("Strasse"))
                row[c] = torvm::test::jetText(QStringLiteral("Hauptstraße %1").arg(index % 200));
            else if (name == QLatin1String("Ort"))
                row[c] = torvm::test::jetText(QStringLiteral("Fürstenfeldbruck"));
            else if (c % 3 == 0)
                row[c] = torvm::test::jetNull();
            else
                row[c] = torvm::test::jetText(QString::number(index % 97));
            break;
        case torvm::JetType::DateTime:
            row[c] =
                torvm::test::jetDate(torvm::DateTime::fromParts(1940 + index % 60, 1 + index % 12, 1 + index % 28));
            break;
        case torvm::JetType::Bool:
            row[c] = torvm::test::jetBool(index % 2 == 0);
            break;
        default:
            row[c] = torvm::test::jetInt(name == QLatin1String("Passnummer") ? index : int(c) + index % 50);
            break;
        }
    }
}

QString benchFolder()
{
    return qEnvironmentVariable("TORVM_BENCH_DIR", QDir::tempPath()) + QStringLiteral("/torvm-bench");
}

const QString& memberFile()
{
    static QTemporaryDir dir(benchFolder());
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("mitglieder.mdb"));
        const std::vector<torvm::JetColumn> columns = torvm::test::mitgliederColumns();
        const std::vector<torvm::JetColumn> clubColumns = torvm::test::vereineKurzColumns();
        torvm::test::JetWriter writer;
        writer.addTable({QStringLiteral("tblMitglieder"), columns, {}, kRows, [&columns](int i, torvm::JetRow& row) {
                             member(columns, i, row);
                         }});
        writer.addTable(
            {QStringLiteral("tblVereine_kurz"), clubColumns, {}, kClubs, [&clubColumns](int i, torvm::JetRow& row) {
                 for (std::size_t c = 0; c < clubColumns.size(); ++c)
                     row[c] = torvm::test::jetNull();
                 row[0] = torvm::test::jetInt(i);
                 row[1] = torvm::test::jetText(QStringLiteral("Schützengesellschaft %1").arg(i));
             }});
        QString error;
        if (!writer.write(file, &error))
            qFatal("%s", qPrintable(error));
        return file;
    }();
    return path;
}

class CountRows : public torvm::JetReadHandler {
public:
    void beginTable(const QString&, const std::vector<torvm::JetColumn>&) override {}
    void row(const torvm::JetRow& row) override
    {
        ++rows;
        benchmark::DoNotOptimize(row.data());
    }
    void endTable(const torvm::JetTableReport&) override {}
    std::int64_t rows = 0;
};

void ThroughChildProcess(benchmark::State& state)
{
    torvm::JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
    const QString& path = memberFile();
    std::int64_t rows = 0;
    for (auto _ : state) {
        torvm::JetFile file(path);
        CountRows handler;
        if (!file.read(handler, {QStringLiteral("tblMitglieder")}) || handler.rows != kRows)
            state.SkipWithError(qPrintable(file.error()));
        rows += handler.rows;
    }
    state.counters["rows/s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
}

// The library alone: every column bound, every row fetched, as its own tools do.
void LibraryInProcess(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(memberFile());
    std::int64_t rows = 0;
    for (auto _ : state) {
        MdbHandle* mdb = mdb_open(path.constData(), MDB_NOFLAGS);
        mdb_read_catalog(mdb, MDB_TABLE);
        MdbTableDef* table = nullptr;
        for (unsigned i = 0; i < mdb->num_catalog && !table; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
            if (qstrcmp(entry->object_name, "tblMitglieder") == 0) {
                table = mdb_read_table(entry);
                mdb_read_columns(table);
            }
        }
        std::vector<std::vector<char>> buffers(table->num_cols, std::vector<char>(mdb->bind_size));
        std::vector<int> lengths(table->num_cols);
        for (unsigned c = 0; c < table->num_cols; ++c)
            mdb_bind_column(table, int(c) + 1, buffers[c].data(), &lengths[c]);
        mdb_rewind_table(table);
        std::int64_t fetched = 0;
        while (mdb_fetch_row(table))
            ++fetched;
        if (fetched != kRows)
            state.SkipWithError("rows missing");
        rows += fetched;
        mdb_free_tabledef(table);
        mdb_close(mdb);
    }
    state.counters["rows/s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
}

// The import as the program runs it: the child reads the file, every member is stored, and with
// poll set the user-interface events are dispatched before each row as the progress window needs.
void ImportThroughChildProcess(benchmark::State& state)
{
    torvm::JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
    const QString& path = memberFile();
    const bool poll = state.range(0) != 0;
    QTemporaryDir dir(benchFolder());
    std::int64_t rows = 0;
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = dir.filePath(QStringLiteral("w%1.mdb").arg(++run));
        QString error;
        std::unique_ptr<torvm::Database> db;
        if (!torvm::copyTemplate(QStringLiteral(TORVM_TEST_TEMPLATE), target, &error) ||
            !(db = torvm::openCompetition(target, &error)))
            qFatal("%s", qPrintable(error));
        state.ResumeTiming();
        torvm::MemberImportProgress progress;
        if (poll)
            progress.cancelled = [] {
                QCoreApplication::processEvents();
                return false;
            };
        const torvm::MemberImportResult r = torvm::importMembers(*db, path, progress);
        // Pass number 0 belongs to nobody and is left out.
        if (!r.ok || r.members != kRows - 1)
            state.SkipWithError(qPrintable(r.error));
        rows += kRows;
    }
    state.counters["rows/s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
}

BENCHMARK(ThroughChildProcess)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(LibraryInProcess)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(ImportThroughChildProcess)
    ->ArgName("poll")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv);
}
