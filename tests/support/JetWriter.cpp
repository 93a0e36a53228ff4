#include "support/JetWriter.h"

#include <QFile>
#include <QSaveFile>

#include <array>
#include <cmath>
#include <cstring>

namespace torvm::test {

namespace {

constexpr int kPage = 4096;
constexpr int kCatalogDef = 2;
constexpr int kCatalogMap = 3;
constexpr int kCatalogData = 4;
constexpr int kFirstUserPage = 5;
constexpr int kTextBytes = 510; // 255 characters of UCS-2
constexpr int kRowsStart = 0x0e;

void put16(QByteArray& b, int at, unsigned v)
{
    b[at] = char(v & 0xff);
    b[at + 1] = char((v >> 8) & 0xff);
}

void put32(QByteArray& b, int at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}

void append16(QByteArray& b, unsigned v)
{
    b.append(char(v & 0xff));
    b.append(char((v >> 8) & 0xff));
}

bool isFixed(JetType type)
{
    return type != JetType::Text && type != JetType::Ole;
}

int fixedBytes(JetType type)
{
    switch (type) {
    case JetType::Byte:
        return 1;
    case JetType::Short:
        return 2;
    case JetType::Long:
        return 4;
    case JetType::Money:
    case JetType::Double:
    case JetType::DateTime:
        return 8;
    default:
        return 0;
    }
}

QByteArray ucs2(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (QChar c : text)
        append16(bytes, c.unicode());
    return bytes;
}

void rc4(QByteArray& data, int offset, int length, const std::array<unsigned char, 4>& key)
{
    std::array<unsigned char, 256> s{};
    for (int i = 0; i < 256; ++i)
        s[std::size_t(i)] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[std::size_t(i)] + key[std::size_t(i) % key.size()]) & 0xff;
        std::swap(s[std::size_t(i)], s[std::size_t(j)]);
    }
    for (int n = 0, i = 0, j = 0; n < length; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[std::size_t(i)]) & 0xff;
        std::swap(s[std::size_t(i)], s[std::size_t(j)]);
        data[offset + n] =
            char(data[offset + n] ^ char(s[std::size_t((s[std::size_t(i)] + s[std::size_t(j)]) & 0xff)]));
    }
}

QByteArray databasePage()
{
    QByteArray page(kPage, '\0');
    page[1] = 1;
    std::memcpy(page.data() + 4, "Standard Jet DB", 15);
    put32(page, 0x14, 1); // Jet 4
    put16(page, 0x3c, 1252);
    put32(page, 0x3e, 0); // no page encryption
    put16(page, 0x6e, 0x0409);
    rc4(page, 0x18, 128, {0xc7, 0xda, 0x39, 0x6b});
    return page;
}

// One row in the Jet 4 layout: column count, fixed values, variable values, their end and
// offsets in reverse, the variable count, and the null mask (bit set = value present).
QByteArray encodeRow(const std::vector<JetColumn>& columns, const JetRow& row, QString* error)
{
    const int count = int(columns.size());
    QByteArray out;
    append16(out, unsigned(count));
    QByteArray mask((count + 7) / 8, '\0');
    auto present = [&mask](int i) { mask[i / 8] = char(mask[i / 8] | (1 << (i % 8))); };
    for (int i = 0; i < count; ++i) {
        const JetType type = columns[std::size_t(i)].type;
        if (!isFixed(type))
            continue;
        const JetValue& v = row[std::size_t(i)];
        if (type == JetType::Bool) {
            if (v.kind == JetValue::Kind::True)
                present(i);
            continue;
        }
        QByteArray bytes(fixedBytes(type), '\0');
        if (!v.isNull()) {
            present(i);
            if (type == JetType::Double || type == JetType::DateTime) {
                std::memcpy(bytes.data(), &v.real, 8);
            } else if (type == JetType::Money) {
                // Currency is a 64-bit count of ten-thousandths.
                const auto scaled = static_cast<std::uint64_t>(std::llround(v.real * 10000.0));
                for (int b = 0; b < bytes.size(); ++b)
                    bytes[b] = char((scaled >> (8 * b)) & 0xff);
            } else {
                for (int b = 0; b < bytes.size(); ++b)
                    bytes[b] = char((std::uint32_t(v.integer) >> (8 * b)) & 0xff);
            }
        }
        out.append(bytes);
    }
    std::vector<unsigned> offsets;
    for (int i = 0; i < count; ++i) {
        const JetType type = columns[std::size_t(i)].type;
        if (isFixed(type))
            continue;
        offsets.push_back(unsigned(out.size()));
        const JetValue& v = row[std::size_t(i)];
        if (v.isNull())
            continue;
        if (type == JetType::Text) {
            if (v.text.size() > kTextBytes / 2) {
                *error = QStringLiteral("Text länger als 255 Zeichen in Spalte %1").arg(columns[std::size_t(i)].name);
                return {};
            }
            out.append(ucs2(v.text));
        }
        present(i);
    }
    if (!offsets.empty()) {
        const unsigned end = unsigned(out.size());
        append16(out, end);
        for (auto it = offsets.rbegin(); it != offsets.rend(); ++it)
            append16(out, *it);
        append16(out, unsigned(offsets.size()));
    }
    out.append(mask);
    return out;
}

