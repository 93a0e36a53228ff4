#include "db/Recordset.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <unordered_map>

namespace torvm {

namespace {

// The statements a table needs, built once from its field exchange.
struct TableSql {
    std::vector<std::string> columns;
    std::string selectPrefix; // SELECT rowid, "c1", ... FROM "T"
    std::string insert;
    std::string update; // ... WHERE rowid = ?
    // Full statements already composed, by "where\x1forder" and by key column.
    std::unordered_map<std::string, std::string> selects;
    std::unordered_map<std::string, std::string> upserts;
};

class ColumnCollector final : public FieldExchange {
public:
    std::vector<std::string> names;
    void Long(const char* c, std::int32_t&) override { names.emplace_back(c); }
    void Short(const char* c, std::int16_t&) override { names.emplace_back(c); }
    void Text(const char* c, QString&) override { names.emplace_back(c); }
    void Date(const char* c, DateTime&) override { names.emplace_back(c); }
};

std::string quoted(const std::string& name)
{
    return '"' + name + '"';
}

TableSql& tableSql(CRecordset& rs)
{
    static std::mutex mutex;
    static std::unordered_map<std::string, TableSql> cache;
    const std::lock_guard lock(mutex);
    auto [it, inserted] = cache.try_emplace(rs.TableName());
    if (!inserted)
        return it->second;

    TableSql& sql = it->second;
    // Collect over a snapshot so the caller's members stay as they are.
    const CRecordset::Row aside = rs.SaveBuffer();
    ColumnCollector names;
    rs.DoFieldExchange(names);
    rs.RestoreBuffer(aside);
    sql.columns = std::move(names.names);

    const std::string table = quoted(rs.TableName());
    std::string list, marks, sets;
    for (const auto& c : sql.columns) {
        const char* sep = list.empty() ? "" : ", ";
        list += sep + quoted(c);
        marks += std::string(sep) + "?";
        sets += sep + quoted(c) + " = ?";
    }
    sql.selectPrefix = "SELECT rowid, " + list + " FROM " + table;
    sql.insert = "INSERT INTO " + table + " (" + list + ") VALUES (" + marks + ")";
    sql.update = "UPDATE " + table + " SET " + sets + " WHERE rowid = ?";
    return sql;
}

// A visitor that walks the members with their position and Null state.
class IndexedExchange : public FieldExchange {
public:
    explicit IndexedExchange(std::vector<bool>& null)
        : m_null(null)
    {
    }

protected:
    // The Null state of the member at the current position; moves on.
    std::vector<bool>::reference nextState()
    {
        if (m_null.size() <= m_index)
            m_null.resize(m_index + 1);
        return m_null[m_index++];
    }
    void skip() { ++m_index; }
    std::vector<bool>& m_null;
    std::size_t m_index = 0;
};

// Members -> row values. A number member standing for Null, and a Null date, become Null, so a
// Null read stays Null written; the marker's number as a real value stays that number.
class ToRow final : public FieldExchange {
public:
    explicit ToRow(const std::vector<bool>& null)
        : m_null(null)
    {
    }
    CRecordset::Row row;
    void Long(const char*, std::int32_t& v) override
    {
        row.push_back(isNull(v == kNullLong) ? SqlValue{} : SqlValue{std::int64_t{v}});
    }
    void Short(const char*, std::int16_t& v) override
    {
        row.push_back(isNull(v == kNullShort) ? SqlValue{} : SqlValue{std::int64_t{v}});
    }
    void Text(const char*, QString& v) override { row.push_back(v); }
    void Date(const char*, DateTime& v) override { row.push_back(v.isValid() ? SqlValue{v.toStorage()} : SqlValue{}); }

private:
    bool isNull(bool holdsMarker) const
    {
        const std::size_t i = row.size();
        return holdsMarker && i < m_null.size() && m_null[i];
    }
    const std::vector<bool>& m_null;
};

// Row values -> members, with the markers for Null.
class FromRow final : public IndexedExchange {
public:
    FromRow(const CRecordset::Row& r, std::vector<bool>& null)
        : IndexedExchange(null)
        , row(r)
    {
    }
    const CRecordset::Row& row;
    std::size_t i = 0;

