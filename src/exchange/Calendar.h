#pragma once

#include "db/DateTime.h"

#include <QDateTime>
#include <QString>

#include <map>
#include <optional>
#include <vector>

class QIODevice;

namespace torvm {

class CTorvmDoc;

inline constexpr int kDefaultEventMinutes = 120;
inline constexpr int kMinEventMinutes = 15;
inline constexpr int kMaxEventMinutes = 24 * 60;

// How long a pairing lasts in the calendar; kept with the competition.
int loadEventMinutes(CTorvmDoc& doc);
// false when the setting could not be written (the database error has been shown).
bool storeEventMinutes(CTorvmDoc& doc, int minutes);

// One pairing of the fixture plans, as it goes into a calendar.
struct FixtureEvent {
    int group = 0;   // 0-based group number
    int round = 0;   // 0-based round
    int pairing = 0; // 0-based position in the round
    int homeClub = 0;
    int guestClub = 0;
    DateTime start;      // the round's date and time; not valid when the plan has none
    QString summary;     // "Heim – Gast (Gruppe)"
    QString location;    // the home club's address
    QString description; // group and round
    QString uid;
};

// Every pairing of every group, in group, round and position order.
struct FixtureCalendar {
    bool ok = false;
    QString error;                     // the database's text when !ok
    QString title;                     // the competition's
    std::map<int, QString> groupNames; // every group with a sound number, by number
    std::vector<FixtureEvent> events;

    // The pairings of one group, or of every team of one club (home or guest).
    FixtureCalendar ofGroup(int group) const;
    FixtureCalendar ofClub(int club) const;
    // Rounds that have pairings here but no date in their plan; their pairings are left out.
    int undatedRounds() const;
    int datedEvents() const;
};

FixtureCalendar collectFixtureCalendar(CTorvmDoc& doc);

// The clubs that field a team in some group, by number, with their names.
struct CalendarClub {
    int number = 0;
    QString name;
};
std::vector<CalendarClub> clubsWithTeams(CTorvmDoc& doc);

// "Title – part", or the one that is not empty.
QString calendarName(const QString& title, const QString& part);

// An iCalendar file (RFC 5545) of the dated pairings: times in Europe/Berlin with the zone's
// rules, lines folded at 75 octets. stamp (UTC) marks the export: calendars that subscribe see a
// newer revision of every event and update it in place, since the UIDs stay the same. name is the
// calendar's display name. False when out refuses the bytes.
bool writeCalendar(QIODevice& out, const FixtureCalendar& calendar, const QString& name, int minutes,
                   const QDateTime& stamp);

// A text value as RFC 5545 wants it: backslash, semicolon, comma and line ends escaped, other
// control characters left out.
QString icalText(const QString& text);
// Content lines of at most 75 octets, continued on lines that start with a blank; never inside a
// UTF-8 sequence.
QByteArray icalFold(const QByteArray& line);

} // namespace torvm
