#include "output/MissingResults.h"

#include "db/Database.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"

#include <map>
#include <set>

namespace torvm {

namespace {

// The slots of a group's round that have a result: a shooter row with rings, or a summary row
// marking the team as not appeared.
std::optional<std::set<int>> slotsWithResults(Database& db, int group, int round)
{
    Statement st = db.prepare(R"(SELECT DISTINCT "ID" / 100 % 100 FROM "Wettkampf" WHERE "ID" BETWEEN ? AND ?
        AND (("ID" % 100 <> 99 AND "Ergebnis" <> 0) OR ("ID" % 100 = 99 AND "Flag" <> 0)))");
    st.bind(1, std::int64_t{resultKey(group, round, 0, 0)});
    st.bind(2, std::int64_t{resultKey(group, round, kSlotCount, 99)});
    std::set<int> entered;
    while (st.next())
        entered.insert(static_cast<int>(st.int64(0)));
    if (st.failed())
        return std::nullopt;
    return entered;
}

} // namespace

std::optional<std::vector<MissingPairing>> missingResults(Database* db, CTorvmDoc* doc, const QDate& reference,
                                                          QString* error)
{
    std::vector<MissingPairing> missing;
    CGruppeTable groups(db, doc);
    CPlanTable plans(db, doc);
    const std::optional<int> last = groups.LastGroupId();
    if (!last || !plans.Open()) {
        *error = db->lastError().text;
        return std::nullopt;
    }
    for (int group = 0; group <= *last; ++group) {
        if (!groups.LoadGroup(group) || groups.m_Plan < 0 || groups.m_Plan >= kPlanCount)
            continue;
        const auto side = [&groups](int slot) {
            return MissingSide{groups.TeamName(slot), groups.m_MFuehrer[static_cast<std::size_t>(slot - 1)],
                               groups.CaptainPhone(slot)};
        };
        for (int round = 0; round < kRoundsPerPlan; ++round) {
            if (plans.SelectRound(groups.m_Plan, round))
                continue;
            const QDate date = plans.m_Datum1.date();
            if (!date.isValid() || date >= reference)
                continue;
            const std::optional<std::set<int>> shot = slotsWithResults(*db, group, round);
            if (!shot) {
                *error = db->lastError().text;
                return std::nullopt;
            }
            for (int k = 0; k < kPairingsPerRound; ++k) {
                const int a = plans.m_A[static_cast<std::size_t>(k)];
                const int b = plans.m_B[static_cast<std::size_t>(k)];
                if (!groups.SlotUsed(a) || !groups.SlotUsed(b) || shot->count(a) || shot->count(b))
                    continue;
                missing.push_back({group, groups.m_Name, round, plans.m_Datum1, side(a), side(b)});
            }
        }
    }
    return missing;
}

QString missingResultsText(const std::vector<MissingPairing>& missing, const QDate& reference)
{
    const QString day = reference.toString(QStringLiteral("dd.MM.yyyy"));
    if (missing.empty())
        return QStringLiteral("Keine ausstehenden Ergebnisse vor dem %1.\n").arg(day);
    const auto team = [](const MissingSide& side) {
        QStringList contact;
        if (!side.captain.isEmpty())
            contact << side.captain;
        if (!side.phone.isEmpty())
            contact << QStringLiteral("Tel. ") + side.phone;
        return contact.isEmpty() ? side.team
                                 : QStringLiteral("%1 (%2)").arg(side.team, contact.join(QStringLiteral(", ")));
    };
    QString text = QStringLiteral("Ausstehende Ergebnisse vor dem %1: %2 %3\n")
                       .arg(day)
                       .arg(missing.size())
                       .arg(missing.size() == 1 ? QStringLiteral("Paarung") : QStringLiteral("Paarungen"));
    int group = -1;
    for (const MissingPairing& p : missing) {
        if (p.group != group) {
            text += QStringLiteral("\n%1\n").arg(p.groupName.isEmpty() ? QStringLiteral("Gruppe %1").arg(p.group + 1)
                                                                       : p.groupName);
            group = p.group;
        }
        text += QStringLiteral("Durchgang %1, %2: %3 – %4\n")
                    .arg(p.round + 1)
                    .arg(p.date.date().toString(QStringLiteral("dd.MM.yyyy")), team(p.a), team(p.b));
    }
    return text;
}

} // namespace torvm
