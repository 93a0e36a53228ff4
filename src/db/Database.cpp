#include "db/Database.h"

#include "db/GermanText.h"
#include "db/LongPath.h"
#include "db/SafeFile.h"

#include <sqlite3.h>

#include <cstdlib>

#include <sys/stat.h>

namespace torvm {

namespace {

// Long enough to outlast another instance's save, short enough that a stuck lock is reported.
constexpr int kBusyTimeoutMs = 5000;

// COLLATE DEUTSCH: names in German order.
int collateGerman(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    return compareGerman(QString::fromUtf8(static_cast<const char*>(a), lengthA),
                         QString::fromUtf8(static_cast<const char*>(b), lengthB));
}

// torvm_name_matches(name, search): 1 when every word of search begins a part of name.
void matchName(sqlite3_context* context, int, sqlite3_value** argv)
{
    const auto text = [](sqlite3_value* value) {
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)), sqlite3_value_bytes(value));
    };
    sqlite3_result_int(context, nameMatches(text(argv[0]), text(argv[1])) ? 1 : 0);
}

// The engine opens the journal and the write-ahead files beside the database under fixed names; a
// pipe there would block every command, a link would write the journal elsewhere.
QString companionProblem(const QByteArray& native)
{
    char* resolved = ::realpath(native.constData(), nullptr);
    const QByteArray file = resolved ? QByteArray(resolved) : native;
    std::free(resolved);
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        struct stat info {};
        if (::lstat((file + suffix).constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
            return QStringLiteral("Neben der Datei liegt %1, aber nicht als gewöhnliche Datei (sondern als Pipe, "
                                  "Ordner, Gerät oder Verknüpfung). Die Datei wird darum nicht geöffnet; bitte "
                                  "entfernen Sie %1.")
                .arg(displayPath(fileNameFromNative(file + suffix)));
        }
    }
    return {};
}

} // namespace

QString engineErrorText(int code)
{
    QString german;
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        german = QStringLiteral("Die Wettkampfdatei ist durch ein anderes Programm gesperrt. "
                                "Bitte versuchen Sie es später noch einmal.");
        break;
    case SQLITE_READONLY:
        german =
            code == SQLITE_READONLY_ROLLBACK
                ? QStringLiteral("Die Datei wurde mitten im Speichern unterbrochen; die unvollständige Änderung "
                                 "muss erst zurückgenommen werden. Bitte öffnen Sie sie dazu einmal mit Schreibrecht "
                                 "auf die Datei und ihren Ordner.")
                : QStringLiteral("Die Wettkampfdatei ist schreibgeschützt.");
        break;
    case SQLITE_FULL:
        german = QStringLiteral("Der Datenträger ist voll; die Änderung wurde nicht gespeichert.");
        break;
    case SQLITE_IOERR:
        german = QStringLiteral("Beim Lesen oder Schreiben der Wettkampfdatei ist ein Fehler aufgetreten.");
        break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        german = QStringLiteral("Die Datei ist beschädigt oder keine Wettkampfdatei.");
        break;
    case SQLITE_CANTOPEN:
        german = QStringLiteral("Die Datei kann nicht geöffnet werden.");
        break;
    case SQLITE_PERM:
    case SQLITE_AUTH:
        german = QStringLiteral("Der Zugriff auf die Wettkampfdatei wurde verweigert.");
        break;
    case SQLITE_CONSTRAINT:
        german = code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY || code == SQLITE_CONSTRAINT
                     ? QStringLiteral("Ein Datensatz mit diesem Schlüssel ist bereits vorhanden.")
                     : QStringLiteral("Die Wettkampfdatei hat die Änderung abgelehnt; sie wurde nicht gespeichert.");
        break;
    case SQLITE_ERROR:
        german = QStringLiteral("Die Wettkampfdatei hat nicht den erwarteten Aufbau.");
        break;
    default:
        german = QStringLiteral("Datenbankfehler %1.").arg(code);
        break;
    }
    return german;
}

// ---------------------------------------------------------------------------------------------

Statement::Statement(Database& db, sqlite3_stmt* stmt, bool owned)
    : m_db(&db)
    , m_stmt(stmt)
    , m_owned(owned)
{
}

Statement::Statement(Statement&& other) noexcept
    : m_db(other.m_db)
    , m_stmt(other.m_stmt)
    , m_owned(other.m_owned)
    , m_failed(other.m_failed)
{
    other.m_stmt = nullptr;
}

