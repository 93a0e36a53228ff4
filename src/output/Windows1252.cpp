#include "output/Windows1252.h"

#include <QList>

#include <algorithm>
#include <array>

namespace torvm {

namespace {

// Code points of the bytes 0x80 ... 0x9F; 0 where the code page leaves the byte undefined.
constexpr std::array<char32_t, 32> kHighBlock{0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                              0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                              0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                              0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char encode(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighBlock.size(); ++i) {
        if (kHighBlock[i] != 0 && kHighBlock[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

QByteArray toWindows1252(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t c : text.toUcs4())
        bytes.append(encode(c));
    return bytes;
}

QString fromWindows1252(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const char32_t high = byte >= 0x80 && byte < 0xA0 ? kHighBlock[byte - 0x80] : 0;
        text.append(QChar(static_cast<char16_t>(high != 0 ? high : byte)));
    }
    return text;
}

QStringList wordsOutsideWindows1252(QStringView text)
{
    QStringList words;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text[i].isSpace())
            continue;
        const QStringView word = text.mid(start, i - start);
        start = i + 1;
        const QList<uint> codes = word.toUcs4();
        const bool lost = std::any_of(codes.begin(), codes.end(), [](uint c) { return c != '?' && encode(c) == '?'; });
        if (lost && !words.contains(word))
            words.append(word.toString());
    }
    return words;
}

} // namespace torvm
