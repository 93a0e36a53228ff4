#pragma once

#include "exchange/JetStream.h"

#include <QString>

#include <functional>
#include <vector>

namespace torvm::test {

// Values for the writer's rows.
JetValue jetNull();
JetValue jetInt(std::int32_t value);
JetValue jetReal(double value);
JetValue jetText(const QString& value);
JetValue jetBool(bool value);
JetValue jetDate(const DateTime& value); // a null date gives Null

// Writes small Jet 4 (Access 2000) files for tests and benchmarks: the system catalog and user
// tables of Long, Short, Byte, Bool, Money, Double, Date/Time and Text columns, with no indexes and no
// long values. The reading library reads them; Access itself would not open them.
class JetWriter {
public:
    struct Table {
        QString name;
        std::vector<JetColumn> columns;
        std::vector<JetRow> rows;
        // Instead of rows: rowCount rows made on the fly, so large files need no large memory.
        int rowCount = 0;
        std::function<void(int index, JetRow& row)> generate;
    };

    void addTable(Table table) { m_tables.push_back(std::move(table)); }
    bool write(const QString& path, QString* error) const;

private:
    std::vector<Table> m_tables;
};

} // namespace torvm::test
