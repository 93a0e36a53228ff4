#pragma once

#include "exchange/JetStream.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace torvm {

// The file-level checks done before any engine sees the file: the Jet signature, a known format
// version, a size that is a whole number of pages and holds at least the system catalog.
bool checkJetFile(const QString& path, QString* why);

// Page size of a file that passed checkJetFile (2048 for Jet 3, 4096 for later versions).
int jetPageSize(const QString& path);

struct JetTableReport {
    QString name;
    int rowsRead = 0;
    int rowsUnreadable = 0;  // rows on the table's pages that could not be decoded
    bool unreadable = false; // the table definition itself could not be read
};

// Receives a file's tables as they arrive. The data is only good once JetFile::read has
// returned true: a reader that breaks down half-way makes the whole read fail.
class JetReadHandler {
public:
    virtual ~JetReadHandler() = default;
    virtual void beginTable(const QString& name, const std::vector<JetColumn>& columns) = 0;
    virtual void row(const JetRow& row) = 0;
    virtual void endTable(const JetTableReport& report) = 0;
};

struct JetLimits {
    int timeoutMs = 60000;
    qint64 memoryBytes = qint64(1024) * 1024 * 1024;
};

// A foreign Access (Jet) database, read only and never written.
//
// The reading library was not written for hostile input: damaged files make it loop forever,
// eat memory, or crash, and it prints warnings on both output channels. So it never runs in
// this process: a child (torvm-cli jet-dump) reads the file under a time and memory limit and
// sends the rows back over a pipe; any abnormal end is reported as an unreadable database.
class JetFile {
public:
    explicit JetFile(QString path)
        : m_path(std::move(path))
    {
    }

    void setLimits(const JetLimits& limits) { m_limits = limits; }

    // Streams the named tables (all user tables when empty) to handler. False on any failure;
    // error() then holds the text to show after "Fehler: \n".
    bool read(JetReadHandler& handler, const QStringList& tables = {});

    const QString& error() const { return m_error; }
    // What the reader wrote on its error channel (the first part of it), for diagnosis.
    const QString& diagnostics() const { return m_diagnostics; }

    // The program that does the reading: torvm-cli beside the running program unless set.
    static void setReaderProgram(const QString& path);
    static QString readerProgram();

private:
    bool fail(const QString& reason);

    QString m_path;
    JetLimits m_limits;
    QString m_error;
    QString m_diagnostics;
};

// A whole table in memory, for callers that want random access.
struct JetTable {
    QString name;
    std::vector<JetColumn> columns;
    std::vector<JetRow> rows;
    JetTableReport report;
    // Position of the named column (case-insensitive, as Jet compares names); -1 if absent.
    int column(const QString& name) const;
};

// Reads the named tables completely; a requested table that the file lacks is an error.
bool readJetTables(const QString& path, const QStringList& names, std::vector<JetTable>* out, QString* error,
                   const JetLimits& limits = {});

} // namespace torvm
