#include "results/Scoring.h"

#include <gtest/gtest.h>

namespace torvm {
namespace {

TEST(Scoring, MatchPointsFromTotalsAndAdjustments)
{
    struct Case {
        std::int64_t a, b;
        int adjA, adjB;
        bool shot;
        int pointsA, pointsB, againstA, againstB;
    };
    const Case cases[] = {
        {380, 380, 0, 0, true, 1, 1, 1, 1}, // a draw
        {0, 0, 0, 0, false, 0, 0, 0, 0},    // not shot yet
        {0, 1, 0, 0, true, 0, 2, 2, 0},     // one ring is enough to be shot and to win
        {1, 0, 0, 0, true, 2, 0, 0, 2},      {1149, 1150, 0, 0, true, 0, 2, 2, 0},
        {0, 0, -1, 0, false, -1, 0, 0, 0}, // deduction on an unshot pairing still counts
        {0, 0, 2, -2, false, 2, -2, 0, 0},   {300, 310, 2, 0, true, 2, 2, 2, 0}, // credit on a lost pairing: 2 : 2
        {310, 300, -1, 0, true, 1, 0, 0, 2}, // adjustments never touch points against
        {250, 250, 1, -1, true, 2, 0, 1, 1},
    };
    for (const Case& c : cases) {
        const MatchScore s = scoreMatch(c.a, c.b, c.adjA, c.adjB);
        SCOPED_TRACE(testing::Message() << c.a << ":" << c.b << " adj " << c.adjA << "/" << c.adjB);
        EXPECT_EQ(s.shot, c.shot);
        EXPECT_EQ(s.pointsA, c.pointsA);
        EXPECT_EQ(s.pointsB, c.pointsB);
        EXPECT_EQ(s.againstA, c.againstA);
        EXPECT_EQ(s.againstB, c.againstB);
    }
}

} // namespace
} // namespace torvm
