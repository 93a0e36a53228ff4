#include "cli/ImportCommands.h"

#include "cli/Cli.h"
#include "db/CompetitionFile.h"
#include "db/Messages.h"
#include "db/SafeFile.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "exchange/MemberImport.h"
#include "exchange/ResultsImport.h"
#include "masterdata/ClassAssignment.h"
#include "output/GroupSchedule.h"
#include "results/CompetitionRules.h"

#include <algorithm>
#include <optional>

namespace torvm {

namespace {

std::unique_ptr<Database> openOrReport(const QString& path, QTextStream& err, Access access = Access::ReadWrite)
{
    QString error;
    auto db = openCompetition(path, &error, access);
    if (!db)
        err << databaseErrorText(error) << '\n';
    return db;
}

int usage(QTextStream& err, const QString& synopsis)
{
    err << QStringLiteral("Aufruf: torvm-cli %1").arg(synopsis) << '\n';
    return kCliUsage;
}

// A whole number from low to high; a usage error is reported on err and gives none.
std::optional<int> number(const QString& what, const QString& text, int low, int high, QTextStream& err)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (ok && value >= low && value <= high)
        return value;
    err << QStringLiteral("Ungültige Angabe für %1: \"%2\" (erwartet: %3 bis %4)")
               .arg(what, displayPath(text))
               .arg(low)
               .arg(high)
        << '\n';
    return std::nullopt;
}

// Shooters per team as the result entry reads them: an unset team size is four.
int teamSize(const CGruppeTable& group)
{
    return std::clamp<int>(group.IsFieldNull(&group.m_Anzahl) ? 4 : group.m_Anzahl, 0, kMaxBestCount);
}

// The rules as torvm-cli rules prints them.
void printRules(Database& db, QTextStream& out)
{
    const CompetitionRules rules = competitionRules(&db, nullptr);
    QStringList chain;
    for (const TieBreak criterion : rules.tieBreaks)
        chain << tieBreakText(criterion);
    const int highest = highestSingleResult(&db, nullptr);
    out << QStringLiteral("Zehntelwertung: %1").arg(rules.tenths ? QStringLiteral("ein") : QStringLiteral("aus"))
        << '\n'
        << QStringLiteral("Reihenfolge bei Punktgleichheit: %1").arg(chain.join(QStringLiteral(", "))) << '\n'
        << QStringLiteral("Ersatzeinsätze je Schütze: %1")
               .arg(rules.substituteLimit == 0 ? QStringLiteral("unbegrenzt") : QString::number(rules.substituteLimit))
        << '\n'
        << QStringLiteral("Höchstes Einzelergebnis: %1")
               .arg(highest == 0 ? QStringLiteral("keine Prüfung") : ringText(highest, rules.tenths))
        << '\n';
    CGruppeTable groups(&db, nullptr);
    for (const ComboItem& group : groups.GroupComboItems()) {
        groups.LoadGroup(group.data);
        const int best = groupBestCount(&db, nullptr, group.data);
        out << QStringLiteral("Gruppe %1 (%2): ").arg(group.data + 1).arg(group.text)
            << (best == 0 ? QStringLiteral("alle %1 Schützen zählen").arg(teamSize(groups))
                          : QStringLiteral("die besten %1 von %2 Schützen zählen").arg(best).arg(teamSize(groups)))
            << '\n';
    }
}

} // namespace

int cmdRules(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const QString synopsis =
        QStringLiteral("rules DATEI [--zehntel 0|1] [--gleichstand ringe,direkt,direkt-ringe,bestes] "
                       "[--ersatz N] [--gruppe G --beste N]");
    if (args.isEmpty() || args.size() % 2 != 1)
        return usage(err, synopsis);
    std::optional<int> tenths, substitutes, groupNumber, best;
    std::optional<std::vector<TieBreak>> chain;
    for (qsizetype i = 1; i < args.size(); i += 2) {
        const QString& option = args.at(i);
        const QString& value = args.at(i + 1);
        std::optional<int>* target = option == QLatin1String("--zehntel")  ? &tenths
                                     : option == QLatin1String("--ersatz") ? &substitutes
                                     : option == QLatin1String("--gruppe") ? &groupNumber
                                     : option == QLatin1String("--beste")  ? &best
                                                                           : nullptr;
        if (option == QLatin1String("--gleichstand")) {
            chain = parseTieBreaks(value);
            if (!chain) {
                err << QStringLiteral("Ungültige Angabe für --gleichstand: \"%1\" (erwartet: ein bis drei "
                                      "verschiedene aus ringe, direkt, direkt-ringe, bestes)")
                           .arg(displayPath(value))
                    << '\n';
                return kCliUsage;
            }
            continue;
        }
        if (target == nullptr)
            return usage(err, synopsis);
        const int high = target == &tenths        ? 1
                         : target == &substitutes ? kMaxSubstituteLimit
                         : target == &best        ? kMaxBestCount
                                                  : 2147;
        *target = number(option, value, target == &groupNumber ? 1 : 0, high, err);
        if (!*target)
            return kCliUsage;
    }
    if (groupNumber.has_value() != best.has_value()) {
        err << QStringLiteral("--gruppe und --beste gehören zusammen.") << '\n';
        return kCliUsage;
    }
    const bool changes = tenths || substitutes || chain || best;
    const auto db = openOrReport(args.at(0), err, changes ? Access::ReadWrite : Access::ReadOnly);
    if (!db)
        return kCliFileError;
    if (changes) {
        Transaction tx(*db);
        if (!tx.active()) {
            err << databaseErrorText(db->lastError().text) << '\n';
            return kCliFileError;
        }
        QString error;
        if (best) {
            CGruppeTable group(db.get(), nullptr);
            if (!group.LoadGroup(*groupNumber - 1)) {
                err << QStringLiteral("Die Gruppe %1 gibt es nicht.").arg(*groupNumber) << '\n';
                return kCliUsage;
            }
            if (*best > teamSize(group)) {
                err << QStringLiteral("Die Gruppe %1 hat %2 Schützen je Mannschaft; --beste darf höchstens %2 sein.")
                           .arg(*groupNumber)
                           .arg(teamSize(group))
                    << '\n';
                return kCliUsage;
            }
            if (!setGroupBestCount(db.get(), nullptr, *groupNumber - 1, *best, &error)) {
                err << error << '\n';
                return kCliFileError;
            }
        }
        CompetitionRules rules = competitionRules(db.get(), nullptr);
        rules.tenths = tenths ? *tenths == 1 : rules.tenths;
        rules.substituteLimit = substitutes.value_or(rules.substituteLimit);
        rules.tieBreaks = chain.value_or(rules.tieBreaks);
        db->clearError();
        if (!setCompetitionRules(db.get(), nullptr, rules, &error)) {
            err << error << '\n';
            // A refusal of the rules is the caller's to mend; a failed write is the file's.
            return db->lastError() ? kCliFileError : kCliUsage;
        }
        if (!tx.commit()) {
            err << databaseErrorText(db->lastError().text) << '\n';
            return kCliFileError;
        }
    }
    printRules(*db, out);
    return kCliOk;
}

