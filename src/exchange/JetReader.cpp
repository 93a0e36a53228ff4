#include "exchange/JetReader.h"

#include "db/SafeFile.h"
#include "exchange/JetFile.h"
#include "exchange/JetStream.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <memory>

#include <unistd.h>

// The library's header pulls in glib inside its own extern "C" block, which C++ refuses unless
// glib was seen first.
#include <glib.h>

#include <mdbtools.h>

namespace torvm {

namespace {

constexpr qsizetype kFlushAt = 256 * 1024;
constexpr unsigned kOffsetMask = 0x1fff;
constexpr unsigned kDeletedRow = 0x4000;
constexpr unsigned kOverflowRow = 0x8000;

struct HandleCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableFree {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
struct GFree {
    void operator()(char* text) const { g_free(text); }
};

class FrameOut {
public:
    explicit FrameOut(int fd)
        : m_fd(fd)
    {
        m_buffer.reserve(2 * kFlushAt);
        m_buffer.append(jetframe::kMagic, sizeof jetframe::kMagic);
    }
    QByteArray& buffer() { return m_buffer; }
    bool flushIfFull() { return m_buffer.size() < kFlushAt || flush(); }
    bool flush()
    {
        qsizetype done = 0;
        while (done < m_buffer.size()) {
            const ssize_t n = ::write(m_fd, m_buffer.constData() + done, size_t(m_buffer.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += n;
        }
        m_buffer.clear();
        return true;
    }

private:
    int m_fd;
    QByteArray m_buffer;
};

std::uint32_t le32(const QByteArray& page, int at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(page.constData() + at);
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

unsigned le16(const QByteArray& page, int at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(page.constData() + at);
    return unsigned(p[0]) | (unsigned(p[1]) << 8);
}

// Checks on the raw pages what the library takes on trust when it loads a table definition:
// that the definition page is one, and that its page-usage and free-space maps are rows that
// exist (a missing or too short usage map sends the library reading through random memory).
class PageCheck {
public:
    explicit PageCheck(const QString& path)
    {
        m_ok = openForReading(m_file, path);
        m_pageSize = jetPageSize(path);
        m_jet3 = m_pageSize == 2048;
        m_pages = m_ok ? m_file.size() / m_pageSize : 0;
    }

    bool tableDefinition(unsigned long page, QString* why)
    {
        QByteArray def;
        if (!readPage(page, &def) || def.at(0) != 0x02) {
            *why = QStringLiteral("Seite %1 ist keine Tabellendefinition").arg(page);
            return false;
        }
        const int usageAt = m_jet3 ? 35 : 55;
        const int freeAt = m_jet3 ? 39 : 59;
        if (!mapRow(le32(def, usageAt), 5) || !mapRow(le32(def, freeAt), 1)) {
            *why = QStringLiteral("die Seitenbelegung der Tabelle auf Seite %1 ist beschädigt").arg(page);
            return false;
        }
        return true;
    }

    // Rows the system catalog's definition claims.
    unsigned catalogRows()
    {
        QByteArray def;
        return readPage(2, &def) ? unsigned(le32(def, m_jet3 ? 12 : 16)) : 0;
    }

private:
    bool readPage(qint64 page, QByteArray* out)
    {
        if (!m_ok || page <= 0 || page >= m_pages || !m_file.seek(page * m_pageSize))
            return false;
        *out = m_file.read(m_pageSize);
        return out->size() == m_pageSize;
    }

    bool mapRow(std::uint32_t pointer, int minLength)
    {
        QByteArray page;
        if (!readPage(pointer >> 8, &page))
            return false;
        const unsigned row = pointer & 0xff;
        const int countAt = m_jet3 ? 0x08 : 0x0c;
        if (row >= le16(page, countAt) || countAt + 2 + int(row) * 2 + 2 > m_pageSize)
            return false;
        const unsigned start = le16(page, countAt + 2 + int(row) * 2) & kOffsetMask;
        const unsigned end = row == 0 ? unsigned(m_pageSize) : le16(page, countAt + int(row) * 2) & kOffsetMask;
        return start < end && end <= unsigned(m_pageSize) && int(end - start) >= minLength;
    }

    QFile m_file;
    bool m_ok = false;
    bool m_jet3 = false;
    int m_pageSize = 4096;
    qint64 m_pages = 0;
};

JetType jetType(int columnType)
{
    switch (columnType) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_DATETIME:
    case MDB_BINARY:
    case MDB_TEXT:
    case MDB_OLE:
    case MDB_MEMO:
    case MDB_REPID:
    case MDB_NUMERIC:
        return static_cast<JetType>(columnType);
    default:
        return JetType::Other;
    }
}

// Bytes a fixed-size value of the type takes in a row.
int fixedSize(JetType type)
{
    switch (type) {
    case JetType::Byte:
        return 1;
    case JetType::Short:
        return 2;
    case JetType::Long:
    case JetType::Float:
        return 4;
    case JetType::Money:
    case JetType::Double:
    case JetType::DateTime:
        return 8;
    default:
        return 0;
    }
}

void putKind(QByteArray& out, JetValue::Kind kind)
{
    jetframe::putU8(out, static_cast<std::uint8_t>(kind));
}

class TableDumper {
public:
    TableDumper(MdbHandle* mdb, MdbTableDef* table, FrameOut& out)
        : m_mdb(mdb)
        , m_table(table)
        , m_out(out)
    {
        for (unsigned i = 0; i < table->num_cols; ++i) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
            m_types.push_back(jetType(column->col_type));
        }
    }

    // Walks the table's data pages itself rather than through the library's row fetch, which
    // skips rows it cannot decode without a word: here each one is counted.
    bool dump(std::uint32_t* read, std::uint32_t* unreadable)
    {
        const int countAt = m_mdb->fmt->row_count_offset;
        const unsigned pageSize = unsigned(m_mdb->fmt->pg_size);
        mdb_rewind_table(m_table);
        while (mdb_read_next_dpg(m_table)) {
            const unsigned char* page = m_mdb->pg_buf;
            if (page[0] != 0x01 || std::uint32_t(mdb_get_int32(m_mdb->pg_buf, 4)) != m_table->entry->table_pg)
                continue; // a page the usage map claims but another object owns
            const int rows = mdb_get_int16(m_mdb->pg_buf, countAt);
            if (rows < 0 || unsigned(countAt + 2 + rows * 2) > pageSize) {
                ++*unreadable;
                continue;
            }
            for (int r = 0; r < rows; ++r) {
                int start = 0;
                size_t size = 0;
                if (mdb_find_row(m_mdb, r, &start, &size) != 0) {
                    ++*unreadable;
                    continue;
                }
                if (unsigned(start) & kDeletedRow)
                    continue;
                if ((unsigned(start) & kOverflowRow) || size == 0 || !row(int(unsigned(start) & kOffsetMask), size)) {
                    ++*unreadable;
                    continue;
                }
                ++*read;
                if (!m_out.flushIfFull())
                    return false;
            }
        }
        return true;
    }

private:
    bool row(int start, size_t size)
    {
        const int count = mdb_crack_row(m_table, start, size, m_fields);
        if (count < 0)
            return false;
        const int end = start + int(size);
        QByteArray& out = m_out.buffer();
        const qsizetype rollback = out.size();
        const qsizetype lengthAt = jetframe::begin(out, jetframe::Row);
        for (unsigned i = 0; i < m_table->num_cols; ++i) {
            if (!value(m_types[i], m_fields[i], start, end, out)) {
                out.truncate(rollback);
                return false;
            }
        }
        jetframe::finish(out, lengthAt);
        return true;
    }

    bool value(JetType type, const MdbField& field, int rowStart, int rowEnd, QByteArray& out)
    {
        if (type == JetType::Bool) {
            putKind(out, field.is_null ? JetValue::Kind::False : JetValue::Kind::True);
            return true;
        }
        if (field.is_null) {
            putKind(out, JetValue::Kind::Null);
            return true;
        }
        if (field.siz < 0 || field.start < rowStart || field.start + field.siz > rowEnd)
            return false;
        const int need = fixedSize(type);
        if (need > 0 && field.siz < need)
            return false;
        void* buf = m_mdb->pg_buf;
        switch (type) {
        case JetType::Byte:
            putKind(out, JetValue::Kind::Integer);
            jetframe::putU32(out, mdb_get_byte(buf, field.start));
            return true;
        case JetType::Short:
            putKind(out, JetValue::Kind::Integer);
            jetframe::putU32(out, std::uint32_t(std::int32_t(std::int16_t(mdb_get_int16(buf, field.start)))));
            return true;
        case JetType::Long:
            putKind(out, JetValue::Kind::Integer);
            jetframe::putU32(out, std::uint32_t(mdb_get_int32(buf, field.start)));
            return true;
        case JetType::Float:
            putKind(out, JetValue::Kind::Real);
            jetframe::putF64(out, double(mdb_get_single(buf, field.start)));
            return true;
        case JetType::Double:
        case JetType::DateTime:
            putKind(out, JetValue::Kind::Real);
            jetframe::putF64(out, mdb_get_double(buf, field.start));
            return true;
        case JetType::Money: {
            std::int64_t scaled = 0;
            std::memcpy(&scaled, m_mdb->pg_buf + field.start, sizeof scaled);
            putKind(out, JetValue::Kind::Real);
            jetframe::putF64(out, double(scaled) / 10000.0);
            return true;
        }
        case JetType::Text:
        case JetType::Memo:
        case JetType::Guid:
        case JetType::Numeric: {
            const std::unique_ptr<char, GFree> text(
                mdb_col_to_string(m_mdb, m_mdb->pg_buf, field.start, int(type), field.siz));
            putKind(out, JetValue::Kind::Text);
            jetframe::putString(out, text ? QByteArray(text.get()) : QByteArray());
            return true;
        }
        case JetType::Bool:
        case JetType::Binary:
        case JetType::Ole:
        case JetType::Other:
            break;
        }
        putKind(out, JetValue::Kind::Null);
        return true;
    }

    MdbHandle* m_mdb;
    MdbTableDef* m_table;
    FrameOut& m_out;
    std::vector<JetType> m_types;
    MdbField m_fields[MDB_MAX_COLS];
};

int refuse(FrameOut& out, const QString& why)
{
    const qsizetype at = jetframe::begin(out.buffer(), jetframe::Failure);
    jetframe::putString(out.buffer(), why.toUtf8());
    jetframe::finish(out.buffer(), at);
    out.flush();
    return 3;
}

bool wanted(const QStringList& tables, const char* name)
{
    return tables.isEmpty() || tables.contains(QString::fromUtf8(name), Qt::CaseInsensitive);
}

} // namespace

int dumpJetFile(const QString& path, const QStringList& tables, int fd)
{
    FrameOut out(fd);
    QString why;
    if (!checkJetFile(path, &why))
        return refuse(out, why);
    PageCheck pages(path);
    if (!pages.tableDefinition(2, &why))
        return refuse(out, why);

    const std::unique_ptr<MdbHandle, HandleCloser> mdb(mdb_open(nativeFileName(path).constData(), MDB_NOFLAGS));
    if (!mdb)
        return refuse(out, QStringLiteral("die Datei lässt sich nicht öffnen"));
    if (!mdb_read_catalog(mdb.get(), MDB_ANY))
        return refuse(out, QStringLiteral("das Inhaltsverzeichnis ist nicht lesbar"));
    // The catalog's own definition says how many objects it lists; fewer means lost pages.
    if (mdb->num_catalog < pages.catalogRows())
        return refuse(out, QStringLiteral("das Inhaltsverzeichnis ist unvollständig"));

    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || !mdb_is_user_table(entry) || !wanted(tables, entry->object_name))
            continue;
        QByteArray& buffer = out.buffer();
        std::uint32_t read = 0;
        std::uint32_t unreadable = 0;
        bool broken = !pages.tableDefinition(entry->table_pg, &why);
        std::unique_ptr<MdbTableDef, TableFree> table(broken ? nullptr : mdb_read_table(entry));
        // The column list has to be read straight after the definition: any other read on the
        // handle in between changes the page it is taken from.
        if (table && (!mdb_read_columns(table.get()) || table->num_cols > MDB_MAX_COLS))
            table.reset();
        broken = !table;

