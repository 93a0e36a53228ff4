#pragma once

#include "masterdata/KlassenTabelle.h"

namespace torvm {

class CKlasseTable;

// One row of the class division as the dialog shows it. Rows whose [KlasseID] has no record are
// not present: they show empty and are never written.
struct ClassRow {
    bool present = false;
    QString name;
    DateTime von;
    DateTime bis;
    int geschlecht = -1; // list position; -1 = nothing picked from the list
};
using ClassRows = std::array<ClassRow, kClassCount + 1>; // indexed by [KlasseID] 1 ... 20

// Reads the records with [KlasseID] 1 ... 20 of an open table; a database error is shown.
bool loadClassRows(CKlasseTable& table, ClassRows& rows);

// Writes every present row over its record, with a range given backwards turned round. All rows
// land together or none does; a database error is shown.
bool storeClassRows(CKlasseTable& table, const ClassRows& rows);

} // namespace torvm
