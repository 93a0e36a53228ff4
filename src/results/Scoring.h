#pragma once

#include <cstdint>

namespace torvm {

// Match points of one pairing from the two teams' ring totals. The league table, the web pages
// and the points dialog all use this one rule.
struct MatchScore {
    bool shot = false; // both totals 0 means the pairing has not been shot yet
    int pointsA = 0;   // points for, adjustment included
    int pointsB = 0;
    int againstA = 0; // points against; adjustments never touch them
    int againstB = 0;
};

// Higher total: 2 points, equal totals: 1 each, a 0 : 0 pairing gives nothing. Each team's
// adjustment (-2 ... +2, from its summary row) is added whether or not the pairing was shot.
MatchScore scoreMatch(std::int64_t totalA, std::int64_t totalB, int adjustA = 0, int adjustB = 0);

} // namespace torvm
