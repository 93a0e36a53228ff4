#include "controls/MaskedValues.h"

#include <QRegularExpression>

#include <algorithm>

namespace torvm {

namespace {

// Longer texts cannot come from a field; they are cut rather than parsed at length.
constexpr int kMaxParsedLength = 100;

bool isZeroOrMissing(const DateTime& value)
{
    return !value.isValid() || value.toOleDate() == 0.0;
}

} // namespace

bool maskDigitAllowed(MaskRange range, int pos, QChar digit, const QString& typed)
{
    const QChar before = pos > 0 && pos - 1 < typed.size() ? typed.at(pos - 1) : QChar();
    switch (range) {
    case MaskRange::Date:
        // Days 01-31 and months 01-12; the year is free.
        switch (pos) {
        case 0:
            return digit <= QLatin1Char('3');
        case 1:
            return before != QLatin1Char('3') || digit <= QLatin1Char('1');
        case 3:
            return digit <= QLatin1Char('1');
        case 4:
            return before != QLatin1Char('1') || digit <= QLatin1Char('2');
        default:
            return true;
        }
    case MaskRange::Time:
        // Hours 00-23 and minutes 00-59.
        switch (pos) {
        case 0:
            return digit <= QLatin1Char('2');
        case 1:
            return before != QLatin1Char('2') || digit <= QLatin1Char('3');
        case 3:
            return digit <= QLatin1Char('5');
        default:
            return true;
        }
    case MaskRange::None:
        return true;
    }
    return true;
}

QString dateFieldText(const DateTime& value)
{
    if (isZeroOrMissing(value))
        return QString::fromLatin1(kEmptyDateText);
    return value.formatDate();
}

QString optionalDateFieldText(const DateTime& value)
{
    if (isZeroOrMissing(value))
        return QString::fromLatin1(kBlankDateText);
    return value.formatDate();
}

QString timeFieldText(const DateTime& value)
{
    if (isZeroOrMissing(value))
        return QString::fromLatin1(kEmptyTimeText);
    return QString::asprintf("%02d:%02d", value.hour(), value.minute());
}

DateTime parseDateField(const QString& text)
{
    const QString cut = text.left(kMaxParsedLength);
    if (std::none_of(cut.begin(), cut.end(), [](QChar c) { return c.isDigit(); }))
        return DateTime();
    return DateTime::parseGerman(cut);
}

DateTime parseTimeField(const QString& text)
{
    static const QRegularExpression re(QStringLiteral(R"(^\s*(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?\s*$)"));
    const auto m = re.match(text.left(kMaxParsedLength));
    if (!m.hasMatch())
        return DateTime::invalid();
    return DateTime::fromParts(1899, 12, 30, m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
}

} // namespace torvm
