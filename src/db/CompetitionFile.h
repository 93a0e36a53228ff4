#pragma once

#include "db/Database.h"

#include <QString>

#include <memory>

namespace torvm {

// What a file looks like from its first bytes, before any engine touches it.
enum class FileKind { Sqlite, Jet, Empty, Other, Unreadable };
FileKind sniffFile(const QString& path);

inline constexpr std::int32_t kApplicationId = 0x54564D57; // "TVMW"
inline constexpr int kFormatVersion = 1;

// Proves that db is a competition file this program can work on: its marks, every table and
// bound column, and an intact file. why receives the German reason.
bool checkCompetitionFile(Database& db, QString* why);

// Opens a competition file for reading and writing. A file that is not one (random bytes, empty,
// truncated, another SQLite database, a Jet file, a file that cannot be written) is refused
// without a single byte written to it; error receives the engine text to show after "Fehler: ".
// A save cut short by a crash is rolled back first (its journal lies beside the file). With
// Access::ReadOnly the file is only read (exports, printing): it may then be write-protected.
// Access::ReadWriteIfAllowed opens a write-protected competition read-only instead of refusing
// it; the connection's isReadOnly() then tells which it became.
enum class Access { ReadWrite, ReadOnly, ReadWriteIfAllowed };
std::unique_ptr<Database> openCompetition(const QString& path, QString* error, Access access = Access::ReadWrite);

// The empty competition new files are copied from: "torvm.tpl" in the working directory, beside
// the program, or in the installed data folder; the first one that passes the check of a
// competition file. Empty when there is none.
QString findTemplate();

// Replaces target by a copy of the template. The copy is written beside the target and renamed
// over it, so a full disk never leaves a half-written competition behind.
bool copyTemplate(const QString& templatePath, const QString& target, QString* error);

} // namespace torvm
