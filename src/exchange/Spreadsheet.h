#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

class QIODevice;

namespace torvm {

class CTorvmDoc;
struct OutputSettings;

// A value of a worksheet cell, typed so that a spreadsheet can count with it.
struct Tenths {
    std::int64_t value = 0; // 287,5 is 2875
    friend bool operator==(const Tenths&, const Tenths&) = default;
};
// The season average of a competition scored in tenths.
struct Hundredths {
    std::int64_t value = 0; // 287,53 is 28753
    friend bool operator==(const Hundredths&, const Hundredths&) = default;
};
using SheetCell = std::variant<std::monostate, QString, std::int64_t, Tenths, Hundredths, QDate, QDateTime>;

struct SheetTable {
    QString name; // worksheet name as wished; the writer makes it valid and unique
    QStringList headings;
    std::vector<std::vector<SheetCell>> rows;
};

// One table per chosen output and per group or plan where the output has several, in the order
// of the text export; the values are those of the text export, computed the same way. None after
// a database error (shown).
std::optional<std::vector<SheetTable>> spreadsheetTables(CTorvmDoc& doc, const OutputSettings& settings);

// An Office Open XML workbook (xlsx): one worksheet per table, a bold and frozen heading row,
// columns wide enough for their contents. False with a German sentence in error when the workbook
// cannot be made or out refuses its bytes.
bool writeSpreadsheet(QIODevice& out, const std::vector<SheetTable>& tables, QString* error);

// What Excel accepts as a worksheet name: at most 31 characters, none of []:*?/\, not blank,
// and unique within taken (compared without case); the name is added to taken.
QString worksheetName(const QString& wished, QStringList& taken);

} // namespace torvm