    const SqlValue& next() { return row.at(i++); }
    static std::int64_t number(const SqlValue& v)
    {
        if (const auto* n = std::get_if<std::int64_t>(&v))
            return *n;
        return std::get<QString>(v).trimmed().toLongLong();
    }
    void Long(const char*, std::int32_t& v) override
    {
        const SqlValue& s = next();
        const bool null = std::holds_alternative<std::monostate>(s);
        nextState() = null;
        v = null ? kNullLong : static_cast<std::int32_t>(number(s));
    }
    void Short(const char*, std::int16_t& v) override
    {
        const SqlValue& s = next();
        const bool null = std::holds_alternative<std::monostate>(s);
        nextState() = null;
        v = null ? kNullShort : static_cast<std::int16_t>(number(s));
    }
    void Text(const char*, QString& v) override
    {
        skip();
        const SqlValue& s = next();
        if (const auto* t = std::get_if<QString>(&s))
            v = *t;
        else if (const auto* n = std::get_if<std::int64_t>(&s))
            v = QString::number(*n);
        else
            v = QString();
    }
    void Date(const char*, DateTime& v) override
    {
        skip();
        const SqlValue& s = next();
        if (const auto* t = std::get_if<QString>(&s))
            v = DateTime::fromStorage(*t);
        else
            v = DateTime();
    }
};

// Sets the Null state of one number member (target) or of all (target null); Null puts the
// marker in. A text or date member as target is left alone.
class SetNullState final : public IndexedExchange {
public:
    SetNullState(std::vector<bool>& null, const void* target, bool state)
        : IndexedExchange(null)
        , m_target(target)
        , m_state(state)
    {
    }
    void Long(const char*, std::int32_t& v) override { apply(v, kNullLong); }
    void Short(const char*, std::int16_t& v) override { apply(v, kNullShort); }
    void Text(const char*, QString&) override { skip(); }
    void Date(const char*, DateTime&) override { skip(); }

private:
    template <typename T> void apply(T& v, T marker)
    {
        auto state = nextState();
        if (m_target && m_target != &v)
            return;
        state = m_state;
        if (m_state)
            v = marker;
    }
    const void* m_target;
    bool m_state;
};

// Empties every member: numbers to Null (the marker) or, for a new row, to 0 as the file's
// defaults; texts and dates to empty.
class ClearFields final : public IndexedExchange {
public:
    ClearFields(std::vector<bool>& null, bool toNull)
        : IndexedExchange(null)
        , m_toNull(toNull)
    {
    }
    void Long(const char*, std::int32_t& v) override
    {
        nextState() = m_toNull;
        v = m_toNull ? kNullLong : 0;
    }
    void Short(const char*, std::int16_t& v) override
    {
        nextState() = m_toNull;
        v = m_toNull ? kNullShort : std::int16_t{0};
    }
    void Text(const char*, QString& v) override
    {
        skip();
        v.clear();
    }
    void Date(const char*, DateTime& v) override
    {
        skip();
        v = DateTime();
    }

private:
    bool m_toNull;
};

// Whether the number member target stands for Null.
class NullOf final : public FieldExchange {
public:
    NullOf(const std::vector<bool>& null, const void* target)
        : m_null(null)
        , m_target(target)
    {
    }
    bool result = false;
    void Long(const char*, std::int32_t& v) override { check(&v, v == kNullLong); }
    void Short(const char*, std::int16_t& v) override { check(&v, v == kNullShort); }
    void Text(const char*, QString&) override { ++m_index; }
    void Date(const char*, DateTime&) override { ++m_index; }

private:
    void check(const void* member, bool holdsMarker)
    {
        if (member == m_target)
            result = holdsMarker && m_index < m_null.size() && m_null[m_index];
        ++m_index;
    }
    const std::vector<bool>& m_null;
    const void* m_target;
    std::size_t m_index = 0;
};

SqlValue columnValue(const Statement& st, int column)
{
    switch (st.type(column)) {
    case Statement::Type::Null:
        return {};
    case Statement::Type::Integer:
        return st.int64(column);
    case Statement::Type::Real:
        return static_cast<std::int64_t>(st.real(column));
    default:
        return st.text(column);
    }
}

} // namespace

CRecordset::CRecordset(Database* db, const CompetitionSource* doc)
    : m_db(db)
    , m_doc(doc)
{
}

CRecordset::~CRecordset() = default;

QString CRecordset::GetDefaultSQL() const
{
    return QStringLiteral("[%1]").arg(QString::fromUtf8(TableName()));
}

bool CRecordset::ensureConnection()
{
    if (m_db)
        return true;
    if (!m_doc || m_doc->path().isEmpty()) {
        m_error = {1, QStringLiteral("Keine Wettkampfdatei geöffnet.")};
        return false;
    }
    m_ownDb = Database::open(m_doc->path(), Database::Mode::ReadWrite, &m_error);
    m_db = m_ownDb.get();
    return m_db != nullptr;
}

bool CRecordset::Open()
{
    m_error = {};
    if (!ensureConnection())
        return false;
    // Preparing the full select proves that the table and every bound column exist.
    Statement st = m_db->prepare(tableSql(*this).selectPrefix + " LIMIT 0");
    if (!st.valid() || !st.exec())
        return fail();
    m_open = true;
    m_rows.clear();
    m_pos = -1;
    SetFieldsNull();
    return true;
}

void CRecordset::Close()
{
    m_open = false;
    m_rows.clear();
    m_pos = -1;
    m_mode = EditMode::None;
}

bool CRecordset::fail()
{
    m_error = m_db ? m_db->lastError() : m_error;
    if (!m_error)
        m_error = {1, QStringLiteral("Unbekannter Datenbankfehler.")};
    return false;
}

bool CRecordset::Select(const char* where, std::initializer_list<SqlValue> params, const char* orderBy)
{
    m_rows.clear();
    m_pos = -1;
    m_mode = EditMode::None;
    m_error = {};
    if (!m_db && !ensureConnection()) {
        SetFieldsNull();
        return false;
    }
    TableSql& sql = tableSql(*this);
    std::string& text = sql.selects[std::string(where ? where : "") + '\x1f' + (orderBy ? orderBy : "")];
    if (text.empty()) {
        text = sql.selectPrefix;
        if (where)
            text.append(" WHERE ").append(where);
        if (orderBy)
            text.append(" ORDER BY ").append(orderBy);
    }

    {
        Statement st = m_db->prepare(text);
        int index = 1;
        for (const SqlValue& p : params)
            st.bind(index++, p);
        const int columns = static_cast<int>(sql.columns.size());
        while (st.next()) {
            Stored row{st.int64(0), {}};
            row.values.reserve(columns);
            for (int c = 1; c <= columns; ++c)
                row.values.push_back(columnValue(st, c));
            m_rows.push_back(std::move(row));
        }
        if (!st.valid() || st.failed()) {
            m_rows.clear();
            SetFieldsNull();
            return fail();
        }
    }
    m_pos = m_rows.empty() ? -1 : 0;
    loadCurrent();
    return true;
}

void CRecordset::loadCurrent()
{
    if (m_pos < 0 || m_pos >= static_cast<int>(m_rows.size())) {
        SetFieldsNull();
        return;
    }
    FromRow fx(m_rows[m_pos].values, m_null);
    DoFieldExchange(fx);
}

bool CRecordset::IsEOF() const
{
    return m_pos < 0 || m_pos >= static_cast<int>(m_rows.size());
}

bool CRecordset::IsBOF() const
{
    return m_rows.empty() || m_pos < 0;
}

void CRecordset::MoveFirst()
{
    m_pos = m_rows.empty() ? -1 : 0;
    loadCurrent();
}

void CRecordset::MoveNext()
{
    if (m_pos >= 0 && m_pos < static_cast<int>(m_rows.size()))
        ++m_pos;
    loadCurrent();
}

void CRecordset::MovePrev()
{
    if (m_pos > 0)
        --m_pos;
    else
        m_pos = -1;
    loadCurrent();
}

void CRecordset::MoveLast()
{
    m_pos = static_cast<int>(m_rows.size()) - 1;
    loadCurrent();
}

int CRecordset::CountRows()
{
    m_error = {};
    if (!ensureConnection())
        return -1;
    Statement st = m_db->prepare(std::string("SELECT COUNT(*) FROM ") + quoted(TableName()));
    if (!st.next()) {
        fail();
        return -1;
    }
    return static_cast<int>(st.int64(0));
}

const std::vector<std::string>& CRecordset::Columns()
{
    return tableSql(*this).columns;
}

void CRecordset::AddNew()
{
    ClearFields fx(m_null, false);
    DoFieldExchange(fx);
    m_mode = EditMode::Add;
}

void CRecordset::Edit()
{
    m_mode = IsEOF() ? EditMode::None : EditMode::Edit;
}

bool CRecordset::Update()
{
    m_error = {};
    if (!m_db || m_mode == EditMode::None) {
        m_error = {1, QStringLiteral("Kein Datensatz zum Schreiben ausgewählt.")};
        return false;
    }
    const TableSql& sql = tableSql(*this);
    const Row values = SaveBuffer();
    const bool adding = m_mode == EditMode::Add;
    Statement st = m_db->prepare(adding ? sql.insert : sql.update);
    int index = 1;
    for (const SqlValue& v : values)
        st.bind(index++, v);
    if (!adding)
        st.bind(index, m_rows[m_pos].rowid);
    if (!st.exec())
        return fail();
    if (!adding)
        m_rows[m_pos].values = values;
    m_mode = EditMode::None;
    return true;
}

CRecordset::Row CRecordset::SaveBuffer()
{
    ToRow fx(m_null);
    DoFieldExchange(fx);
    return std::move(fx.row);
}

void CRecordset::RestoreBuffer(const Row& row)
{
    FromRow fx(row, m_null);
    DoFieldExchange(fx);
}

void CRecordset::SetFieldsNull()
{
    ClearFields fx(m_null, true);
    DoFieldExchange(fx);
}

void CRecordset::SetNumberOrNone(std::int32_t& field, std::int32_t value)
{
    if (value == 0 && IsFieldNull(&field))
        return;
    field = value;
    SetFieldNull(&field, false);
}

bool CRecordset::IsFieldNull(const void* field) const
{
    NullOf fx(m_null, field);
    // The visit only reads the members.
    const_cast<CRecordset*>(this)->DoFieldExchange(fx);
    return fx.result;
}

void CRecordset::SetFieldNull(const void* field, bool null)
{
    SetNullState fx(m_null, field, null);
    DoFieldExchange(fx);
}

bool CRecordset::UpsertBuffer(const char* keyColumn, const SqlValue& key)
{
    m_error = {};
    if (!ensureConnection())
        return false;
    TableSql& sql = tableSql(*this);
    Row values = SaveBuffer();
    // The key is the key, even where its member held the marker's number after a select of nothing.
    const auto keyAt = std::find(sql.columns.begin(), sql.columns.end(), keyColumn);
    if (keyAt != sql.columns.end())
        values[std::size_t(keyAt - sql.columns.begin())] = key;

    // With the key's unique index one statement adds or edits the row; a file whose key lost
    // its index (made by another tool) goes the long way: select, then add or edit.
    std::string& upsert = sql.upserts[keyColumn];
    if (upsert.empty()) {
        // The key is left out of the update: rewriting it, even unchanged, rewrites its index.
        upsert = sql.insert + " ON CONFLICT (" + quoted(keyColumn) + ") DO UPDATE SET ";
        const char* sep = "";
        for (const std::string& column : sql.columns) {
            if (column == keyColumn)
                continue;
            upsert += sep + quoted(column) + " = excluded." + quoted(column);
            sep = ", ";
        }
    }
    Statement st = m_db->prepare(upsert);
    if (st.valid()) {
        int index = 1;
        for (const SqlValue& v : values)
            st.bind(index++, v);
        return st.exec() || fail();
    }
    m_db->clearError();
    const std::string where = quoted(keyColumn) + " = ?";
    if (!Select(where.c_str(), {key}))
        return false;
    if (IsEOF())
        AddNew();
    else
        Edit();
    RestoreBuffer(values);
    return Update();
}

} // namespace torvm
