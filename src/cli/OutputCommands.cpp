#include "cli/OutputCommands.h"

#include "cli/Cli.h"
#include "db/SafeFile.h"
#include "document/TorvmDoc.h"
#include "exchange/Calendar.h"
#include "exchange/DemoCompetition.h"
#include "exchange/Publish.h"
#include "exchange/Spreadsheet.h"
#include "exchange/WebExport.h"
#include "output/PrintJob.h"
#include "output/TextExport.h"
#include "output/Windows1252.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <iostream>

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <optional>

namespace torvm {

namespace {

// Positional arguments and "--name value" options, each option at most once.
struct ParsedArgs {
    QStringList positional;
    std::map<QString, QString> options;
};

std::optional<ParsedArgs> parseArgs(const QStringList& args, const QStringList& known, QTextStream& err)
{
    ParsedArgs parsed;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (!arg.startsWith(QLatin1String("--"))) {
            parsed.positional.append(arg);
            continue;
        }
        const QString name = arg.mid(2);
        if (!known.contains(name)) {
            err << QStringLiteral("Unbekannte Option: %1").arg(displayPath(arg)) << '\n';
            return std::nullopt;
        }
        if (i + 1 >= args.size() || parsed.options.count(name) != 0) {
            err << QStringLiteral("Die Option %1 braucht genau einen Wert.").arg(displayPath(arg)) << '\n';
            return std::nullopt;
        }
        parsed.options[name] = args.at(++i);
    }
    return parsed;
}

std::optional<int> intInRange(const QString& text, int low, int high)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

// "2,4" -> {2, 4}; every number within low ... high.
std::optional<std::vector<int>> intList(const QString& text, int low, int high)
{
    std::vector<int> values;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const auto value = intInRange(part, low, high);
        if (!value)
            return std::nullopt;
        values.push_back(*value);
    }
    return values;
}

int badValue(QTextStream& err, const QString& option, const QString& value, const QString& expected)
{
    err << QStringLiteral("Ungültiger Wert für --%1: \"%2\" (erwartet: %3)").arg(option, displayPath(value), expected)
        << '\n';
    return kCliUsage;
}

// Reads the options of an output run; a usage error is reported on err and gives none.
std::optional<OutputOverrides> outputOverrides(const std::map<QString, QString>& options, QTextStream& err)
{
    OutputOverrides o;
    bool ok = true;
    const auto number = [&](const QString& name, int low, int high, auto apply) {
        const auto it = options.find(name);
        if (it == options.end() || !ok)
            return;
        const auto value = intInRange(it->second, low, high);
        if (!value) {
            badValue(err, name, it->second, QStringLiteral("%1 bis %2").arg(low).arg(high));
            ok = false;
            return;
        }
        apply(*value);
    };
    number(QStringLiteral("round"), 1, kRoundsPerPlan, [&](int v) { o.round = v - 1; });
    number(QStringLiteral("ergebnis"), 0, 1, [&](int v) { o.ergebnis = v != 0; });
    number(QStringLiteral("tabelle"), 0, 1, [&](int v) { o.tabelle = v != 0; });
    number(QStringLiteral("platz"), 0, kMaxPlatz, [&](int v) { o.platz = v; });
    number(QStringLiteral("klasse"), 0, 2, [&](int v) { o.klasse = static_cast<RankingClassMode>(v); });
    number(QStringLiteral("sort"), 0, 1, [&](int v) { o.sort = v; });
    number(QStringLiteral("mindestens"), 1, kRoundsPerPlan, [&](int v) { o.mindestens = v; });
    number(QStringLiteral("serien"), 1, kMaxSeries, [&](int v) { o.series = v; });
    if (const auto it = options.find(QStringLiteral("stichtag")); ok && it != options.end()) {
        const QDate day = QDate::fromString(it->second, QStringLiteral("dd.MM.yyyy"));
        if (!day.isValid()) {
            badValue(err, it->first, it->second, QStringLiteral("TT.MM.JJJJ"));
            ok = false;
        } else {
            o.reference = day;
        }
    }
    if (!ok)
        return std::nullopt;

    if (const auto it = options.find(QStringLiteral("outputs")); it != options.end()) {
        std::array<bool, kOutputCount> chosen{};
        for (const QString& part : it->second.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            int found = -1;
            for (int i = 0; i < kOutputCount; ++i) {
                if (outputKey(static_cast<Output>(i)).compare(part.trimmed(), Qt::CaseInsensitive) == 0)
                    found = i;
            }
            if (found < 0) {
                badValue(err, it->first, part,
                         QStringLiteral("termin,gruppe,tabelle,einzel,verein,teilnehmer,gesamt,bericht,ausstehend"));
                return std::nullopt;
            }
            chosen[found] = true;
        }
        o.outputs = chosen;
    }
    if (const auto it = options.find(QStringLiteral("plans")); it != options.end()) {
        const auto plans = intList(it->second, 1, kPlanCount);
        if (!plans) {
            badValue(err, it->first, it->second, QStringLiteral("Planummern 1 bis 5, durch Komma getrennt"));
            return std::nullopt;
        }
        std::array<bool, kPlanCount> chosen{};
        for (const int p : *plans)
            chosen[p - 1] = true;
        o.plans = chosen;
    }
    if (const auto it = options.find(QStringLiteral("groups")); it != options.end()) {
        const auto groups = intList(it->second, 1, 2147);
        if (!groups) {
            badValue(err, it->first, it->second, QStringLiteral("Gruppennummern ab 1, durch Komma getrennt"));
            return std::nullopt;
        }
        std::vector<int> ids;
        for (const int g : *groups)
            ids.push_back(g - 1);
        o.groups = ids;
    }
    return o;
}

