#include "exchange/MemberImport.h"

#include "db/Backup.h"
#include "db/CompetitionFile.h"
#include "db/Database.h"
#include "db/Messages.h"
#include "db/SafeFile.h"
#include "db/Tables.h"
#include "exchange/JetFile.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace torvm {

namespace {

const QString kMembers = QStringLiteral("tblMitglieder");
const QString kClubs = QStringLiteral("tblVereine_kurz");

// The member columns the competition takes over, in the order the readers fetch them.
enum MemberColumn {
    Passnummer,
    Stammverein,
    MName,
    Vorname,
    NZusatz,
    Strasse,
    PLZ,
    Ort,
    LKZ,
    Geschlecht,
    Geburtsdatum,
    Eintritt,
    VereinsNr,
    MemberColumnCount
};
const char* const kMemberColumns[MemberColumnCount] = {
    "Passnummer", "Stammverein", "MName",      "Vorname",      "NZusatz",  "Strasse",  "PLZ",
    "Ort",        "LKZ",         "Geschlecht", "Geburtsdatum", "Eintritt", "VereinsNr"};
const char* const kClubColumns[2] = {"Verein", "VName"};

// A Null number (or one that is no whole Long) is none; it compares unequal to 0, as the program
// has always taken a Null home club or gender for "something".
struct Member {
    std::int32_t pass = 0; // 0 also for a pass number out of range (see passValid)
    bool passValid = false;
    std::optional<std::int32_t> stammverein;
    std::optional<std::int32_t> geschlecht;
    std::optional<std::int32_t> verein;
    QString name, vorname, zusatz, strasse, plz, ort, land;
    DateTime geburtstag, eintritt;
};

struct Source {
    std::vector<Member> members; // by pass number; rows of one member in file order
    QHash<std::int32_t, QString> clubs;
    bool cancelled = false; // the user stopped while the file was read
    int unreadableRows = 0; // rows of the two tables the reader could not decode
    bool tableUnreadable = false;
    QStringList wrongTypes; // "table.column" of columns whose type byte is not the one they must have
};

// The types a column the import reads may have: a damaged type byte would make the reader
// decode its bytes as something else (a club number as a date, a postal code as a number).
bool typeFits(const char* column, JetType type)
{
    const QByteArray name(column);
    if (name == "Geburtsdatum" || name == "Eintritt")
        return type == JetType::DateTime;
    if (name == "Passnummer" || name == "Stammverein" || name == "VereinsNr" || name == "Verein" ||
        name == "Geschlecht")
        return type == JetType::Long || type == JetType::Short || type == JetType::Byte || type == JetType::Bool;
    return type == JetType::Text || type == JetType::Memo;
}

// A whole number that fits a Long column, from whatever the source stored.
std::optional<std::int32_t> wholeLong(double value)
{
    if (!std::isfinite(value) || value != std::trunc(value) || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> wholeLong(std::int64_t value)
{
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> wholeLong(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    return ok ? wholeLong(std::int64_t{value}) : std::nullopt;
}

// A pass number is a member's key: 1 ... 2 147 483 647, and nothing wrapped or rounded into it.
void setPass(Member& m, std::optional<std::int32_t> pass)
{
    m.passValid = pass && *pass >= 1;
    m.pass = m.passValid ? *pass : 0;
}

QString missingTable(const QString& table, const QString& path)
{
    return QStringLiteral("Die Tabelle %1 fehlt in der Datei %2.").arg(table, QFileInfo(path).fileName());
}

QString missingColumn(const QString& table, const char* column)
{
    return QStringLiteral("In der Tabelle %1 fehlt die Spalte %2.").arg(table, QString::fromUtf8(column));
}

// ------------------------------------------------------------------------------------ SQLite

std::optional<std::int32_t> sqlLong(const Statement& st, int c)
{
    switch (st.type(c)) {
    case Statement::Type::Null:
        return std::nullopt;
    case Statement::Type::Real:
        return wholeLong(st.real(c));
    case Statement::Type::Text:
        return wholeLong(st.text(c));
    default:
        return wholeLong(st.int64(c));
    }
}

DateTime sqlDate(const Statement& st, int c)
{
    switch (st.type(c)) {
    case Statement::Type::Text:
        return DateTime::fromStorage(st.text(c));
    case Statement::Type::Real:
    case Statement::Type::Integer:
        return DateTime::fromOleDate(st.real(c));
    default:
        return {};
    }
}

bool checkColumns(Database& db, const QString& table, const char* const* columns, int count, const QString& path,
                  QString* error)
{
    Statement st = db.prepare("SELECT name FROM pragma_table_info(?)");
    st.bind(1, table);
    QSet<QString> present;
    while (st.next())
        present.insert(st.text(0).toLower());
    if (st.failed()) {
        *error = db.lastError().text;
        return false;
    }
    if (present.isEmpty()) {
        *error = missingTable(table, path);
        return false;
    }
    for (int i = 0; i < count; ++i) {
        if (!present.contains(QString::fromUtf8(columns[i]).toLower())) {
            *error = missingColumn(table, columns[i]);
            return false;
        }
    }
    return true;
}

std::optional<Source> readSqliteSource(const QString& path, QString* error)
{
    DbError dbError;
    const auto db = Database::open(path, Database::Mode::ReadOnly, &dbError);
    if (!db) {
        *error = dbError.text;
        return std::nullopt;
    }
    if (!checkColumns(*db, kMembers, kMemberColumns, MemberColumnCount, path, error) ||
        !checkColumns(*db, kClubs, kClubColumns, 2, path, error))
        return std::nullopt;

    Source source;
    std::string sql = "SELECT ";
    for (int i = 0; i < MemberColumnCount; ++i)
        sql += std::string(i ? ", \"" : "\"") + kMemberColumns[i] + '"';
    // rowid keeps the rows of one member in file order, which decides which of them wins.
    sql += R"( FROM "tblMitglieder" ORDER BY "Passnummer", rowid)";
    Statement st = db->prepare(sql);
    while (st.next()) {
        Member m;
        setPass(m, sqlLong(st, Passnummer));
        m.stammverein = sqlLong(st, Stammverein);
        m.name = st.text(MName);
        m.vorname = st.text(Vorname);
        m.zusatz = st.text(NZusatz);
        m.strasse = st.text(Strasse);
        m.plz = st.text(PLZ);
        m.ort = st.text(Ort);
        m.land = st.text(LKZ);
        m.geschlecht = sqlLong(st, Geschlecht);
        m.geburtstag = sqlDate(st, Geburtsdatum);
        m.eintritt = sqlDate(st, Eintritt);
        m.verein = sqlLong(st, VereinsNr);
        source.members.push_back(std::move(m));
    }
    if (!st.valid() || st.failed()) {
        *error = db->lastError().text;
        return std::nullopt;
    }
    Statement clubs = db->prepare(R"(SELECT "Verein", "VName" FROM "tblVereine_kurz" ORDER BY rowid)");
    while (clubs.next()) {
        const std::optional<std::int32_t> number = sqlLong(clubs, 0);
        if (number && !source.clubs.contains(*number)) // the first row of a number counts
            source.clubs.insert(*number, clubs.text(1));
    }
    if (!clubs.valid() || clubs.failed()) {
        *error = db->lastError().text;
        return std::nullopt;
    }
    return source;
}

// --------------------------------------------------------------------------------------- Jet

std::optional<std::int32_t> jetLong(const JetValue& v)
{
    switch (v.kind) {
    case JetValue::Kind::Integer:
        return v.integer;
    case JetValue::Kind::Real:
        return wholeLong(v.real);
    case JetValue::Kind::Text:
        return wholeLong(v.text);
    case JetValue::Kind::True:
        return 1;
    case JetValue::Kind::False:
        return 0;
    default:
        return std::nullopt;
    }
}

DateTime jetDate(const JetValue& v)
{
    return v.kind == JetValue::Kind::Text ? DateTime::fromStorage(v.text) : v.date();
}

// Takes each member row over as it arrives from the reader, keeping only the columns the
// competition needs: the association's file holds 83 columns a member, and a whole table of them
// in memory would cost hundreds of megabytes.
class JetSourceHandler : public JetReadHandler {
public:
    explicit JetSourceHandler(const MemberImportProgress& progress)
        : m_progress(progress)
    {
    }

    void beginTable(const QString& name, const std::vector<JetColumn>& columns) override
    {
        const auto at = [&columns](const char* column) {
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (columns[i].name.compare(QString::fromUtf8(column), Qt::CaseInsensitive) == 0)
                    return static_cast<int>(i);
            }
            return -1;
        };
        m_table = Table::Other;
        m_wrongType = false;
        const auto map = [&](const QString& table, const char* const* names, int count, int* positions) {
            for (int i = 0; i < count; ++i) {
                positions[i] = at(names[i]);
                if (positions[i] < 0 && m_error.isEmpty())
                    m_error = missingColumn(table, names[i]);
                if (positions[i] >= 0 && !typeFits(names[i], columns[std::size_t(positions[i])].type)) {
                    m_wrongType = true;
                    m_source.wrongTypes << table + QLatin1Char('.') + QString::fromUtf8(names[i]);
                }
            }
        };
        if (name.compare(kMembers, Qt::CaseInsensitive) == 0) {
            m_table = Table::Members;
            m_seenMembers = true;
            map(kMembers, kMemberColumns, MemberColumnCount, m_memberAt);
        } else if (name.compare(kClubs, Qt::CaseInsensitive) == 0) {
            m_table = Table::Clubs;
            m_seenClubs = true;
            map(kClubs, kClubColumns, 2, m_clubAt);
        }
    }

    void row(const JetRow& row) override
    {
        // Reading a large file takes seconds: the user may stop it, and the window must stay alive.
        if (++m_rowsSeen % kReadPollRows == 0 && m_progress.cancelled && m_progress.cancelled())
            m_source.cancelled = true;
        if (!m_error.isEmpty() || m_source.cancelled)
            return;
        // Rows of a table with a column of the wrong type are unreadable as a whole.
        if (m_wrongType && m_table != Table::Other) {
            ++m_source.unreadableRows;
            return;
        }
        if (m_table == Table::Members) {
            const auto value = [&](MemberColumn c) -> const JetValue& { return row[m_memberAt[c]]; };
            Member m;
            setPass(m, jetLong(value(Passnummer)));
            m.stammverein = jetLong(value(Stammverein));
            m.name = value(MName).text;
            m.vorname = value(Vorname).text;
            m.zusatz = value(NZusatz).text;
            m.strasse = value(Strasse).text;
            m.plz = value(PLZ).text;
            m.ort = value(Ort).text;
            m.land = value(LKZ).text;
            m.geschlecht = jetLong(value(Geschlecht));
            m.geburtstag = jetDate(value(Geburtsdatum));
            m.eintritt = jetDate(value(Eintritt));
            m.verein = jetLong(value(VereinsNr));
            m_source.members.push_back(std::move(m));
        } else if (m_table == Table::Clubs) {
            const std::optional<std::int32_t> number = jetLong(row[m_clubAt[0]]);
            // The first row of a number counts.
            if (number && !m_source.clubs.contains(*number))
                m_source.clubs.insert(*number, row[m_clubAt[1]].text);
        }
    }

    void endTable(const JetTableReport& report) override
    {
        if (m_table != Table::Other) {
            m_source.unreadableRows += report.rowsUnreadable;
            m_source.tableUnreadable = m_source.tableUnreadable || report.unreadable;
        }
        m_table = Table::Other;
    }

    // The source once the reader has succeeded, or none with the reason.
    std::optional<Source> take(const QString& path, QString* error)
    {
        if (m_error.isEmpty() && (!m_seenMembers || !m_seenClubs))
            m_error = missingTable(m_seenMembers ? kClubs : kMembers, path);
        if (!m_error.isEmpty()) {
            *error = m_error;
            return std::nullopt;
        }
        if (m_source.cancelled)
            m_source.members.clear();
        // Stable, so the rows of one member keep their file order.
        std::stable_sort(m_source.members.begin(), m_source.members.end(),
                         [](const Member& a, const Member& b) { return a.pass < b.pass; });
        return std::move(m_source);
    }

private:
    static constexpr int kReadPollRows = 256;

    enum class Table { Other, Members, Clubs };
    const MemberImportProgress& m_progress;
    int m_rowsSeen = 0;
    Table m_table = Table::Other;
    bool m_wrongType = false;
    bool m_seenMembers = false;
    bool m_seenClubs = false;
    int m_memberAt[MemberColumnCount] = {};
    int m_clubAt[2] = {};
    QString m_error;
    Source m_source;
};

std::optional<Source> readJetSource(const QString& path, const MemberImportProgress& progress, QString* error)
{
    JetFile file(path);
    JetSourceHandler handler(progress);
    if (!file.read(handler, {kMembers, kClubs})) {
        *error = file.error();
        return std::nullopt;
    }
    return handler.take(path, error);
}

std::optional<Source> readSource(const QString& path, const MemberImportProgress& progress, QString* error)
{
    if (!pathExists(path)) {
        *error = QStringLiteral("Die Datei %1 wurde nicht gefunden.").arg(displayPath(path));
        return std::nullopt;
    }
    if (const QString problem = inputFileProblem(path); !problem.isEmpty()) {
        *error = problem;
        return std::nullopt;
    }
    switch (sniffFile(path)) {
    case FileKind::Jet:
        return readJetSource(path, progress, error);
    case FileKind::Sqlite:
        return readSqliteSource(path, error);
    case FileKind::Unreadable:
        *error = QStringLiteral("Die Datei %1 kann nicht gelesen werden.").arg(displayPath(path));
        return std::nullopt;
    default:
        *error = QStringLiteral("Die Datei %1 ist keine Datenbank.").arg(displayPath(path));
        return std::nullopt;
    }
}

// Rows per transaction: large enough for speed, small enough that a cancel answers at once.
constexpr int kBatchSize = 500;

void fillParticipant(CTeilnehmerTable& p, const Member& m)
{
    p.m_Passnummer = m.pass;
    p.m_Name = m.name;
    p.m_Vorname = m.vorname;
    p.m_Anrede = m.geschlecht != 0 ? 1 : 2; // 1 "Herr", 2 "Frau"
    p.SetFieldNull(&p.m_Passnummer, false);
    p.SetFieldNull(&p.m_Anrede, false);
    p.m_Titel.clear();
    p.m_Zusatz = m.zusatz;
    if (m.verein) {
        p.m_Verein = *m.verein;
        p.SetFieldNull(&p.m_Verein, false);
    } else {
        p.SetFieldNull(&p.m_Verein);
    }
    p.m_PLZ2.clear();
    p.m_PLZ = m.plz;
    p.m_Ort = m.ort;
    p.m_Strasse = m.strasse;
    p.m_Land = m.land;
    p.m_Geburtstag = m.geburtstag;
    p.m_Anmeldetag = m.eintritt;
    p.m_Bank.clear();
    p.m_BLZ.clear();
    p.m_Kontonr.clear();
    p.m_Kontoinhaber.clear();
}

} // namespace

MemberImportResult importMembers(Database& db, const QString& sourcePath, const MemberImportProgress& progress,
                                 const MemberImportOptions& options)
{
    MemberImportResult result;
    const std::optional<Source> source = readSource(sourcePath, progress, &result.error);
    if (!source)
        return result;
    result.unreadableRows = source->unreadableRows;
    if (source->tableUnreadable) {
        result.error = QStringLiteral("Die Datei %1 ist beschädigt: eine ihrer Tabellen kann nicht gelesen werden. Es "
                                      "wurde nichts übernommen.")
                           .arg(displayPath(sourcePath));
        return result;
    }
    // A damaged source would lose members without a word: by default nothing is taken over.
    if (source->unreadableRows > 0 && !options.skipUnreadable) {
        result.damaged = true;
        result.error = QStringLiteral("Die Datei %1 ist beschädigt: %2 Zeilen konnten nicht gelesen werden. Es wurde "
                                      "nichts übernommen.")
                           .arg(displayPath(sourcePath))
                           .arg(source->unreadableRows);
        if (!source->wrongTypes.isEmpty())
            result.error += QStringLiteral(" Spalten mit einem unerwarteten Typ: %1.")
                                .arg(source->wrongTypes.join(QStringLiteral(", ")));
        return result;
    }
    if (source->cancelled) {
        result.cancelled = true;
        result.ok = true;
        return result;
    }

    CTeilnehmerTable participants(&db, nullptr);
    CVereinTable clubs(&db, nullptr);
    if (!participants.Open()) {
        result.error = participants.GetLastError().text;
        return result;
    }
    if (!backupBeforeChange(db, &result.error))
        return result;

    std::optional<Transaction> batch;
    int inBatch = 0;
    QSet<std::int32_t> clubsStored; // a club's name is the same for each of its members
    std::optional<std::int32_t> last;
    // What the file holds: rows of a batch count once it is committed (a full disk rolls a batch
    // back at its commit).
    int committedMembers = 0;
    int committedClubs = 0;
    const auto commitBatch = [&] {
        if (!batch->commit())
            return false;
        committedMembers = result.members;
        committedClubs = result.clubs;
        return true;
    };
    const auto fail = [&](const QString& text) {
        result.error = text;
        // What was stored before the failing row stays, as after a cancel.
        if (batch && batch->active())
            commitBatch();
        result.members = committedMembers;
        result.clubs = committedClubs;
        return result;
    };

    for (const Member& m : source->members) {
        if (progress.cancelled && progress.cancelled()) {
            result.cancelled = true;
            break;
        }
        if (!m.passValid) {
            ++result.badPassNumbers;
            continue;
        }
        // A member's further rows replace the first one only when they name the home club.
        if (m.pass == last && m.stammverein != 0)
            continue;
        last = m.pass;

        if (!batch) {
            batch.emplace(db);
            if (!batch->active())
                return fail(db.lastError().text);
        }
        const bool missing = participants.SelectParticipant(m.pass);
        if (participants.GetLastError())
            return fail(participants.GetLastError().text);
        if (missing) {
            participants.AddNew();
        } else {
            participants.Edit();
        }
        fillParticipant(participants, m);
        if (m.verein && !clubsStored.contains(*m.verein)) {
            const auto club = source->clubs.constFind(*m.verein);
            // A club that cannot be stored does not keep its members out.
            if (club != source->clubs.cend() && clubs.SaveClubName(*m.verein, *club)) {
                clubsStored.insert(*m.verein);
                ++result.clubs;
            }
        }
        if (!participants.Update())
            return fail(participants.GetLastError().text);
        ++result.members;
        if (progress.report)
            progress.report(result.members, m.pass);
        if (++inBatch == kBatchSize) {
            if (!commitBatch())
                return fail(db.lastError().text);
            batch.reset();
            inBatch = 0;
        }
    }
    if (batch && !commitBatch())
        return fail(db.lastError().text);
    result.ok = true;
    return result;
}

QString MemberImportResult::summary() const
{
    QString text =
        QStringLiteral("%1 Teilnehmer und %2 übernommen.").arg(members).arg(counted(clubs, "Verein", "Vereine"));
    QStringList skipped;
    if (badPassNumbers > 0)
        skipped << counted(badPassNumbers, "Zeile", "Zeilen") +
                       QStringLiteral(" ohne gültige Paßnummer (1 bis 2147483647)");
    if (unreadableRows > 0)
        skipped << counted(unreadableRows, "unlesbare Zeile", "unlesbare Zeilen");
    if (!skipped.isEmpty())
        text += QStringLiteral(" Übersprungen: %1.").arg(skipped.join(QStringLiteral(", ")));
    return text;
}

} // namespace torvm
