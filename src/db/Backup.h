#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace torvm {

class Database;

// Copies of a competition kept so that no season is ever lost: made by the engine's online backup
// (never a byte copy of a file that may be half written), each under a temporary name first, named
// "<name>_JJJJ-MM-TT_HH-MM-SS.mdb". They go into "Sicherungen" beside the competition, or into the
// user's data folder when that folder cannot be written (a read-only share).
struct BackupInfo {
    QString path;
    QDateTime made;
    qint64 size = 0;
    int participants = -1; // -1 when the copy cannot be read
    int results = -1;      // shooter rows with rings
};

// A copy of the open connection db, the competition at path competition, made at now into folder
// (default: "Sicherungen" beside it, else the user's folder). Older copies beyond the last 20 are
// removed, except the last of each month. Returns the copy's path, or none (error says why).
std::optional<QString> makeBackup(Database& db, const QString& competition, const QDateTime& now, QString* error,
                                  const QString& folder = {});

// As above for a competition not open here: it is opened read-only for the copy.
std::optional<QString> makeBackup(const QString& competition, const QDateTime& now, QString* error,
                                  const QString& folder = {});

// The copy made when a competition is opened: at most one a day per file. True when none was due
// or it was made.
bool makeDailyBackup(Database& db, const QString& competition, const QDateTime& now, QString* error);

// The copy made before an import or any other change of many rows to the open connection db;
// error says why none could be made, and the change must then not go ahead.
bool backupBeforeChange(Database& db, QString* error);

// Copies every page of source into the new file target through the engine (never half of a save
// that runs meanwhile) and flushes it to the disk.
bool copyDatabaseInto(Database& source, const QString& target, QString* error);

// The copies of competition in both places, the newest first.
std::vector<BackupInfo> listBackups(const QString& competition);

// Replaces competition by the copy backup, after making a copy of its present state. Refused while
// another program instance holds the competition open. The competition must not be open here.
bool restoreBackup(const QString& competition, const QString& backup, const QDateTime& now, QString* error);

// The copies to remove among those made at the given times: all but the last 20 and the last of
// each month.
std::vector<QDateTime> backupsToPrune(std::vector<QDateTime> made);

} // namespace torvm