// Page numbers a table's parts land on.
struct Placement {
    int definition = 0;
    int definitionPages = 0;
    int map = 0;
    int firstData = 0;
    int dataPages = 0;
};

QByteArray definitionStream(const JetWriter::Table& table, int rows, int mapPage, bool system)
{
    QByteArray s(63, '\0');
    int variable = 0;
    for (const JetColumn& c : table.columns)
        variable += isFixed(c.type) ? 0 : 1;
    const int count = int(table.columns.size());
    put32(s, 16, std::uint32_t(rows));
    s[40] = char(system ? 0x53 : 0x4e);
    put16(s, 41, unsigned(count));
    put16(s, 43, unsigned(variable));
    put16(s, 45, unsigned(count));
    put32(s, 55, std::uint32_t(mapPage) << 8);
    put32(s, 59, (std::uint32_t(mapPage) << 8) | 1);
    int fixedOffset = 0;
    int varIndex = 0;
    for (int i = 0; i < count; ++i) {
        const JetType type = table.columns[std::size_t(i)].type;
        QByteArray e(25, '\0');
        e[0] = char(type);
        put16(e, 5, unsigned(i));
        put16(e, 9, unsigned(i));
        if (type == JetType::Text)
            put16(e, 11, 0x0409);
        e[15] = char((isFixed(type) ? 0x01 : 0x00) | 0x02);
        if (isFixed(type)) {
            put16(e, 21, unsigned(fixedOffset));
            fixedOffset += fixedBytes(type);
        } else {
            put16(e, 7, unsigned(varIndex++));
        }
        put16(e, 23, type == JetType::Text ? unsigned(kTextBytes) : unsigned(std::max(fixedBytes(type), 0)));
        s.append(e);
    }
    for (const JetColumn& c : table.columns) {
        const QByteArray name = ucs2(c.name);
        append16(s, unsigned(name.size()));
        s.append(name);
    }
    append16(s, 0xffff);
    put32(s, 8, std::uint32_t(s.size()));
    return s;
}

// Splits a definition over pages: the first page carries the stream from its start, every further
// one an 8-byte header and the next part.
std::vector<QByteArray> definitionPages(const QByteArray& stream, int first)
{
    std::vector<QByteArray> pages;
    qsizetype pos = 0;
    while (pos < stream.size()) {
        QByteArray page(kPage, '\0');
        const int from = pages.empty() ? 0 : 8;
        const qsizetype take = std::min<qsizetype>(kPage - from, stream.size() - pos);
        std::memcpy(page.data() + from, stream.constData() + pos, size_t(take));
        pos += take;
        page[0] = 2;
        page[1] = 1;
        put32(page, 4, 0);
        if (!pages.empty())
            put32(pages.back(), 4, std::uint32_t(first + int(pages.size())));
        pages.push_back(page);
    }
    return pages;
}

int definitionPageCount(qsizetype streamSize)
{
    return streamSize <= kPage ? 1 : 1 + int((streamSize - kPage + (kPage - 8) - 1) / (kPage - 8));
}

class DataPager {
public:
    explicit DataPager(int owner)
        : m_owner(owner)
    {
        start();
    }
    bool add(const QByteArray& row)
    {
        if (row.size() > kPage - kRowsStart - 2)
            return false;
        if (kRowsStart + 2 * (m_rows + 1) + m_used + row.size() > kPage) {
            close();
            start();
        }
        m_used += int(row.size());
        const int at = kPage - m_used;
        std::memcpy(m_page.data() + at, row.constData(), size_t(row.size()));
        put16(m_page, kRowsStart + 2 * m_rows, unsigned(at));
        ++m_rows;
        return true;
    }
    std::vector<QByteArray> finish()
    {
        if (m_rows > 0)
            close();
        return std::move(m_pages);
    }

private:
    void start()
    {
        m_page = QByteArray(kPage, '\0');
        m_page[0] = 1;
        m_page[1] = 1;
        put32(m_page, 4, std::uint32_t(m_owner));
        m_rows = 0;
        m_used = 0;
    }
    void close()
    {
        put16(m_page, 2, unsigned(kPage - kRowsStart - 2 * m_rows - m_used));
        put16(m_page, 0x0c, unsigned(m_rows));
        m_pages.push_back(m_page);
    }

    int m_owner;
    QByteArray m_page;
    int m_rows = 0;
    int m_used = 0;
    std::vector<QByteArray> m_pages;
};

QByteArray mapPage(int owner, int firstData, int dataPages)
{
    QByteArray usage(5, '\0');
    put32(usage, 1, std::uint32_t(firstData));
    usage.append(QByteArray((dataPages + 7) / 8, '\0'));
    for (int i = 0; i < dataPages; ++i)
        usage[5 + i / 8] = char(usage[5 + i / 8] | (1 << (i % 8)));
    QByteArray free(5, '\0');
    put32(free, 1, std::uint32_t(firstData));
    // Only maps that fit on one page with their start page (about 32 000 data pages) are written.
    DataPager pager(owner);
    if (!pager.add(usage) || !pager.add(free))
        return {};
    std::vector<QByteArray> pages = pager.finish();
    return pages.size() == 1 ? pages.front() : QByteArray();
}

} // namespace

