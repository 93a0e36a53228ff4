#pragma once

#include <QStringList>
#include <QTextStream>

namespace torvm {

// torvm-cli backup FILE [--to DIR]: a copy of the competition now
int cmdBackup(const QStringList& args, QTextStream& out, QTextStream& err);
// torvm-cli backups FILE: the copies of the competition, the newest first, one line each
int cmdBackups(const QStringList& args, QTextStream& out, QTextStream& err);
// torvm-cli restore FILE BACKUP: the competition replaced by a copy, its present state kept first
int cmdRestore(const QStringList& args, QTextStream& out, QTextStream& err);
// torvm-cli new-season OLD NEW [--auf N] [--ab N]: the next season's competition, with the first N
// teams of each group one level up and the last N one level down (default 1 each)
// torvm-cli missing FILE [--stichtag TT.MM.JJJJ]: the pairings before the date (today) without result
int cmdMissing(const QStringList& args, QTextStream& out, QTextStream& err);
int cmdNewSeason(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace torvm
