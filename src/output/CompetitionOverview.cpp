#include "output/CompetitionOverview.h"

#include "db/Messages.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "output/Standings.h"
#include "results/CompetitionRules.h"

#include <algorithm>

namespace torvm {

namespace {

// Per round of the plan: how many of its pairings there are and how many have a result; the
// current round and the next date follow from these.
bool readRounds(CGruppeTable& groups, CPlanTable& plans, CWettkampfTable& results, const QDate& today,
                GroupOverview& overview)
{
    std::vector<std::pair<int, int>> counts(kRoundsPerPlan, {0, 0}); // pairings, with results
    int firstRound = -1;
    int lastWithResults = -1;
    for (int round = 0; round < kRoundsPerPlan; ++round) {
        if (plans.SelectRound(groups.m_Plan, round) || !plans.RoundHasPairing())
            continue;
        if (firstRound < 0)
            firstRound = round;
        const QDate date = plans.m_Datum1.date();
        if (overview.nextRound < 0 && date.isValid() && date >= today) {
            overview.nextRound = round;
            overview.nextDate = plans.m_Datum1;
        }
        const std::optional<std::vector<int>> shot = results.SlotsWithResults(overview.group, round);
        if (!shot)
            return false;
        auto& [pairings, withResults] = counts[static_cast<std::size_t>(round)];
        for (int k = 0; k < kPairingsPerRound; ++k) {
            const int a = plans.m_A[static_cast<std::size_t>(k)];
            const int b = plans.m_B[static_cast<std::size_t>(k)];
            if (!groups.SlotUsed(a) || !groups.SlotUsed(b))
                continue;
            ++pairings;
            if (std::count(shot->begin(), shot->end(), a) != 0 || std::count(shot->begin(), shot->end(), b) != 0)
                ++withResults;
        }
        if (withResults > 0)
            lastWithResults = round;
    }
    overview.hasResults = lastWithResults >= 0;
    overview.round = overview.hasResults ? lastWithResults : firstRound;
    if (overview.round >= 0) {
        overview.pairings = counts[static_cast<std::size_t>(overview.round)].first;
        overview.withResults = counts[static_cast<std::size_t>(overview.round)].second;
    }
    return true;
}

} // namespace

std::optional<std::vector<GroupOverview>> competitionOverview(CTorvmDoc& doc, const QDate& today, QString* error)
{
    Database* db = doc.GetDatabase();
    const auto failed = [db, error] {
        *error = db->lastError().text;
        return std::nullopt;
    };
    const std::optional<std::vector<MissingPairing>> missing = missingResults(db, &doc, today, error);
    if (!missing)
        return std::nullopt;
    CGruppeTable groups(db, &doc);
    CPlanTable plans(db, &doc);
    CWettkampfTable results(db, &doc);
    const std::optional<int> last = groups.LastGroupId();
    if (!last || !plans.Open())
        return failed();

    std::vector<GroupOverview> overview;
    for (int group = 0; group <= *last; ++group) {
        if (!groups.LoadGroup(group))
            continue;
        GroupOverview& g = overview.emplace_back();
        g.group = group;
        g.name = groups.m_Name;
        for (const MissingPairing& p : *missing) {
            if (p.group == group)
                g.missing.push_back(p);
        }
        if (groups.m_Plan < 0 || groups.m_Plan >= kPlanCount)
            continue;
        if (!readRounds(groups, plans, results, today, g))
            return failed();
        if (g.round < 0)
            continue;
        const LeagueTable table = ComputeLeagueTable(db, &doc, group, g.round);
        if (!table.ok)
            return failed();
        for (const StandingRow& row : table.rows) {
            g.standings.push_back({row.rank, table.teamNames[row.slot], table.stand.Pluspunkte[row.slot],
                                   table.stand.Minuspunkte[row.slot],
                                   ringText(table.stand.Ringe[row.slot], table.tenths)});
        }
    }
    return overview;
}

QString pairingProgressText(const GroupOverview& group)
{
    return QStringLiteral("%1 von %2").arg(group.withResults).arg(counted(group.pairings, "Begegnung", "Begegnungen"));
}

QString nextRoundText(const GroupOverview& group)
{
    if (group.nextRound < 0)
        return QStringLiteral("Kein weiterer Durchgang mit Datum.");
    return QStringLiteral("Nächster Durchgang: %1 am %2")
        .arg(group.nextRound + 1)
        .arg(group.nextDate.date().toString(QStringLiteral("dd.MM.yyyy")));
}

} // namespace torvm
