#include "exchange/NewSeason.h"

#include "db/Backup.h"
#include "db/Database.h"
#include "db/SafeFile.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "output/Standings.h"

#include <QDate>
#include <QRegularExpression>

#include <optional>

namespace torvm {

namespace {

// The slot fields that make a team: club, team number and the captain's address.
struct TeamFields {
    std::optional<std::int32_t> club; // none: Null, which moves as Null
    QString number, captain, street, postcode, postcode2, town, phone;
};

TeamFields takeTeam(CRSGruppe& group, int slot)
{
    const auto i = static_cast<std::size_t>(slot - 1);
    TeamFields team{group.IsFieldNull(&group.m_Verein[i]) ? std::nullopt : std::optional(group.m_Verein[i]),
                    group.m_VNr[i],
                    group.m_MFuehrer[i],
                    group.m_Strasse[i],
                    group.m_PLZ[i],
                    group.m_PLZ2[i],
                    group.m_Ort[i],
                    group.m_Telefon[i]};
    group.m_Verein[i] = 0;
    for (QString* field : {&group.m_VNr[i], &group.m_MFuehrer[i], &group.m_Strasse[i], &group.m_PLZ[i],
                           &group.m_PLZ2[i], &group.m_Ort[i], &group.m_Telefon[i]})
        field->clear();
    return team;
}

void putTeam(CRSGruppe& group, int slot, const TeamFields& team)
{
    const auto i = static_cast<std::size_t>(slot - 1);
    if (team.club) {
        group.m_Verein[i] = *team.club;
        group.SetFieldNull(&group.m_Verein[i], false);
    } else {
        group.SetFieldNull(&group.m_Verein[i]);
    }
    group.m_VNr[i] = team.number;
    group.m_MFuehrer[i] = team.captain;
    group.m_Strasse[i] = team.street;
    group.m_PLZ[i] = team.postcode;
    group.m_PLZ2[i] = team.postcode2;
    group.m_Ort[i] = team.town;
    group.m_Telefon[i] = team.phone;
}

// A stored date one year on; 29 February becomes the 28th, so a bound never slips into March.
QString yearOn(const QString& stored)
{
    const QDate date = QDate::fromString(stored.left(10), Qt::ISODate);
    return date.isValid() ? date.addYears(1).toString(Qt::ISODate) + stored.mid(10) : stored;
}

bool moveClassBounds(Database& db)
{
    struct Bounds {
        std::int64_t id;
        QString from, to;
    };
    std::vector<Bounds> classes;
    Statement read = db.prepare(R"(SELECT "KlasseID", "von", "bis" FROM "Klasse")");
    while (read.next())
        classes.push_back({read.int64(0), read.text(1), read.text(2)});
    if (read.failed())
        return false;
    for (const Bounds& c : classes) {
        Statement write = db.prepare(R"(UPDATE "Klasse" SET "von" = ?, "bis" = ? WHERE "KlasseID" = ?)");
        const auto bind = [&write](int index, const QString& stored) {
            if (stored.isEmpty())
                write.bindNull(index);
            else
                write.bind(index, yearOn(stored));
        };
        bind(1, c.from);
        bind(2, c.to);
        write.bind(3, c.id);
        if (!write.exec())
            return false;
    }
    return true;
}

// Applies the moves to the groups of db: teams leaving free their slot first, then arriving teams
// take the free slots of their new group in slot order. False with the reason when a group has no
// room.
bool moveTeams(Database& db, const SeasonMoves& moves, QString* error)
{
    CGruppeTable groups(&db, nullptr);
    const std::optional<int> last = groups.LastGroupId();
    if (!last)
        return false;
    std::map<int, std::vector<int>> leaving; // group -> slots
    std::map<int, std::vector<TeamFields>> arriving;
    for (const auto& [from, to] : moves) {
        const auto [group, slot] = from;
        if (to != group && to >= 0 && to <= *last && group >= 0 && group <= *last && slot >= 1 && slot <= kSlotCount)
            leaving[group].push_back(slot);
    }
    for (const auto& [group, freed] : leaving) {
        groups.LoadGroup(group);
        for (const int slot : freed)
            arriving[moves.at({group, slot})].push_back(takeTeam(groups, slot));
        if (!groups.SaveGroup(group))
            return false;
    }
    for (const auto& [group, teams] : arriving) {
        groups.LoadGroup(group);
        std::size_t next = 0;
        for (int slot = 1; slot <= kSlotCount && next < teams.size(); ++slot) {
            if (groups.m_Verein[static_cast<std::size_t>(slot - 1)] == 0)
                putTeam(groups, slot, teams[next++]);
        }
        if (next < teams.size()) {
            *error = QStringLiteral("In der Gruppe %1 (%2) ist für %3 weitere Mannschaften kein Platz frei.")
                         .arg(group + 1)
                         .arg(groups.m_Name)
                         .arg(teams.size() - next);
            return false;
        }
        if (!groups.SaveGroup(group))
            return false;
    }
    return true;
}

} // namespace

std::vector<SeasonGroup> finalTables(Database* db, CTorvmDoc* doc)
{
    std::vector<SeasonGroup> tables;
    CGruppeTable groups(db, doc);
    const std::optional<int> last = groups.LastGroupId();
    for (int id = 0; last && id <= *last; ++id) {
        const LeagueTable table = ComputeLeagueTable(db, doc, id, kRoundsPerPlan - 1);
        SeasonGroup group{id, table.name, {}};
        for (const StandingRow& row : table.rows)
            group.table.push_back({row.slot, table.teamNames[static_cast<std::size_t>(row.slot)]});
        // Teams the plan never named have no row in the table; they keep their place at the end.
        groups.LoadGroup(id);
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            const bool listed = std::any_of(group.table.begin(), group.table.end(),
                                            [slot](const SeasonTeam& t) { return t.slot == slot; });
            if (groups.SlotUsed(slot) && !listed)
                group.table.push_back({slot, groups.TeamName(slot)});
        }
        tables.push_back(std::move(group));
    }
    return tables;
}

