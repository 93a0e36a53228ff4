#include "exchange/LegacyConversion.h"

#include "db/CompetitionFile.h"
#include "db/Database.h"
#include "db/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <map>
#include <set>

namespace torvm {

namespace {

constexpr int kConstraintFailed = 19; // the engine's primary result code for a key that exists

const QStringList& competitionTables()
{
    static const QStringList names{QStringLiteral("Gruppe"),     QStringLiteral("Klasse"),     QStringLiteral("Plan"),
                                   QStringLiteral("Profile"),    QStringLiteral("Teilnehmer"), QStringLiteral("Verein"),
                                   QStringLiteral("Wettbewerb"), QStringLiteral("Wettkampf")};
    return names;
}

class Collector : public JetReadHandler {
public:
    void beginTable(const QString& name, const std::vector<JetColumn>& columns) override
    {
        tables.push_back(JetTable{name, columns, {}, {}});
    }
    void row(const JetRow& row) override { tables.back().rows.push_back(row); }
    void endTable(const JetTableReport& report) override { tables.back().report = report; }
    std::vector<JetTable> tables;
};

struct TargetColumn {
    QString name;
    bool integer = false;
};

std::vector<TargetColumn> targetColumns(Database& db, const QString& table)
{
    std::vector<TargetColumn> columns;
    Statement st = db.prepare("SELECT name, type FROM pragma_table_info(?) ORDER BY cid");
    st.bind(1, table);
    while (st.next())
        columns.push_back({st.text(0), st.text(1).compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0});
    return columns;
}

QString quoted(const QString& identifier)
{
    QString q = identifier;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

SqlValue convertValue(const JetValue& value, JetType sourceType, bool integerTarget)
{
    switch (value.kind) {
    case JetValue::Kind::Null:
        return std::monostate{};
    case JetValue::Kind::Integer:
        return std::int64_t(value.integer);
    case JetValue::Kind::False:
        return std::int64_t(0);
    case JetValue::Kind::True:
        // Access stores yes as -1.
        return std::int64_t(-1);
    case JetValue::Kind::Real:
        if (sourceType == JetType::DateTime) {
            const DateTime date = value.date();
            return date.isValid() ? SqlValue(date.toStorage()) : SqlValue(std::monostate{});
        }
        if (integerTarget && std::isfinite(value.real))
            return std::int64_t(std::llround(value.real));
        return QString::number(value.real, 'g', 17);
    case JetValue::Kind::Text:
        return value.text;
    }
    return std::monostate{};
}

// The types an old file gives its columns. A damaged type byte would have the reader decode a
// column as something else: a club number as text, a birthday as a number.
bool typeFits(const TargetColumn& column, JetType type)
{
    static const QStringList dates{QStringLiteral("von"), QStringLiteral("bis"), QStringLiteral("Datum1"),
                                   QStringLiteral("Geburtstag"), QStringLiteral("Anmeldetag")};
    if (column.integer)
        return type == JetType::Long || type == JetType::Short || type == JetType::Byte || type == JetType::Bool;
    if (dates.contains(column.name))
        return type == JetType::DateTime;
    return type == JetType::Text || type == JetType::Memo;
}

bool writeTable(Database& db, const JetTable& source, ConversionTableReport* report, QString* error)
{
    const std::vector<TargetColumn> columns = targetColumns(db, report->table);
    std::vector<int> sourceIndex;
    QStringList names;
    QStringList marks;
    for (const TargetColumn& column : columns) {
        const int index = source.column(column.name);
        sourceIndex.push_back(index);
        if (index < 0) {
            report->columnsMissing << column.name;
            continue;
        }
        if (!typeFits(column, source.columns[std::size_t(index)].type))
            report->columnsWrongType << column.name;
        names << quoted(column.name);
        marks << QStringLiteral("?");
    }
    // A table with a column of the wrong type is unreadable as a whole: none of its rows is taken.
    if (names.isEmpty() || !report->columnsWrongType.isEmpty())
        return true;
    // The template's classes give way to the old file's under the same key; anything else that
    // collides is a fault of the old file and is counted, not overwritten. Among the old file's
    // own classes the first row of a key counts, as the unique keys decide in the other tables.
    const bool classes = report->table == QLatin1String("Klasse");
    const QString verb = classes ? QStringLiteral("INSERT OR REPLACE") : QStringLiteral("INSERT");
    const int classKey = classes ? source.column(QStringLiteral("KlasseID")) : -1;
    std::set<std::int64_t> classesSeen;
    const std::string sql =
        QStringLiteral("%1 INTO %2 (%3) VALUES (%4)")
            .arg(verb, quoted(report->table), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))
            .toStdString();
    Transaction transaction(db);
    if (!transaction.active()) {
        *error = db.lastError().text;
        return false;
    }
    for (const JetRow& row : source.rows) {
        if (classKey >= 0) {
            const SqlValue key =
                convertValue(row[std::size_t(classKey)], source.columns[std::size_t(classKey)].type, true);
            if (const auto* number = std::get_if<std::int64_t>(&key); number && !classesSeen.insert(*number).second) {
                ++report->rowsRefused;
                continue;
            }
        }
        Statement insert = db.prepare(sql);
        int bindAt = 1;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const int index = sourceIndex[c];
            if (index < 0)
                continue;
            insert.bind(bindAt++, convertValue(row[std::size_t(index)], source.columns[std::size_t(index)].type,
                                               columns[c].integer));
        }
        if (insert.exec()) {
            ++report->rowsWritten;
        } else if ((db.lastError().code & 0xff) == kConstraintFailed) {
            ++report->rowsRefused;
            db.clearError();
        } else {
            *error = db.lastError().text;
            return false;
        }
    }
    if (!transaction.commit()) {
        *error = db.lastError().text;
        return false;
    }
    return true;
}

} // namespace

