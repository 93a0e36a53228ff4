#include "output/Ranking.h"

#include "db/Messages.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "masterdata/KlassenTabelle.h"
#include "results/CompetitionRules.h"
#include "results/PairingEntry.h"

#include <algorithm>
#include <array>
#include <compare>
#include <optional>
#include <unordered_map>

namespace torvm {

namespace {

struct GroupInfo {
    int klasse = 0;
    int bestCount = 0; // best N of the group; 0 = all count
    std::array<QString, kSlotCount + 1> teams;
};

int classIndex(std::int64_t value)
{
    return value >= 0 && value < kRankingClasses ? static_cast<int>(value) : 0;
}

// The groups' classes and team names, each group read once.
class GroupLookup {
public:
    GroupLookup(CGruppeTable& groups, CTorvmDoc& doc)
        : m_groups(groups)
        , m_doc(doc)
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
        info.bestCount = groupBestCount(m_doc.GetDatabase(), &m_doc, id);
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
    CTorvmDoc& m_doc;
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

// A row stored under a pass number the file does not know ("Trotzdem speichern") still gets a line
// a reader can follow up.
QString rowName(const RoundResultRow& row)
{
    if (!row.known)
        return QStringLiteral("Passnr. %1 (unbekannt)").arg(row.participant);
    return participantDisplayName(row.titel, row.name, row.vorname, row.zusatz);
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

QString markedName(const QString& name, bool substitute, bool individual)
{
    if (substitute)
        return name + QStringLiteral(" (E)");
    if (individual)
        return name + QStringLiteral(" (ES)");
    return name;
}

QString RankingRow::ringsText() const
{
    const QString text = ringText(rings, tenths);
    return counted ? text : QLatin1Char('(') + text + QLatin1Char(')');
}

QString SeasonRow::totalText() const
{
    return ringText(total, tenths);
}

QString SeasonRow::bestText() const
{
    return ringText(best, tenths);
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
    GroupLookup groups(sources.groups, doc);
    ranking.tenths = competitionRules(doc.GetDatabase(), &doc).tenths;

    // Rows come best first, so under best N a team's first N team shooters are the ones counted.
    std::unordered_map<std::int32_t, int> takenPerTeam;
    std::vector<bool> countsForTeam(rows->size(), true);
    std::array<std::vector<std::size_t>, kRankingClasses> byClass, outOfContest;
    for (std::size_t i = 0; i < rows->size(); ++i) {
        const RoundResultRow& row = (*rows)[i];
        const int best = groups.group(row.id / 1000000).bestCount;
        if (row.scoring == kTeamShooter && best > 0)
            countsForTeam[i] = takenPerTeam[row.id / 100]++ < best;
        (row.scoring == kOutOfContest ? outOfContest : byClass)[groups.rowClass(row, mode)].push_back(i);
    }

    platz = std::clamp(platz, 0, kMaxPlatz);
    const auto rankingRow = [&](std::size_t i, int rank) {
        const RoundResultRow& row = (*rows)[i];
        RankingRow shown{rank, markedName(rowName(row), row.substitute, row.scoring == kIndividual),
                         groups.team(row.id), row.rings, !row.titel.isEmpty()};
        shown.outOfContest = row.scoring == kOutOfContest;
        shown.counted = countsForTeam[i];
        shown.tenths = ranking.tenths;
        return shown;
    };
    for (int c = 0; c < kRankingClasses; ++c) {
        const int counted =
            std::min(static_cast<int>(byClass[c].size()), platz) + static_cast<int>(outOfContest[c].size());
        if (counted == 0)
            continue;
        RankingClass cls{c, c == 0 ? QString() : classNames.Name(c), counted, {}};
        std::int64_t lastRings = -1;
        int k = 0;
        for (const std::size_t i : byClass[c]) {
            const std::int64_t rings = (*rows)[i].rings;
            // Ties at the last place are listed as well.
            if (rings != lastRings && k >= platz)
                break;
            ++k;
            cls.rows.push_back(rankingRow(i, rings != lastRings ? k : 0));
            lastRings = rings;
        }
        for (const std::size_t i : outOfContest[c])
            cls.rows.push_back(rankingRow(i, 0));
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
    if (rounds == 0)
        return tenths ? QStringLiteral("0,00") : QStringLiteral("0,0");
    const std::int64_t scaled = averageTenths();
    return QString::asprintf(tenths ? "%lld,%02lld" : "%lld,%lld", static_cast<long long>(scaled / (tenths ? 100 : 10)),
                             static_cast<long long>(scaled % (tenths ? 100 : 10)));
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
    GroupLookup groups(sources.groups, doc);
    ranking.tenths = competitionRules(doc.GetDatabase(), &doc).tenths;
    struct Shooter {
        SeasonRow row;
        int klasse = 0;
        int lastRound = -1;
        std::int64_t roundRings = 0; // of the round being read
        bool anySubstitute = false;
        bool allIndividual = true;
    };
    // Out-of-competition results count nowhere: a shooter who also started regularly is ranked
    // on the regular results alone; one who never did is listed apart.
    struct Shooters {
        std::unordered_map<std::int32_t, Shooter> byNumber;
        std::vector<std::int32_t> order; // first appearance, so equal rows keep a stable order
    };
    Shooters ranked, apart;
    for (const RoundResultRow& result : *results) {
        Shooters& list = result.scoring == kOutOfContest ? apart : ranked;
        auto [it, added] = list.byNumber.try_emplace(result.participant);
        Shooter& s = it->second;
        if (added) {
            list.order.push_back(result.participant);
            s.row.name = rowName(result);
            s.row.titled = !result.titel.isEmpty();
            s.row.tenths = ranking.tenths;
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
        s.anySubstitute = s.anySubstitute || result.substitute;
        s.allIndividual = s.allIndividual && result.scoring == kIndividual;
    }

    CKlassenTabelle classNames;
    classNames.Load(doc);
    std::array<std::vector<const SeasonRow*>, kRankingClasses> byClass, outOfContest;
    for (Shooters* list : {&ranked, &apart}) {
        for (const std::int32_t number : list->order) {
            Shooter& s = list->byNumber.at(number);
            if (s.row.rounds < minRounds || (list == &apart && ranked.byNumber.contains(number)))
                continue;
            s.row.name = markedName(s.row.name, s.anySubstitute, s.allIndividual);
            s.row.outOfContest = list == &apart;
            (list == &apart ? outOfContest : byClass)[s.klasse].push_back(&s.row);
        }
    }
    // Averages compared exactly: a / n against b / m as a * m against b * n.
    const auto compare = [](const SeasonRow& a, const SeasonRow& b) {
        if (const auto c = a.total * b.rounds <=> b.total * a.rounds; c != 0)
            return c;
        if (const auto c = a.total <=> b.total; c != 0)
            return c;
        return a.best <=> b.best;
    };
    const auto byAverage = [&](const SeasonRow* a, const SeasonRow* b) { return compare(*a, *b) > 0; };
    for (int c = 0; c < kRankingClasses; ++c) {
        auto& rows = byClass[c];
        if (rows.empty() && outOfContest[c].empty())
            continue;
        std::stable_sort(rows.begin(), rows.end(), byAverage);
        SeasonClass cls{c, c == 0 ? QString() : classNames.Name(c), {}};
        for (std::size_t i = 0; i < rows.size(); ++i) {
            SeasonRow row = *rows[i];
            row.rank = i > 0 && compare(*rows[i - 1], row) == 0 ? 0 : static_cast<int>(i) + 1;
            cls.rows.push_back(std::move(row));
        }
        std::stable_sort(outOfContest[c].begin(), outOfContest[c].end(), byAverage);
        for (const SeasonRow* row : outOfContest[c])
            cls.rows.push_back(*row);
        ranking.classes.push_back(std::move(cls));
    }
    return ranking;
}

QString seasonRuleText(int minRounds)
{
    return minRounds == 1 ? QStringLiteral("nach Ringdurchschnitt, mindestens 1 Durchgang")
                          : QStringLiteral("nach Ringdurchschnitt, mindestens %1 Durchgänge").arg(minRounds);
}

} // namespace torvm
