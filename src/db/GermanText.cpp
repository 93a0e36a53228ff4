#include "db/GermanText.h"

#include <algorithm>

namespace torvm {

namespace {

void appendCodePoint(char32_t c, std::vector<char16_t>& out)
{
    if (QChar::requiresSurrogates(c)) {
        out.push_back(QChar::highSurrogate(c));
        out.push_back(QChar::lowSurrogate(c));
    } else {
        out.push_back(static_cast<char16_t>(c));
    }
}

// The letter without its marks: "é" -> "e", "ǖ" -> "u".
char32_t baseLetter(char32_t c)
{
    while (QChar::decompositionTag(c) == QChar::Canonical) {
        const QString parts = QChar::decomposition(c);
        if (parts.isEmpty())
            break;
        const char32_t first = parts.at(0).isHighSurrogate() && parts.size() > 1
                                   ? QChar::surrogateToUcs4(parts.at(0), parts.at(1))
                                   : parts.at(0).unicode();
        if (first == c)
            break;
        c = first;
    }
    return c;
}

} // namespace

void appendGermanFolded(QStringView text, std::vector<char16_t>& out)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80) { // most letters: no table needed
            out.push_back(static_cast<char16_t>(c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), text[++i].unicode());
        if (c == U'ß' || c == U'ẞ') {
            out.push_back(u's');
            out.push_back(u's');
            continue;
        }
        // Marks typed apart from their letter go, as they do with the letter.
        if (QChar::category(c) == QChar::Mark_NonSpacing)
            continue;
        appendCodePoint(QChar::toCaseFolded(baseLetter(c)), out);
    }
}

QString germanFolded(QStringView text)
{
    std::vector<char16_t> buffer;
    buffer.reserve(static_cast<std::size_t>(text.size()));
    appendGermanFolded(text, buffer);
    return QStringView(buffer.data(), static_cast<qsizetype>(buffer.size())).toString();
}

int compareGerman(QStringView a, QStringView b)
{
    if (const int c = germanFolded(a).compare(germanFolded(b)); c != 0)
        return c;
    return a.compare(b);
}

bool nameMatches(QStringView name, QStringView search)
{
    const QString folded = germanFolded(name);
    std::vector<QStringView> parts;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= folded.size(); ++i) {
        const bool inPart = i < folded.size() && !folded.at(i).isSpace() && folded.at(i) != u'-';
        if (inPart && start < 0)
            start = i;
        if (!inPart && start >= 0) {
            parts.push_back(QStringView(folded).mid(start, i - start));
            start = -1;
        }
    }
    const QString words = germanFolded(search);
    for (const QStringView word : QStringView(words).tokenize(u' ', Qt::SkipEmptyParts)) {
        if (std::none_of(parts.begin(), parts.end(), [word](QStringView part) { return part.startsWith(word); }))
            return false;
    }
    return true;
}

} // namespace torvm
