#include "masterdata/MasterListModel.h"

#include "db/GermanText.h"
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

void MasterListModel::setRows(MasterRows rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_folded.clear();
    m_foldedEnds.clear();
    order();
    refilter();
    endResetModel();
}

void MasterListModel::foldRows()
{
    m_folded.reserve(static_cast<std::size_t>(m_rows.size()) * 64);
    m_foldedEnds.reserve(static_cast<std::size_t>(m_rows.size()));
    for (int row = 0; row < m_rows.size(); ++row) {
        for (int column = 0; column < m_rows.columns(); ++column) {
            appendGermanFolded(m_rows.cell(row, column), m_folded);
            m_folded.push_back(u'\n');
        }
        m_foldedEnds.push_back(m_folded.size());
    }
}

void MasterListModel::setFilter(const QString& text)
{
    const QString folded = germanFolded(text.simplified());
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
    return m_rows.key(m_shown[static_cast<std::size_t>(row)]);
}

int MasterListModel::rowOfKey(std::int32_t key) const
{
    for (std::size_t i = 0; i < m_shown.size(); ++i) {
        if (m_rows.key(m_shown[i]) == key)
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
    const int row = m_shown[static_cast<std::size_t>(index.row())];
    return index.column() < m_rows.columns() ? m_rows.cell(row, index.column()).toString() : QString();
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
    m_sorted.resize(static_cast<std::size_t>(m_rows.size()));
    std::iota(m_sorted.begin(), m_sorted.end(), 0);
    if (m_sortColumn < 0 || m_sortColumn >= m_rows.columns())
        return;
    const int column = m_sortColumn;
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    if (m_columns[static_cast<std::size_t>(column)].numeric) {
        std::vector<qint64> values(static_cast<std::size_t>(m_rows.size()));
        for (int row = 0; row < m_rows.size(); ++row)
            values[static_cast<std::size_t>(row)] = m_rows.cell(row, column).toLongLong();
        std::stable_sort(m_sorted.begin(), m_sorted.end(), [&](int x, int y) {
            const auto vx = values[static_cast<std::size_t>(x)];
            const auto vy = values[static_cast<std::size_t>(y)];
            return descending ? vy < vx : vx < vy;
        });
        return;
    }
    // German order, each text folded once rather than in every comparison.
    std::vector<QString> keys(static_cast<std::size_t>(m_rows.size()));
    for (int row = 0; row < m_rows.size(); ++row)
        keys[static_cast<std::size_t>(row)] = germanFolded(m_rows.cell(row, column));
    std::stable_sort(m_sorted.begin(), m_sorted.end(), [&](int x, int y) {
        int c = keys[static_cast<std::size_t>(x)].compare(keys[static_cast<std::size_t>(y)]);
        if (c == 0)
            c = m_rows.cell(x, column).compare(m_rows.cell(y, column));
        return descending ? c > 0 : c < 0;
    });
}

void MasterListModel::refilter()
{
    m_shown.clear();
    if (m_filter.isEmpty()) {
        m_shown = m_sorted;
        return;
    }
    if (m_foldedEnds.empty() && m_rows.size() > 0)
        foldRows();
    m_shown.reserve(m_sorted.size());
    // Every word within one cell: the cells are kept apart by line ends no word holds.
    std::vector<QStringView> words;
    for (const QStringView word : QStringView(m_filter).tokenize(u' ', Qt::SkipEmptyParts))
        words.push_back(word);
    for (const int row : m_sorted) {
        const std::size_t start = row == 0 ? 0 : m_foldedEnds[static_cast<std::size_t>(row) - 1];
        const QStringView text(m_folded.data() + start,
                               static_cast<qsizetype>(m_foldedEnds[static_cast<std::size_t>(row)] - start));
        if (std::all_of(words.begin(), words.end(), [text](QStringView word) { return text.contains(word); }))
            m_shown.push_back(row);
    }
}

std::unique_ptr<MasterListModel> makeListModel(MasterList kind, QObject* parent)
{
    using C = MasterListModel::Column;
    std::vector<C> columns;
    switch (kind) {
    case MasterList::Clubs:
        columns = {C{QStringLiteral("Nummer"), true, 7}, C{QStringLiteral("Verein"), false, 30},
                   C{QStringLiteral("Sortiername"), false, 20}, C{QStringLiteral("Ort"), false, 20}};
        break;
    case MasterList::Participants:
        columns = {C{QStringLiteral("Nummer"), true, 7},    C{QStringLiteral("Nachname"), false, 18},
                   C{QStringLiteral("Vorname"), false, 14}, C{QStringLiteral("Vereinsnummer"), true, 12},
                   C{QStringLiteral("Verein"), false, 26},  C{QStringLiteral("Ort"), false, 16}};
        break;
    case MasterList::Groups:
        columns = {C{QStringLiteral("Nummer"), true, 7}, C{QStringLiteral("Gruppe"), false, 20},
                   C{QStringLiteral("Anzahl"), true, 12}, C{QStringLiteral("Mannschaften"), false, 40}};
        break;
    }
    return std::make_unique<MasterListModel>(std::move(columns), parent);
}

namespace {

std::optional<MasterRows> groupRows(CTorvmDoc& doc)
{
    CGruppeTable groups(doc.GetDatabase(), &doc);
    if (!groups.OpenTable())
        return std::nullopt;
    if (!groups.Select(nullptr, {}, R"("ID")"))
        return std::nullopt;
    MasterRows rows(4);
    for (; !groups.IsEOF(); groups.MoveNext()) {
        QStringList teams;
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (groups.SlotUsed(slot))
                teams << QStringLiteral("M%1 %2").arg(slot).arg(groups.TeamName(slot));
        }
        rows.addRow(groups.m_ID);
        rows.addNumberCell(std::int64_t{groups.m_ID} + 1);
        rows.addCell(groups.m_Name);
        rows.addNumberCell(teams.size());
        rows.addCell(teams.join(QStringLiteral(", ")));
    }
    return rows;
}

} // namespace

bool loadList(MasterList kind, CTorvmDoc& doc, MasterListModel& model)
{
    std::optional<MasterRows> rows;
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
        model.setRows(MasterRows(model.columnCount()));
        return false;
    }
    model.setRows(std::move(*rows));
    return true;
}

} // namespace torvm
