#include "exchange/Spreadsheet.h"

#include "db/Messages.h"
#include "document/TorvmDoc.h"
#include "output/MissingResults.h"
#include "output/OutputRows.h"
#include "output/Ranking.h"
#include "output/Standings.h"
#include "output/TextExport.h"

#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <memory>

namespace torvm {

namespace {

constexpr qsizetype kMaxSheetName = 31;
constexpr double kMaxColumnWidth = 60;

QDate birthday(const QString& text)
{
    return QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
}

// Rings as stored: whole rings, or tenths of a ring in a competition scored in tenths.
SheetCell ringsCell(std::int64_t rings, bool tenths)
{
    return tenths ? SheetCell{Tenths{rings}} : SheetCell{rings};
}

SheetCell rankCell(int rank)
{
    return rank != 0 ? SheetCell{std::int64_t{rank}} : SheetCell{};
}

SheetCell when(const DateTime& date)
{
    if (!date.isValid())
        return {};
    return QDateTime(date.date(), QTime(date.hour(), date.minute(), date.second()));
}

bool addSchedules(CTorvmDoc& doc, const OutputSettings& settings, std::vector<SheetTable>& tables)
{
    const auto schedules = fixtureSchedules(doc, settings.plans);
    if (!schedules)
        return false;
    for (const FixtureSchedule& schedule : *schedules) {
        SheetTable t{
            QStringLiteral("Terminplan ") + schedule.name,
            {QStringLiteral("Durchgang"), QStringLiteral("Termin"), QStringLiteral("Heim"), QStringLiteral("Gast")},
            {}};
        for (const ScheduleRound& round : schedule.rounds) {
            for (const auto& [a, b] : round.pairings)
                t.rows.push_back({std::int64_t{round.number}, when(round.date), std::int64_t{a}, std::int64_t{b}});
        }
        tables.push_back(std::move(t));
    }
    return true;
}

bool addGroupSheets(CTorvmDoc& doc, const OutputSettings& settings, std::vector<SheetTable>& tables)
{
    const auto sheets = groupSheets(doc, outputGroups(doc, settings.sheetGroups));
    if (!sheets)
        return false;
    for (const GroupSheet& sheet : *sheets) {
        SheetTable t{sheet.name, {QStringLiteral("Datum"), QStringLiteral("Heim"), QStringLiteral("Gast")}, {}};
        for (const GroupRound& round : sheet.rounds) {
            const SheetCell day = round.date.isValid() ? SheetCell{round.date.date()} : SheetCell{};
            for (const auto& [a, b] : round.pairings)
                t.rows.push_back({day, a, b});
        }
        tables.push_back(std::move(t));
    }
    return true;
}

bool addLeagueTables(CTorvmDoc& doc, const OutputSettings& settings, std::vector<SheetTable>& tables)
{
    for (const int id : outputGroups(doc, settings.groups)) {
        const LeagueTable t = ComputeLeagueTable(doc.GetDatabase(), &doc, id, settings.round);
        if (!t.ok)
            return false;
        if (settings.ergebnis) {
            SheetTable results{QStringLiteral("Ergebnisse %1").arg(t.name),
                               {QStringLiteral("Heim"), QStringLiteral("Gast"), QStringLiteral("Ringe Heim"),
                                QStringLiteral("Ringe Gast"), QStringLiteral("Bemerkung")},
                               {}};
            for (const RoundPairing& p : t.pairings)
                results.rows.push_back({t.teamNames[p.slotA], t.teamNames[p.slotB], ringsCell(p.ringsA, t.tenths),
                                        ringsCell(p.ringsB, t.tenths),
                                        p.remark != 0 ? SheetCell{t.remarks.value(p.remark - 1)} : SheetCell{}});
            tables.push_back(std::move(results));
        }
        if (settings.tabelle) {
            SheetTable standings{QStringLiteral("Tabelle %1").arg(t.name),
                                 {QStringLiteral("Platz"), QStringLiteral("Mannschaft"), QStringLiteral("Kämpfe"),
                                  QStringLiteral("Pluspunkte"), QStringLiteral("Minuspunkte"), QStringLiteral("Ringe")},
                                 {}};
            const CTabellenStand& s = t.stand;
            for (const StandingRow& row : t.rows)
                standings.rows.push_back({rankCell(row.rank), t.teamNames[row.slot], std::int64_t{s.Kaempfe[row.slot]},
                                          s.Pluspunkte[row.slot], s.Minuspunkte[row.slot],
                                          ringsCell(s.Ringe[row.slot], t.tenths)});
            tables.push_back(std::move(standings));
        }
    }
    return true;
}

bool addRanking(CTorvmDoc& doc, const OutputSettings& settings, std::vector<SheetTable>& tables)
{
    const IndividualRanking ranking = ComputeRanking(doc, settings.round, settings.platz, settings.klasse);
    if (!ranking.ok)
        return false;
    SheetTable t{QStringLiteral("Einzelwertung %1. Durchgang").arg(settings.round + 1),
                 {QStringLiteral("Klasse"), QStringLiteral("Platz"), QStringLiteral("Name"),
                  QStringLiteral("Mannschaft"), QStringLiteral("Ringe")},
                 {}};
    for (const RankingClass& cls : ranking.classes) {
        for (const RankingRow& row : cls.rows)
            t.rows.push_back({cls.name, rankCell(row.rank), row.name, row.team, ringsCell(row.rings, row.tenths)});
    }
    tables.push_back(std::move(t));
    return true;
}

bool addSeasonRanking(CTorvmDoc& doc, const OutputSettings& settings, std::vector<SheetTable>& tables)
{
    const SeasonRanking ranking = ComputeSeasonRanking(doc, settings.round, settings.mindestens, settings.klasse);
    if (!ranking.ok)
        return false;
    SheetTable t{QStringLiteral("Gesamtwertung"),
                 {QStringLiteral("Klasse"), QStringLiteral("Platz"), QStringLiteral("Name"),
                  QStringLiteral("Mannschaft"), QStringLiteral("Durchgänge"), QStringLiteral("Ringe"),
                  QStringLiteral("Schnitt"), QStringLiteral("Bester")},
                 {}};
    for (const SeasonClass& cls : ranking.classes) {
        for (const SeasonRow& row : cls.rows)
            t.rows.push_back(
                {cls.name, rankCell(row.rank), row.name, row.team, std::int64_t{row.rounds},
                 ringsCell(row.total, row.tenths),
                 row.tenths ? SheetCell{Hundredths{row.averageTenths()}} : SheetCell{Tenths{row.averageTenths()}},
                 ringsCell(row.best, row.tenths)});
    }
    tables.push_back(std::move(t));
    return true;
}

bool addClubs(CTorvmDoc& doc, std::vector<SheetTable>& tables)
{
    const auto clubs = clubRows(doc);
    if (!clubs)
        return false;
    SheetTable t{QStringLiteral("Vereine"), {QStringLiteral("Nummer"), QStringLiteral("Name")}, {}};
    for (const ClubRow& club : *clubs)
        t.rows.push_back({std::int64_t{club.number}, club.name});
    tables.push_back(std::move(t));
    return true;
}

bool addMissingResults(CTorvmDoc& doc, const OutputSettings& settings, std::vector<SheetTable>& tables)
{
    QString error;
    const auto missing = missingResults(doc.GetDatabase(), &doc, settings.reference, &error);
    if (!missing) {
        showDatabaseError(error);
        return false;
    }
    SheetTable t{QStringLiteral("Ausstehende Ergebnisse"),
                 {QStringLiteral("Gruppe"), QStringLiteral("Durchgang"), QStringLiteral("Datum"),
                  QStringLiteral("Heimmannschaft"), QStringLiteral("Mannschaftsführer"), QStringLiteral("Telefon"),
                  QStringLiteral("Gastmannschaft"), QStringLiteral("Mannschaftsführer"), QStringLiteral("Telefon")},
                 {}};
    for (const MissingPairing& p : *missing)
        t.rows.push_back({groupTitle(p.group, p.groupName), std::int64_t{p.round + 1}, p.date.date(), p.a.team,
                          p.a.captain, p.a.phone, p.b.team, p.b.captain, p.b.phone});
    tables.push_back(std::move(t));
    return true;
}

bool addParticipants(CTorvmDoc& doc, const OutputSettings& settings, std::vector<SheetTable>& tables)
{
    const auto people = participantRows(doc, settings.sort);
    if (!people)
        return false;
    SheetTable t{QStringLiteral("Teilnehmerliste"),
                 {QStringLiteral("Nummer"), QStringLiteral("Name"), QStringLiteral("Verein"),
                  QStringLiteral("Geburtsdatum"), QStringLiteral("Klasse")},
                 {}};
    for (const ParticipantRow& p : *people) {
        const QDate born = birthday(p.birthDate);
        t.rows.push_back({std::int64_t{p.number}, p.name, p.club,
                          born.isValid() ? SheetCell{born} : SheetCell{p.birthDate}, p.className});
    }
    tables.push_back(std::move(t));
    return true;
}

// Width in characters of what a cell shows.
qsizetype shownWidth(const SheetCell& cell)
{
    return std::visit(
        [](const auto& v) -> qsizetype {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, QString>)
                return v.size();
            else if constexpr (std::is_same_v<T, std::int64_t>)
                return QString::number(v).size();
            else if constexpr (std::is_same_v<T, Tenths> || std::is_same_v<T, Hundredths>)
                return QString::number(v.value).size() + 1;
            else if constexpr (std::is_same_v<T, QDate>)
                return 10;
            else if constexpr (std::is_same_v<T, QDateTime>)
                return 16;
            else
                return 0;
        },
        cell);
}

lxw_datetime lxwTime(const QDate& date, const QTime& time)
{
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), static_cast<double>(time.second())};
}

