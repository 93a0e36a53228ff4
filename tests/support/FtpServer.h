#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace torvm::test {

// A throw-away FTP server (python3-pyftpdlib) on 127.0.0.1 serving root to the user "liga" with the
// password "geheim"; it stops with server. The port it listens on, or 0 when it cannot start.
inline int startFtpServer(QProcess& server, const QString& root)
{
    static constexpr auto kScript = R"(
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
    server.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromLatin1(kScript), root});
    if (!server.waitForStarted() || !server.waitForReadyRead(10000))
        return 0;
    return server.readLine().trimmed().toInt();
}

} // namespace torvm::test