int cmdAssignClasses(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 1)
        return usage(err, QStringLiteral("assign-classes DATEI"));
    CTorvmDoc doc;
    if (!doc.OnOpenDocument(args.at(0))) {
        err << doc.failure().text << '\n';
        return kCliFileError;
    }
    QString error;
    const auto plan = planClassAssignment(doc, &error);
    if (!plan || !applyClassAssignment(doc, *plan, &error)) {
        if (!error.isEmpty())
            err << databaseErrorText(error) << '\n';
        return kCliFileError;
    }
    out << plan->summary() << '\n';
    return kCliOk;
}

int cmdImportMembers(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const QString synopsis = QStringLiteral("import-members DATEI QUELLE.mdb [--skip-unreadable]");
    QStringList files = args;
    MemberImportOptions options;
    options.skipUnreadable = files.removeAll(QStringLiteral("--skip-unreadable")) == 1;
    if (files.size() != 2 || files.size() + (options.skipUnreadable ? 1 : 0) != args.size())
        return usage(err, synopsis);
    const auto db = openOrReport(files.at(0), err);
    if (!db)
        return kCliFileError;
    const MemberImportResult result = importMembers(*db, files.at(1), {}, options);
    if (!result.ok) {
        err << databaseErrorText(result.error) << '\n';
        if (result.damaged)
            err << QStringLiteral("Mit --skip-unreadable werden die lesbaren Zeilen übernommen.") << '\n';
        else if (result.members > 0)
            err << QStringLiteral("Die %1 bis dahin übernommenen Teilnehmer bleiben gespeichert.").arg(result.members)
                << '\n';
        return kCliFileError;
    }
    out << result.summary() << '\n';
    return kCliOk;
}

int cmdImportResults(const QStringList& args, QTextStream& out, QTextStream& err)
{
    if (args.size() != 4 || args.at(2) != QLatin1String("--round"))
        return usage(err, QStringLiteral("import-results DATEI QUELLE.mdb --round N"));
    const auto round = number(QStringLiteral("--round"), args.at(3), 1, kRoundsPerPlan, err);
    if (!round)
        return kCliUsage;
    const auto db = openOrReport(args.at(0), err);
    if (!db)
        return kCliFileError;
    const ResultsImportResult result = importResults(*db, args.at(1), *round - 1);
    if (!result.ok) {
        err << databaseErrorText(result.error) << '\n';
        return kCliFileError;
    }
    out << counted(result.rowsCopied, "Ergebniszeile", "Ergebniszeilen") << QStringLiteral(" übernommen.")
        << result.skippedNote() << '\n';
    return kCliOk;
}

int cmdGroupSchedule(const QStringList& args, QTextStream&, QTextStream& err)
{
    if (args.size() != 3)
        return usage(err, QStringLiteral("group-schedule DATEI GRUPPE AUSGABE.txt"));
    const auto groupNumber = number(QStringLiteral("die Gruppe"), args.at(1), 1, 2147, err);
    if (!groupNumber)
        return kCliUsage;
    const auto db = openOrReport(args.at(0), err, Access::ReadOnly);
    if (!db)
        return kCliFileError;
    const Transaction view(*db, Transaction::Kind::Read);
    CGruppeTable group(db.get(), nullptr);
    CPlanTable plans(db.get(), nullptr);
    if (!group.Open() || !plans.Open()) {
        err << databaseErrorText(group.IsOpen() ? plans.GetLastError().text : group.GetLastError().text) << '\n';
        return kCliFileError;
    }
    if (!group.LoadGroup(*groupNumber - 1)) {
        err << (group.GetLastError() ? databaseErrorText(group.GetLastError().text)
                                     : QStringLiteral("Die Gruppe %1 gibt es nicht.").arg(*groupNumber))
            << '\n';
        return kCliFileError;
    }
    QString error;
    const GroupSchedule schedule = collectGroupSchedule(group, plans, group.m_Plan, &error);
    if (!error.isEmpty()) {
        err << databaseErrorText(error) << '\n';
        return kCliFileError;
    }
    QString writeError;
    if (!writeFileSafely(
            args.at(2), [&schedule](QIODevice& file) { return writeGroupScheduleText(file, schedule); }, &writeError)) {
        err << writeError << '\n';
        return kCliFileError;
    }
    return kCliOk;
}

} // namespace torvm
