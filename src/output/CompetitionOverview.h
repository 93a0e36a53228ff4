#pragma once

#include "db/DateTime.h"
#include "output/MissingResults.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace torvm {

class CTorvmDoc;

// One row of a group's standings as the league table ranks it.
struct OverviewStanding {
    int place = 0; // 0: equal to the row above, shown without a place
    QString team;
    std::int64_t pointsFor = 0;
    std::int64_t pointsAgainst = 0;
    QString rings; // as the table writes them (tenths with a comma)
};

// Where a group stands: the round it is in, its standings after that round, what is still to come
// and what is overdue.
struct GroupOverview {
    int group = 0; // 0-based
    QString name;
    // The last round with a result, or the first round of the plan while none has one; -1 when
    // the group's plan has no round.
    int round = -1;
    bool hasResults = false;
    std::vector<OverviewStanding> standings; // after round
    int nextRound = -1;                      // the first round dated on or after the reference day; -1: none
    DateTime nextDate;
    int pairings = 0;    // of round, both teams in the group
    int withResults = 0; // of those, the ones with a result of either team
    std::vector<MissingPairing> missing;
};

// Every group in group order; none (error says why) on a database error. today is the reference
// day: earlier rounds without a result are overdue, the next round is dated today or later.
std::optional<std::vector<GroupOverview>> competitionOverview(CTorvmDoc& doc, const QDate& today, QString* error);

// "3 von 4 Begegnungen"
QString pairingProgressText(const GroupOverview& group);
// "Nächster Durchgang: 5 am 14.11.2025" or that no round is dated any more.
QString nextRoundText(const GroupOverview& group);

} // namespace torvm
