#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <variant>

struct sqlite3;
struct sqlite3_stmt;

namespace torvm {

class DateTime;

// What went wrong in the database engine, in the words shown to the user.
struct DbError {
    int code = 0; // SQLite result code; 0 = no error
    QString text;
    explicit operator bool() const { return code != 0; }
};

// A value bound into a statement. Null is monostate.
using SqlValue = std::variant<std::monostate, std::int64_t, QString>;

class Database;

// A prepared statement in use. Statements come from the connection's cache and go back reset, so
// no read keeps a lock on the file past the call that made it (another program instance may be
// waiting to write).
class Statement {
public:
    Statement(Database& db, sqlite3_stmt* stmt, bool owned);
    Statement(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement& operator=(Statement&&) = delete;
    ~Statement();

    bool valid() const { return m_stmt != nullptr; }

    void bind(int index, std::int64_t value);
    void bind(int index, const QString& value);
    void bind(int index, const SqlValue& value);
    void bindNull(int index);

    // Advances; true while a row is available. Errors end the walk and are kept in the connection.
    bool next();
    // Runs a statement that returns no rows; false on an error.
    bool exec();
    bool failed() const { return m_failed; }
    // Makes the statement ready to run again with new values.
    void reset();

    enum class Type { Integer, Real, Text, Blob, Null };
    Type type(int column) const;
    bool isNull(int column) const;
    double real(int column) const;
    std::int64_t int64(int column) const;
    QString text(int column) const;
    // The column's text as the engine holds it, valid until the next step; empty for Null.
    QByteArrayView utf8(int column) const;
    int columnCount() const;

private:
    Database* m_db;
    sqlite3_stmt* m_stmt;
    bool m_owned;
    bool m_failed = false;
};

// One connection to a competition file (or, for imports, another SQLite file).
class Database {
public:
    enum class Mode { ReadWrite, ReadOnly };

    static std::unique_ptr<Database> open(const QString& path, Mode mode, DbError* error);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return m_path; }
    sqlite3* handle() const { return m_db; }
    bool isReadOnly() const;
    // How long a write waits for another program instance to finish its own.
    void setBusyTimeout(int milliseconds);

    // Prepared once per SQL text and kept for the life of the connection.
    Statement prepare(const std::string& sql);
    // Runs one or more statements without results; false on an error (see lastError).
    bool execute(const char* sql);

    const DbError& lastError() const { return m_lastError; }
    void clearError() { m_lastError = {}; }
    // Records the current engine error in German and returns it.
    const DbError& captureError(int code);

    int transactionDepth() const { return m_depth; }

private:
    friend class Transaction;
    explicit Database(sqlite3* db, QString path);

    sqlite3* m_db;
    QString m_path;
    std::unordered_map<std::string, sqlite3_stmt*> m_cache;
    DbError m_lastError;
    int m_depth = 0;
};

// German text for an engine result code. The engine's own words are English and stay out of
// what the user reads.
QString engineErrorText(int code);

// Groups writes so they land whole or not at all. The outermost guard takes the write lock at
// once (two program instances then queue instead of deadlocking); nested guards are savepoints.
// Without commit() the destructor rolls everything back.
// A Read guard only holds one consistent view over many selects (and saves the file lock for
// each of them); it never blocks another instance's writes for longer than it lives.
class Transaction {
public:
    enum class Kind { Write, Read };
    explicit Transaction(Database& db, Kind kind = Kind::Write);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool active() const { return m_active; }
    bool commit();

private:
    void rollback();

    Database& m_db;
    bool m_active = false;
    int m_level = 0;
};

} // namespace torvm
