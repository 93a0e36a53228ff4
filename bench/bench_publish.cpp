// Publishing the site of the large league again after one result changed: the whole site is made
// anew and compared with the manifest on the server, and only the changed page travels. Against
// an FTP server on 127.0.0.1 (python3-pyftpdlib) that the program starts and stops itself.
#include "LargeLeague.h"
#include "exchange/Publish.h"
#include "exchange/WebExport.h"

#include <QCoreApplication>
#include <QProcess>

#include <benchmark/benchmark.h>

namespace {

using namespace torvm;
using namespace bench;

constexpr auto kFtpServer = R"(
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
a = DummyAuthorizer()
a.add_user("liga", "geheim", sys.argv[1], perm="elradfmwMT")
FTPHandler.authorizer = a
s = FTPServer(("127.0.0.1", 0), FTPHandler)
print(s.address[1], flush=True)
s.serve_forever()
)";

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
    server.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromLatin1(kFtpServer), root});
    const int port = server.waitForReadyRead(10000) ? server.readLine().trimmed().toInt() : 0;
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
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    league();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