bool ConversionReport::complete() const
{
    return std::all_of(tables.begin(), tables.end(), [](const ConversionTableReport& t) {
        return !t.missing && !t.unreadable && t.rowsUnreadable == 0 && t.rowsRefused == 0 &&
               t.columnsWrongType.isEmpty() && t.rowsWritten == t.rowsRead;
    });
}

QString ConversionReport::text() const
{
    QStringList lines;
    for (const ConversionTableReport& t : tables) {
        if (t.missing) {
            lines << QStringLiteral("%1: Tabelle fehlt in der alten Datei").arg(t.table);
            continue;
        }
        if (t.unreadable) {
            lines << QStringLiteral("%1: Tabelle nicht lesbar, keine Zeilen übernommen").arg(t.table);
            continue;
        }
        QString line =
            QStringLiteral("%1: %2 von %3 Zeilen übernommen").arg(t.table).arg(t.rowsWritten).arg(t.rowsRead);
        if (t.rowsUnreadable > 0)
            line += QStringLiteral(", %1 Zeilen nicht lesbar").arg(t.rowsUnreadable);
        if (t.rowsRefused > 0)
            line += QStringLiteral(", %1 Zeilen mit doppeltem Schlüssel nicht übernommen").arg(t.rowsRefused);
        if (!t.columnsWrongType.isEmpty())
            line += QStringLiteral(", nicht lesbar wegen Spalten mit unerwartetem Typ: %1")
                        .arg(t.columnsWrongType.join(QStringLiteral(", ")));
        if (!t.columnsMissing.isEmpty())
            line += QStringLiteral(", Spalten fehlen: %1").arg(t.columnsMissing.join(QStringLiteral(", ")));
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

bool isLegacyCompetition(const QString& path)
{
    return sniffFile(path) == FileKind::Jet;
}

QString proposedConversionName(const QString& legacyPath)
{
    const QFileInfo info(legacyPath);
    const QDir dir = info.absoluteDir();
    const QString stem = info.completeBaseName();
    for (int n = 1;; ++n) {
        const QString name =
            n == 1 ? QStringLiteral("%1_neu.mdb").arg(stem) : QStringLiteral("%1_neu%2.mdb").arg(stem).arg(n);
        const QString candidate = dir.filePath(name);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

QString conversionQuestion(const QString& legacyPath)
{
    return QStringLiteral("Die Datei %1 stammt von einer früheren Programmversion (Access-Format) und wird in eine "
                          "neue Wettkampfdatei übernommen.\nDie alte Datei bleibt unverändert.\n\nFortfahren?")
        .arg(QDir::toNativeSeparators(legacyPath));
}

bool convertLegacyCompetition(const QString& legacyPath, const QString& target, const QString& templatePath,
                              ConversionReport* report, QString* error, const JetLimits& limits)
{
    *report = {};
    if (pathExists(target)) {
        *error = QStringLiteral("Die Datei %1 ist bereits vorhanden und wird nicht überschrieben.")
                     .arg(displayPath(QDir::toNativeSeparators(target)));
        return false;
    }
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(legacyPath).absoluteFilePath()) {
        *error = QStringLiteral("Die neue Datei muss einen anderen Namen haben als die alte.");
        return false;
    }
    if (!isLegacyCompetition(legacyPath)) {
        *error = QStringLiteral("Die Datei %1 ist keine Access-Datenbank.").arg(QDir::toNativeSeparators(legacyPath));
        return false;
    }

    // Everything is read before the new file exists: an unreadable old file leaves nothing behind.
    JetFile jet(legacyPath);
    jet.setLimits(limits);
    Collector collected;
    if (!jet.read(collected, competitionTables())) {
        *error = jet.error();
        return false;
    }

    if (collected.tables.empty()) {
        *error =
            QStringLiteral("Die Access-Datei %1 ist keine Wettkampfdatei: ihr fehlen alle Tabellen eines Wettkampfs.")
                .arg(QDir::toNativeSeparators(legacyPath));
        return false;
    }

    // Built under a temporary name: a kill half-way leaves no half competition under the target's.
    FileUnderConstruction building(target);
    if (building.path().isEmpty()) {
        *error = building.error();
        return false;
    }
    if (!copyTemplate(templatePath, building.path(), error))
        return false;
    bool ok = true;
    {
        DbError dbError;
        const std::unique_ptr<Database> db = Database::open(building.path(), Database::Mode::ReadWrite, &dbError);
        if (!db) {
            *error = dbError.text;
            ok = false;
        }
        for (const QString& name : competitionTables()) {
            if (!ok)
                break;
            ConversionTableReport table;
            table.table = name;
            const auto source = std::find_if(collected.tables.begin(), collected.tables.end(), [&](const JetTable& t) {
                return t.name.compare(name, Qt::CaseInsensitive) == 0;
            });
            if (source == collected.tables.end()) {
                table.missing = true;
            } else {
                table.rowsRead = int(source->rows.size());
                table.rowsUnreadable = source->report.rowsUnreadable;
                table.unreadable = source->report.unreadable;
                ok = writeTable(*db, *source, &table, error);
            }
            report->tables.push_back(table);
        }
    }
    return ok && building.publish(error);
}

} // namespace torvm
