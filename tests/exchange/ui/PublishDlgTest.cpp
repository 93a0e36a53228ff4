// "Web veröffentlichen...": the address kept with the competition, and an upload to an FTP server
// that the test starts on 127.0.0.1.
#include "exchange/ui/PublishDlg.h"

#include "db/Tables.h"
#include "masterdata/ui/DialogDriver.h"
#include "output/LeagueData.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>

namespace torvm::ui {
namespace {

using test::child;
using test::click;

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

class PublishDlgTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::LeagueData data{*comp.db()};
    test::ScriptedPrompter prompter;

    QString storedAddress()
    {
        return CProfileTable(comp.db(), &comp.doc()).GetString(QStringLiteral("Web"), QStringLiteral("Ziel"), {});
    }
};

TEST_F(PublishDlgTest, TheSiteGoesToTheServerAndTheAddressIsKept)
{
    const QTemporaryDir root;
    QProcess server;
    server.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QString::fromLatin1(kFtpServer), root.path()});
    if (!server.waitForStarted() || !server.waitForReadyRead(10000))
        GTEST_SKIP() << "no FTP server (python3-pyftpdlib)";
    const int port = server.readLine().trimmed().toInt();
    if (port == 0)
        GTEST_SKIP() << "no FTP server (python3-pyftpdlib)";
    data.exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), (11, 'SG Au')");
    data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01, Verein02, VNr02) "
              "VALUES (0, 'Kreisliga', 2, 0, 10, '1', 11, '1')");
    const QString address = QStringLiteral("ftp://liga@127.0.0.1:%1/web").arg(port);
    test::whenShown<CPublishDlg>([&address](CPublishDlg& dlg) {
        child<QLineEdit>(&dlg, "adresse")->setText(address);
        child<QLineEdit>(&dlg, "passwort")->setText(QStringLiteral("geheim"));
        click(&dlg, "ok");
    });
    runPublish(nullptr, comp.doc());
    server.kill();
    server.waitForFinished();
    // The classic site of one group: the frameset, menu, start page, fixtures and results.
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral(
                  "Die Webseiten wurden veröffentlicht: 5 Dateien übertragen, 0 entfernt, 0 unverändert.")});
    EXPECT_EQ(QDir(root.filePath(QStringLiteral("web"))).entryList(QDir::Files),
              (QStringList{QStringLiteral("Erg0.htm"), QStringLiteral("Gruppe0.htm"), QStringLiteral("index.htm"),
                           QStringLiteral("index_c.htm"), QStringLiteral("index_l.htm")}));
    EXPECT_EQ(storedAddress(), address);
}

} // namespace
} // namespace torvm::ui