struct WorkbookCloser {
    void operator()(lxw_workbook* book) const
    {
        if (book)
            workbook_close(book);
    }
};

} // namespace

QString worksheetName(const QString& wished, QStringList& taken)
{
    QString base;
    for (const QChar c : wished)
        base += QStringLiteral("[]:*?/\\").contains(c) || c.unicode() < 0x20 ? QLatin1Char(' ') : c;
    base = base.simplified();
    // A leading or trailing apostrophe is refused as well.
    while (base.startsWith(QLatin1Char('\'')) || base.endsWith(QLatin1Char('\'')))
        base = base.startsWith(QLatin1Char('\'')) ? base.mid(1) : base.chopped(1);
    if (base.isEmpty())
        base = QStringLiteral("Tabelle");
    QString name = base.left(kMaxSheetName).trimmed();
    for (int n = 2; taken.contains(name, Qt::CaseInsensitive); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        name = base.left(kMaxSheetName - suffix.size()).trimmed() + suffix;
    }
    taken << name;
    return name;
}

std::optional<std::vector<SheetTable>> spreadsheetTables(CTorvmDoc& doc, const OutputSettings& settings)
{
    std::vector<SheetTable> tables;
    bool ok = true;
    for (int i = 0; i < kOutputCount && ok; ++i) {
        const auto output = static_cast<Output>(i);
        if (!settings.chosen(output))
            continue;
        switch (output) {
        case Output::Termin:
            ok = addSchedules(doc, settings, tables);
            break;
        case Output::Gruppe:
            ok = addGroupSheets(doc, settings, tables);
            break;
        case Output::Tabelle:
            ok = addLeagueTables(doc, settings, tables);
            break;
        case Output::Einzel:
            ok = addRanking(doc, settings, tables);
            break;
        case Output::Verein:
            ok = addClubs(doc, tables);
            break;
        case Output::Teilnehmer:
            ok = addParticipants(doc, settings, tables);
            break;
        case Output::Gesamt:
            ok = addSeasonRanking(doc, settings, tables);
            break;
        case Output::Bericht:
            // Forms are filled in by hand: a spreadsheet has no use for them.
            break;
        case Output::Ausstehend:
            ok = addMissingResults(doc, settings, tables);
            break;
        }
    }
    if (!ok)
        return std::nullopt;
    return tables;
}

