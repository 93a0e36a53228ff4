// "Web veröffentlichen...": the address kept with the competition, and an upload to an FTP server
// that the test starts on 127.0.0.1.
#include "exchange/ui/PublishDlg.h"

#include "db/Tables.h"
#include "masterdata/ui/DialogDriver.h"
#include "output/LeagueData.h"
#include "support/Fixtures.h"
#include "support/FtpServer.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>

namespace torvm::ui {
namespace {

using test::child;
using test::click;

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
    const int port = test::startFtpServer(server, root.path());
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
