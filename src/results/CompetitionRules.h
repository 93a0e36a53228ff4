#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace torvm {

class CTorvmDoc;
class Database;

// The competition's scoring rules, kept in its settings table so that a file carries its league's
// rules to every computer it is opened on.

// The bound of every ring field of the entry (in tenths when the competition scores tenths).
inline constexpr int kMaxRings = 10000;

// The competition's highest single result: rings above it are questioned when a pairing is saved.
// 0 turns the check off. In tenths when the competition scores tenths.
inline constexpr auto kEntrySection = "Ergebnis";
inline constexpr auto kHighestResultKey = "HoechstesEinzelergebnis";
inline constexpr int kDefaultHighestResult = 400;
int highestSingleResult(Database* db, CTorvmDoc* doc);
bool setHighestSingleResult(Database* db, CTorvmDoc* doc, int rings);

inline constexpr auto kRulesSection = "Wertung";
inline constexpr auto kTenthsKey = "Zehntel";
inline constexpr auto kTieBreakKey = "Gleichstand";
inline constexpr auto kSubstituteLimitKey = "Ersatzeinsaetze";
inline constexpr auto kBestCountKey = "BesteN"; // followed by the 0-based group id

// How teams equal in points are ordered, criterion after criterion.
enum class TieBreak {
    Rings,       // "ringe": total rings of the season so far
    Direct,      // "direkt": match points from the pairings among the tied teams
    DirectRings, // "direkt-ringe": rings in those pairings
    BestTeam,    // "bestes": best single pairing total
};
inline constexpr std::size_t kMaxTieBreaks = 3;
inline constexpr int kMaxSubstituteLimit = 99;
inline constexpr int kMaxBestCount = 20;

struct CompetitionRules {
    bool tenths = false;                              // [Ergebnis] holds tenths of a ring: 973 = 97,3
    std::vector<TieBreak> tieBreaks{TieBreak::Rings}; // 1 ... 3 criteria
    int substituteLimit = 0;                          // substitute starts per shooter and season; 0 = no limit
    friend bool operator==(const CompetitionRules&, const CompetitionRules&) = default;
};

CompetitionRules competitionRules(Database* db, CTorvmDoc* doc);
// Stores the rules in one transaction. Switching tenths on multiplies every stored result (and the
// highest single result) by ten, switching off divides; the switch off is refused (false, the
// German reason in *error, nothing changed) while any result has a tenth other than ,0.
bool setCompetitionRules(Database* db, CTorvmDoc* doc, const CompetitionRules& rules, QString* error);

// Best N of a group's shooters count for the team total; 0 = all of them.
int groupBestCount(Database* db, CTorvmDoc* doc, int groupId);
bool setGroupBestCount(Database* db, CTorvmDoc* doc, int groupId, int best, QString* error);

// The word used on the command line and in the settings ("ringe", "direkt", ...) and back.
QString tieBreakKeyword(TieBreak criterion);
std::optional<TieBreak> tieBreakFromKeyword(const QString& keyword);
// "ringe,direkt": the keywords of a chain; parsing refuses unknown words, repeats, an empty list and
// more than three criteria.
QString tieBreakKeywords(const std::vector<TieBreak>& chain);
std::optional<std::vector<TieBreak>> parseTieBreaks(const QString& list);
// "Ringe", "Direkter Vergleich", "Direkter Vergleich Ringe", "Bestes Mannschaftsergebnis".
QString tieBreakText(TieBreak criterion);
// One sentence saying what the criterion does.
QString tieBreakSentence(TieBreak criterion);
// "Bei Punktgleichheit: Ringe, Direkter Vergleich"; empty for the default chain, which outputs
// never name.
QString tieBreakLine(const std::vector<TieBreak>& chain);

// Ring values as shown and typed: whole rings "973", tenths "97,3".
QString ringText(std::int64_t stored, bool tenths);
// "97", "97,3", "97.3" (tenths) or "97" (whole rings); none for anything else.
std::optional<std::int32_t> parseRings(const QString& typed, bool tenths);

} // namespace torvm
