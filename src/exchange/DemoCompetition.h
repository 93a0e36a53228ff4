#pragma once

#include <QString>

#include <cstdint>

namespace torvm {

class CTorvmDoc;

// Shape of the demonstration competition.
inline constexpr int kDemoGroups = 3;
inline constexpr int kDemoRoundsShot = 4; // rounds with results entered

// Fills a new, empty competition with clubs, about 200 shooters, three league groups on
// round-robin plans, the results of the first rounds with a few point adjustments, and output
// settings that show the league tables and the individual ranking of the last round shot.
// The same seed gives the same competition. false (error holds the reason) when a write failed;
// the file then holds nothing of it.
bool fillDemoCompetition(CTorvmDoc& doc, std::uint32_t seed, QString* error);

} // namespace torvm
