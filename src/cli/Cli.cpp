#include "cli/Cli.h"

#include "app/TorvmDoc.h"
#include "db/Messages.h"

#include <QFileInfo>

#include <functional>
#include <map>

namespace torvm {

namespace {

struct Command {
    QString synopsis;
    int minArgs;
    std::function<int(const QStringList&, QTextStream&, QTextStream&)> run;
};

int usage(QTextStream& err, const std::map<QString, Command>& commands)
{
    err << "Aufruf: torvm-cli BEFEHL ...\n";
    for (const auto& [name, command] : commands)
        err << "  torvm-cli " << name << ' ' << command.synopsis << '\n';
    return kCliUsage;
}

int cmdNew(const QStringList& args, QTextStream&, QTextStream& err)
{
    const QString& file = args.at(0);
    if (QFileInfo::exists(file)) {
        err << QStringLiteral("Die Datei %1 ist bereits vorhanden und wird nicht überschrieben.").arg(file) << '\n';
        return kCliFileError;
    }
    CTorvmDoc doc;
    if (!doc.OnNewDocument(file)) {
        err << doc.failure().text << '\n';
        return kCliFileError;
    }
    return kCliOk;
}

} // namespace

int runCli(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const std::map<QString, Command> commands{
        {QStringLiteral("new"), {QStringLiteral("DATEI"), 1, cmdNew}},
    };
    if (args.isEmpty())
        return usage(err, commands);
    const auto it = commands.find(args.first());
    if (it == commands.end() || args.size() - 1 < it->second.minArgs)
        return usage(err, commands);

    // Database errors that the table layer shows as they happen go to stderr like the rest.
    const MessageHandler previous =
        setMessageHandler([&err](MessageIcon, const QString& text) { err << text << '\n'
                                                                         << Qt::flush; });
    const int rc = it->second.run(args.mid(1), out, err);
    setMessageHandler(previous);
    out.flush();
    err.flush();
    return rc;
}

} // namespace torvm
