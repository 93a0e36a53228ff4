#include "cli/ResultFormCommands.h"

#include "cli/Cli.h"
#include "db/CompetitionFile.h"
#include "db/Messages.h"
#include "db/SafeFile.h"
#include "exchange/ResultForm.h"
#include "results/CompetitionRules.h"

#include <optional>
#include <vector>

namespace torvm {

namespace {

int usage(QTextStream& err, const QString& synopsis)
{
    err << QStringLiteral("Aufruf: torvm-cli %1").arg(synopsis) << '\n';
    return kCliUsage;
}

// "1,3" counted from 1; none when any entry is not a whole number from low to high.
std::optional<std::vector<int>> numbers(const QString& list, int low, int high)
{
    std::vector<int> values;
    for (const QString& part : list.split(QLatin1Char(','))) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok);
        if (!ok || value < low || value > high)
            return std::nullopt;
        values.push_back(value);
    }
    return values;
}

std::unique_ptr<Database> openOrReport(const QString& path, QTextStream& err, Access access)
{
    QString error;
    auto db = openCompetition(path, &error, access);
    if (!db)
        err << databaseErrorText(error) << '\n';
    return db;
}

} // namespace

int cmdResultForm(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const QString synopsis = QStringLiteral("result-form DATEI AUSGABE.csv --round N [--groups LISTE]");
    std::optional<int> round;
    std::vector<int> groups;
    for (qsizetype i = 2; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            return usage(err, synopsis);
        if (args.at(i) == QLatin1String("--round") && !round) {
            const auto value = numbers(args.at(i + 1), 1, kRoundsPerPlan);
            if (!value || value->size() != 1) {
                err << QStringLiteral("Ungültige Angabe für --round: \"%1\" (erwartet: 1 bis %2)")
                           .arg(args.at(i + 1))
                           .arg(kRoundsPerPlan)
                    << '\n';
                return kCliUsage;
            }
            round = value->front() - 1;
        } else if (args.at(i) == QLatin1String("--groups") && groups.empty()) {
            const auto value = numbers(args.at(i + 1), 1, 2147);
            if (!value) {
                err << QStringLiteral("Ungültige Angabe für --groups: \"%1\" (erwartet: Gruppen ab 1, etwa 1,3)")
                           .arg(args.at(i + 1))
                    << '\n';
                return kCliUsage;
            }
            for (const int g : *value)
                groups.push_back(g - 1);
        } else {
            return usage(err, synopsis);
        }
    }
    if (args.size() < 2 || !round)
        return usage(err, synopsis);
    const auto db = openOrReport(args.at(0), err, Access::ReadOnly);
    if (!db)
        return kCliFileError;
    QString error;
    if (!writeFileSafely(
            args.at(1), [&](QIODevice& device) { return writeResultForm(*db, device, *round, groups, &error); },
            &error)) {
        err << error << '\n';
        return kCliFileError;
    }
    out << QStringLiteral("Ergebnisvorlage für Durchgang %1 geschrieben: %2").arg(*round + 1).arg(args.at(1)) << '\n';
    return kCliOk;
}

int cmdImportCsv(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QStringList files = args;
    const bool anyway = files.removeAll(QStringLiteral("--trotzdem")) == 1;
    if (files.size() != 2 || files.size() + (anyway ? 1 : 0) != args.size())
        return usage(err, QStringLiteral("import-csv DATEI ERGEBNISSE.csv [--trotzdem]"));
    const auto db = openOrReport(files.at(0), err, Access::ReadWrite);
    if (!db)
        return kCliFileError;
    const FormReading reading = readResultFormFile(*db, files.at(1));
    if (!reading.ok) {
        err << reading.error << '\n';
        return kCliFileError;
    }
    int warnings = 0;
    for (const FormPairing& p : reading.pairings) {
        out << QStringLiteral("%1, Durchgang %2, Begegnung %3: %4 %5 : %6 %7")
                   .arg(p.groupName)
                   .arg(p.round + 1)
                   .arg(p.pairing + 1)
                   .arg(p.sides[0].team, ringText(p.totals[0], reading.tenths), ringText(p.totals[1], reading.tenths),
                        p.sides[1].team)
            << '\n';
        for (const QString& warning : p.warnings)
            err << QStringLiteral("Warnung (%1, Begegnung %2): %3").arg(p.groupName).arg(p.pairing + 1).arg(warning)
                << '\n';
        warnings += int(p.warnings.size());
    }
    if (warnings > 0 && !anyway) {
        err << QStringLiteral("Es wurde nichts gespeichert: %1. Mit --trotzdem werden die Ergebnisse dennoch "
                              "gespeichert.")
                   .arg(counted(warnings, "Warnung", "Warnungen"))
            << '\n';
        return kCliFileError;
    }
    QString error;
    if (!storeResultForm(*db, reading.pairings, &error)) {
        err << databaseErrorText(error) << '\n';
        return kCliFileError;
    }
    out << counted(qsizetype(reading.pairings.size()), "Begegnung", "Begegnungen") << QStringLiteral(" gespeichert.")
        << '\n';
    return kCliOk;
}

} // namespace torvm
