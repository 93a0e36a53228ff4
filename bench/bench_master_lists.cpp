// Opening the participant list (reading every row into the list model) and filtering it by three
// typed letters, on 50 000 participants in 1 000 clubs.
#include "db/CompetitionFile.h"
#include "document/TorvmDoc.h"
#include "masterdata/MasterListModel.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace torvm;

constexpr int kParticipants = 50000;
constexpr int kClubs = 1000;

struct Members {
    QTemporaryDir dir{qEnvironmentVariable("TORVM_BENCH_DIR", QDir::tempPath()) + QStringLiteral("/torvm-lists")};
    CTorvmDoc doc;

    Members()
    {
        const QString path = dir.filePath(QStringLiteral("members.mdb"));
        QString error;
        if (!copyTemplate(QStringLiteral(TORVM_TEST_TEMPLATE), path, &error) || !doc.OnOpenDocument(path))
            qFatal("cannot create %s: %s", qPrintable(path), qPrintable(error + doc.failure().text));
        Database& db = *doc.GetDatabase();
        Transaction tx(db);
        Statement club = db.prepare(R"(INSERT INTO "Verein" ("Vereinsnummer", "Name", "Sortieren") VALUES (?, ?, ?))");
        for (int c = 1; c <= kClubs; ++c) {
            club.bind(1, std::int64_t{c});
            club.bind(2, QStringLiteral("Schützengesellschaft Nr. %1").arg(c));
            club.bind(3, QString::number(c));
            club.exec();
            club.reset();
        }
        const QStringList surnames{QStringLiteral("Müller"), QStringLiteral("Östermeier"), QStringLiteral("Huber"),
                                   QStringLiteral("Schmid"), QStringLiteral("Wagner"),     QStringLiteral("Bauer")};
        Statement person = db.prepare(
            R"(INSERT INTO "Teilnehmer" ("Paßnummer", "Name", "Vorname", "Verein", "Ort") VALUES (?, ?, ?, ?, ?))");
        for (int p = 1; p <= kParticipants; ++p) {
            person.bind(1, std::int64_t{p});
            person.bind(2, surnames.at(p % surnames.size()) + QString::number(p % 211));
            person.bind(3, QStringLiteral("Jörg%1").arg(p % 13));
            person.bind(4, std::int64_t{1 + p % kClubs});
            person.bind(5, QStringLiteral("Ort %1").arg(p % 300));
            person.exec();
            person.reset();
        }
        if (!tx.commit())
            qFatal("insert failed: %s", qPrintable(db.lastError().text));
    }
};

Members& members()
{
    static Members m;
    return m;
}

void BM_OpenParticipantList(benchmark::State& state)
{
    Members& m = members();
    for (auto _ : state) {
        auto model = makeListModel(MasterList::Participants);
        loadList(MasterList::Participants, m.doc, *model);
        benchmark::DoNotOptimize(model->rowCount());
    }
}
BENCHMARK(BM_OpenParticipantList)->Unit(benchmark::kMillisecond);

void BM_FilterParticipantsByThreeLetters(benchmark::State& state)
{
    Members& m = members();
    auto model = makeListModel(MasterList::Participants);
    loadList(MasterList::Participants, m.doc, *model);
    for (auto _ : state) {
        // Typed letter by letter, as the search field filters on every keystroke.
        model->setFilter(QStringLiteral("ö"));
        model->setFilter(QStringLiteral("ös"));
        model->setFilter(QStringLiteral("öst"));
        benchmark::DoNotOptimize(model->rowCount());
        model->setFilter(QString());
    }
}
BENCHMARK(BM_FilterParticipantsByThreeLetters)->Unit(benchmark::kMillisecond);

// The first letter typed after opening also folds the texts for the search, once.
void BM_FirstLetterAfterOpening(benchmark::State& state)
{
    Members& m = members();
    for (auto _ : state) {
        auto model = makeListModel(MasterList::Participants);
        loadList(MasterList::Participants, m.doc, *model);
        model->setFilter(QStringLiteral("ö"));
        benchmark::DoNotOptimize(model->rowCount());
    }
}
BENCHMARK(BM_FirstLetterAfterOpening)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
