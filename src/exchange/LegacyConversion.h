#pragma once

#include "exchange/JetFile.h"

#include <QString>

#include <vector>

namespace torvm {

// Competitions kept by earlier versions of the program are Access (Jet) files. They are never
// opened as they are: their tables are carried over into a new competition file beside them,
// and the old file stays exactly as it was.

struct ConversionTableReport {
    QString table;
    int rowsRead = 0;
    int rowsWritten = 0;
    int rowsUnreadable = 0;       // rows of the old file that could not be decoded
    int rowsRefused = 0;          // rows the new file did not take (a key that occurs twice)
    bool missing = false;         // the old file has no such table
    bool unreadable = false;      // the old table's definition is damaged: none of its rows could be read
    QStringList columnsMissing;   // columns of the new file the old table lacks (left empty)
    QStringList columnsWrongType; // columns whose type is not the one they must have: no row taken
};

struct ConversionReport {
    std::vector<ConversionTableReport> tables;
    bool complete() const; // every table there, every row read and written
    QString text() const;  // one line per table, in German, for the user
};

// True when path is an Access (Jet) file rather than a competition file of this version.
bool isLegacyCompetition(const QString& path);

// A name beside the old file for the new one: "<name>_neu.mdb", then "<name>_neu2.mdb", ...,
// whichever does not exist yet.
QString proposedConversionName(const QString& legacyPath);

// The question asked before converting, with the old file's name.
QString conversionQuestion(const QString& legacyPath);

// Reads the eight tables of the old file and writes them into target, a new copy of the template.
// target must not exist. Null values stay Null, texts stay as they are, dates are kept to the
// second; the old file's classes replace the template's. On failure nothing is left at target
// and error holds the text to show after "Fehler: \n".
bool convertLegacyCompetition(const QString& legacyPath, const QString& target, const QString& templatePath,
                              ConversionReport* report, QString* error, const JetLimits& limits = {});

} // namespace torvm
