#include "output/Ranking.h"

#include "db/Messages.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "masterdata/KlassenTabelle.h"

#include <algorithm>
#include <array>
#include <compare>
#include <optional>
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

// The groups' classes and team names, each group read once.
class GroupLookup {
public:
    explicit GroupLookup(CGruppeTable& groups)
        : m_groups(groups)
    {
    }
    const GroupInfo& group(int id)
    {
        auto it = m_cache.find(id);
        if (it != m_cache.end())
            return it->second;
        GroupInfo info;
        m_groups.LoadGroup(id);
        info.klasse = classIndex(m_groups.m_Klasse);
        for (int slot = 1; slot <= kSlotCount; ++slot)
            info.teams[slot] = m_groups.TeamName(slot);
        return m_cache.emplace(id, std::move(info)).first->second;
    }
    // The team of a result row's [ID].
    const QString& team(int resultId)
    {
        const int slot = resultId / 100 % 100;
        return group(resultId / 1000000).teams[slot >= 1 && slot <= kSlotCount ? slot : 0];
    }
    int rowClass(const RoundResultRow& row, RankingClassMode mode)
    {
        if (mode == RankingClassMode::Participant && row.known)
            return classIndex(row.klasse);
        if (mode == RankingClassMode::Group)
            return group(row.id / 1000000).klasse;
        return 0;
    }

private:
    CGruppeTable& m_groups;
    std::unordered_map<int, GroupInfo> m_cache;
};

// The tables both rankings read.
struct RankingSources {
    CWettkampfTable results;
    CGruppeTable groups;
    RankingSources(CTorvmDoc& doc)
        : results(doc.GetDatabase(), &doc)
        , groups(doc.GetDatabase(), &doc)
    {
    }
    // The ranked rows of rounds first..last; none after a database error (shown).
    std::optional<std::vector<RoundResultRow>> rounds(CTorvmDoc& doc, int first, int last)
    {
        if (!results.OpenTable() || !groups.OpenTable())
            return std::nullopt;
        auto rows = results.RankedRoundResults(first, last);
        if (!rows) {
            Database* db = doc.GetDatabase();
            showDatabaseError(db ? db->lastError().text : QString());
        }
        return rows;
    }
};

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
    RankingSources sources(doc);
    const auto rows = sources.rounds(doc, round, round);
    if (!rows) {
        ranking.ok = false;
        return ranking;
    }
    CKlassenTabelle classNames;
    classNames.Load(doc);
    GroupLookup groups(sources.groups);

    std::array<std::vector<const RoundResultRow*>, kRankingClasses> byClass;
    for (const RoundResultRow& row : *rows)
        byClass[groups.rowClass(row, mode)].push_back(&row);

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
            cls.rows.push_back({row->rings != lastRings ? k : 0,
                                participantDisplayName(row->titel, row->name, row->vorname, row->zusatz),
                                groups.team(row->id), row->rings, !row->titel.isEmpty()});
            lastRings = row->rings;
        }
        ranking.classes.push_back(std::move(cls));
    }
    return ranking;
}

std::int64_t SeasonRow::averageTenths() const
{
    // Rounded half up; rings are never negative.
    return rounds == 0 ? 0 : (total * 20 + rounds) / (2 * rounds);
}

QString SeasonRow::average() const
{
    const std::int64_t tenths = averageTenths();
    return QString::asprintf("%lld,%lld", static_cast<long long>(tenths / 10), static_cast<long long>(tenths % 10));
}

SeasonRanking ComputeSeasonRanking(CTorvmDoc& doc, int lastRound, int minRounds, RankingClassMode mode)
{
    SeasonRanking ranking;
    ranking.lastRound = lastRound;
    RankingSources sources(doc);
    const auto results = sources.rounds(doc, 0, lastRound);
    if (!results) {
        ranking.ok = false;
        return ranking;
    }
    GroupLookup groups(sources.groups);
    struct Shooter {
        SeasonRow row;
        int klasse = 0;
        int lastRound = -1;
        std::int64_t roundRings = 0; // of the round being read
    };
    std::unordered_map<std::int32_t, Shooter> shooters;
    std::vector<std::int32_t> order; // first appearance, so equal rows keep a stable order
    for (const RoundResultRow& result : *results) {
        auto [it, added] = shooters.try_emplace(result.participant);
        Shooter& s = it->second;
        if (added) {
            order.push_back(result.participant);
            s.row.name = participantDisplayName(result.titel, result.name, result.vorname, result.zusatz);
            s.row.titled = !result.titel.isEmpty();
        }
        // Two rows of one shooter in a round (a slip in entry) make one round of both.
        if (s.lastRound != result.round) {
            s.lastRound = result.round;
            s.roundRings = 0;
            ++s.row.rounds;
        }
        s.roundRings += result.rings;
        s.row.total += result.rings;
        s.row.best = std::max(s.row.best, s.roundRings);
        s.row.team = groups.team(result.id);
        s.klasse = groups.rowClass(result, mode);
    }

    CKlassenTabelle classNames;
    classNames.Load(doc);
    std::array<std::vector<const SeasonRow*>, kRankingClasses> byClass;
    for (const std::int32_t number : order) {
        const Shooter& s = shooters.at(number);
        if (s.row.rounds >= minRounds)
            byClass[s.klasse].push_back(&s.row);
    }
    // Averages compared exactly: a / n against b / m as a * m against b * n.
    const auto compare = [](const SeasonRow& a, const SeasonRow& b) {
        if (const auto c = a.total * b.rounds <=> b.total * a.rounds; c != 0)
            return c;
        if (const auto c = a.total <=> b.total; c != 0)
            return c;
        return a.best <=> b.best;
    };
    for (int c = 0; c < kRankingClasses; ++c) {
        auto& rows = byClass[c];
        if (rows.empty())
            continue;
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const SeasonRow* a, const SeasonRow* b) { return compare(*a, *b) > 0; });
        SeasonClass cls{c, c == 0 ? QString() : classNames.Name(c), {}};
        for (std::size_t i = 0; i < rows.size(); ++i) {
            SeasonRow row = *rows[i];
            row.rank = i > 0 && compare(*rows[i - 1], row) == 0 ? 0 : static_cast<int>(i) + 1;
            cls.rows.push_back(std::move(row));
        }
        ranking.classes.push_back(std::move(cls));
    }
    return ranking;
}

} // namespace torvm
