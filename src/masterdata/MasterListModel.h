#pragma once

#include "db/Tables.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

namespace torvm {

class CTorvmDoc;

// The rows of a master data list (clubs, participants, groups) for a list window: sortable by any
// column and filtered by a search text that may stand anywhere in a row, with Unicode case
// folding ("öst" finds "Östermeier"). The rows are read once through the access classes; sorting
// and filtering work on them in memory, so 50 000 participants stay quick.
class MasterListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString title;
        bool numeric = false; // sorted by value, shown right-aligned
    };

    explicit MasterListModel(std::vector<Column> columns, QObject* parent = nullptr);

    // Replaces the rows; filter and sort order stay.
    void setRows(std::vector<ListRow> rows);
    void setFilter(const QString& text);
    const QString& filter() const { return m_filter; }

    // The key of a shown row; 0 outside.
    std::int32_t keyAt(int row) const;
    // The shown row of key, or -1.
    int rowOfKey(std::int32_t key) const;
    int totalCount() const { return static_cast<int>(m_rows.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void order();
    void refilter();

    std::vector<Column> m_columns;
    std::vector<ListRow> m_rows;
    std::vector<QString> m_folded; // per row: its cells, case folded, for the search
    std::vector<int> m_sorted;     // all rows in sort order
    std::vector<int> m_shown;      // the rows of m_sorted that match the filter
    QString m_filter;              // case folded
    int m_sortColumn = -1;         // -1: as read
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

enum class MasterList { Clubs, Participants, Groups };

// An empty model with the columns of kind.
std::unique_ptr<MasterListModel> makeListModel(MasterList kind, QObject* parent = nullptr);
// Reads the rows of kind afresh into model; false on a database error (shown).
bool loadList(MasterList kind, CTorvmDoc& doc, MasterListModel& model);

} // namespace torvm
