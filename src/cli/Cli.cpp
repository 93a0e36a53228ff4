#include "cli/Cli.h"

#include "cli/ImportCommands.h"
#include "cli/OutputCommands.h"
#include "cli/ResultFormCommands.h"
#include "cli/SeasonCommands.h"
#include "db/Messages.h"
#include "db/Settings.h"
#include "document/TorvmDoc.h"
#include "exchange/JetReader.h"
#include "exchange/LegacyConversion.h"

#include "db/CompetitionFile.h"
#include "db/SafeFile.h"

#include <unistd.h>

#include <functional>
#include <map>

namespace torvm {

namespace {

struct Command {
    QString synopsis;
    int minArgs;
    int maxArgs; // -1: the command checks its options itself
    std::function<int(const QStringList&, QTextStream&, QTextStream&)> run;
    bool internal = false; // used by the programs themselves, not shown in the usage text
};

int usage(QTextStream& err, const std::map<QString, Command>& commands)
{
    err << "Aufruf: torvm-cli BEFEHL ...\n";
    for (const auto& [name, command] : commands) {
        if (!command.internal)
            err << "  torvm-cli " << name << ' ' << command.synopsis << '\n';
    }
    return kCliUsage;
}

int cmdNew(const QStringList& args, QTextStream&, QTextStream& err)
{
    const QString& file = args.at(0);
    if (pathExists(file)) {
        err << QStringLiteral("Die Datei %1 ist bereits vorhanden und wird nicht überschrieben.").arg(displayPath(file))
            << '\n';
        return kCliFileError;
    }
    CTorvmDoc doc;
    if (!doc.OnNewDocument(file)) {
        // The file did not exist before: a new competition that could not be opened is no result.
        ::unlink(nativeFileName(file).constData());
        err << doc.failure().text << '\n';
        return kCliFileError;
    }
    return kCliOk;
}

// The reading child of JetFile: the frame stream goes to the original standard output, while
// the library's own chatter on standard output is sent to the error channel with the rest.
int cmdJetDump(const QStringList& args, QTextStream& out, QTextStream&)
{
    out.flush();
    qunsetenv("MDBICONV");
    qunsetenv("MDB_JET3_CHARSET");
    const int frames = dup(STDOUT_FILENO);
    if (frames < 0 || dup2(STDERR_FILENO, STDOUT_FILENO) < 0)
        return kCliFileError;
    const int rc = dumpJetFile(args.at(0), args.mid(1), frames);
    ::close(frames);
    return rc;
}

int cmdConvert(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const QString& legacy = args.at(0);
    const QString& target = args.at(1);
    const QString templatePath = findTemplate();
    if (templatePath.isEmpty()) {
        err << QStringLiteral("Die Vorlage torvm.tpl wurde nicht gefunden.") << '\n';
        return kCliFileError;
    }
    ConversionReport report;
    QString error;
    if (!convertLegacyCompetition(legacy, target, templatePath, &report, &error)) {
        err << databaseErrorText(error) << '\n';
        return kCliFileError;
    }
    out << report.text() << '\n';
    if (!report.complete())
        err << QStringLiteral("Nicht alle Zeilen der alten Datei konnten übernommen werden.") << '\n';
    return kCliOk;
}

} // namespace

int runCli(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const ScopedReadOnlyWorkplace workplace;
    const std::map<QString, Command> commands{
        {QStringLiteral("new"), {QStringLiteral("DATEI"), 1, 1, cmdNew}},
        {QStringLiteral("convert"), {QStringLiteral("ALT.mdb NEU.mdb"), 2, 2, cmdConvert}},
        {QStringLiteral("demo"), {QStringLiteral("DATEI [--seed N]"), 1, -1, cmdDemo}},
        {QStringLiteral("export-text"),
         {QStringLiteral(
              "DATEI AUSGABE.txt [--round N] "
              "[--outputs termin,gruppe,tabelle,einzel,verein,teilnehmer,gesamt,bericht,ausstehend] [--plans 1,3] "
              "[--groups 2,4] [--ergebnis 0|1] [--tabelle 0|1] [--platz N] [--klasse 0|1|2] "
              "[--sort 0|1] [--mindestens N] [--serien N] [--stichtag TT.MM.JJJJ] [--encoding utf-8]"),
          2, -1, cmdExportText}},
        {QStringLiteral("export-xlsx"),
         {QStringLiteral("DATEI AUSGABE.xlsx [Optionen wie export-text]"), 2, -1, cmdExportXlsx}},
        {QStringLiteral("print-pdf"),
         {QStringLiteral("DATEI AUSGABE.pdf [Optionen wie export-text]"), 2, -1, cmdPrintPdf}},
        {QStringLiteral("web-export"),
         {QStringLiteral("DATEI ORDNER [--round N] [--termin 0|1] [--tabelle 0|1] [--einzel 0|1] "
                         "[--organiser TEXT] [--style classic|modern]"),
          2, -1, cmdWebExport}},
        {QStringLiteral("calendar"),
         {QStringLiteral("DATEI AUSGABE.ics [--group G | --club N] [--duration MINUTEN]"), 2, -1, cmdCalendar}},
        {QStringLiteral("publish"),
         {QStringLiteral("DATEI ADRESSE [--style classic|modern] [--round N] [--password-stdin] "
                         "[--accept-host-key FINGERABDRUCK] [--key SCHLÜSSELDATEI]"),
          2, -1, cmdPublish}},
        {QStringLiteral("group-schedule"), {QStringLiteral("DATEI GRUPPE AUSGABE.txt"), 3, 3, cmdGroupSchedule}},
        {QStringLiteral("import-members"),
         {QStringLiteral("DATEI QUELLE.mdb [--skip-unreadable]"), 2, 3, cmdImportMembers}},
        {QStringLiteral("assign-classes"), {QStringLiteral("DATEI"), 1, 1, cmdAssignClasses}},
        {QStringLiteral("import-results"), {QStringLiteral("DATEI QUELLE.mdb --round N"), 4, 4, cmdImportResults}},
        {QStringLiteral("result-form"),
         {QStringLiteral("DATEI AUSGABE.csv --round N [--groups LISTE]"), 4, 6, cmdResultForm}},
        {QStringLiteral("import-csv"), {QStringLiteral("DATEI ERGEBNISSE.csv [--trotzdem]"), 2, 3, cmdImportCsv}},
        {QStringLiteral("backup"), {QStringLiteral("DATEI [--to ORDNER]"), 1, 3, cmdBackup}},
        {QStringLiteral("backups"), {QStringLiteral("DATEI"), 1, 1, cmdBackups}},
        {QStringLiteral("restore"), {QStringLiteral("DATEI SICHERUNG"), 2, 2, cmdRestore}},
        {QStringLiteral("missing"), {QStringLiteral("DATEI [--stichtag TT.MM.JJJJ]"), 1, 3, cmdMissing}},
        {QStringLiteral("new-season"), {QStringLiteral("ALT.mdb NEU.mdb [--auf N] [--ab N]"), 2, 6, cmdNewSeason}},
        {QStringLiteral("rules"),
         {QStringLiteral("DATEI [--zehntel 0|1] [--gleichstand ringe,direkt,direkt-ringe,bestes] [--ersatz N] "
                         "[--gruppe G --beste N]"),
          1, -1, cmdRules}},
        {QStringLiteral("jet-dump"), {QStringLiteral("DATEI [TABELLE...]"), 1, -1, cmdJetDump, true}},
    };
    if (args.isEmpty())
        return usage(err, commands);
    const auto it = commands.find(args.first());
    const qsizetype given = args.size() - 1;
    if (it == commands.end() || given < it->second.minArgs || (it->second.maxArgs >= 0 && given > it->second.maxArgs))
        return usage(err, commands);

    // Database errors that the table layer shows as they happen go to stderr like the rest.
    QString errors;
    QTextStream errorStream(&errors);
    const MessageHandler previous =
        setMessageHandler([&errorStream](MessageIcon, const QString& text) { errorStream << text << '\n'; });
    int rc = it->second.run(args.mid(1), out, errorStream);
    setMessageHandler(previous);
    errorStream.flush();
    // Wrong arguments without a word of their own get the usage text.
    if (rc == kCliUsage && errors.isEmpty())
        rc = usage(errorStream, commands);
    errorStream.flush();
    err << errors;
    out.flush();
    err.flush();
    return rc;
}

} // namespace torvm
