#pragma once

#include "db/MasterRows.h"
#include "db/Recordsets.h"

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace torvm {

// One entry of a lookup list: the text shown and the key it stands for.
struct ComboItem {
    QString text;
    std::int32_t data = 0;
    QString detail; // shown beside the text in the list only (club and pass number of a shooter)
    friend bool operator==(const ComboItem&, const ComboItem&) = default;
};
using ComboItems = std::vector<ComboItem>;

// Opens rs and shows the engine's error when that fails; the open step every access class shares.
bool openTableOrShow(CRecordset& rs);

class CGruppeTable : public CRSGruppe {
public:
    CGruppeTable(Database* db, const CompetitionSource* doc);

    bool OpenTable() { return openTableOrShow(*this); }
    // true when the group exists; otherwise the buffer holds a new group's defaults.
    bool LoadGroup(int id);
    bool SaveGroup(int id);
    // All groups by [ID]: [Name] with [ID]. Opens and closes the table itself.
    ComboItems GroupComboItems();
    // The highest [ID], -1 without groups; none on a database error.
    std::optional<int> LastGroupId();
    // Result rows under the group's keys that hold anything (a participant, rings, points or a
    // remark); -1 on a database error.
    int ResultRowCount(int id);
    // Stored pairings (round and position of the group's plan) whose shooter rows size + 1 ... 20
    // hold something: a lower team size leaves those rows out of the team totals. -1 on a
    // database error.
    int PairingsWithRowsAbove(int id, int plan, int size);
    // Deletes the group with the empty result rows the entry left under its keys, in one
    // transaction; the caller has made sure it is the last group and holds no results.
    bool DeleteGroup(int id);

    QString TeamName(int slot);
    bool SlotUsed(int slot) const;
    QString CaptainAddress(int slot) const;
    QString CaptainPhone(int slot) const;

private:
    void setDefaults(int id);
};

class CKlasseTable : public CRSKlasse {
public:
    CKlasseTable(Database* db, const CompetitionSource* doc);

    bool OpenTable() { return openTableOrShow(*this); }
    // All classes by [KlasseID]: [Name] with [KlasseID]; the table must be open.
    ComboItems ClassComboItems();
};

class CPlanTable : public CRSPlan {
public:
    CPlanTable(Database* db, const CompetitionSource* doc);

    bool OpenTable() { return openTableOrShow(*this); }
    QString PlanName(int plan);
    // Writes the name into all 20 rows of the plan, creating missing rows; all or nothing.
    bool SetPlanName(int plan, const QString& name);
    // true when the round's row does not exist (or cannot be read).
    bool SelectRound(int plan, int round);
    bool SaveRound(int plan, int round);
    // One entry per block of 20 rows in [PlanID] order: [Name] with [PlanID] of the block's first
    // row. Opens and closes the table itself.
    ComboItems PlanComboItems();
    bool RoundHasPairing() const;
    int CountPlayedRounds(int plan);
    // k = 0 ... 9 names pairing k + 1 of the buffer; first != 0 gives the A side.
    int PairingTeam(int first, int k) const;
};

// Settings of the competition, kept in the file. Every call opens and closes the table.
class CProfileTable : public CRSProfile {
public:
    CProfileTable(Database* db, const CompetitionSource* doc);

    bool WriteInt(const QString& section, const QString& key, int value);
    bool WriteString(const QString& section, const QString& key, const QString& value);
    int GetInt(const QString& section, const QString& key, int defaultValue);
    QString GetString(const QString& section, const QString& key, const QString& defaultValue);
    int NextProfileId();

private:
    template <typename Apply> bool writeSetting(const QString& section, const QString& key, Apply apply);
    // Selects the setting; false (with the message shown) on a database error after opening.
    enum class Lookup { Found, Missing, OpenFailed, Failed };
    Lookup selectSetting(const QString& section, const QString& key);
};

class CTeilnehmerTable : public CRSTeilnehmer {
public:
    CTeilnehmerTable(Database* db, const CompetitionSource* doc);

    bool OpenTable() { return openTableOrShow(*this); }
    // true when missing or on a database error.
    bool SelectParticipant(int number);
    int NextPassNumber();
    int FirstPassNumber();
    int LastPassNumber();
    int ParticipantCount();
    // The next higher (forward) or lower stored number; none at the end or on an error.
    std::optional<int> NeighbourPassNumber(int number, bool forward);
    // Participants whose "Name Vorname" namePart finds (see nameMatches), those of preferredClub
    // (0: none) first, then in German order of [Name], [Vorname]: "Name Vorname" with [Paßnummer]
    // and, as detail, club and pass number. A database error is shown and gives an empty list.
    ComboItems NameComboItems(const QString& namePart, int preferredClub = 0);
    // Sets [Klasse] of each ([Paßnummer], class) in one transaction; false (nothing changed, the
    // error in the connection's lastError) on a database error.
    bool SaveClasses(const std::vector<std::pair<std::int32_t, int>>& classes);
    // Every participant as the list shows it: number, name, first name, club number, club name,
    // town; by name. None on a database error.
    std::optional<MasterRows> ListRows();
    // Result rows that name the participant; -1 on a database error.
    int ResultRowCount(int number);
    // Deletes the participant in one transaction; false on a database error.
    bool DeleteParticipant(int number);
};

class CVereinTable : public CRSVerein {
public:
    CVereinTable(Database* db, const CompetitionSource* doc);

    bool OpenTable() { return openTableOrShow(*this); }
    // width 0: the name as stored; otherwise padded with blanks and cut to width characters.
    QString ClubName(int number, int width);
    bool SaveClubName(int number, const QString& name);
    bool SelectClub(int number);
    int NextClubNumber();
    int ClubCount();
    // Clubs whose [Name] contains namePart (Unicode case folded), in file order; all clubs by [Sortieren] when namePart
    // is empty. [Name] with [Vereinsnummer]. The table must be open; a database error is shown and gives an empty list.
    ComboItems ClubComboItems(const QString& namePart);
    // Every club as the list shows it: number, name, sort name, town; by sort name. None on a
    // database error.
    std::optional<MasterRows> ListRows();
    // Participants of the club and group slots naming it; -1 each on a database error.
    std::pair<int, int> ClubUse(int number);
    bool DeleteClub(int number);
};

// One team's rows of one round, summed: the rings of its counting shooter rows and its row 99.
struct TeamRoundSum {
    int round = 0;
    int slot = 0;
    std::int64_t rings = 0;
    std::int64_t points = 0; // adjustment of row 99
    QString text;            // remark of row 99
    bool absent = false;     // [Flag] of row 99: the team did not appear
};

struct RingSurvey {
    bool anyTenth = false;
    std::int64_t firstTenth = 0; // the first result found with a tenth
    std::int64_t largest = 0;
};

// A shooter's result of one round with the participant it names, as the ranking reads it.
struct RoundResultRow {
    std::int32_t id = 0; // [ID]: group, round, slot and row
    std::int32_t participant = 0;
    int round = 0; // [Durchgang]
    std::int64_t rings = 0;
    bool substitute = false; // [Ersatz] = 1
    int scoring = 0;         // [Wertung]: 1 individual only, 2 out of competition, otherwise a team shooter
    bool known = false;      // the participant exists in Teilnehmer
    QString titel, name, vorname, zusatz;
    std::int32_t klasse = 0;
};

class CWettkampfTable : public CRSWettkampf {
public:
    CWettkampfTable(Database* db, const CompetitionSource* doc);

    bool OpenTable() { return openTableOrShow(*this); }
    // true when the row does not exist; the buffer then holds an empty row under the key.
    bool LoadResult(int group, int round, int slot, int row);
    // substitute is [Ersatz] (1 = the shooter stands in), scoring is [Wertung] (0 team,
    // 1 individual only, 2 out of competition).
    bool SaveResult(int participant, int rings, int group, int round, int slot, int row, int substitute = 0,
                    int scoring = 0);
    // absent is [Flag] of the summary row: 1 = the team did not appear.
    bool SavePoints(int points, const QString& text, int group, int round, int slot, int row, int absent = 0);
    // Writes the ten columns of source's buffer under its [ID].
    void CopyResultRow(const CRSWettkampf& source);
    // Selects every stored row of one team in one round (shooter rows and row 99) in key order,
    // in one query instead of one per row; false on a database error.
    bool SelectTeamRows(int group, int round, int slot);
    // Every team of the group in rounds 0 ... lastRound that has rows: rings of rows 1 ... teamSize
    // of team shooters summed (Null rings count 0; with bestCount > 0 only the best that many, of
    // equal rings the upper row), adjustment, remark and absence of row 99. One query over the
    // group's key range; none on a database error (not shown).
    std::optional<std::vector<TeamRoundSum>> SumTeamRounds(int group, int lastRound, int teamSize, int bestCount = 0);
    // Rows of the rounds first..last (by [Durchgang]) with rings above 0 and a participant number,
    // round by round, in a round best first and equal rings in key order, each with its
    // participant's name and class. None on an error.
    std::optional<std::vector<RoundResultRow>> RankedRoundResults(int first, int last);
    // The last round (0-based, any group) in which a shooter has rings; -1 when none has, or on a
    // database error.
    int LastRoundWithResults();
    // The team slots of a group's round with a result: a shooter row with rings, or a summary row
    // marking the team as not appeared. None on a database error.
    std::optional<std::vector<int>> SlotsWithResults(int group, int round);
    // The key of a shooter row of the round (any group) that names participant, leaving out the
    // teams (group, slot) in except and rows above their group's team size; none when there is
    // no such row or on a database error.
    std::optional<std::int32_t> FindShooterInRound(int round, int participant, int group, std::array<int, 2> except);

    // Rows marked [Ersatz] = 1 that name participant, leaving out the teams whose key / 100 is in
    // except; none on a database error.
    std::optional<int> CountSubstituteStarts(int participant, std::array<std::int32_t, 2> except);
    // Over every stored result: whether one holds a tenth other than ,0 and the largest; none on
    // a database error.
    std::optional<RingSurvey> SurveyRings();
    // Multiplies every stored result by ten (up) or divides it by ten; false on a database error.
    bool ScaleRings(bool up);

private:
    bool upsertUnder(std::int64_t key);
};

// Keys outside the ranges the file's key composition can hold would overflow into another
// group's rows; they are refused before they reach SQL.
bool isValidResultKey(int group, int round, int slot, int row);

// The LIKE pattern that finds text anywhere in a column, with the user's "%", "_" and backslash
// taken literally (the statements name the backslash as their ESCAPE character).
QString containsPattern(const QString& text);

} // namespace torvm
