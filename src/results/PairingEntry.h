#pragma once

#include "db/Tables.h"
#include "results/CompetitionRules.h"

#include <QString>

#include <array>
#include <vector>

namespace torvm {

class CTorvmDoc;

inline constexpr int kShooterRows = 20;

// [Wertung] of a shooter row.
enum ShooterScoring : std::uint8_t {
    kTeamShooter = 0,  // counts for the team and the rankings
    kIndividual = 1,   // Einzelschütze: ranked, never part of the team total
    kOutOfContest = 2, // außer Konkurrenz: listed without a place, counts nowhere
};

// Which of a team's shooter rows count for its total: the rows of team shooters, and of those the
// best bestCount by rings (0 = all; of equal rings the upper row). rows is the team size.
std::array<bool, kShooterRows> countedRows(const std::array<std::int32_t, kShooterRows>& rings,
                                           const std::array<std::uint8_t, kShooterRows>& scoring, int rows,
                                           int bestCount);

// Something in a pairing that a careful official would look at again before it is stored.
struct PairingWarning {
    enum class Field { Number, Rings };
    int side = 0; // 0 = A, 1 = B
    int row = 0;  // 0-based shooter row
    Field field = Field::Number;
    QString text;
    friend bool operator==(const PairingWarning&, const PairingWarning&) = default;
};

// One team's side of a pairing as the result entry holds it between loads and saves.
struct PairingSide {
    int slot = 0; // 1 ... 20; 0 = the plan names no team here
    QString team; // TeamName of the slot
    int club = 0; // the club of the slot
    std::array<std::int32_t, kShooterRows> participant{};
    std::array<std::int32_t, kShooterRows> rings{};
    std::array<bool, kShooterRows> substitute{};      // [Ersatz] = 1: stands in for a regular shooter
    std::array<std::uint8_t, kShooterRows> scoring{}; // [Wertung]: see ShooterScoring
    std::int32_t adjustment = 0;                      // row 99: -2 ... +2
    QString reason;                                   // row 99: why
    bool absent = false;                              // row 99 [Flag] = 1: the team did not appear

    std::int64_t total() const;
    // A side without a team has no rows of its own: its rows would share slot 0's keys with the
    // other side's and overwrite them.
    bool hasTeam() const { return slot != 0; }
};

// Loads and saves one pairing (group, round, pairing position) of the result entry: the group's
// plan resolves the two slots; each side has 20 shooter rows and its summary row 99. The dialog
// owns one of these and only moves values between it and its controls.
class PairingEntry {
public:
    PairingEntry(Database* db, CTorvmDoc* doc);

    // Opens the group, plan, result and participant tables; false (message shown) on failure.
    bool open();

    // Reads the pairing; rows above the group's team size read as empty.
    void load(int group, int round, int pairing);
    // Writes the shooter rows 1 ... team size and row 99 of both teams in one transaction: the old
    // pairing or the new, never half of each. Rows above the team size keep what they hold, so
    // lowering the team size loses nothing. Sides without a team, and a pairing whose plan round
    // is in conflict, are not written. false when the file refused the write.
    bool save();
    // The pairing differs from what load() read.
    bool isModified() const;
    // Everything worth a second look (rings above highest, 0 = no limit; unknown pass numbers;
    // a shooter twice in the round; a shooter of another club; one team without results), in
    // field order.
    std::vector<PairingWarning> check(int highest);
    // Non-empty when the plan round names a team of this pairing twice or against itself: the
    // entry then cannot tell the two sides' rows apart and saves nothing.
    const QString& conflict() const { return m_conflict; }
    // Pairings of the round: the positions up to the last one that names a team (a bye included).
    int pairingCount() const { return m_pairingCount; }
    // Copies each team's line-up (participant numbers of rows 1 ... size) from its previous
    // round and clears the rings. Nothing happens in the first round. Nothing is saved.
    void takeOverParticipants();

    // "Name Vorname" of a participant number; empty for 0 or an unknown number.
    QString participantName(std::int32_t number);

    int group() const { return m_group; }
    int round() const { return m_round; }
    int pairing() const { return m_pairing; }
    int teamSize() const { return m_teamSize; }
    // The loaded group's best N; 0 = every shooter counts.
    int bestCount() const { return m_bestCount; }
    // The rows of a side that count for its total under best N and the row marks.
    std::array<bool, kShooterRows> counted(int side) const;
    // The side's total of its counted rows; 0 for a team that did not appear.
    std::int64_t countedTotal(int side) const;
    const QString& groupName() const { return m_groupName; }
    PairingSide& side(int index) { return m_sides[index]; }
    const PairingSide& side(int index) const { return m_sides[index]; }
    const DbError& lastError() const { return m_lastError; }

private:
    void loadSide(PairingSide& side);
    void checkSide(int s, int highest, std::vector<PairingWarning>& warnings);

    Database* m_db;
    CTorvmDoc* m_doc;
    CGruppeTable m_groups;
    CPlanTable m_plans;
    CWettkampfTable m_results;
    CTeilnehmerTable m_people;
    int m_group = 0;
    int m_round = 0;
    int m_pairing = 0;
    int m_teamSize = 4;
    int m_bestCount = 0;
    CompetitionRules m_rules;
    QString m_groupName;
    QString m_conflict;
    int m_pairingCount = 0;
    std::array<PairingSide, 2> m_sides;
    std::array<PairingSide, 2> m_loaded; // as read, to tell a changed pairing
    DbError m_lastError;
};

} // namespace torvm
