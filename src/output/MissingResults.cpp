#include "output/MissingResults.h"

#include "db/Tables.h"
#include "document/TorvmDoc.h"

#include <algorithm>

namespace torvm {

QString groupTitle(int group, const QString& name)
{
    return name.isEmpty() ? QStringLiteral("Gruppe %1").arg(group + 1) : name;
}

std::optional<std::vector<MissingPairing>> missingResults(Database* db, CTorvmDoc* doc, const QDate& reference,
                                                          QString* error)
{
    std::vector<MissingPairing> missing;
    CGruppeTable groups(db, doc);
    CPlanTable plans(db, doc);
    CWettkampfTable results(db, doc);
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
            const std::optional<std::vector<int>> shot = results.SlotsWithResults(group, round);
            if (!shot) {
                *error = db->lastError().text;
                return std::nullopt;
            }
            for (int k = 0; k < kPairingsPerRound; ++k) {
                const int a = plans.m_A[static_cast<std::size_t>(k)];
                const int b = plans.m_B[static_cast<std::size_t>(k)];
                if (!groups.SlotUsed(a) || !groups.SlotUsed(b) || std::count(shot->begin(), shot->end(), a) != 0 ||
                    std::count(shot->begin(), shot->end(), b) != 0)
                    continue;
                missing.push_back({group, groups.m_Name, round, plans.m_Datum1, side(a), side(b), k});
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
            text += QStringLiteral("\n%1\n").arg(groupTitle(p.group, p.groupName));
            group = p.group;
        }
        text += QStringLiteral("Durchgang %1, %2: %3 – %4\n")
                    .arg(p.round + 1)
                    .arg(p.date.date().toString(QStringLiteral("dd.MM.yyyy")), team(p.a), team(p.b));
    }
    return text;
}

} // namespace torvm
