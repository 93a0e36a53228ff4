// Publishing the site of the large league again after one result changed: the whole site is made
// anew and compared with the manifest on the server, and only the changed page travels. Against
// an FTP server on 127.0.0.1 (python3-pyftpdlib) that the program starts and stops itself.
#include "BenchMain.h"
#include "LargeLeague.h"
#include "exchange/Publish.h"
#include "exchange/WebExport.h"
#include "support/FtpServer.h"

#include <QProcess>

#include <benchmark/benchmark.h>

namespace {

using namespace torvm;
using namespace bench;

bool makeSite(const QString& folder)
{
    WebOptions options;
    options.einzel = true;
    options.round = kLastRound;
    CWebExport exporter(*league().doc, options, QStringLiteral("Schützengau Velmarik"));
    return exporter.run(folder).succeeded();
}

void BM_PublishOneChangedGroup(benchmark::State& state)
{
    QProcess server;
    const QString root = league().dir.filePath(QStringLiteral("server"));
    QDir().mkpath(root);
    const int port = test::startFtpServer(server, root);
    if (port == 0) {
        state.SkipWithError("no FTP server (python3-pyftpdlib)");
        return;
    }
    QString error;
    const PublishTarget target = *PublishTarget::parse(QStringLiteral("ftp://liga@127.0.0.1:%1/web").arg(port), &error);
    PublishOptions options;
    options.password = QStringLiteral("geheim");
    const QString site = league().dir.filePath(QStringLiteral("site"));
    if (!makeSite(site) || publishFolder(site, target, options).status != PublishResult::Status::Done)
        state.SkipWithError("first publish failed");
    Database& db = *league().doc->GetDatabase();
    PublishResult result;
    int change = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // One shooter of group 7 in the last round: its results page changes, nothing else.
        if (!db.execute(QStringLiteral("UPDATE \"Wettkampf\" SET \"Ergebnis\" = %1 WHERE \"ID\" = %2")
                            .arg(300 + (++change % 50))
                            .arg(resultKey(7, kLastRound, 1, 1))
                            .toUtf8()
                            .constData()))
            state.SkipWithError("update failed");
        state.ResumeTiming();
        if (!makeSite(site) || (result = publishFolder(site, target, options)).status != PublishResult::Status::Done)
            state.SkipWithError("publish failed");
    }
    state.counters["uploaded"] = result.uploaded;
    state.counters["unchanged"] = result.unchanged;
    server.kill();
    server.waitForFinished();
}

} // namespace

BENCHMARK(BM_PublishOneChangedGroup)
    ->Iterations(5)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv, [] { league(); });
}
