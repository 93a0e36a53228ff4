#include "results/Scoring.h"

namespace torvm {

MatchScore scoreMatch(std::int64_t totalA, std::int64_t totalB, std::int64_t adjustA, std::int64_t adjustB)
{
    MatchScore score;
    score.shot = totalA != 0 || totalB != 0;
    if (score.shot) {
        if (totalA > totalB) {
            score.pointsA = 2;
            score.againstB = 2;
        } else if (totalA < totalB) {
            score.pointsB = 2;
            score.againstA = 2;
        } else {
            score.pointsA = score.pointsB = 1;
            score.againstA = score.againstB = 1;
        }
    }
    score.pointsA += adjustA;
    score.pointsB += adjustB;
    return score;
}

} // namespace torvm
