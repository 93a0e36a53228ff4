#include "output/OutputRows.h"

#include "db/Messages.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "masterdata/KlassenTabelle.h"
#include "output/Ranking.h"

#include <algorithm>
#include <unordered_map>

namespace torvm {

namespace {

QString birthDateText(const DateTime& d)
{
    return d.day() >= 1 && d.month() >= 1 ? QString::asprintf("%02d.%02d.%04d", d.day(), d.month(), d.year())
                                          : QString();
}

} // namespace

std::optional<std::vector<FixtureSchedule>> fixtureSchedules(CTorvmDoc& doc, const std::array<bool, kPlanCount>& chosen)
{
    std::vector<FixtureSchedule> schedules;
    if (std::none_of(chosen.begin(), chosen.end(), [](bool c) { return c; }))
        return schedules;
    CPlanTable plans(doc.GetDatabase(), &doc);
    if (!plans.OpenTable())
        return std::nullopt;
    for (int p = 0; p < kPlanCount; ++p) {
        if (!chosen[p])
            continue;
        FixtureSchedule schedule;
        schedule.plan = p;
        schedule.name = plans.PlanName(p);
        schedule.k = (plans.CountPlayedRounds(p) + 1) / 2;
        int number = 0;
        for (int h = 0; h < 2; ++h) {
            for (int i = 0; i < schedule.k; ++i) {
                if (plans.SelectRound(p, h * schedule.k + i) || !plans.RoundHasPairing())
                    continue;
                ScheduleRound round;
                round.number = ++number;
                round.half = h;
                round.position = i;
                round.date = plans.m_Datum1;
                for (int j = 0; j < kPairingsPerRound; ++j) {
                    if (plans.m_A[j] != 0 && plans.m_B[j] != 0)
                        round.pairings.emplace_back(plans.m_A[j], plans.m_B[j]);
                }
                schedule.rounds.push_back(std::move(round));
            }
        }
        schedules.push_back(std::move(schedule));
    }
    return schedules;
}

QString scheduleLabel(const ScheduleRound& round)
{
    const DateTime& d = round.date;
    return QString::asprintf("%d:  %2d.%02d.%04d %2d:%02d", round.number, d.day(), d.month(), d.year(), d.hour(),
                             d.minute());
}

QString printedScheduleLabel(const ScheduleRound& round)
{
    return round.date.isValid() ? scheduleLabel(round) : QString::asprintf("%d:", round.number);
}

std::optional<std::vector<GroupSheet>> groupSheets(CTorvmDoc& doc, const std::vector<int>& ids)
{
    std::vector<GroupSheet> sheets;
    if (ids.empty())
        return sheets;
    CGruppeTable groups(doc.GetDatabase(), &doc);
    CPlanTable plans(doc.GetDatabase(), &doc);
    if (!groups.OpenTable() || !plans.OpenTable())
        return std::nullopt;
    for (const int id : ids) {
        groups.LoadGroup(id);
        GroupSheet sheet;
        sheet.name = groups.m_Name;
        std::array<QString, kSlotCount + 1> names;
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (!groups.SlotUsed(slot))
                continue;
            names[slot] = groups.TeamName(slot);
            sheet.teams.push_back({names[slot], groups.CaptainAddress(slot), groups.CaptainPhone(slot)});
        }
        for (int r = 0; r < kRoundsPerPlan; ++r) {
            if (plans.SelectRound(groups.m_Plan, r) || !plans.RoundHasPairing())
                continue;
            GroupRound round;
            round.date = plans.m_Datum1;
            for (int k = 0; k < kPairingsPerRound; ++k) {
                const int a = plans.m_A[k];
                const int b = plans.m_B[k];
                if (groups.SlotUsed(a) && groups.SlotUsed(b))
                    round.pairings.emplace_back(names[a], names[b]);
            }
            sheet.rounds.push_back(std::move(round));
        }
        sheets.push_back(std::move(sheet));
    }
    return sheets;
}

QString groupRoundDate(const DateTime& date)
{
    return QString::asprintf("%d.%02d.%04d", date.day(), date.month(), date.year());
}

QString printedRoundDate(const DateTime& date)
{
    return date.isValid() ? groupRoundDate(date) : QString();
}

std::optional<std::vector<ClubRow>> clubRows(CTorvmDoc& doc)
{
    CVereinTable clubs(doc.GetDatabase(), &doc);
    if (!clubs.OpenTable())
        return std::nullopt;
    if (!clubs.Select(nullptr, {}, R"("Vereinsnummer")")) {
        showDatabaseError(clubs.GetLastError().text);
        return std::nullopt;
    }
    std::vector<ClubRow> rows;
    for (; !clubs.IsEOF(); clubs.MoveNext())
        rows.push_back({clubs.m_Vereinsnummer, clubs.m_Name});
    return rows;
}

std::optional<std::vector<ParticipantRow>> participantRows(CTorvmDoc& doc, int sort)
{
    Database* db = doc.GetDatabase();
    CTeilnehmerTable people(db, &doc);
    CVereinTable clubs(db, &doc);
    if (!people.OpenTable() || !clubs.OpenTable())
        return std::nullopt;
    // The clubs once, instead of one lookup per participant.
    std::unordered_map<std::int32_t, QString> clubNames;
    if (!clubs.Select(nullptr)) {
        showDatabaseError(clubs.GetLastError().text);
        return std::nullopt;
    }
    for (; !clubs.IsEOF(); clubs.MoveNext())
        clubNames.emplace(clubs.m_Vereinsnummer, clubs.m_Name);
    CKlassenTabelle classes;
    classes.Load(doc);
    if (!people.Select(nullptr, {},
                       sort == 1 ? R"("Name" COLLATE DEUTSCH, "Vorname" COLLATE DEUTSCH, "Paßnummer")"
                                 : R"("Paßnummer")")) {
        showDatabaseError(people.GetLastError().text);
        return std::nullopt;
    }
    std::vector<ParticipantRow> rows;
    for (; !people.IsEOF(); people.MoveNext()) {
        const auto club = clubNames.find(people.m_Verein);
        ParticipantRow row;
        row.number = people.m_Passnummer;
        row.name = participantDisplayName(people.m_Titel, people.m_Name, people.m_Vorname, people.m_Zusatz);
        row.titled = !people.m_Titel.isEmpty();
        row.club = club != clubNames.end() ? club->second : QString();
        row.birthDate = birthDateText(people.m_Geburtstag);
        row.className = classes.Name(people.m_Klasse);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace torvm
