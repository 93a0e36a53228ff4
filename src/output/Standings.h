#pragma once

#include "db/DateTime.h"
#include "db/Recordsets.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace torvm {

class Database;
class CTorvmDoc;

// The standings of one group after a round; every array is indexed by team slot 1 ... 20.
struct CTabellenStand {
    std::array<std::int64_t, kSlotCount + 1> Pluspunkte{}; // adjustments included
    std::array<std::int64_t, kSlotCount + 1> Minuspunkte{};
    std::array<std::int64_t, kSlotCount + 1> Ringe{};
    std::array<std::int32_t, kSlotCount + 1> Kaempfe{}; // pairings counted as shot
    std::array<int, kSlotCount + 1> Rang{};             // position 1 ... 20 -> slot; entry 0 stays 0
    // Positions the table may show: the largest slot the plan names in the rounds counted.
    int MaxSlot = 0;
};

// A pairing of the chosen round with both teams in the group.
struct RoundPairing {
    int slotA = 0;
    int slotB = 0;
    std::int64_t ringsA = 0;
    std::int64_t ringsB = 0;
    int remark = 0;       // number of the remark it gave (marked by as many asterisks); 0 = none
    bool absentA = false; // the team did not appear: "n. a." instead of its rings
    bool absentB = false;
};

// A team's rings in a pairing as the outputs show them: "n. a." for a team that did not appear.
QString pairingRingText(std::int64_t rings, bool absent, bool tenths);

// One counted round: its date from the plan and its pairings with the remarks numbered from 1
// within the round.
struct RoundResults {
    DateTime date; // null when the plan has no row for the round
    std::vector<RoundPairing> pairings;
    QStringList remarks;
};

// One row of the table as shown.
struct StandingRow {
    int slot = 0;
    int rank = 0; // position shown as rank; 0 = equal to the row above (points, and the tie-break chain
                  // unless it is the default), no label
};

// Everything the table page, the text section and the web page show of one group.
struct LeagueTable {
    bool ok = true; // false after a database error (already shown)
    int group = 0;
    int round = 0; // 0-based
    QString name;
    CTabellenStand stand;
    std::array<QString, kSlotCount + 1> teamNames; // used slots only
    std::vector<RoundPairing> pairings;            // of the chosen round, in plan order
    QStringList remarks;                           // remark n is remarks[n - 1]
    std::vector<StandingRow> rows;
    std::vector<RoundResults> rounds; // rounds 0 ... round; the last one is the chosen round
    bool tenths = false;              // rings in tenths of a ring
    QString tieBreakLine;             // "Bei Punktgleichheit: ..." under the table; empty for the default
};

// "*", "**", ...: the marker of remark n.
QString remarkMarker(int n);

// Standings of the group after rounds 0 ... round. A database error is shown and gives the
// standings read so far.
CTabellenStand ComputeStandings(Database* db, CTorvmDoc* doc, int group, int round);

// The standings with the results of the round, the numbered remarks, the rows shown with their
// rank labels and the team names.
LeagueTable ComputeLeagueTable(Database* db, CTorvmDoc* doc, int group, int round);

} // namespace torvm
