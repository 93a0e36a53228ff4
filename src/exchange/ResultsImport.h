#pragma once

#include <QString>

namespace torvm {

class Database;

struct ResultsImportResult {
    bool ok = false; // false: error holds the text to show after "Fehler: \n"; nothing was changed
    int rowsCopied = 0;
    QString error;
};

// Takes the results of one round (0 ... 19) over from a second copy of the competition (one of
// our files or an Access competition file) into db. Only the rows the round's pairings need are
// copied: rows 1 ... Anzahl and row 99 of both teams of every pairing whose two slots are
// occupied; each replaces the target row with the same key whole. All rows land together or
// none does.
ResultsImportResult importResults(Database& db, const QString& sourcePath, int round);

} // namespace torvm