        qsizetype at = jetframe::begin(buffer, jetframe::TableBegin);
        jetframe::putString(buffer, QByteArray(entry->object_name));
        jetframe::putU32(buffer, table ? table->num_cols : 0);
        for (unsigned c = 0; table && c < table->num_cols; ++c) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
            jetframe::putU8(buffer, static_cast<std::uint8_t>(jetType(column->col_type)));
            jetframe::putString(buffer, QByteArray(column->name));
        }
        jetframe::finish(buffer, at);

        if (table) {
            TableDumper dumper(mdb.get(), table.get(), out);
            if (!dumper.dump(&read, &unreadable))
                return 4; // the parent went away
            // Rows the definition counts but no page delivered were lost with their pages.
            if (read + unreadable < table->num_rows)
                unreadable = table->num_rows - read;
        }
        at = jetframe::begin(out.buffer(), jetframe::TableEnd);
        jetframe::putU32(out.buffer(), read);
        jetframe::putU32(out.buffer(), unreadable);
        jetframe::putU8(out.buffer(), broken ? 1 : 0);
        jetframe::finish(out.buffer(), at);
        if (!out.flushIfFull())
            return 4;
    }
    const qsizetype at = jetframe::begin(out.buffer(), jetframe::End);
    jetframe::finish(out.buffer(), at);
    return out.flush() ? 0 : 4;
}

} // namespace torvm
