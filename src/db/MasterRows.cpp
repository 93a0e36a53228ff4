#include "db/MasterRows.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace torvm {

QStringView MasterRows::cell(int row, int column) const
{
    const auto index =
        static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns) + static_cast<std::size_t>(column);
    const std::size_t start = cellStart(index);
    return QStringView(m_text.data() + start, static_cast<qsizetype>(m_ends[index] - start));
}

void MasterRows::addRow(std::int32_t key)
{
    m_keys.push_back(key);
}

void MasterRows::addCell(QStringView text)
{
    m_text.insert(m_text.end(), text.utf16(), text.utf16() + text.size());
    m_ends.push_back(m_text.size());
}

void MasterRows::addUtf8Cell(QByteArrayView utf8)
{
    // A UTF-8 text never has more UTF-16 units than bytes. Most names are plain ASCII up to an
    // umlaut or two: copied unit by unit until the first byte that needs decoding.
    std::size_t end = m_text.size();
    m_text.resize(end + static_cast<std::size_t>(utf8.size()));
    qsizetype i = 0;
    for (; i < utf8.size() && static_cast<unsigned char>(utf8[i]) < 0x80; ++i)
        m_text[end++] = static_cast<char16_t>(utf8[i]);
    if (i < utf8.size()) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QChar* last = decoder.appendToBuffer(reinterpret_cast<QChar*>(m_text.data() + end), utf8.sliced(i));
        end = static_cast<std::size_t>(reinterpret_cast<const char16_t*>(last) - m_text.data());
    }
    m_text.resize(end);
    m_ends.push_back(end);
}

void MasterRows::addNumberCell(std::int64_t value)
{
    std::array<char16_t, 24> digits{};
    auto* end = digits.end();
    auto* p = end;
    // Negated digit by digit, so the smallest value does not overflow.
    const bool negative = value < 0;
    do {
        const auto digit = static_cast<int>(value % 10);
        *--p = static_cast<char16_t>(u'0' + (negative ? -digit : digit));
        value /= 10;
    } while (value != 0);
    if (negative)
        *--p = u'-';
    addCell(QStringView(p, end));
}

void MasterRows::reserve(int rows, int charsPerRow)
{
    const auto n = static_cast<std::size_t>(std::max(rows, 0));
    m_keys.reserve(n);
    m_ends.reserve(n * static_cast<std::size_t>(m_columns));
    m_text.reserve(n * static_cast<std::size_t>(std::max(charsPerRow, 0)));
}

} // namespace torvm