QStringList outputOptionNames()
{
    return {QStringLiteral("round"),      QStringLiteral("outputs"),  QStringLiteral("plans"),
            QStringLiteral("groups"),     QStringLiteral("ergebnis"), QStringLiteral("tabelle"),
            QStringLiteral("platz"),      QStringLiteral("klasse"),   QStringLiteral("sort"),
            QStringLiteral("mindestens"), QStringLiteral("serien"),   QStringLiteral("stichtag")};
}

// "FILE OUT" and the output options of an output command (with extra ones of its own); none after a
// usage error, which is reported.
struct OutputRun {
    ParsedArgs parsed;
    OutputOverrides overrides;
};
std::optional<OutputRun> parseOutputRun(const QStringList& args, const QStringList& extra, QTextStream& err)
{
    auto parsed = parseArgs(args, outputOptionNames() + extra, err);
    if (!parsed || parsed->positional.size() != 2)
        return std::nullopt;
    auto overrides = outputOverrides(parsed->options, err);
    if (!overrides)
        return std::nullopt;
    return OutputRun{std::move(*parsed), *overrides};
}

// Outputs only read: a write-protected competition can be exported and printed.
bool openCompetitionFile(CTorvmDoc& doc, const QString& path, QTextStream& err)
{
    if (doc.OnOpenDocument(path, Access::ReadOnly))
        return true;
    err << doc.failure().text << '\n';
    return false;
}

QString existsText(const QString& file)
{
    return QStringLiteral("Die Datei %1 ist bereits vorhanden und wird nicht überschrieben.").arg(displayPath(file));
}

bool writeOutputFile(const QString& target, QTextStream& err, const std::function<bool(QIODevice&)>& write)
{
    QString error;
    if (writeFileSafely(target, write, &error))
        return true;
    err << error << '\n';
    return false;
}

// As the output sheet: without a single page to output no file is written.
int nothingToWrite(QTextStream& err)
{
    err << QStringLiteral("Keine Ausgabe gewählt, die etwas enthält; es wurde keine Datei geschrieben.") << '\n';
    return kCliUsage;
}

} // namespace

int cmdDemo(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto parsed = parseArgs(args, {QStringLiteral("seed")}, err);
    if (!parsed || parsed->positional.size() != 1)
        return kCliUsage;
    std::uint32_t seed = 1;
    if (const auto it = parsed->options.find(QStringLiteral("seed")); it != parsed->options.end()) {
        bool ok = false;
        seed = it->second.toUInt(&ok);
        if (!ok)
            return badValue(err, it->first, it->second, QStringLiteral("eine ganze Zahl ab 0"));
    }
    const QString& file = parsed->positional.first();
    if (pathExists(file)) {
        err << existsText(file) << '\n';
        return kCliFileError;
    }
    // Filled under a temporary name: an interrupted run leaves nothing a rerun would refuse.
    FileUnderConstruction building(file);
    if (building.path().isEmpty()) {
        err << building.error() << '\n';
        return kCliFileError;
    }
    CTorvmDoc doc;
    if (!doc.OnNewDocument(building.path())) {
        err << doc.failure().text << '\n';
        return kCliFileError;
    }
    QString error;
    const bool filled = fillDemoCompetition(doc, seed, &error);
    doc.OnCloseDocument();
    if (!filled) {
        err << databaseErrorText(error) << '\n';
        return kCliFileError;
    }
    if (!building.publish(&error)) {
        err << error << '\n';
        return kCliFileError;
    }
    out << QStringLiteral("Beispielwettkampf angelegt: %1").arg(displayPath(file)) << '\n';
    return kCliOk;
}