bool writeSpreadsheet(QIODevice& out, const std::vector<SheetTable>& tables, QString* error)
{
    // The library writes files only: the workbook is made in a private folder and copied out.
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("mappe.xlsx"));
    const QByteArray nativePath = QFile::encodeName(path);
    const QByteArray tmpdir = QFile::encodeName(folder.path());
    if (!folder.isValid()) {
        *error = QStringLiteral("Für die Tabelle konnte kein temporärer Ordner angelegt werden.");
        return false;
    }
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(tmpdir.constData());
    std::unique_ptr<lxw_workbook, WorkbookCloser> book(workbook_new_opt(nativePath.constData(), &options));
    if (!book) {
        *error = QStringLiteral("Die Tabelle konnte nicht angelegt werden.");
        return false;
    }
    lxw_format* bold = workbook_add_format(book.get());
    format_set_bold(bold);
    lxw_format* tenths = workbook_add_format(book.get());
    format_set_num_format(tenths, "0.0");
    lxw_format* hundredths = workbook_add_format(book.get());
    format_set_num_format(hundredths, "0.00");
    lxw_format* date = workbook_add_format(book.get());
    format_set_num_format(date, "dd.mm.yyyy");
    lxw_format* dateTime = workbook_add_format(book.get());
    format_set_num_format(dateTime, "dd.mm.yyyy hh:mm");

    QStringList taken;
    for (const SheetTable& table : tables) {
        const QByteArray name = worksheetName(table.name, taken).toUtf8();
        lxw_worksheet* sheet = workbook_add_worksheet(book.get(), name.constData());
        if (!sheet) {
            *error = QStringLiteral("Die Tabelle konnte nicht angelegt werden.");
            return false;
        }
        std::vector<qsizetype> widths;
        for (qsizetype c = 0; c < table.headings.size(); ++c) {
            worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), table.headings[c].toUtf8().constData(), bold);
            widths.push_back(table.headings[c].size());
        }
        lxw_row_t r = 1;
        for (const auto& row : table.rows) {
            for (std::size_t c = 0; c < row.size(); ++c) {
                const auto col = static_cast<lxw_col_t>(c);
                const SheetCell& cell = row[c];
                if (const auto* text = std::get_if<QString>(&cell))
                    worksheet_write_string(sheet, r, col, text->toUtf8().constData(), nullptr);
                else if (const auto* number = std::get_if<std::int64_t>(&cell))
                    worksheet_write_number(sheet, r, col, static_cast<double>(*number), nullptr);
                else if (const auto* t = std::get_if<Tenths>(&cell))
                    worksheet_write_number(sheet, r, col, static_cast<double>(t->value) / 10.0, tenths);
                else if (const auto* h = std::get_if<Hundredths>(&cell))
                    worksheet_write_number(sheet, r, col, static_cast<double>(h->value) / 100.0, hundredths);
                else if (const auto* day = std::get_if<QDate>(&cell)) {
                    lxw_datetime value = lxwTime(*day, QTime(0, 0));
                    worksheet_write_datetime(sheet, r, col, &value, date);
                } else if (const auto* moment = std::get_if<QDateTime>(&cell)) {
                    lxw_datetime value = lxwTime(moment->date(), moment->time());
                    worksheet_write_datetime(sheet, r, col, &value, dateTime);
                }
                if (c < widths.size())
                    widths[c] = std::max(widths[c], shownWidth(cell));
            }
            ++r;
        }
        for (std::size_t c = 0; c < widths.size(); ++c)
            worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                 std::min(kMaxColumnWidth, static_cast<double>(widths[c]) + 2), nullptr);
        worksheet_freeze_panes(sheet, 1, 0);
    }
    const lxw_error closed = workbook_close(book.release());
    if (closed != LXW_NO_ERROR) {
        *error = QStringLiteral("Die Tabelle konnte nicht geschrieben werden: %1")
                     .arg(QString::fromUtf8(lxw_strerror(closed)));
        return false;
    }
    QFile made(path);
    if (!made.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Die Tabelle konnte nicht gelesen werden.");
        return false;
    }
    const QByteArray bytes = made.readAll();
    if (out.write(bytes) != bytes.size()) {
        *error = QStringLiteral("Die Tabelle konnte nicht geschrieben werden.");
        return false;
    }
    return true;
}

} // namespace torvm
