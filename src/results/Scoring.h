#pragma once

#include <cstdint>

namespace torvm {

// Match points of one pairing from the two teams' ring totals. The league table, the web pages
// and the points dialog all use this one rule.
struct MatchScore {
    bool shot = false; // both totals 0 means the pairing has not been shot yet
    // 64 bits: an adjustment read from a damaged file may be as large as a Long.
    std::int64_t pointsA = 0; // points for, adjustment included
    std::int64_t pointsB = 0;
    std::int64_t againstA = 0; // points against; adjustments never touch them
    std::int64_t againstB = 0;
};

// Higher total: 2 points, equal totals: 1 each, a 0 : 0 pairing gives nothing. Each team's
// adjustment (-2 ... +2, from its summary row) is added whether or not the pairing was shot.
MatchScore scoreMatch(std::int64_t totalA, std::int64_t totalB, std::int64_t adjustA = 0, std::int64_t adjustB = 0);

} // namespace torvm
