#include "db/DateTime.h"

#include <QRegularExpression>

#include <cmath>
#include <tuple>

namespace torvm {

namespace {

// The range Jet and OLE dates can represent.
constexpr int kMinYear = 100;
constexpr int kMaxYear = 9999;

const QDate& oleEpoch()
{
    static const QDate epoch(1899, 12, 30);
    return epoch;
}

} // namespace

DateTime DateTime::fromParts(int year, int month, int day, int hour, int minute, int second)
{
    DateTime dt;
    dt.m_year = year;
    dt.m_month = month;
    dt.m_day = day;
    dt.m_hour = hour;
    dt.m_minute = minute;
    dt.m_second = second;
    const bool dateOk = year >= kMinYear && year <= kMaxYear && QDate::isValid(year, month, day);
    const bool timeOk = hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60;
    dt.m_status = dateOk && timeOk ? Status::Valid : Status::Invalid;
    return dt;
}

DateTime DateTime::invalid()
{
    DateTime dt;
    dt.m_status = Status::Invalid;
    return dt;
}

DateTime DateTime::fromStorage(const QString& text)
{
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?\s*$)"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return invalid();
    return fromParts(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt(),
                     m.captured(5).toInt(), m.captured(6).toInt());
}

QString DateTime::toStorage() const
{
    if (!isValid())
        return {};
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", m_year, m_month, m_day, m_hour, m_minute, m_second);
}

DateTime DateTime::fromOleDate(double serial)
{
    if (!std::isfinite(serial) || std::fabs(serial) > 3.0e6)
        return invalid();
    double whole = std::trunc(serial);
    long long seconds = std::llround(std::fabs(serial - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += 1;
    }
    const QDate d = oleEpoch().addDays(static_cast<qint64>(whole));
    const int s = static_cast<int>(seconds);
    return fromParts(d.year(), d.month(), d.day(), s / 3600, s / 60 % 60, s % 60);
}

double DateTime::toOleDate() const
{
    if (!isValid())
        return 0.0;
    const double days = static_cast<double>(oleEpoch().daysTo(date()));
    const double fraction = (m_hour * 3600 + m_minute * 60 + m_second) / 86400.0;
    return days >= 0 ? days + fraction : days - fraction;
}

DateTime DateTime::parseGerman(const QString& text)
{
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*(\d{1,2})\.(\d{1,2})\.(\d{1,4})(?:\s+(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?)?\s*$)"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return invalid();
    return fromParts(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt(), m.captured(4).toInt(),
                     m.captured(5).toInt(), m.captured(6).toInt());
}

QString DateTime::formatDate() const
{
    if (!isValid())
        return {};
    return QString::asprintf("%02d.%02d.%04d", m_day, m_month, m_year);
}

bool DateTime::isBefore(const DateTime& other) const
{
    return std::tie(m_year, m_month, m_day, m_hour, m_minute, m_second) <
           std::tie(other.m_year, other.m_month, other.m_day, other.m_hour, other.m_minute, other.m_second);
}

} // namespace torvm
