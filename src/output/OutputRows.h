#pragma once

#include "db/DateTime.h"
#include "db/Recordsets.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace torvm {

class CTorvmDoc;

// The rows the fixture schedules, group sheets and master data lists show, read once and handed
// to the printed page and to the text section alike. Every reader returns none after a database
// error, which has been shown already.

// --------------------------------------------------------------------------- fixture schedule

struct ScheduleRound {
    int number = 0;   // running number over the whole plan, from 1
    int half = 0;     // 0: first half of the season, 1: second
    int position = 0; // 0 ... k - 1 within its half; a round without pairings keeps its position
    DateTime date;
    std::vector<std::pair<int, int>> pairings; // team slots, both non-zero
};

// A plan as two halves of k round positions each: the first half visits rounds 0 ... k - 1, the
// second k ... 2k - 1, where k is half the number of rounds with pairings (rounded up).
struct FixtureSchedule {
    int plan = 0; // 0 ... 4
    QString name;
    int k = 0;
    std::vector<ScheduleRound> rounds; // shown rounds in the order of the halves
};

// The schedules of the chosen plans, in plan order.
std::optional<std::vector<FixtureSchedule>> fixtureSchedules(CTorvmDoc& doc,
                                                             const std::array<bool, kPlanCount>& chosen);

// "n:  dd.mm.yyyy hh:mm" as the label of a round.
QString scheduleLabel(const ScheduleRound& round);
// The same on paper, where a round without a date shows only its number.
QString printedScheduleLabel(const ScheduleRound& round);

// ------------------------------------------------------------------------------- group sheets

struct GroupTeam {
    QString name;
    QString address; // the captain with postcode, town and street
    QString phone;
};

struct GroupRound {
    DateTime date;
    std::vector<std::pair<QString, QString>> pairings; // team names; pairings of used slots only
};

struct GroupSheet {
    QString name;
    std::vector<GroupTeam> teams;   // used slots in slot order
    std::vector<GroupRound> rounds; // rounds of the group's plan that have a pairing
};

// The sheets of the groups given by [ID], in that order. A group that does not exist has no teams.
std::optional<std::vector<GroupSheet>> groupSheets(CTorvmDoc& doc, const std::vector<int>& ids);

// "d.mm.yyyy" of a round on the group sheet.
QString groupRoundDate(const DateTime& date);
// The same on paper, where a round without a date shows none.
QString printedRoundDate(const DateTime& date);

// ------------------------------------------------------------------------ clubs, participants

struct ClubRow {
    std::int32_t number = 0;
    QString name;
};

// Every club by club number.
std::optional<std::vector<ClubRow>> clubRows(CTorvmDoc& doc);

struct ParticipantRow {
    std::int32_t number = 0;
    QString name; // title, name, first name, suffix with the empty parts left out
    bool titled = false;
    QString club;      // empty when the club does not exist
    QString birthDate; // empty without day or month
    QString className; // empty for no class
};

// Every participant; sort 0 by number, 1 by name and first name.
std::optional<std::vector<ParticipantRow>> participantRows(CTorvmDoc& doc, int sort);

} // namespace torvm