Statement::~Statement()
{
    if (!m_stmt)
        return;
    if (m_owned) {
        sqlite3_finalize(m_stmt);
    } else {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

void Statement::bind(int index, std::int64_t value)
{
    if (m_stmt)
        sqlite3_bind_int64(m_stmt, index, value);
}

void Statement::bind(int index, const QString& value)
{
    if (!m_stmt)
        return;
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void Statement::bind(int index, const SqlValue& value)
{
    if (std::holds_alternative<std::int64_t>(value))
        bind(index, std::get<std::int64_t>(value));
    else if (std::holds_alternative<QString>(value))
        bind(index, std::get<QString>(value));
    else
        bindNull(index);
}

void Statement::bindNull(int index)
{
    if (m_stmt)
        sqlite3_bind_null(m_stmt, index);
}

bool Statement::next()
{
    if (!m_stmt || m_failed)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        m_failed = true;
        m_db->captureError(rc);
    }
    return false;
}

bool Statement::exec()
{
    if (!m_stmt) {
        m_failed = true;
        return false;
    }
    while (next()) {
    }
    return !m_failed;
}

Statement::Type Statement::type(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return Type::Integer;
    case SQLITE_FLOAT:
        return Type::Real;
    case SQLITE_TEXT:
        return Type::Text;
    case SQLITE_BLOB:
        return Type::Blob;
    default:
        return Type::Null;
    }
}

double Statement::real(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

void Statement::reset()
{
    if (!m_stmt)
        return;
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    m_failed = false;
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

std::int64_t Statement::int64(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QString Statement::text(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    return data ? QString::fromUtf8(data, size) : QString();
}

QByteArrayView Statement::utf8(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return data ? QByteArrayView(data, sqlite3_column_bytes(m_stmt, column)) : QByteArrayView();
}

int Statement::columnCount() const
{
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

// ---------------------------------------------------------------------------------------------

Database::Database(sqlite3* db, QString path)
    : m_db(db)
    , m_path(std::move(path))
{
}

Database::~Database()
{
    for (auto& [sql, stmt] : m_cache)
        sqlite3_finalize(stmt);
    sqlite3_close(m_db);
}

std::unique_ptr<Database> Database::open(const QString& path, Mode mode, DbError* error)
{
    if (const QString problem = companionProblem(nativeFileName(path)); !problem.isEmpty()) {
        if (error)
            *error = {SQLITE_CANTOPEN, problem};
        return nullptr;
    }
    QString tooLong;
    const char* fileLayer = engineFileLayerFor(nativeFileName(path), &tooLong);
    if (!tooLong.isEmpty()) {
        if (error)
            *error = {SQLITE_CANTOPEN, tooLong};
        return nullptr;
    }
    sqlite3* handle = nullptr;
    const int flags = (mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(nativeFileName(path).constData(), &handle, flags, fileLayer);
    if (rc != SQLITE_OK) {
        if (error)
            *error = {rc, engineErrorText(rc)};
        sqlite3_close(handle);
        return nullptr;
    }
    sqlite3_extended_result_codes(handle, 1);
    // A file from elsewhere may carry views, triggers or defaults of its own: none of them may
    // call a function with side effects or write the file's structure behind the engine's back.
    sqlite3_db_config(handle, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_busy_timeout(handle, kBusyTimeoutMs);
    sqlite3_create_function_v2(handle, "torvm_name_matches", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                               nullptr, matchName, nullptr, nullptr, nullptr);
    sqlite3_create_collation_v2(handle, kGermanCollation, SQLITE_UTF8, nullptr, collateGerman, nullptr);
    return std::unique_ptr<Database>(new Database(handle, path));
}

bool Database::isReadOnly() const
{
    return sqlite3_db_readonly(m_db, "main") == 1;
}

void Database::setBusyTimeout(int milliseconds)
{
    sqlite3_busy_timeout(m_db, milliseconds);
}

Statement Database::prepare(const std::string& sql)
{
    auto it = m_cache.find(sql);
    if (it != m_cache.end() && !sqlite3_stmt_busy(it->second))
        return Statement(*this, it->second, false);

    sqlite3_stmt* stmt = nullptr;
    const bool cache = it == m_cache.end();
    const int rc = sqlite3_prepare_v3(m_db, sql.c_str(), static_cast<int>(sql.size()),
                                      cache ? SQLITE_PREPARE_PERSISTENT : 0, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        captureError(rc);
        return Statement(*this, nullptr, true);
    }
    if (!cache) // the cached one is in use further up the stack: this one is private
        return Statement(*this, stmt, true);
    m_cache.emplace(sql, stmt);
    return Statement(*this, stmt, false);
}

bool Database::execute(const char* sql)
{
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        captureError(rc);
        return false;
    }
    return true;
}

const DbError& Database::captureError(int code)
{
    m_lastError = {code, engineErrorText(code)};
    return m_lastError;
}

// ---------------------------------------------------------------------------------------------

Transaction::Transaction(Database& db, Kind kind)
    : m_db(db)
{
    m_level = db.m_depth + 1;
    const std::string sql = m_level > 1           ? "SAVEPOINT torvm_" + std::to_string(m_level)
                            : kind == Kind::Write ? std::string("BEGIN IMMEDIATE")
                                                  : std::string("BEGIN DEFERRED");
    m_active = db.execute(sql.c_str());
    if (m_active)
        db.m_depth = m_level;
}

Transaction::~Transaction()
{
    if (m_active)
        rollback();
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    const std::string sql = m_level == 1 ? std::string("COMMIT") : "RELEASE torvm_" + std::to_string(m_level);
    if (!m_db.execute(sql.c_str())) {
        // Keep the engine's reason for the caller; the destructor undoes what is still pending.
        const DbError reason = m_db.lastError();
        rollback();
        m_db.m_lastError = reason;
        return false;
    }
    m_active = false;
    m_db.m_depth = m_level - 1;
    return true;
}

void Transaction::rollback()
{
    if (m_level == 1) {
        if (!sqlite3_get_autocommit(m_db.handle()))
            sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    } else {
        const std::string name = "torvm_" + std::to_string(m_level);
        sqlite3_exec(m_db.handle(), ("ROLLBACK TO " + name + "; RELEASE " + name).c_str(), nullptr, nullptr, nullptr);
    }
    m_active = false;
    m_db.m_depth = m_level - 1;
}

} // namespace torvm