SeasonMoves proposeMoves(const std::vector<SeasonGroup>& groups, const std::vector<int>& up,
                         const std::vector<int>& down)
{
    const auto count = [](const std::vector<int>& counts, std::size_t g) {
        return g < counts.size() ? std::max(counts[g], 0) : 0;
    };
    SeasonMoves moves;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::vector<SeasonTeam>& table = groups[g].table;
        const int size = static_cast<int>(table.size());
        const int rising = g > 0 ? std::min(count(up, g), size) : 0;
        const int falling = g + 1 < groups.size() ? std::min(count(down, g), size - rising) : 0;
        for (int i = 0; i < rising; ++i)
            moves[{groups[g].id, table[static_cast<std::size_t>(i)].slot}] = groups[g - 1].id;
        for (int i = size - falling; i < size; ++i)
            moves[{groups[g].id, table[static_cast<std::size_t>(i)].slot}] = groups[g + 1].id;
    }
    return moves;
}

QString nextSeasonTitle(const QString& title)
{
    // "2025/26", "2025/2026", "2025-26" count on as a pair, a lone "2025" by itself.
    static const QRegularExpression years(QStringLiteral(R"(\b((?:19|20)\d\d)(?:([/-])(\d\d(?:\d\d)?))?\b)"));
    QString next;
    qsizetype done = 0;
    for (auto it = years.globalMatch(title); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        next += title.mid(done, m.capturedStart() - done);
        next += QString::number(m.captured(1).toInt() + 1);
        if (m.capturedLength(3) > 0) {
            const int second = m.captured(3).toInt() + 1;
            const int width = static_cast<int>(m.capturedLength(3));
            next += m.captured(2) +
                    QStringLiteral("%1").arg(width == 2 ? second % 100 : second, width, 10, QLatin1Char('0'));
        }
        done = m.capturedEnd();
    }
    return next + title.mid(done);
}

bool createNewSeason(Database& db, const QString& target, const SeasonMoves& moves, QString* error)
{
    if (pathExists(target)) {
        *error =
            QStringLiteral("Die Datei %1 ist bereits vorhanden und wird nicht überschrieben.").arg(displayPath(target));
        return false;
    }
    FileUnderConstruction building(target);
    if (building.path().isEmpty()) {
        *error = building.error();
        return false;
    }
    if (!copyDatabaseInto(db, building.path(), error))
        return false;
    DbError opened;
    std::unique_ptr<Database> next = Database::open(building.path(), Database::Mode::ReadWrite, &opened);
    if (!next) {
        *error = opened.text;
        return false;
    }
    {
        Transaction transaction(*next);
        QString title;
        {
            Statement read = next->prepare(R"(SELECT "Wettbewerb" FROM "Wettbewerb" WHERE "ID" = 1)");
            if (read.next())
                title = read.text(0);
        }
        Statement retitle = next->prepare(R"(UPDATE "Wettbewerb" SET "Wettbewerb" = ? WHERE "ID" = 1)");
        retitle.bind(1, nextSeasonTitle(title));
        const bool done =
            transaction.active() && retitle.exec() && next->execute(R"(DELETE FROM "Wettkampf")") &&
            next->execute(
                R"(UPDATE "Plan" SET "Datum1" = datetime("Datum1", '+364 days') WHERE "Datum1" IS NOT NULL)") &&
            moveClassBounds(*next) && moveTeams(*next, moves, error) && transaction.commit();
        if (!done) {
            if (error->isEmpty())
                *error = next->lastError().text;
            return false;
        }
    }
    if (!next->execute("VACUUM")) {
        *error = next->lastError().text;
        return false;
    }
    next.reset();
    return building.publish(error);
}

} // namespace torvm
