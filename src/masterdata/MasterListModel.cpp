#include "masterdata/MasterListModel.h"

#include "db/Messages.h"
#include "document/TorvmDoc.h"

#include <algorithm>
#include <numeric>

namespace torvm {

MasterListModel::MasterListModel(std::vector<Column> columns, QObject* parent)
    : QAbstractTableModel(parent)
    , m_columns(std::move(columns))
{
}

void MasterListModel::setRows(std::vector<ListRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_folded.clear();
    m_folded.reserve(m_rows.size());
    for (const ListRow& row : m_rows) {
        QString text;
        for (const QString& cell : row.cells) {
            text += cell;
            text += QLatin1Char('\n'); // a search never runs from one cell into the next
        }
        m_folded.push_back(text.toCaseFolded());
    }
    order();
    refilter();
    endResetModel();
}

void MasterListModel::setFilter(const QString& text)
{
    const QString folded = text.trimmed().toCaseFolded();
    if (folded == m_filter)
        return;
    beginResetModel();
    m_filter = folded;
    refilter();
    endResetModel();
}

std::int32_t MasterListModel::keyAt(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_shown.size()))
        return 0;
    return m_rows[static_cast<std::size_t>(m_shown[static_cast<std::size_t>(row)])].key;
}

int MasterListModel::rowOfKey(std::int32_t key) const
{
    for (std::size_t i = 0; i < m_shown.size(); ++i) {
        if (m_rows[static_cast<std::size_t>(m_shown[i])].key == key)
            return static_cast<int>(i);
    }
    return -1;
}

int MasterListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_shown.size());
}

int MasterListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant MasterListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[column].numeric ? Qt::AlignRight | Qt::AlignVCenter
                                                             : Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const ListRow& row = m_rows[static_cast<std::size_t>(m_shown[static_cast<std::size_t>(index.row())])];
    return column < row.cells.size() ? row.cells[column] : QString();
}

QVariant MasterListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return {};
    return m_columns[static_cast<std::size_t>(section)].title;
}

void MasterListModel::sort(int column, Qt::SortOrder order)
{
    if (column >= columnCount())
        return;
    beginResetModel();
    m_sortColumn = column;
    m_sortOrder = order;
    this->order();
    refilter();
    endResetModel();
}

void MasterListModel::order()
{
    m_sorted.resize(m_rows.size());
    std::iota(m_sorted.begin(), m_sorted.end(), 0);
    if (m_sortColumn < 0)
        return;
    const auto column = static_cast<std::size_t>(m_sortColumn);
    auto cell = [this, column](int row) -> const QString& {
        static const QString none;
        const ListRow& r = m_rows[static_cast<std::size_t>(row)];
        return column < r.cells.size() ? r.cells[column] : none;
    };
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    if (m_columns[column].numeric) {
        std::vector<qint64> values(m_rows.size());
        for (std::size_t i = 0; i < m_rows.size(); ++i)
            values[i] = cell(static_cast<int>(i)).toLongLong();
        std::stable_sort(m_sorted.begin(), m_sorted.end(), [&](int x, int y) {
            const auto vx = values[static_cast<std::size_t>(x)];
            const auto vy = values[static_cast<std::size_t>(y)];
            return descending ? vy < vx : vx < vy;
        });
        return;
    }
    std::stable_sort(m_sorted.begin(), m_sorted.end(), [&](int x, int y) {
        const int c = cell(x).compare(cell(y), Qt::CaseInsensitive);
        return descending ? c > 0 : c < 0;
    });
}

void MasterListModel::refilter()
{
    m_shown.clear();
    m_shown.reserve(m_sorted.size());
    for (const int row : m_sorted) {
        if (m_filter.isEmpty() || m_folded[static_cast<std::size_t>(row)].contains(m_filter))
            m_shown.push_back(row);
    }
}

std::unique_ptr<MasterListModel> makeListModel(MasterList kind, QObject* parent)
{
    using C = MasterListModel::Column;
    std::vector<C> columns;
    switch (kind) {
    case MasterList::Clubs:
        columns = {C{QStringLiteral("Nummer"), true}, C{QStringLiteral("Verein")}, C{QStringLiteral("Sortiername")},
                   C{QStringLiteral("Ort")}};
        break;
    case MasterList::Participants:
        columns = {C{QStringLiteral("Nummer"), true}, C{QStringLiteral("Nachname")},
                   C{QStringLiteral("Vorname")},      C{QStringLiteral("Vereinsnummer"), true},
                   C{QStringLiteral("Verein")},       C{QStringLiteral("Ort")}};
        break;
    case MasterList::Groups:
        columns = {C{QStringLiteral("Nummer"), true}, C{QStringLiteral("Gruppe")},
                   C{QStringLiteral("Mannschaften"), true}, C{QStringLiteral("Teams")}};
        break;
    }
    return std::make_unique<MasterListModel>(std::move(columns), parent);
}

namespace {

std::optional<std::vector<ListRow>> groupRows(CTorvmDoc& doc)
{
    CGruppeTable groups(doc.GetDatabase(), &doc);
    if (!groups.OpenTable())
        return std::nullopt;
    std::vector<ListRow> rows;
    for (const ComboItem& item : groups.GroupComboItems()) {
        groups.LoadGroup(item.data);
        QStringList teams;
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (groups.SlotUsed(slot))
                teams << QStringLiteral("M%1 %2").arg(slot).arg(groups.TeamName(slot));
        }
        rows.push_back({item.data,
                        {QString::number(item.data + 1), item.text, QString::number(teams.size()),
                         teams.join(QStringLiteral(", "))}});
    }
    return rows;
}

} // namespace

bool loadList(MasterList kind, CTorvmDoc& doc, MasterListModel& model)
{
    std::optional<std::vector<ListRow>> rows;
    switch (kind) {
    case MasterList::Clubs:
        rows = CVereinTable(doc.GetDatabase(), &doc).ListRows();
        break;
    case MasterList::Participants:
        rows = CTeilnehmerTable(doc.GetDatabase(), &doc).ListRows();
        break;
    case MasterList::Groups:
        rows = groupRows(doc);
        break;
    }
    if (!rows) {
        showDatabaseError(doc.GetDatabase() ? doc.GetDatabase()->lastError().text : QString());
        model.setRows({});
        return false;
    }
    model.setRows(std::move(*rows));
    return true;
}

} // namespace torvm
