#include "results/PairingEntry.h"

#include "document/TorvmDoc.h"

#include <algorithm>
#include <numeric>

namespace torvm {

std::int64_t PairingSide::total() const
{
    return std::accumulate(rings.begin(), rings.end(), std::int64_t{0});
}

PairingEntry::PairingEntry(Database* db, CTorvmDoc* doc)
    : m_db(db)
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
    m_teamSize = std::clamp<int>(m_groups.m_Anzahl == kNullShort ? 4 : m_groups.m_Anzahl, 0, kShooterRows);

    const bool noRound = m_plans.SelectRound(m_groups.m_Plan, round);
    for (int s = 0; s < 2; ++s) {
        PairingSide& side = m_sides[s];
        const int slot = noRound ? 0 : m_plans.PairingTeam(s == 0 ? 1 : 0, pairing);
        side = PairingSide{};
        side.slot = slot >= 1 && slot <= kSlotCount ? slot : 0;
        side.team = m_groups.TeamName(side.slot);
        loadSide(side);
    }
    view.commit();
}

void PairingEntry::loadSide(PairingSide& side)
{
    if (!side.hasTeam() || !m_results.SelectTeamRows(m_group, m_round, side.slot))
        return;
    auto value = [](std::int32_t v) { return v == kNullLong ? 0 : v; };
    for (; !m_results.IsEOF(); m_results.MoveNext()) {
        const int row = m_results.m_ID % 100;
        if (row >= 1 && row <= m_teamSize) {
            side.participant[row - 1] = value(m_results.m_TNr);
            side.rings[row - 1] = value(m_results.m_Ergebnis);
        } else if (row == kSummaryRow) {
            side.adjustment = value(m_results.m_Punkte);
            side.reason = m_results.m_Text;
        }
    }
}

bool PairingEntry::save()
{
    m_lastError = {};
    Transaction tx(*m_db);
    if (!tx.active()) {
        m_lastError = m_db->lastError();
        return false;
    }
    for (const PairingSide& side : m_sides) {
        if (!side.hasTeam())
            continue;
        for (int row = 1; row <= kShooterRows; ++row) {
            // Rows above the team size are stored empty, as they are shown.
            const bool shown = row <= m_teamSize;
            if (!m_results.SaveResult(shown ? side.participant[row - 1] : 0, shown ? side.rings[row - 1] : 0, m_group,
                                      m_round, side.slot, row)) {
                m_lastError = m_results.GetLastError();
                return false;
            }
        }
        if (!m_results.SavePoints(side.adjustment, side.reason, m_group, m_round, side.slot, kSummaryRow)) {
            m_lastError = m_results.GetLastError();
            return false;
        }
    }
    if (!tx.commit()) {
        m_lastError = m_db->lastError();
        return false;
    }
    return true;
}

void PairingEntry::takeOverParticipants()
{
    if (m_round <= 0)
        return;
    for (PairingSide& side : m_sides) {
        side.participant.fill(0);
        side.rings.fill(0);
        if (!side.hasTeam())
            continue;
        for (int row = 1; row <= m_teamSize; ++row) {
            m_results.LoadResult(m_group, m_round - 1, side.slot, row);
            side.participant[row - 1] = m_results.m_TNr == kNullLong ? 0 : m_results.m_TNr;
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
