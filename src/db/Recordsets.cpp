#include "db/Recordsets.h"

#include "db/Messages.h"

#include <string>

namespace torvm {

namespace {

// "Verein01" ... "Telefon20": the slot columns of Gruppe, eight per slot in file order.
struct SlotColumnNames {
    std::array<std::array<std::string, 8>, kSlotCount> names;
    SlotColumnNames()
    {
        static const char* const stems[8] = {"Verein", "VNr", "MFuehrer", "Strasse", "PLZ", "PLZ2", "Ort", "Telefon"};
        for (int s = 0; s < kSlotCount; ++s) {
            const std::string nn = (s + 1 < 10 ? "0" : "") + std::to_string(s + 1);
            for (int c = 0; c < 8; ++c)
                names[s][c] = stems[c] + nn;
        }
    }
};

struct PairingColumnNames {
    std::array<std::string, kPairingsPerRound> a, b;
    PairingColumnNames()
    {
        for (int k = 0; k < kPairingsPerRound; ++k) {
            a[k] = "A" + std::to_string(k + 1);
            b[k] = "B" + std::to_string(k + 1);
        }
    }
};

} // namespace

CRSGruppe::CRSGruppe(Database* db, const CompetitionSource* doc)
    : CRecordset(db, doc)
{
}

void CRSGruppe::DoFieldExchange(FieldExchange& fx)
{
    static const SlotColumnNames cols;
    fx.Long("ID", m_ID);
    fx.Text("Name", m_Name);
    fx.Short("Anzahl", m_Anzahl);
    fx.Long("Plan", m_Plan);
    fx.Long("Klasse", m_Klasse);
    fx.Long("Typ", m_Typ);
    for (int s = 0; s < kSlotCount; ++s) {
        const auto& n = cols.names[s];
        fx.Long(n[0].c_str(), m_Verein[s]);
        fx.Text(n[1].c_str(), m_VNr[s]);
        fx.Text(n[2].c_str(), m_MFuehrer[s]);
        fx.Text(n[3].c_str(), m_Strasse[s]);
        fx.Text(n[4].c_str(), m_PLZ[s]);
        fx.Text(n[5].c_str(), m_PLZ2[s]);
        fx.Text(n[6].c_str(), m_Ort[s]);
        fx.Text(n[7].c_str(), m_Telefon[s]);
    }
}

CRSKlasse::CRSKlasse(Database* db, const CompetitionSource* doc)
    : CRecordset(db, doc)
{
}

void CRSKlasse::DoFieldExchange(FieldExchange& fx)
{
    fx.Long("KlasseID", m_KlasseID);
    fx.Text("Name", m_Name);
    fx.Date("von", m_von);
    fx.Date("bis", m_bis);
    fx.Long("Geschlecht", m_Geschlecht);
}

CRSPlan::CRSPlan(Database* db, const CompetitionSource* doc)
    : CRecordset(db, doc)
{
}

void CRSPlan::DoFieldExchange(FieldExchange& fx)
{
    static const PairingColumnNames cols;
    fx.Long("PlanID", m_PlanID);
    fx.Text("Name", m_Name);
    fx.Date("Datum1", m_Datum1);
    for (int k = 0; k < kPairingsPerRound; ++k) {
        fx.Long(cols.a[k].c_str(), m_A[k]);
        fx.Long(cols.b[k].c_str(), m_B[k]);
    }
}

CRSProfile::CRSProfile(Database* db, const CompetitionSource* doc)
    : CRecordset(db, doc)
{
}

void CRSProfile::DoFieldExchange(FieldExchange& fx)
{
    fx.Long("ID1", m_ID1);
    fx.Long("ID", m_ID);
    fx.Text("Name", m_Name);
    fx.Long("Int", m_Int);
    fx.Text("String", m_String);
}

CRSTeilnehmer::CRSTeilnehmer(Database* db, const CompetitionSource* doc)
    : CRecordset(db, doc)
{
}

void CRSTeilnehmer::DoFieldExchange(FieldExchange& fx)
{
    fx.Long("Paßnummer", m_Passnummer);
    fx.Text("Name", m_Name);
    fx.Text("Vorname", m_Vorname);
    fx.Long("Anrede", m_Anrede);
    fx.Text("Titel", m_Titel);
    fx.Text("Zusatz", m_Zusatz);
    fx.Text("Straße", m_Strasse);
    fx.Text("PLZ", m_PLZ);
    fx.Text("PLZ2", m_PLZ2);
    fx.Text("Ort", m_Ort);
    fx.Text("Land", m_Land);
    fx.Long("Klasse", m_Klasse);
    fx.Date("Geburtstag", m_Geburtstag);
    fx.Date("Anmeldetag", m_Anmeldetag);
    fx.Long("Verein", m_Verein);
    fx.Text("Bank", m_Bank);
    fx.Text("BLZ", m_BLZ);
    fx.Text("Kontonr", m_Kontonr);
    fx.Text("Kontoinhaber", m_Kontoinhaber);
}

CRSVerein::CRSVerein(Database* db, const CompetitionSource* doc)
    : CRecordset(db, doc)
{
}

void CRSVerein::DoFieldExchange(FieldExchange& fx)
{
    fx.Long("Vereinsnummer", m_Vereinsnummer);
    fx.Text("Name", m_Name);
    fx.Text("Sortieren", m_Sortieren);
    fx.Text("Empfaenger", m_Empfaenger);
    fx.Text("Strasse", m_Strasse);
    fx.Text("PLZ", m_PLZ);
    fx.Text("PLZ2", m_PLZ2);
    fx.Text("Ort", m_Ort);
    fx.Text("Land", m_Land);
    fx.Long("Meistbeteiligung", m_Meistbeteiligung);
    fx.Long("Entfernung", m_Entfernung);
}

CRSWettbewerb::CRSWettbewerb(Database* db, const CompetitionSource* doc)
    : CRecordset(db, doc)
{
}

void CRSWettbewerb::DoFieldExchange(FieldExchange& fx)
{
    fx.Long("ID", m_ID);
    fx.Text("Wettbewerb", m_Wettbewerb);
    fx.Long("Val1", m_Val1);
    fx.Long("Val2", m_Val2);
    fx.Text("Str1", m_Str1);
    fx.Text("Str2", m_Str2);
}

QString CRSWettbewerb::GetWettbewerbText(int id)
{
    QString text;
    if (!Open() || !Select(R"("ID" = ?)", {std::int64_t{id}})) {
        showDatabaseError(GetLastError().text);
    } else if (!IsEOF()) {
        text = m_Wettbewerb;
    }
    Close();
    return text;
}

bool CRSWettbewerb::editTitleRow()
{
    if (!Open() || !Select(R"("ID" = 1)")) {
        showDatabaseError(GetLastError().text);
        Close();
        return false;
    }
    if (IsEOF()) {
        AddNew();
        m_Wettbewerb.clear();
        m_Val1 = 0;
        m_Val2 = 0;
        m_Str1.clear();
        m_Str2.clear();
    } else {
        Edit();
    }
    m_ID = 1;
    return true;
}

void CRSWettbewerb::writeTitleRow()
{
    if (!Update())
        showDatabaseError(GetLastError().text);
    Close();
}

void CRSWettbewerb::SetTitle(const QString& text)
{
    if (!editTitleRow())
        return;
    m_Wettbewerb = text;
    writeTitleRow();
}

void CRSWettbewerb::SaveEntryPosition(int group, int round, int pairing)
{
    if (!editTitleRow())
        return;
    m_Val1 = group * 400 + round * 20 + pairing;
    writeTitleRow();
}

EntryPosition CRSWettbewerb::LoadEntryPosition()
{
    EntryPosition pos;
    if (!Open() || !Select(R"("ID" = 1)")) {
        showDatabaseError(GetLastError().text);
    } else if (!IsEOF() && m_Val1 > 0 && !IsFieldNull(&m_Val1)) {
        // A Null or negative value (from a file written elsewhere) means "start at the top".
        pos.group = m_Val1 / 400;
        pos.round = (m_Val1 - pos.group * 400) / 20;
        pos.pairing = m_Val1 % 20;
    }
    Close();
    return pos;
}

CRSWettkampf::CRSWettkampf(Database* db, const CompetitionSource* doc)
    : CRecordset(db, doc)
{
}

void CRSWettkampf::DoFieldExchange(FieldExchange& fx)
{
    fx.Long("ID", m_ID);
    fx.Long("TNr", m_TNr);
    fx.Long("Durchgang", m_Durchgang);
    fx.Long("ErgID", m_ErgID);
    fx.Long("Ergebnis", m_Ergebnis);
    fx.Long("Punkte", m_Punkte);
    fx.Long("Ersatz", m_Ersatz);
    fx.Long("Wertung", m_Wertung);
    fx.Long("Flag", m_Flag);
    fx.Text("Text", m_Text);
}

CTorvmSet::CTorvmSet(const CompetitionSource* doc)
    : CRSTeilnehmer(nullptr, doc)
{
}

} // namespace torvm
