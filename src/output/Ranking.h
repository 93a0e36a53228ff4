#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace torvm {

class CTorvmDoc;

// Where a result's class comes from ("Sortiert nach" of the ranking page).
enum class RankingClassMode { Participant = 0, Group = 1, None = 2 };

inline constexpr int kRankingClasses = 21; // class indexes 0 (no class) ... 20
inline constexpr int kMaxPlatz = 100000;
inline constexpr int kDefaultPlatz = 10;

struct RankingRow {
    int rank = 0; // shown rank; 0 = same rings as the row above, no label
    QString name;
    QString team;
    std::int64_t rings = 0;
    bool titled = false; // the name starts with a title
};

struct RankingClass {
    int index = 0; // class index; 0 = no class
    QString name;
    int counted = 0; // results counted for the page count (at most Platz)
    std::vector<RankingRow> rows;
};

struct IndividualRanking {
    bool ok = true;                    // false after a database error (already shown)
    int round = 0;                     // 0-based
    std::vector<RankingClass> classes; // the classes with a counted result, by class index
};

// "Titel Name Vorname Zusatz" with the empty parts left out.
QString participantDisplayName(const QString& titel, const QString& name, const QString& vorname,
                               const QString& zusatz);

// The ranking of one round: per class the best `platz` results, ties at the last place included.
// A class index outside 0 ... 20, and a participant number not in the file, count as no class.
IndividualRanking ComputeRanking(CTorvmDoc& doc, int round, int platz, RankingClassMode mode);

// ----------------------------------------------------------------------------- season ranking

inline constexpr int kDefaultMindestens = 1;

struct SeasonRow {
    int rank = 0; // shown rank; 0 = equal to the row above in average, total and best round
    QString name;
    QString team; // of the last round the shooter shot
    bool titled = false;
    int rounds = 0; // rounds with rings
    std::int64_t total = 0;
    std::int64_t best = 0; // rings of the best round
    // Average to one decimal with a German comma ("287,5").
    QString average() const;
    // The same in tenths (2875), rounded half up.
    std::int64_t averageTenths() const;
};

struct SeasonClass {
    int index = 0; // class index; 0 = no class
    QString name;
    std::vector<SeasonRow> rows;
};

struct SeasonRanking {
    bool ok = true;                   // false after a database error (already shown)
    int lastRound = 0;                // 0-based: rounds 0 ... lastRound count
    std::vector<SeasonClass> classes; // classes with a ranked shooter, by class index
};

// The standing of every shooter over rounds 0 ... lastRound, per class as the individual ranking
// divides them (in group mode the group of the last round shot), ordered by average, total and
// best round. Shooters with fewer than `minRounds` rounds are left out.
SeasonRanking ComputeSeasonRanking(CTorvmDoc& doc, int lastRound, int minRounds, RankingClassMode mode);

} // namespace torvm