JetValue jetNull()
{
    return {};
}

JetValue jetInt(std::int32_t value)
{
    JetValue v;
    v.kind = JetValue::Kind::Integer;
    v.integer = value;
    return v;
}

JetValue jetReal(double value)
{
    JetValue v;
    v.kind = JetValue::Kind::Real;
    v.real = value;
    return v;
}

JetValue jetText(const QString& value)
{
    JetValue v;
    v.kind = JetValue::Kind::Text;
    v.text = value;
    return v;
}

JetValue jetBool(bool value)
{
    JetValue v;
    v.kind = value ? JetValue::Kind::True : JetValue::Kind::False;
    return v;
}

JetValue jetDate(const DateTime& value)
{
    return value.isValid() ? jetReal(value.toOleDate()) : jetNull();
}

bool JetWriter::write(const QString& path, QString* error) const
{
    std::vector<QByteArray> pages(kFirstUserPage);
    pages[0] = databasePage();
    pages[1] = QByteArray(kPage, '\0');
    std::vector<int> definitionOf;

    for (const Table& table : m_tables) {
        const int rows = table.generate ? table.rowCount : int(table.rows.size());
        const int count = int(table.columns.size());
        if (count == 0 || count > 255) {
            *error = QStringLiteral("Tabelle %1: 1 bis 255 Spalten").arg(table.name);
            return false;
        }
        const int definition = int(pages.size());
        const QByteArray stream = definitionStream(table, rows, 0, false);
        const int defPages = definitionPageCount(stream.size());
        const int map = definition + defPages;
        const int firstData = map + 1;

        DataPager pager(definition);
        JetRow generated;
        for (int r = 0; r < rows; ++r) {
            const JetRow* row = &generated;
            if (table.generate) {
                generated.assign(std::size_t(count), {});
                table.generate(r, generated);
            } else {
                row = &table.rows[std::size_t(r)];
            }
            if (int(row->size()) != count) {
                *error = QStringLiteral("Tabelle %1, Zeile %2: falsche Spaltenzahl").arg(table.name).arg(r);
                return false;
            }
            const QByteArray bytes = encodeRow(table.columns, *row, error);
            if (bytes.isEmpty() || !pager.add(bytes)) {
                if (error->isEmpty())
                    *error = QStringLiteral("Tabelle %1, Zeile %2: zu lang").arg(table.name).arg(r);
                return false;
            }
        }
        std::vector<QByteArray> data = pager.finish();
        const QByteArray usage = mapPage(definition, firstData, int(data.size()));
        if (usage.isEmpty()) {
            *error = QStringLiteral("Tabelle %1: zu viele Datenseiten").arg(table.name);
            return false;
        }
        for (QByteArray& p : definitionPages(definitionStream(table, rows, map, false), definition))
            pages.push_back(std::move(p));
        pages.push_back(usage);
        for (QByteArray& p : data)
            pages.push_back(std::move(p));
        definitionOf.push_back(definition);
    }

    // The system catalog names every table and the page its definition starts on.
    Table catalog{QStringLiteral("MSysObjects"),
                  {{QStringLiteral("Id"), JetType::Long},
                   {QStringLiteral("Name"), JetType::Text},
                   {QStringLiteral("Type"), JetType::Short},
                   {QStringLiteral("Flags"), JetType::Long},
                   {QStringLiteral("LvProp"), JetType::Ole}},
                  {},
                  0,
                  {}};
    for (std::size_t i = 0; i < m_tables.size(); ++i)
        catalog.rows.push_back({jetInt(definitionOf[i]), jetText(m_tables[i].name), jetInt(1), jetInt(0), jetNull()});
    DataPager catalogPager(kCatalogDef);
    for (const JetRow& row : catalog.rows) {
        if (!catalogPager.add(encodeRow(catalog.columns, row, error)))
            return false;
    }
    std::vector<QByteArray> catalogData = catalogPager.finish();
    if (catalogData.size() > 1) {
        *error = QStringLiteral("zu viele Tabellen");
        return false;
    }
    if (catalogData.empty()) {
        QByteArray empty(kPage, '\0');
        empty[0] = 1;
        empty[1] = 1;
        put32(empty, 4, kCatalogDef);
        catalogData.push_back(empty);
    }
    pages[kCatalogDef] =
        definitionPages(definitionStream(catalog, int(catalog.rows.size()), kCatalogMap, true), kCatalogDef).front();
    pages[kCatalogMap] = mapPage(kCatalogDef, kCatalogData, catalog.rows.empty() ? 0 : 1);
    pages[kCatalogData] = catalogData.front();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    for (const QByteArray& page : pages)
        file.write(page);
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace torvm::test
