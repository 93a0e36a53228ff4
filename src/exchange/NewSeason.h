#pragma once

#include <QString>

#include <map>
#include <utility>
#include <vector>

namespace torvm {

class CTorvmDoc;
class Database;

// A team of a group's final table.
struct SeasonTeam {
    int slot = 0;
    QString name;
};

// A group's final table, best first. Groups in their order are the levels, the first the highest.
struct SeasonGroup {
    int id = 0;
    QString name;
    std::vector<SeasonTeam> table;
};

// Where teams play next season: (group, slot) -> group. Teams not named stay in their group.
using SeasonMoves = std::map<std::pair<int, int>, int>;

// The final tables of every group, after all rounds with results. Empty groups are listed too.
std::vector<SeasonGroup> finalTables(Database* db, CTorvmDoc* doc);

// Promotion and relegation: the first up[g] teams of group g one level up, the last down[g] one
// level down (a missing entry counts 0). The highest group sends none up, the lowest none down;
// a team both first and last (a group of one) stays.
SeasonMoves proposeMoves(const std::vector<SeasonGroup>& groups, const std::vector<int>& up,
                         const std::vector<int>& down);

// "Rundenwettkampf 2025/26" -> "Rundenwettkampf 2026/27": every year in the title one on.
QString nextSeasonTitle(const QString& title);

// Makes the competition file target for the next season from the open competition db (which is
// only read): clubs, participants, classes (birth-date bounds one year on, so a class keeps its
// ages), fixture plans (dates 52 weeks on, the same weekday), settings, the title counted on, and
// the groups with their teams after moves; results and adjustments empty. target must not exist;
// nothing is left under its name on failure.
bool createNewSeason(Database& db, const QString& target, const SeasonMoves& moves, QString* error);

} // namespace torvm