int cmdExportText(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto run = parseOutputRun(args, {QStringLiteral("encoding")}, err);
    if (!run)
        return kCliUsage;
    TextEncoding encoding = TextEncoding::Windows1252;
    if (const auto it = run->parsed.options.find(QStringLiteral("encoding")); it != run->parsed.options.end()) {
        const QString name = it->second.trimmed().toLower();
        if (name == QLatin1String("utf-8") || name == QLatin1String("utf8"))
            encoding = TextEncoding::Utf8;
        else if (name != QLatin1String("windows-1252") && name != QLatin1String("cp1252"))
            return badValue(err, it->first, it->second, QStringLiteral("windows-1252 oder utf-8"));
    }

    CTorvmDoc doc;
    if (!openCompetitionFile(doc, run->parsed.positional.at(0), err))
        return kCliFileError;
    const OutputSettings settings = loadOutputSettings(doc, run->overrides);
    if (totalPageCount(doc, settings) == 0) {
        return nothingToWrite(err);
    }
    const QString& target = run->parsed.positional.at(1);
    const std::optional<QString> content = textExportContent(doc, settings);
    if (!content)
        return kCliFileError;
    const QByteArray bytes = encodedText(*content, encoding);
    if (!writeOutputFile(target, err, [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); }))
        return kCliFileError;
    if (const QStringList lost =
            encoding == TextEncoding::Windows1252 ? wordsOutsideWindows1252(*content) : QStringList();
        !lost.isEmpty())
        err << QStringLiteral("Hinweis: Diese Namen enthalten Zeichen, die Windows-1252 nicht kennt, und wurden mit "
                              "\"?\" geschrieben: %1. Mit --encoding utf-8 bleiben sie erhalten.")
                   .arg(lost.join(QStringLiteral(", ")))
            << '\n';
    out << QStringLiteral("Ergebnisse und Tabellen gespeichert: %1").arg(target) << '\n';
    return kCliOk;
}

int cmdExportXlsx(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto run = parseOutputRun(args, {}, err);
    if (!run)
        return kCliUsage;
    CTorvmDoc doc;
    if (!openCompetitionFile(doc, run->parsed.positional.at(0), err))
        return kCliFileError;
    const OutputSettings settings = loadOutputSettings(doc, run->overrides);
    if (totalPageCount(doc, settings) == 0) {
        return nothingToWrite(err);
    }
    const Transaction view(*doc.GetDatabase(), Transaction::Kind::Read);
    const auto tables = spreadsheetTables(doc, settings);
    if (!tables)
        return kCliFileError;
    const QString& target = run->parsed.positional.at(1);
    QString error;
    if (!writeOutputFile(target, err, [&](QIODevice& file) {
            if (writeSpreadsheet(file, *tables, &error))
                return true;
            err << error << '\n';
            return false;
        }))
        return kCliFileError;
    out << QStringLiteral("%1 Tabellenblätter gespeichert: %2").arg(tables->size()).arg(target) << '\n';
    return kCliOk;
}

int cmdPrintPdf(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto run = parseOutputRun(args, {}, err);
    if (!run)
        return kCliUsage;
    // Fonts need the graphical side of Qt; the program starts it for this command.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        err << QStringLiteral("Drucken ist ohne grafische Qt-Anwendung nicht möglich.") << '\n';
        return kCliFileError;
    }

    CTorvmDoc doc;
    if (!openCompetitionFile(doc, run->parsed.positional.at(0), err))
        return kCliFileError;
    const OutputSettings settings = loadOutputSettings(doc, run->overrides);
    const Transaction view(*doc.GetDatabase(), Transaction::Kind::Read);
    const PrintJob job(doc, settings);
    if (job.totalPages() == 0) {
        return nothingToWrite(err);
    }
    const QString& target = run->parsed.positional.at(1);
    if (!writeOutputFile(target, err, [&](QIODevice& file) { return writePdf(job, file, doc.CompetitionTitle()); }))
        return kCliFileError;
    out << QStringLiteral("%1 Seiten gedruckt: %2").arg(job.totalPages()).arg(target) << '\n';
    return kCliOk;
}

