#pragma once

#include <QByteArrayView>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace torvm {

// The rows of a master data list: per row a key and a fixed number of cells. All cell texts stand
// one after another in one buffer, so reading 50 000 rows allocates a few times instead of once
// per cell; a cell becomes a QString only when a view shows it.
class MasterRows {
public:
    explicit MasterRows(int columns = 0)
        : m_columns(columns)
    {
    }

    int columns() const { return m_columns; }
    int size() const { return static_cast<int>(m_keys.size()); }
    std::int32_t key(int row) const { return m_keys[static_cast<std::size_t>(row)]; }
    QStringView cell(int row, int column) const;

    // A row is added by its key followed by exactly columns() cells.
    void addRow(std::int32_t key);
    void addCell(QStringView text);
    void addUtf8Cell(QByteArrayView utf8);
    void addNumberCell(std::int64_t value);
    void reserve(int rows, int charsPerRow);

private:
    std::size_t cellStart(std::size_t cell) const { return cell == 0 ? 0 : m_ends[cell - 1]; }

    int m_columns;
    std::vector<std::int32_t> m_keys;
    std::vector<std::size_t> m_ends; // per cell, where its text ends in m_text
    std::vector<char16_t> m_text;
};

} // namespace torvm
