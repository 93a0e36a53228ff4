#pragma once

#include <QDate>
#include <QString>

namespace torvm {

// A date and time of day as the competition file keeps it. Unlike QDateTime it tells three states
// apart: a real value, a value that was entered but names no calendar day ("31.02.2001"), and no
// value at all (a Null column).
class DateTime {
public:
    enum class Status { Valid, Invalid, Null };

    DateTime() = default; // Null
    static DateTime fromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    static DateTime invalid();

    // Storage form 'YYYY-MM-DD HH:MM:SS' (a bare date is accepted); anything else is Invalid.
    static DateTime fromStorage(const QString& text);
    QString toStorage() const; // empty unless Valid

    // OLE/Jet serial date: days since 30.12.1899; the fraction is the time of day and counts
    // forward from the day even for negative serials.
    static DateTime fromOleDate(double serial);
    double toOleDate() const;

    // German day.month.year with an optional " hh:mm[:ss]"; two-digit years are not expanded.
    static DateTime parseGerman(const QString& text);
    QString formatDate() const; // "%02d.%02d.%04d"; empty unless Valid

    Status status() const { return m_status; }
    bool isNull() const { return m_status == Status::Null; }
    bool isValid() const { return m_status == Status::Valid; }
    int year() const { return m_year; }
    int month() const { return m_month; }
    int day() const { return m_day; }
    int hour() const { return m_hour; }
    int minute() const { return m_minute; }
    int second() const { return m_second; }
    QDate date() const { return isValid() ? QDate(m_year, m_month, m_day) : QDate(); }

    friend bool operator==(const DateTime&, const DateTime&) = default;
    // Orders valid values by time; used where a range must be the right way round.
    bool isBefore(const DateTime& other) const;

private:
    Status m_status = Status::Null;
    int m_year = 0, m_month = 0, m_day = 0, m_hour = 0, m_minute = 0, m_second = 0;
};

} // namespace torvm