int cmdWebExport(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto parsed = parseArgs(args,
                                  {QStringLiteral("round"), QStringLiteral("termin"), QStringLiteral("tabelle"),
                                   QStringLiteral("einzel"), QStringLiteral("organiser"), QStringLiteral("style")},
                                  err);
    if (!parsed || parsed->positional.size() != 2)
        return kCliUsage;

    CTorvmDoc doc;
    if (!openCompetitionFile(doc, parsed->positional.at(0), err))
        return kCliFileError;
    // The competition's stored choices, changed for this run only.
    WebOptions options = loadWebOptions(doc);
    QString organiser = loadOrganiser(doc);
    WebStyle style = loadWebStyle(doc);
    for (const auto& [name, value] : parsed->options) {
        if (name == QLatin1String("organiser")) {
            organiser = value;
            continue;
        }
        if (name == QLatin1String("style")) {
            const QString chosen = value.trimmed().toLower();
            if (chosen != QLatin1String("classic") && chosen != QLatin1String("modern"))
                return badValue(err, name, value, QStringLiteral("classic oder modern"));
            style = chosen == QLatin1String("modern") ? WebStyle::Modern : WebStyle::Classic;
            continue;
        }
        const bool isRound = name == QLatin1String("round");
        const auto number = isRound ? intInRange(value, 1, kRoundsPerPlan) : intInRange(value, 0, 1);
        if (!number)
            return badValue(err, name, value,
                            isRound ? QStringLiteral("1 bis %1").arg(kRoundsPerPlan) : QStringLiteral("0 oder 1"));
        if (isRound)
            options.round = *number - 1;
        else if (name == QLatin1String("termin"))
            options.termin = *number != 0;
        else if (name == QLatin1String("tabelle"))
            options.tabelle = *number != 0;
        else
            options.einzel = *number != 0;
    }

    CWebExport exporter(doc, options, organiser);
    exporter.setStyle(style);
    const WebExportResult result = exporter.run(parsed->positional.at(1));
    // Groups left out for their numbers are named on stderr; the site without them is published
    // whole, so the run has done what it says.
    if (!result.succeeded() && result.status != WebExportResult::Status::Incomplete)
        return kCliFileError;
    out << QStringLiteral("%1 Webseiten erstellt: %2").arg(result.pagesWritten).arg(result.indexPath) << '\n';
    return kCliOk;
}

int cmdCalendar(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const auto parsed =
        parseArgs(args, {QStringLiteral("group"), QStringLiteral("club"), QStringLiteral("duration")}, err);
    if (!parsed || parsed->positional.size() != 2)
        return kCliUsage;
    const auto option = [&](const QString& name) { return parsed->options.find(name); };
    if (option(QStringLiteral("group")) != parsed->options.end() &&
        option(QStringLiteral("club")) != parsed->options.end()) {
        err << QStringLiteral("Bitte entweder --group oder --club angeben, nicht beides.") << '\n';
        return kCliUsage;
    }
    std::optional<int> group, club, minutes;
    if (const auto it = option(QStringLiteral("group")); it != parsed->options.end()) {
        group = intInRange(it->second, 1, 2147);
        if (!group)
            return badValue(err, it->first, it->second, QStringLiteral("eine Gruppennummer ab 1"));
    }
    if (const auto it = option(QStringLiteral("club")); it != parsed->options.end()) {
        club = intInRange(it->second, 1, std::numeric_limits<int>::max());
        if (!club)
            return badValue(err, it->first, it->second, QStringLiteral("eine Vereinsnummer ab 1"));
    }
    if (const auto it = option(QStringLiteral("duration")); it != parsed->options.end()) {
        minutes = intInRange(it->second, kMinEventMinutes, kMaxEventMinutes);
        if (!minutes)
            return badValue(err, it->first, it->second,
                            QStringLiteral("Minuten von %1 bis %2").arg(kMinEventMinutes).arg(kMaxEventMinutes));
    }

    CTorvmDoc doc;
    if (!openCompetitionFile(doc, parsed->positional.at(0), err))
        return kCliFileError;
    FixtureCalendar calendar = collectFixtureCalendar(doc);
    if (!calendar.ok) {
        err << databaseErrorText(calendar.error) << '\n';
        return kCliFileError;
    }
    QString part;
    if (group) {
        const auto name = calendar.groupNames.find(*group - 1);
        if (name == calendar.groupNames.end()) {
            err << QStringLiteral("Die Gruppe %1 gibt es nicht.").arg(*group) << '\n';
            return kCliFileError;
        }
        part = name->second;
        calendar = calendar.ofGroup(*group - 1);
    }
    if (club) {
        const auto clubs = clubsWithTeams(doc);
        const auto found =
            std::find_if(clubs.begin(), clubs.end(), [&](const CalendarClub& c) { return c.number == *club; });
        if (found == clubs.end()) {
            err << QStringLiteral("Der Verein %1 hat keine Mannschaft in einer Gruppe.").arg(*club) << '\n';
            return kCliFileError;
        }
        part = found->name;
        calendar = calendar.ofClub(*club);
    }
    const int duration = minutes ? *minutes : loadEventMinutes(doc);
    const QString& target = parsed->positional.at(1);
    const QString name = calendarName(calendar.title, part);
    if (!writeOutputFile(target, err, [&](QIODevice& file) {
            return writeCalendar(file, calendar, name, duration, QDateTime::currentDateTimeUtc());
        }))
        return kCliFileError;
    out << QStringLiteral("%1 Termine gespeichert: %2").arg(calendar.datedEvents()).arg(target) << '\n';
    if (const int undated = calendar.undatedRounds(); undated > 0)
        out << QStringLiteral("%1 Durchgänge ohne Datum ausgelassen.").arg(undated) << '\n';
    return kCliOk;
}

