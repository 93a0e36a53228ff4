#include "output/Ranking.h"

#include "db/Messages.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "masterdata/KlassenTabelle.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace torvm {

namespace {

struct GroupInfo {
    int klasse = 0;
    std::array<QString, kSlotCount + 1> teams;
};

int classIndex(std::int64_t value)
{
    return value >= 0 && value < kRankingClasses ? static_cast<int>(value) : 0;
}

} // namespace

QString participantDisplayName(const QString& titel, const QString& name, const QString& vorname, const QString& zusatz)
{
    QString text;
    if (!titel.isEmpty())
        text = titel + QLatin1Char(' ');
    text += name;
    if (!vorname.isEmpty())
        text += QLatin1Char(' ') + vorname;
    if (!zusatz.isEmpty())
        text += QLatin1Char(' ') + zusatz;
    return text;
}

IndividualRanking ComputeRanking(CTorvmDoc& doc, int round, int platz, RankingClassMode mode)
{
    IndividualRanking ranking;
    ranking.round = round;
    Database* db = doc.GetDatabase();
    CWettkampfTable results(db, &doc);
    CGruppeTable groups(db, &doc);
    if (!results.OpenTable() || !groups.OpenTable()) {
        ranking.ok = false;
        return ranking;
    }
    const auto rows = results.RankedRoundResults(round);
    if (!rows) {
        showDatabaseError(db ? db->lastError().text : QString());
        ranking.ok = false;
        return ranking;
    }
    CKlassenTabelle classNames;
    classNames.Load(doc);

    std::unordered_map<int, GroupInfo> groupCache;
    const auto groupOf = [&](int id) -> const GroupInfo& {
        auto it = groupCache.find(id);
        if (it != groupCache.end())
            return it->second;
        GroupInfo info;
        groups.LoadGroup(id);
        info.klasse = classIndex(groups.m_Klasse);
        for (int slot = 1; slot <= kSlotCount; ++slot)
            info.teams[slot] = groups.TeamName(slot);
        return groupCache.emplace(id, std::move(info)).first->second;
    };

    std::array<std::vector<const RoundResultRow*>, kRankingClasses> byClass;
    for (const RoundResultRow& row : *rows) {
        int c = 0;
        if (mode == RankingClassMode::Participant && row.known)
            c = classIndex(row.klasse);
        else if (mode == RankingClassMode::Group)
            c = groupOf(row.id / 1000000).klasse;
        byClass[c].push_back(&row);
    }

    platz = std::clamp(platz, 0, kMaxPlatz);
    for (int c = 0; c < kRankingClasses; ++c) {
        const int counted = std::min(static_cast<int>(byClass[c].size()), platz);
        if (counted == 0)
            continue;
        RankingClass cls{c, c == 0 ? QString() : classNames.Name(c), counted, {}};
        std::int64_t lastRings = -1;
        int k = 0;
        for (const RoundResultRow* row : byClass[c]) {
            // Ties at the last place are listed as well.
            if (row->rings != lastRings && k >= platz)
                break;
            ++k;
            const GroupInfo& group = groupOf(row->id / 1000000);
            const int slot = row->id / 100 % 100;
            cls.rows.push_back({row->rings != lastRings ? k : 0,
                                participantDisplayName(row->titel, row->name, row->vorname, row->zusatz),
                                group.teams[slot >= 1 && slot <= kSlotCount ? slot : 0], row->rings,
                                !row->titel.isEmpty()});
            lastRings = row->rings;
        }
        ranking.classes.push_back(std::move(cls));
    }
    return ranking;
}

} // namespace torvm
