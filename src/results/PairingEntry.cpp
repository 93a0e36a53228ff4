#include "results/PairingEntry.h"

#include "document/TorvmDoc.h"
#include "fixtures/PlanRound.h"

#include <algorithm>
#include <numeric>

namespace torvm {

std::int64_t PairingSide::total() const
{
    return std::accumulate(rings.begin(), rings.end(), std::int64_t{0});
}

std::array<bool, kShooterRows> countedRows(const std::array<std::int32_t, kShooterRows>& rings,
                                           const std::array<std::uint8_t, kShooterRows>& scoring, int rows,
                                           int bestCount)
{
    std::array<bool, kShooterRows> counted{};
    std::array<int, kShooterRows> order{};
    int candidates = 0;
    for (int n = 0; n < std::clamp(rows, 0, kShooterRows); ++n) {
        if (scoring[n] == kTeamShooter)
            order[candidates++] = n;
    }
    // Stable: of equal rings the upper row counts, so the choice never depends on the sort.
    std::stable_sort(order.begin(), order.begin() + candidates, [&](int a, int b) { return rings[a] > rings[b]; });
    const int take = bestCount > 0 ? std::min(bestCount, candidates) : candidates;
    for (int k = 0; k < take; ++k)
        counted[order[k]] = true;
    return counted;
}

PairingEntry::PairingEntry(Database* db, CTorvmDoc* doc)
    : m_db(db)
    , m_doc(doc)
    , m_groups(db, doc)
    , m_plans(db, doc)
    , m_results(db, doc)
    , m_people(db, doc)
{
}

bool PairingEntry::open()
{
    return m_groups.OpenTable() && m_plans.OpenTable() && m_results.OpenTable() && m_people.OpenTable();
}

void PairingEntry::load(int group, int round, int pairing)
{
    m_group = group;
    m_round = round;
    m_pairing = pairing;
    Transaction view(*m_db, Transaction::Kind::Read);
    m_groups.LoadGroup(group);
    m_groupName = m_groups.m_Name;
    // A damaged team size must not hide rows that hold results, nor reach past the 20 rows.
    m_teamSize = std::clamp<int>(m_groups.IsFieldNull(&m_groups.m_Anzahl) ? 4 : m_groups.m_Anzahl, 0, kShooterRows);
    m_bestCount = groupBestCount(m_db, m_doc, group);
    m_rules = competitionRules(m_db, m_doc);

    const bool noRound = m_plans.SelectRound(m_groups.m_Plan, round);
    m_conflict.clear();
    m_pairingCount = 0;
    if (!noRound) {
        for (int k = 0; k < kPairingsPerRound; ++k) {
            if (m_plans.m_A[k] != 0 || m_plans.m_B[k] != 0)
                m_pairingCount = k + 1;
        }
        if (const auto fault = findPairingFault(m_plans.m_A, m_plans.m_B, pairing)) {
            m_conflict = QStringLiteral("Der Wettkampfplan %1, Durchgang %2, ist fehlerhaft: %3\n"
                                        "Diese Paarung kann erst nach der Korrektur des Plans gespeichert werden.")
                             .arg(m_groups.m_Plan + 1)
                             .arg(round + 1)
                             .arg(planRoundFaultText(*fault));
        }
    }
    for (int s = 0; s < 2; ++s) {
        PairingSide& side = m_sides[s];
        const int slot = noRound ? 0 : m_plans.PairingTeam(s == 0 ? 1 : 0, pairing);
        side = PairingSide{};
        side.slot = slot >= 1 && slot <= kSlotCount ? slot : 0;
        side.team = m_groups.TeamName(side.slot);
        side.club = side.slot != 0 ? m_groups.m_Verein[static_cast<std::size_t>(side.slot - 1)] : 0;
        loadSide(side);
    }
    m_loaded = m_sides;
    view.commit();
}

bool PairingEntry::isModified() const
{
    for (int s = 0; s < 2; ++s) {
        const PairingSide& now = m_sides[s];
        const PairingSide& then = m_loaded[s];
        if (now.adjustment != then.adjustment || now.reason != then.reason || now.absent != then.absent)
            return true;
        for (int n = 0; n < m_teamSize; ++n) {
            if (now.participant[n] != then.participant[n] || now.rings[n] != then.rings[n] ||
                now.substitute[n] != then.substitute[n] || now.scoring[n] != then.scoring[n])
                return true;
        }
    }
    return false;
}

std::vector<PairingWarning> PairingEntry::check(int highest)
{
    std::vector<PairingWarning> warnings;
    if (!m_conflict.isEmpty())
        return warnings;
    Transaction view(*m_db, Transaction::Kind::Read);
    for (int s = 0; s < 2; ++s)
        checkSide(s, highest, warnings);
    const PairingSide& a = m_sides[0];
    const PairingSide& b = m_sides[1];
    const std::int64_t totalA = countedTotal(0);
    const std::int64_t totalB = countedTotal(1);
    if (a.hasTeam() && b.hasTeam() && (totalA > 0) != (totalB > 0)) {
        const int empty = totalA > 0 ? 1 : 0;
        // A team marked as not appeared is expected to have no result.
        if (!m_sides[empty].absent) {
            warnings.push_back({empty, 0, PairingWarning::Field::Number,
                                QStringLiteral("%1 hat kein Ergebnis; die Paarung zählte als Sieg für %2.")
                                    .arg(m_sides[empty].team, m_sides[1 - empty].team)});
        }
    }
    view.commit();
    return warnings;
}

void PairingEntry::checkSide(int s, int highest, std::vector<PairingWarning>& warnings)
{
    const PairingSide& side = m_sides[s];
    if (!side.hasTeam())
        return;
    const std::int32_t teamClub = m_groups.m_Verein[side.slot - 1];
    if (side.absent && side.total() > 0) {
        warnings.push_back({s, 0, PairingWarning::Field::Rings,
                            QStringLiteral("%1 ist als nicht angetreten markiert, hat aber Ergebnisse; sie zählen "
                                           "nicht.")
                                .arg(side.team)});
    }
    for (int n = 0; n < m_teamSize; ++n) {
        const std::int32_t number = side.participant[n];
        const QString where = QStringLiteral("%1, Zeile %2: ").arg(side.team).arg(n + 1);
        auto warn = [&](PairingWarning::Field field, const QString& text) {
            warnings.push_back({s, n, field, where + text});
        };
        if (number != 0) {
            if (m_people.SelectParticipant(number)) {
                warn(PairingWarning::Field::Number,
                     QStringLiteral("Die Paßnummer %1 gehört zu keinem Teilnehmer.").arg(number));
            } else if (m_people.m_Verein != teamClub && !side.substitute[n]) {
                // A substitute is often lent by another team of the club under a club number of
                // its own; the season limit below watches substitutes instead.
                warn(PairingWarning::Field::Number, QStringLiteral("%1 %2 gehört nicht zum Verein der Mannschaft.")
                                                        .arg(m_people.m_Vorname, m_people.m_Name));
            }
            bool twiceHere = false;
            for (int t = 0; t <= s && !twiceHere; ++t) {
                const int rows = t == s ? n : m_teamSize;
                for (int m = 0; m < rows && !twiceHere; ++m)
                    twiceHere = m_sides[t].hasTeam() && m_sides[t].participant[m] == number;
            }
            if (twiceHere) {
                warn(PairingWarning::Field::Number,
                     QStringLiteral("Die Paßnummer %1 ist in dieser Paarung bereits eingetragen.").arg(number));
            } else if (const auto elsewhere =
                           m_results.FindShooterInRound(m_round, number, m_group, {m_sides[0].slot, m_sides[1].slot})) {
                const int group = *elsewhere / 1000000;
                const int slot = *elsewhere / 100 % 100;
                CGruppeTable other(m_db, m_groups.GetDocument());
                other.LoadGroup(group);
                warn(PairingWarning::Field::Number,
                     QStringLiteral("Die Paßnummer %1 ist in diesem Durchgang bereits bei %2 (%3) eingetragen.")
                         .arg(number)
                         .arg(other.TeamName(slot), other.m_Name));
            }
        }
        if (number != 0 && side.substitute[n] && m_rules.substituteLimit > 0) {
            const auto before =
                m_results.CountSubstituteStarts(number, {resultKey(m_group, m_round, m_sides[0].slot, 0) / 100,
                                                         resultKey(m_group, m_round, m_sides[1].slot, 0) / 100});
            int here = 0; // this row and the rows above it in the pairing
            for (int t = 0; t <= s; ++t) {
                for (int m = 0; m < (t == s ? n + 1 : m_teamSize); ++m)
                    here += m_sides[t].hasTeam() && m_sides[t].substitute[m] && m_sides[t].participant[m] == number;
            }
            if (before && *before + here > m_rules.substituteLimit) {
                warn(PairingWarning::Field::Number,
                     QStringLiteral("Die Paßnummer %1 hat damit %2 Ersatzeinsätze; erlaubt sind %3.")
                         .arg(number)
                         .arg(*before + here)
                         .arg(m_rules.substituteLimit));
            }
        }
        if (highest > 0 && side.rings[n] > highest) {
            warn(PairingWarning::Field::Rings,
                 QStringLiteral("%1 Ringe liegen über dem höchsten Einzelergebnis %2.")
                     .arg(ringText(side.rings[n], m_rules.tenths), ringText(highest, m_rules.tenths)));
        }
    }
}

void PairingEntry::loadSide(PairingSide& side)
{
    if (!side.hasTeam() || !m_results.SelectTeamRows(m_group, m_round, side.slot))
        return;
    auto value = [this](const std::int32_t& v) { return m_results.IsFieldNull(&v) ? 0 : v; };
    for (; !m_results.IsEOF(); m_results.MoveNext()) {
        const int row = m_results.m_ID % 100;
        if (row >= 1 && row <= m_teamSize) {
            side.participant[row - 1] = value(m_results.m_TNr);
            side.rings[row - 1] = value(m_results.m_Ergebnis);
            side.substitute[row - 1] = value(m_results.m_Ersatz) == 1;
            // A mark no reader knows is an ordinary team shooter, as older versions read it.
            const std::int32_t scoring = value(m_results.m_Wertung);
            side.scoring[row - 1] = scoring == kIndividual || scoring == kOutOfContest ? scoring : kTeamShooter;
        } else if (row == kSummaryRow) {
            side.adjustment = value(m_results.m_Punkte);
            side.reason = m_results.m_Text;
            side.absent = value(m_results.m_Flag) == 1;
        }
    }
}

bool PairingEntry::save()
{
    m_lastError = {};
    if (!m_conflict.isEmpty())
        return true;
    Transaction tx(*m_db);
    if (!tx.active()) {
        m_lastError = m_db->lastError();
        return false;
    }
    for (const PairingSide& side : m_sides) {
        if (!side.hasTeam())
            continue;
        for (int row = 1; row <= m_teamSize; ++row) {
            if (!m_results.SaveResult(side.participant[row - 1], side.rings[row - 1], m_group, m_round, side.slot, row,
                                      side.substitute[row - 1] ? 1 : 0, side.scoring[row - 1])) {
                m_lastError = m_results.GetLastError();
                return false;
            }
        }
        if (!m_results.SavePoints(side.adjustment, side.reason, m_group, m_round, side.slot, kSummaryRow,
                                  side.absent ? 1 : 0)) {
            m_lastError = m_results.GetLastError();
            return false;
        }
    }
    if (!tx.commit()) {
        m_lastError = m_db->lastError();
        return false;
    }
    m_loaded = m_sides;
    return true;
}

std::array<bool, kShooterRows> PairingEntry::counted(int side) const
{
    const PairingSide& s = m_sides[side];
    return countedRows(s.rings, s.scoring, m_teamSize, m_bestCount);
}

std::int64_t PairingEntry::countedTotal(int side) const
{
    const PairingSide& s = m_sides[side];
    if (s.absent)
        return 0;
    const auto rows = counted(side);
    std::int64_t total = 0;
    for (int n = 0; n < kShooterRows; ++n)
        total += rows[n] ? s.rings[n] : 0;
    return total;
}

void PairingEntry::takeOverParticipants()
{
    if (m_round <= 0)
        return;
    for (PairingSide& side : m_sides) {
        side.participant.fill(0);
        side.rings.fill(0);
        side.substitute.fill(false);
        side.scoring.fill(kTeamShooter);
        if (!side.hasTeam())
            continue;
        for (int row = 1; row <= m_teamSize; ++row) {
            m_results.LoadResult(m_group, m_round - 1, side.slot, row);
            side.participant[row - 1] = m_results.IsFieldNull(&m_results.m_TNr) ? 0 : m_results.m_TNr;
            // Who starts only for the individual ranking keeps doing so; a substitute is one round's.
            if (m_results.m_Wertung == kIndividual || m_results.m_Wertung == kOutOfContest)
                side.scoring[row - 1] = static_cast<std::uint8_t>(m_results.m_Wertung);
        }
    }
}

QString PairingEntry::participantName(std::int32_t number)
{
    if (number == 0 || m_people.SelectParticipant(number))
        return {};
    return m_people.m_Name + QLatin1Char(' ') + m_people.m_Vorname;
}

} // namespace torvm