int cmdPublish(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QStringList rest = args;
    const bool passwordFromInput = rest.removeAll(QStringLiteral("--password-stdin")) > 0;
    const auto parsed = parseArgs(
        rest,
        {QStringLiteral("style"), QStringLiteral("round"), QStringLiteral("accept-host-key"), QStringLiteral("key")},
        err);
    if (!parsed || parsed->positional.size() != 2)
        return kCliUsage;
    QString error;
    const auto target = PublishTarget::parse(parsed->positional.at(1), &error);
    if (!target) {
        err << error << '\n';
        return kCliUsage;
    }
    CTorvmDoc doc;
    if (!openCompetitionFile(doc, parsed->positional.at(0), err))
        return kCliFileError;
    WebOptions web = loadWebOptions(doc);
    WebStyle style = loadWebStyle(doc);
    if (const auto it = parsed->options.find(QStringLiteral("style")); it != parsed->options.end()) {
        const QString chosen = it->second.trimmed().toLower();
        if (chosen != QLatin1String("classic") && chosen != QLatin1String("modern"))
            return badValue(err, it->first, it->second, QStringLiteral("classic oder modern"));
        style = chosen == QLatin1String("modern") ? WebStyle::Modern : WebStyle::Classic;
    }
    if (const auto it = parsed->options.find(QStringLiteral("round")); it != parsed->options.end()) {
        const auto round = intInRange(it->second, 1, kRoundsPerPlan);
        if (!round)
            return badValue(err, it->first, it->second, QStringLiteral("1 bis %1").arg(kRoundsPerPlan));
        web.round = *round - 1;
    }

    PublishOptions options;
    if (passwordFromInput) {
        std::string line;
        std::getline(std::cin, line);
        options.password = QString::fromStdString(line);
    } else {
        options.password = qEnvironmentVariable("TORVM_PASSWORD");
    }
    if (const auto it = parsed->options.find(QStringLiteral("key")); it != parsed->options.end())
        options.privateKey = it->second;
    const auto accept = parsed->options.find(QStringLiteral("accept-host-key"));
    options.hostKey = accept != parsed->options.end() ? accept->second.trimmed() : acceptedHostKey(*target);

    // The site is made afresh in a private folder and only then compared with the server's.
    const QTemporaryDir site;
    CWebExport exporter(doc, web, loadOrganiser(doc));
    exporter.setStyle(style);
    if (!site.isValid() || !exporter.run(site.path()).succeeded())
        return kCliFileError;
    const PublishResult result = publishFolder(site.path(), *target, options);
    if (result.status != PublishResult::Status::Done) {
        err << result.error << '\n';
        return kCliFileError;
    }
    if (target->protocol == PublishTarget::Protocol::Sftp && !result.hostKey.isEmpty() &&
        result.hostKey != acceptedHostKey(*target) && !storeAcceptedHostKey(*target, result.hostKey))
        err << QStringLiteral("Der Schlüssel des Servers konnte nicht gespeichert werden.") << '\n';
    out << QStringLiteral("%1 Dateien übertragen, %2 entfernt, %3 unverändert: %4")
               .arg(result.uploaded)
               .arg(result.removed)
               .arg(result.unchanged)
               .arg(target->address())
        << '\n';
    return kCliOk;
}

} // namespace torvm
