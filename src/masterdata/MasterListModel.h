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
// and filtering work on them in memory, so 50 000 participants stay quick. The folded texts for
// the search are made on the first search, not when the list opens.
class MasterListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString title;
        bool numeric = false; // sorted by value, shown right-aligned
        int width = 12;       // in average characters, so the view need not measure the rows
    };

    explicit MasterListModel(std::vector<Column> columns, QObject* parent = nullptr);

    // Replaces the rows; filter and sort order stay.
    void setRows(MasterRows rows);
    void setFilter(const QString& text);
    const QString& filter() const { return m_filter; }

    // The key of a shown row; 0 outside.
    std::int32_t keyAt(int row) const;
    // The shown row of key, or -1.
    int rowOfKey(std::int32_t key) const;
    int totalCount() const { return m_rows.size(); }
    int columnWidth(int column) const { return m_columns[static_cast<std::size_t>(column)].width; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void order();
    void refilter();
    void foldRows();

    std::vector<Column> m_columns;
    MasterRows m_rows;
    // The cells of all rows in the German form, each cell followed by a line break so that a search never
    // runs from one cell into the next; m_foldedEnds[row] is where a row ends. Empty until needed.
    std::vector<char16_t> m_folded;
    std::vector<std::size_t> m_foldedEnds;
    std::vector<int> m_sorted; // all rows in sort order
    std::vector<int> m_shown;  // the rows of m_sorted that match the filter
    QString m_filter;          // in the German form (see germanFolded), words apart by one blank
    int m_sortColumn = -1;     // -1: as read
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

enum class MasterList { Clubs, Participants, Groups };

// An empty model with the columns of kind.
std::unique_ptr<MasterListModel> makeListModel(MasterList kind, QObject* parent = nullptr);
// Reads the rows of kind afresh into model; false on a database error (shown).
bool loadList(MasterList kind, CTorvmDoc& doc, MasterListModel& model);

} // namespace torvm
