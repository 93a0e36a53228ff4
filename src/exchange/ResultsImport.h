#pragma once

#include <QString>

namespace torvm {

class Database;

struct ResultsImportResult {
    bool ok = false; // false: error holds the text to show after "Fehler: \n"; nothing was changed
    int rowsCopied = 0;
    // Source rows that could belong to no pairing: a key outside the ranges, a round that differs
    // from the key's, a second row under one key.
    int rowsSkipped = 0;
    QString error;

    // " N Zeilen … übersprungen …", or empty when every row was usable.
    QString skippedNote() const;
};

// Takes the results of one round (0 ... 19) over from a second copy of the competition (one of
// our files or an Access competition file) into db. Only the rows the round's pairings need are
// copied: rows 1 ... Anzahl and row 99 of both teams of every pairing whose two slots are
// occupied; each replaces the target row with the same key whole. All rows land together or
// none does.
ResultsImportResult importResults(Database& db, const QString& sourcePath, int round);

} // namespace torvm
