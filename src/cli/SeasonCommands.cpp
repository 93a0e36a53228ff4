#include "cli/SeasonCommands.h"

#include "cli/Cli.h"
#include "db/Backup.h"
#include "db/Messages.h"
#include "db/Recordsets.h"
#include "db/SafeFile.h"
#include "document/TorvmDoc.h"
#include "exchange/NewSeason.h"
#include "output/MissingResults.h"

#include <QLocale>

#include <algorithm>

namespace torvm {

namespace {

int usage(QTextStream& err, const char* synopsis)
{
    err << QStringLiteral("Aufruf: torvm-cli %1").arg(QString::fromUtf8(synopsis)) << '\n';
    return kCliUsage;
}

QString countText(int count)
{
    return count < 0 ? QStringLiteral("?") : QString::number(count);
}

} // namespace

int cmdBackup(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QString folder;
    if (args.size() == 3 && args.at(1) == QLatin1String("--to"))
        folder = args.at(2);
    else if (args.size() != 1)
        return usage(err, "backup DATEI [--to ORDNER]");
    QString error;
    const std::optional<QString> made = makeBackup(args.at(0), QDateTime::currentDateTime(), &error, folder);
    if (!made) {
        err << databaseErrorText(error) << '\n';
        return kCliFileError;
    }
    out << QStringLiteral("Sicherung angelegt: %1").arg(*made) << '\n';
    return kCliOk;
}

int cmdBackups(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1)
        return usage(err, "backups DATEI");
    if (!pathExists(args.at(0))) {
        err << fileNotFoundText(displayPath(args.at(0))) << '\n';
        return kCliFileError;
    }
    const QLocale german(QLocale::German, QLocale::Germany);
    for (const BackupInfo& backup : listBackups(args.at(0))) {
        out << backup.made.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) << '\t'
            << german.formattedDataSize(backup.size, 1, QLocale::DataSizeTraditionalFormat) << '\t'
            << QStringLiteral("%1 Teilnehmer\t%2 Ergebniszeilen")
                   .arg(countText(backup.participants), countText(backup.results))
            << '\t' << backup.path << '\n';
    }
    return kCliOk;
}

int cmdRestore(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 2)
        return usage(err, "restore DATEI SICHERUNG");
    if (!pathExists(args.at(1))) {
        err << fileNotFoundText(displayPath(args.at(1))) << '\n';
        return kCliFileError;
    }
    QString error;
    if (!restoreBackup(args.at(0), args.at(1), QDateTime::currentDateTime(), &error)) {
        err << error << '\n';
        return kCliFileError;
    }
    out << QStringLiteral("Der Wettkampf %1 hat jetzt den Stand der Sicherung %2.").arg(args.at(0), args.at(1)) << '\n';
    return kCliOk;
}

int cmdMissing(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QDate reference = QDate::currentDate();
    if (args.size() == 3 && args.at(1) == QLatin1String("--stichtag")) {
        reference = QDate::fromString(args.at(2), QStringLiteral("dd.MM.yyyy"));
        if (!reference.isValid()) {
            err << QStringLiteral("Ungültiger Stichtag \"%1\" (erwartet: TT.MM.JJJJ)").arg(args.at(2)) << '\n';
            return kCliUsage;
        }
    } else if (args.size() != 1) {
        return usage(err, "missing DATEI [--stichtag TT.MM.JJJJ]");
    }
    CTorvmDoc doc;
    if (!doc.OnOpenDocument(args.at(0), Access::ReadOnly)) {
        err << doc.failure().text << '\n';
        return kCliFileError;
    }
    QString error;
    const auto missing = missingResults(doc.GetDatabase(), &doc, reference, &error);
    if (!missing) {
        err << databaseErrorText(error) << '\n';
        return kCliFileError;
    }
    out << missingResultsText(*missing, reference);
    return kCliOk;
}

int cmdNewSeason(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const char* synopsis = "new-season ALT.mdb NEU.mdb [--auf N] [--ab N]";
    if (args.size() < 2 || args.size() % 2 != 0)
        return usage(err, synopsis);
    int up = 1;
    int down = 1;
    for (qsizetype i = 2; i < args.size(); i += 2) {
        bool ok = false;
        const int n = args.at(i + 1).toInt(&ok);
        if (!ok || n < 0 || n > kSlotCount ||
            (args.at(i) != QLatin1String("--auf") && args.at(i) != QLatin1String("--ab"))) {
            err << QStringLiteral("Ungültige Angabe: %1 %2 (erwartet: --auf oder --ab mit 0 bis %3)")
                       .arg(args.at(i), args.at(i + 1))
                       .arg(kSlotCount)
                << '\n';
            return kCliUsage;
        }
        (args.at(i) == QLatin1String("--auf") ? up : down) = n;
    }
    CTorvmDoc doc;
    if (!doc.OnOpenDocument(args.at(0), Access::ReadOnly)) {
        err << doc.failure().text << '\n';
        return kCliFileError;
    }
    const std::vector<SeasonGroup> groups = finalTables(doc.GetDatabase(), &doc);
    const std::vector<int> upCounts(groups.size(), up);
    const std::vector<int> downCounts(groups.size(), down);
    const SeasonMoves moves = proposeMoves(groups, upCounts, downCounts);
    QString error;
    if (!createNewSeason(*doc.GetDatabase(), args.at(1), moves, &error)) {
        err << databaseErrorText(error) << '\n';
        return kCliFileError;
    }
    for (const auto& [from, to] : moves) {
        const SeasonGroup& group = groups[static_cast<std::size_t>(from.first)];
        const auto team = std::find_if(group.table.begin(), group.table.end(),
                                       [slot = from.second](const SeasonTeam& t) { return t.slot == slot; });
        out << QStringLiteral("%1: %2 -> %3").arg(team->name, group.name, groups[static_cast<std::size_t>(to)].name)
            << '\n';
    }
    out << QStringLiteral("Neue Saison angelegt: %1").arg(args.at(1)) << '\n';
    return kCliOk;
}

} // namespace torvm
