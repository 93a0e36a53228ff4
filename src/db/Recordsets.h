#pragma once

#include "db/Recordset.h"

#include <array>

namespace torvm {

inline constexpr int kSlotCount = 20;        // team slots "M 1" ... "M20" of a group
inline constexpr int kPairingsPerRound = 10; // pairing positions of a plan round
inline constexpr int kRoundsPerPlan = 20;    // rows per plan in table Plan
inline constexpr int kPlanCount = 5;
inline constexpr int kSummaryRow = 99; // a team's point adjustment row in Wettkampf

// Keys composed from their parts, in one place. In 64 bits: a plan number read from a damaged
// file (the Null marker) gives a key no row has instead of a wrapped one.
constexpr std::int64_t planKey(std::int64_t plan, std::int64_t round)
{
    return plan * kRoundsPerPlan + round;
}
constexpr bool isValidPlanRound(int plan, int round)
{
    return plan >= 0 && plan < kPlanCount && round >= 0 && round < kRoundsPerPlan;
}
constexpr std::int32_t resultKey(int group, int round, int slot, int row)
{
    return group * 1000000 + round * 10000 + slot * 100 + row;
}

// Gruppe: one row per league group; slot arrays are indexed by slot - 1.
class CRSGruppe : public CRecordset {
public:
    CRSGruppe(Database* db, const CompetitionSource* doc);
    const char* TableName() const override { return "Gruppe"; }
    void DoFieldExchange(FieldExchange& fx) override;

    std::int32_t m_ID = 0;
    QString m_Name;
    std::int16_t m_Anzahl = 0;
    std::int32_t m_Plan = 0;
    std::int32_t m_Klasse = 0;
    std::int32_t m_Typ = 0;
    std::array<std::int32_t, kSlotCount> m_Verein{};
    std::array<QString, kSlotCount> m_VNr, m_MFuehrer, m_Strasse, m_PLZ, m_PLZ2, m_Ort, m_Telefon;
};

class CRSKlasse : public CRecordset {
public:
    CRSKlasse(Database* db, const CompetitionSource* doc);
    const char* TableName() const override { return "Klasse"; }
    void DoFieldExchange(FieldExchange& fx) override;

    std::int32_t m_KlasseID = 0;
    QString m_Name;
    DateTime m_von;
    DateTime m_bis;
    std::int32_t m_Geschlecht = 0;
};

// Plan: one row per plan and round; pairing arrays are indexed by position - 1.
class CRSPlan : public CRecordset {
public:
    CRSPlan(Database* db, const CompetitionSource* doc);
    const char* TableName() const override { return "Plan"; }
    void DoFieldExchange(FieldExchange& fx) override;

    std::int32_t m_PlanID = 0;
    QString m_Name;
    DateTime m_Datum1;
    std::array<std::int32_t, kPairingsPerRound> m_A{};
    std::array<std::int32_t, kPairingsPerRound> m_B{};
};

class CRSProfile : public CRecordset {
public:
    CRSProfile(Database* db, const CompetitionSource* doc);
    const char* TableName() const override { return "Profile"; }
    void DoFieldExchange(FieldExchange& fx) override;

    std::int32_t m_ID1 = 0;
    std::int32_t m_ID = 0;
    QString m_Name;
    std::int32_t m_Int = 0;
    QString m_String;
};

class CRSTeilnehmer : public CRecordset {
public:
    CRSTeilnehmer(Database* db, const CompetitionSource* doc);
    const char* TableName() const override { return "Teilnehmer"; }
    void DoFieldExchange(FieldExchange& fx) override;

    std::int32_t m_Passnummer = 0; // [Paßnummer]
    QString m_Name;
    QString m_Vorname;
    std::int32_t m_Anrede = 0;
    QString m_Titel;
    QString m_Zusatz;
    QString m_Strasse; // [Straße]
    QString m_PLZ;
    QString m_PLZ2;
    QString m_Ort;
    QString m_Land;
    std::int32_t m_Klasse = 0;
    DateTime m_Geburtstag;
    DateTime m_Anmeldetag;
    std::int32_t m_Verein = 0;
    QString m_Bank;
    QString m_BLZ;
    QString m_Kontonr;
    QString m_Kontoinhaber;
};

class CRSVerein : public CRecordset {
public:
    CRSVerein(Database* db, const CompetitionSource* doc);
    const char* TableName() const override { return "Verein"; }
    void DoFieldExchange(FieldExchange& fx) override;

    std::int32_t m_Vereinsnummer = 0;
    QString m_Name;
    QString m_Sortieren;
    QString m_Empfaenger;
    QString m_Strasse;
    QString m_PLZ;
    QString m_PLZ2;
    QString m_Ort;
    QString m_Land;
    std::int32_t m_Meistbeteiligung = 0;
    std::int32_t m_Entfernung = 0;
};

// Entry position as kept in [Val1].
struct EntryPosition {
    int group = 0;
    int round = 0;
    int pairing = 0;
};

// Wettbewerb: the title row (ID 1). Its operations open and close the table themselves and show
// database errors as they happen.
class CRSWettbewerb : public CRecordset {
public:
    CRSWettbewerb(Database* db, const CompetitionSource* doc);
    const char* TableName() const override { return "Wettbewerb"; }
    void DoFieldExchange(FieldExchange& fx) override;

    QString GetWettbewerbText(int id);
    QString GetTitle() { return GetWettbewerbText(1); }
    void SetTitle(const QString& text);
    void SaveEntryPosition(int group, int round, int pairing);
    EntryPosition LoadEntryPosition();

    std::int32_t m_ID = 0;
    QString m_Wettbewerb;
    std::int32_t m_Val1 = 0;
    std::int32_t m_Val2 = 0;
    QString m_Str1;
    QString m_Str2;

private:
    // Opens, selects row 1 and adds it when missing; then the caller sets members and writes.
    bool editTitleRow();
    void writeTitleRow();
};

class CRSWettkampf : public CRecordset {
public:
    CRSWettkampf(Database* db, const CompetitionSource* doc);
    const char* TableName() const override { return "Wettkampf"; }
    void DoFieldExchange(FieldExchange& fx) override;

    std::int32_t m_ID = 0;
    std::int32_t m_TNr = 0;
    std::int32_t m_Durchgang = 0;
    std::int32_t m_ErgID = 0;
    std::int32_t m_Ergebnis = 0;
    std::int32_t m_Punkte = 0;
    std::int32_t m_Ersatz = 0;
    std::int32_t m_Wertung = 0;
    std::int32_t m_Flag = 0;
    QString m_Text;
};

// The participants as the competition window's record view sees them: always over a connection of
// its own, opened through the document's path.
class CTorvmSet : public CRSTeilnehmer {
public:
    explicit CTorvmSet(const CompetitionSource* doc);
};

} // namespace torvm
