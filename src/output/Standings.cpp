#include "output/Standings.h"

#include "db/Messages.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "fixtures/PlanRound.h"
#include "results/CompetitionRules.h"
#include "results/Scoring.h"

#include <algorithm>
#include <map>
#include <utility>

namespace torvm {

namespace {

// What one team brought into one round: its counted rings and its row 99.
struct TeamRound {
    std::int64_t rings = 0;
    std::int64_t points = 0;
    QString text;
    bool absent = false;
};

// A counted pairing as the direct comparison reads it.
struct PlayedPairing {
    int a = 0;
    int b = 0;
    MatchScore score;
    std::int64_t ringsA = 0;
    std::int64_t ringsB = 0;
};

// Per slot the value of each tie-break criterion, compared after the points.
using TieKeys = std::array<std::array<std::int64_t, kMaxTieBreaks>, kSlotCount + 1>;

using RoundKey = std::pair<int, int>; // round, slot

struct Computation {
    LeagueTable table;
    std::array<bool, kSlotCount + 1> used{};
};

bool validSlot(int slot)
{
    return slot >= 1 && slot <= kSlotCount;
}

// An unused slot stays behind every team: otherwise its zero values would be ranked above teams
// with no points yet or with deductions, push them out of the table and count in their ranks.
// Equal teams rank ahead too, which the exchange sort below relies on.
bool ranksAhead(const CTabellenStand& s, const std::array<bool, kSlotCount + 1>& used, const TieKeys& keys, int q,
                int p)
{
    if (used[q] != used[p])
        return used[q];
    if (s.Pluspunkte[q] != s.Pluspunkte[p])
        return s.Pluspunkte[q] > s.Pluspunkte[p];
    return keys[q] >= keys[p];
}

// The chain's values per slot. The direct comparison looks only at the pairings among the teams
// that share a team's points.
TieKeys tieKeys(const CTabellenStand& s, const std::array<bool, kSlotCount + 1>& used,
                const std::vector<TieBreak>& chain, const std::vector<PlayedPairing>& played)
{
    TieKeys keys{};
    std::array<std::int64_t, kSlotCount + 1> directPoints{}, directRings{}, best{};
    for (const PlayedPairing& p : played) {
        if (p.score.shot) {
            best[p.a] = std::max(best[p.a], p.ringsA);
            best[p.b] = std::max(best[p.b], p.ringsB);
        }
        if (s.Pluspunkte[p.a] != s.Pluspunkte[p.b])
            continue;
        // Points won on the range only: an adjustment is no result of the pairing.
        directPoints[p.a] += p.score.pointsA;
        directPoints[p.b] += p.score.pointsB;
        directRings[p.a] += p.ringsA;
        directRings[p.b] += p.ringsB;
    }
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (!used[slot])
            continue;
        for (std::size_t k = 0; k < chain.size() && k < kMaxTieBreaks; ++k) {
            switch (chain[k]) {
            case TieBreak::Rings:
                keys[slot][k] = s.Ringe[slot];
                break;
            case TieBreak::Direct:
                keys[slot][k] = directPoints[slot];
                break;
            case TieBreak::DirectRings:
                keys[slot][k] = directRings[slot];
                break;
            case TieBreak::BestTeam:
                keys[slot][k] = best[slot];
                break;
            }
        }
    }
    return keys;
}

Computation compute(Database* db, CTorvmDoc* doc, int group, int round, bool withNames)
{
    Computation c;
    LeagueTable& t = c.table;
    CTabellenStand& s = t.stand;
    t.group = group;
    t.round = round;
    for (int i = 0; i <= kSlotCount; ++i)
        s.Rang[i] = i;

    CGruppeTable groups(db, doc);
    CPlanTable plans(db, doc);
    CWettkampfTable results(db, doc);
    if (!groups.OpenTable() || !plans.OpenTable() || !results.OpenTable()) {
        t.ok = false;
        return c;
    }
    groups.LoadGroup(group);
    t.name = groups.m_Name;
    const CompetitionRules rules = competitionRules(db, doc);
    t.tenths = rules.tenths;
    t.tieBreakLine = tieBreakLine(rules.tieBreaks);
    for (int slot = 1; slot <= kSlotCount; ++slot)
        c.used[slot] = groups.SlotUsed(slot);

    // All plan rows of the counted rounds in one select, keyed by round.
    const int lastRound = std::min(round, kRoundsPerPlan - 1);
    struct PlanRound {
        DateTime date;
        std::array<std::int32_t, kPairingsPerRound> a{}, b{};
    };
    std::map<int, PlanRound> planRounds;
    if (round >= 0 && groups.m_Plan >= 0 && groups.m_Plan < kPlanCount) {
        if (!plans.Select(R"("PlanID" BETWEEN ? AND ?)",
                          {std::int64_t{planKey(groups.m_Plan, 0)}, std::int64_t{planKey(groups.m_Plan, lastRound)}},
                          R"("PlanID")")) {
            showDatabaseError(plans.GetLastError().text);
            t.ok = false;
            return c;
        }
        for (; !plans.IsEOF(); plans.MoveNext())
            planRounds[static_cast<int>(plans.m_PlanID - planKey(groups.m_Plan, 0))] = {plans.m_Datum1, plans.m_A,
                                                                                        plans.m_B};
    }

    std::map<RoundKey, TeamRound> teams;
    if (!planRounds.empty()) {
        const auto sums = results.SumTeamRounds(group, lastRound, groups.m_Anzahl, groupBestCount(db, doc, group));
        if (!sums) {
            showDatabaseError(db ? db->lastError().text : QString());
            t.ok = false;
            return c;
        }
        for (const TeamRoundSum& sum : *sums)
            teams[{sum.round, sum.slot}] = {sum.absent ? 0 : sum.rings, sum.points, sum.text, sum.absent};
    }
    const auto team = [&teams](int r, int slot) {
        const auto it = teams.find({r, slot});
        return it == teams.end() ? TeamRound{} : it->second;
    };

    std::vector<PlayedPairing> played;
    if (round >= 0)
        t.rounds.resize(static_cast<std::size_t>(lastRound) + 1);
    for (const auto& [r, plan] : planRounds) {
        const auto& a = plan.a;
        const auto& b = plan.b;
        RoundResults& counted = t.rounds[static_cast<std::size_t>(r)];
        counted.date = plan.date;
        // A plan that names a team twice in a round (files from before the editors checked) must
        // not count that team's rows twice.
        const auto countsOnce = countedPairings(a, b);
        for (int k = 0; k < kPairingsPerRound; ++k) {
            // The table is as long as the largest slot the counted rounds name, valid or not;
            // round R alone would leave nothing to show after the plan's last round.
            for (const int slot : {a[k], b[k]}) {
                if (validSlot(slot))
                    s.MaxSlot = std::max(s.MaxSlot, slot);
            }
            const int A = a[k];
            const int B = b[k];
            if (!countsOnce[k] || !c.used[A] || !c.used[B])
                continue;
            const TeamRound teamA = team(r, A);
            const TeamRound teamB = team(r, B);
            s.Ringe[A] += teamA.rings;
            s.Ringe[B] += teamB.rings;
            const MatchScore score = scoreMatch(teamA.rings, teamB.rings, teamA.points, teamB.points);
            if (score.shot) {
                ++s.Kaempfe[A];
                ++s.Kaempfe[B];
            }
            s.Pluspunkte[A] += score.pointsA;
            s.Pluspunkte[B] += score.pointsB;
            s.Minuspunkte[A] += score.againstA;
            s.Minuspunkte[B] += score.againstB;
            played.push_back({A, B, scoreMatch(teamA.rings, teamB.rings), teamA.rings, teamB.rings});

            RoundPairing pairing{A, B, teamA.rings, teamB.rings, 0, teamA.absent, teamB.absent};
            QString remark = teamA.text;
            if (!teamA.text.isEmpty() && !teamB.text.isEmpty())
                remark += QStringLiteral(" - ") + teamB.text;
            else if (teamA.text.isEmpty())
                remark = teamB.text;
            if (!remark.isEmpty()) {
                counted.remarks.append(remark);
                pairing.remark = static_cast<int>(counted.remarks.size());
            }
            counted.pairings.push_back(pairing);
        }
    }
    if (round >= 0 && round == lastRound) {
        t.pairings = t.rounds.back().pairings;
        t.remarks = t.rounds.back().remarks;
    }

    // Equal teams are still exchanged, so teams equal in points and in the chain end in descending
    // slot order.
    const TieKeys keys = tieKeys(s, c.used, rules.tieBreaks, played);
    for (int p = 1; p < kSlotCount; ++p) {
        for (int q = p; q <= kSlotCount; ++q) {
            if (ranksAhead(s, c.used, keys, s.Rang[q], s.Rang[p]))
                std::swap(s.Rang[p], s.Rang[q]);
        }
    }

    // Under the default rings only order teams of equal points; a chosen chain separates places.
    const bool chainSeparates = !t.tieBreakLine.isEmpty();
    for (int p = 1; p <= s.MaxSlot; ++p) {
        const int slot = s.Rang[p];
        if (!c.used[slot])
            continue;
        const int above = t.rows.empty() ? 0 : t.rows.back().slot;
        const bool label = t.rows.empty() || s.Pluspunkte[slot] != s.Pluspunkte[above] ||
                           (chainSeparates && keys[slot] != keys[above]);
        t.rows.push_back({slot, label ? p : 0});
    }

    if (withNames) {
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (c.used[slot])
                t.teamNames[slot] = groups.TeamName(slot);
        }
    }
    return c;
}

} // namespace

QString pairingRingText(std::int64_t rings, bool absent, bool tenths)
{
    return absent ? QStringLiteral("n. a.") : ringText(rings, tenths);
}

QString remarkMarker(int n)
{
    return QString(std::max(n, 0), QLatin1Char('*'));
}

CTabellenStand ComputeStandings(Database* db, CTorvmDoc* doc, int group, int round)
{
    return compute(db, doc, group, round, false).table.stand;
}

LeagueTable ComputeLeagueTable(Database* db, CTorvmDoc* doc, int group, int round)
{
    return compute(db, doc, group, round, true).table;
}

} // namespace torvm
