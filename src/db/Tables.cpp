#include "db/Tables.h"

#include "db/GermanText.h"
#include "db/Messages.h"

#include <QHash>

#include <algorithm>
#include <functional>
#include <limits>
#include <numeric>
#include <set>
#include <tuple>
#include <unordered_map>

namespace torvm {

namespace {

bool validSlot(int slot)
{
    return slot >= 1 && slot <= kSlotCount;
}

// The highest or lowest value of a key column plus an offset, with 1 for an empty table or an
// error, as every "next number" proposal works.
template <typename Table> int keyAtEnd(Table& table, const char* orderBy, std::int32_t Table::*member, int offset)
{
    if (!table.Select(nullptr, {}, orderBy) || table.IsEOF())
        return 1;
    const std::int64_t value = std::int64_t{table.*member} + offset;
    // Past the largest number there is none left to propose; start again at the bottom.
    return value > std::numeric_limits<std::int32_t>::max() ? 1 : static_cast<int>(value);
}

} // namespace

bool openTableOrShow(CRecordset& rs)
{
    if (rs.Open())
        return true;
    showDatabaseError(rs.GetLastError().text);
    return false;
}

// --------------------------------------------------------------------------------------- Gruppe

CGruppeTable::CGruppeTable(Database* db, const CompetitionSource* doc)
    : CRSGruppe(db, doc)
{
}

void CGruppeTable::setDefaults(int id)
{
    m_ID = id;
    m_Name.clear();
    m_Anzahl = 4;
    m_Plan = 0;
    m_Klasse = 0;
    m_Typ = 0;
    m_Verein.fill(0);
    for (auto* column : {&m_VNr, &m_MFuehrer, &m_Strasse, &m_PLZ, &m_PLZ2, &m_Ort, &m_Telefon})
        column->fill(QString());
    SetFieldNull(nullptr, false);
}

bool CGruppeTable::LoadGroup(int id)
{
    if (Select(R"("ID" = ?)", {std::int64_t{id}}) && !IsEOF())
        return true;
    setDefaults(id);
    return false;
}

bool CGruppeTable::SaveGroup(int id)
{
    m_ID = id;
    return UpsertBuffer("ID", std::int64_t{id});
}

ComboItems CGruppeTable::GroupComboItems()
{
    ComboItems items;
    if (!OpenTable())
        return items;
    if (Select(nullptr, {}, R"("ID")")) {
        for (; !IsEOF(); MoveNext())
            items.push_back({m_Name, m_ID, QString()});
    } else {
        showDatabaseError(GetLastError().text);
    }
    Close();
    return items;
}

std::optional<int> CGruppeTable::LastGroupId()
{
    Database* db = GetDatabase();
    if (!db)
        return std::nullopt;
    Statement st = db->prepare(R"(SELECT MAX("ID") FROM "Gruppe")");
    if (!st.next())
        return std::nullopt;
    return st.isNull(0) ? -1 : static_cast<int>(st.int64(0));
}

namespace {

// A result row the entry wrote for an empty line holds nothing worth keeping.
// Rows 1 ... 20 of a team are its shooters; row 99 holds the team's points.
constexpr int kLastShooterRow = 20;

constexpr const char* kResultRowHoldsSomething =
    R"((COALESCE("TNr", 0) <> 0 OR COALESCE("Ergebnis", 0) <> 0 OR COALESCE("Punkte", 0) <> 0
        OR COALESCE("Text", '') <> '' OR COALESCE("Flag", 0) <> 0))";

} // namespace

int CGruppeTable::ResultRowCount(int id)
{
    Database* db = GetDatabase();
    if (!db || !isValidResultKey(id, 0, 0, 0))
        return -1;
    Statement st = db->prepare(std::string(R"(SELECT COUNT(*) FROM "Wettkampf" WHERE "ID" BETWEEN ? AND ? AND )") +
                               kResultRowHoldsSomething);
    st.bind(1, std::int64_t{resultKey(id, 0, 0, 0)});
    st.bind(2, std::int64_t{resultKey(id, 0, 0, 0)} + 999999);
    if (!st.next())
        return -1;
    return static_cast<int>(st.int64(0));
}

int CGruppeTable::PairingsWithRowsAbove(int id, int plan, int size)
{
    Database* db = GetDatabase();
    if (!db || !isValidResultKey(id, 0, 0, 0))
        return -1;
    Statement st = db->prepare(
        std::string(
            R"(SELECT DISTINCT ("ID" / 10000) % 100, ("ID" / 100) % 100 FROM "Wettkampf" WHERE "ID" BETWEEN ? AND ?
                       AND "ID" % 100 > ? AND "ID" % 100 <= ? AND )") +
        kResultRowHoldsSomething);
    st.bind(1, std::int64_t{resultKey(id, 0, 0, 0)});
    st.bind(2, std::int64_t{resultKey(id, 0, 0, 0)} + 999999);
    st.bind(3, std::int64_t{size});
    st.bind(4, std::int64_t{kLastShooterRow});
    std::set<std::pair<int, int>> pairings;
    CPlanTable plans(db, nullptr);
    const bool planReadable = plans.OpenTable();
    while (st.next()) {
        const int round = static_cast<int>(st.int64(0));
        const int slot = static_cast<int>(st.int64(1));
        // Both teams of a pairing count once; a team the plan does not place is a pairing of its own.
        int position = kPairingsPerRound + slot;
        if (planReadable && isValidPlanRound(plan, round) && !plans.SelectRound(plan, round)) {
            for (int k = 0; k < kPairingsPerRound; ++k) {
                if (plans.m_A[k] == slot || plans.m_B[k] == slot)
                    position = k;
            }
        }
        pairings.insert({round, position});
    }
    return st.failed() ? -1 : static_cast<int>(pairings.size());
}

bool CGruppeTable::DeleteGroup(int id)
{
    Database* db = GetDatabase();
    if (!db || !isValidResultKey(id, 0, 0, 0))
        return false;
    Transaction tx(*db);
    if (!tx.active())
        return false;
    Statement rows = db->prepare(std::string(R"(DELETE FROM "Wettkampf" WHERE "ID" BETWEEN ? AND ? AND NOT )") +
                                 kResultRowHoldsSomething);
    rows.bind(1, std::int64_t{resultKey(id, 0, 0, 0)});
    rows.bind(2, std::int64_t{resultKey(id, 0, 0, 0)} + 999999);
    if (!rows.exec())
        return false;
    Statement group = db->prepare(R"(DELETE FROM "Gruppe" WHERE "ID" = ?)");
    group.bind(1, std::int64_t{id});
    return group.exec() && tx.commit();
}

QString CGruppeTable::TeamName(int slot)
{
    if (!validSlot(slot))
        return {};
    CVereinTable clubs(GetDatabase(), GetDocument());
    return clubs.ClubName(m_Verein[slot - 1], 0) + QLatin1Char(' ') + m_VNr[slot - 1];
}

bool CGruppeTable::SlotUsed(int slot) const
{
    return validSlot(slot) && m_Verein[slot - 1] != 0;
}

QString CGruppeTable::CaptainAddress(int slot) const
{
    if (!validSlot(slot))
        return {};
    const int i = slot - 1;
    QString address = m_MFuehrer[i];
    if (!m_PLZ[i].isEmpty())
        address += QStringLiteral(", ") + m_PLZ[i];
    if (!m_Ort[i].isEmpty())
        address += QLatin1Char(' ') + m_Ort[i];
    if (!m_Strasse[i].isEmpty())
        address += QStringLiteral(", ") + m_Strasse[i];
    return address;
}

QString CGruppeTable::CaptainPhone(int slot) const
{
    return slot >= 2 && slot <= kSlotCount ? m_Telefon[slot - 1] : m_Telefon[0];
}

// --------------------------------------------------------------------------------------- Klasse

CKlasseTable::CKlasseTable(Database* db, const CompetitionSource* doc)
    : CRSKlasse(db, doc)
{
}

ComboItems CKlasseTable::ClassComboItems()
{
    ComboItems items;
    if (!Select(nullptr, {}, R"("KlasseID")")) {
        showDatabaseError(GetLastError().text);
        return items;
    }
    for (; !IsEOF(); MoveNext())
        items.push_back({m_Name, m_KlasseID, QString()});
    return items;
}

// ----------------------------------------------------------------------------------------- Plan

CPlanTable::CPlanTable(Database* db, const CompetitionSource* doc)
    : CRSPlan(db, doc)
{
}

QString CPlanTable::PlanName(int plan)
{
    if (Select(R"("PlanID" = ?)", {std::int64_t{planKey(plan, 0)}}) && !IsEOF())
        return m_Name;
    return {};
}

bool CPlanTable::SetPlanName(int plan, const QString& name)
{
    Database* db = GetDatabase();
    if (!db || !isValidPlanRound(plan, 0))
        return false;
    Transaction tx(*db);
    if (!tx.active())
        return false;
    for (int round = 0; round < kRoundsPerPlan; ++round) {
        const std::int64_t key = planKey(plan, round);
        if (!Select(R"("PlanID" = ?)", {key}))
            return false;
        if (IsEOF()) {
            AddNew();
            m_PlanID = static_cast<std::int32_t>(key);
        } else {
            Edit();
        }
        m_Name = name;
        if (!Update())
            return false;
    }
    return tx.commit();
}

bool CPlanTable::SelectRound(int plan, int round)
{
    if (!Select(R"("PlanID" = ?)", {std::int64_t{planKey(plan, round)}}))
        return true; // unreadable rounds count as absent rather than as rounds full of markers
    return IsEOF();
}

bool CPlanTable::SaveRound(int plan, int round)
{
    if (!isValidPlanRound(plan, round))
        return false;
    const auto key = static_cast<std::int32_t>(planKey(plan, round));
    m_PlanID = key;
    return UpsertBuffer("PlanID", std::int64_t{key});
}

ComboItems CPlanTable::PlanComboItems()
{
    ComboItems items;
    if (!OpenTable())
        return items;
    if (!Select(nullptr, {}, R"("PlanID")")) {
        showDatabaseError(GetLastError().text);
        Close();
        return items;
    }
    while (!IsEOF()) {
        items.push_back({m_Name, m_PlanID, QString()});
        for (int i = 0; i < kRoundsPerPlan && !IsEOF(); ++i)
            MoveNext();
    }
    Close();
    return items;
}

bool CPlanTable::RoundHasPairing() const
{
    for (int k = 0; k < kPairingsPerRound; ++k) {
        if (m_A[k] != 0 && m_B[k] != 0)
            return true;
    }
    return false;
}

int CPlanTable::CountPlayedRounds(int plan)
{
    int count = 0;
    for (int round = 0; round < kRoundsPerPlan; ++round) {
        if (!SelectRound(plan, round) && RoundHasPairing())
            ++count;
    }
    return count;
}

int CPlanTable::PairingTeam(int first, int k) const
{
    if (k < 0 || k >= kPairingsPerRound)
        return 0;
    return first != 0 ? m_A[k] : m_B[k];
}

// -------------------------------------------------------------------------------------- Profile

CProfileTable::CProfileTable(Database* db, const CompetitionSource* doc)
    : CRSProfile(db, doc)
{
}

CProfileTable::Lookup CProfileTable::selectSetting(const QString& section, const QString& key)
{
    if (!Open())
        return Lookup::OpenFailed;
    if (!Select(R"("Name" = ?)", {section + QLatin1Char('_') + key})) {
        showDatabaseError(GetLastError().text);
        return Lookup::Failed;
    }
    return IsEOF() ? Lookup::Missing : Lookup::Found;
}

template <typename Apply> bool CProfileTable::writeSetting(const QString& section, const QString& key, Apply apply)
{
    Database* db = GetDatabase();
    // A write-protected competition opened for printing keeps the settings it has: the choices
    // hold for this run only, which the user was told when it was opened.
    if (db && db->isReadOnly())
        return false;
    std::unique_ptr<Transaction> tx;
    if (db) // the id and the new row go in together, so two instances never share an id
        tx = std::make_unique<Transaction>(*db);
    if (tx && !tx->active()) {
        showDatabaseError(db->lastError().text);
        return false;
    }
    const Lookup found = selectSetting(section, key);
    if (found == Lookup::OpenFailed)
        showDatabaseError(GetLastError().text);
    if (found == Lookup::OpenFailed || found == Lookup::Failed) {
        Close();
        return false;
    }
    if (found == Lookup::Found) {
        Edit();
    } else {
        const int id = NextProfileId();
        AddNew();
        m_ID1 = id;
        m_ID = id;
        m_Name = section + QLatin1Char('_') + key;
    }
    apply();
    const bool ok = Update() && (!tx || tx->commit());
    if (!ok)
        showDatabaseError(db && db->lastError() ? db->lastError().text : GetLastError().text);
    Close();
    return ok;
}

bool CProfileTable::WriteInt(const QString& section, const QString& key, int value)
{
    return writeSetting(section, key, [&] {
        m_Int = value;
        SetFieldNull(&m_Int, false);
    });
}

bool CProfileTable::WriteString(const QString& section, const QString& key, const QString& value)
{
    return writeSetting(section, key, [&] { m_String = value; });
}

int CProfileTable::GetInt(const QString& section, const QString& key, int defaultValue)
{
    const int value = selectSetting(section, key) == Lookup::Found ? m_Int : defaultValue;
    Close();
    return value;
}

QString CProfileTable::GetString(const QString& section, const QString& key, const QString& defaultValue)
{
    const QString value = selectSetting(section, key) == Lookup::Found ? m_String : defaultValue;
    Close();
    return value;
}

int CProfileTable::NextProfileId()
{
    // Works on a second object so the row being written keeps its place in this one's buffer.
    CRSProfile rows(GetDatabase(), GetDocument());
    if (!rows.Select(nullptr, {}, R"("ID1")") || rows.IsEOF())
        return 1;
    rows.MoveLast();
    const std::int64_t next = std::int64_t{rows.m_ID} + 1;
    return next > std::numeric_limits<std::int32_t>::max() ? 1 : static_cast<int>(next);
}

// ----------------------------------------------------------------------------------- Teilnehmer

CTeilnehmerTable::CTeilnehmerTable(Database* db, const CompetitionSource* doc)
    : CRSTeilnehmer(db, doc)
{
}

bool CTeilnehmerTable::SelectParticipant(int number)
{
    return !Select(R"("Paßnummer" = ?)", {std::int64_t{number}}) || IsEOF();
}

int CTeilnehmerTable::NextPassNumber()
{
    return keyAtEnd<CTeilnehmerTable>(*this, R"("Paßnummer" DESC LIMIT 1)", &CTeilnehmerTable::m_Passnummer, 1);
}

int CTeilnehmerTable::FirstPassNumber()
{
    return keyAtEnd<CTeilnehmerTable>(*this, R"("Paßnummer" LIMIT 1)", &CTeilnehmerTable::m_Passnummer, 0);
}

int CTeilnehmerTable::LastPassNumber()
{
    return keyAtEnd<CTeilnehmerTable>(*this, R"("Paßnummer" DESC LIMIT 1)", &CTeilnehmerTable::m_Passnummer, 0);
}

int CTeilnehmerTable::ParticipantCount()
{
    return std::max(CountRows(), 0);
}

std::optional<int> CTeilnehmerTable::NeighbourPassNumber(int number, bool forward)
{
    const bool ok = forward ? Select(R"("Paßnummer" > ?)", {std::int64_t{number}}, R"("Paßnummer" LIMIT 1)")
                            : Select(R"("Paßnummer" < ?)", {std::int64_t{number}}, R"("Paßnummer" DESC LIMIT 1)");
    if (!ok || IsEOF())
        return std::nullopt;
    return m_Passnummer;
}

ComboItems CTeilnehmerTable::NameComboItems(const QString& namePart, int preferredClub)
{
    ComboItems items;
    Database* db = GetDatabase();
    if (!db)
        return items;
    Statement st = db->prepare(R"(SELECT t."Paßnummer", COALESCE(t."Name", ''), COALESCE(t."Vorname", ''),
            COALESCE(v."Name", '') FROM "Teilnehmer" t LEFT JOIN "Verein" v ON v."Vereinsnummer" = t."Verein"
        WHERE torvm_name_matches(COALESCE(t."Name", '') || ' ' || COALESCE(t."Vorname", ''), ?)
        ORDER BY ? <> 0 AND t."Verein" = ? DESC, t."Name" COLLATE DEUTSCH, t."Vorname" COLLATE DEUTSCH, t."Paßnummer")");
    st.bind(1, namePart);
    st.bind(2, std::int64_t{preferredClub});
    st.bind(3, std::int64_t{preferredClub});
    while (st.next()) {
        const QString club = st.text(3);
        const QString number = QStringLiteral("Passnummer %1").arg(st.int64(0));
        items.push_back({st.text(1) + QLatin1Char(' ') + st.text(2), static_cast<std::int32_t>(st.int64(0)),
                         club.isEmpty() ? number : club + QStringLiteral(", ") + number});
    }
    if (!st.valid() || st.failed()) {
        showDatabaseError(db->lastError().text);
        return {};
    }
    return items;
}

bool CTeilnehmerTable::SaveClasses(const std::vector<std::pair<std::int32_t, int>>& classes)
{
    Database* db = GetDatabase();
    if (!db)
        return false;
    Transaction tx(*db);
    if (!tx.active())
        return false;
    for (const auto& [number, klasse] : classes) {
        Statement st = db->prepare(R"(UPDATE "Teilnehmer" SET "Klasse" = ? WHERE "Paßnummer" = ?)");
        st.bind(1, std::int64_t{klasse});
        st.bind(2, std::int64_t{number});
        if (!st.exec())
            return false;
    }
    return tx.commit();
}

namespace {

// The rows of a list query whose first column is the key; every column becomes a cell, read
// straight from the engine's text into the rows' one buffer.
std::optional<MasterRows> listRows(Database* db, const char* sql)
{
    if (!db)
        return std::nullopt;
    Statement st = db->prepare(sql);
    const int columns = st.columnCount();
    MasterRows rows(columns);
    while (st.next()) {
        rows.addRow(static_cast<std::int32_t>(st.int64(0)));
        for (int c = 0; c < columns; ++c) {
            if (st.type(c) == Statement::Type::Integer)
                rows.addNumberCell(st.int64(c));
            else
                rows.addUtf8Cell(st.utf8(c));
        }
    }
    if (!st.valid() || st.failed())
        return std::nullopt;
    return rows;
}

int countOf(Database* db, const char* sql, std::int64_t value)
{
    if (!db)
        return -1;
    Statement st = db->prepare(sql);
    st.bind(1, value);
    if (!st.next())
        return -1;
    return static_cast<int>(st.int64(0));
}

bool deleteByKey(Database* db, const char* sql, std::int64_t key)
{
    if (!db)
        return false;
    Transaction tx(*db);
    if (!tx.active())
        return false;
    Statement st = db->prepare(sql);
    st.bind(1, key);
    return st.exec() && tx.commit();
}

// The place of each row's text of column among the column's distinct texts, in German order as the
// engine's ORDER BY ... COLLATE DEUTSCH orders them. Names repeat a lot; sorting the distinct ones once and then whole
// numbers is far cheaper than comparing the texts again for every pair of rows.
std::vector<int> textRanks(const MasterRows& rows, int column)
{
    QHash<QStringView, int> distinct;
    std::vector<int> ranks(static_cast<std::size_t>(rows.size()));
    std::vector<QStringView> texts;
    for (int row = 0; row < rows.size(); ++row) {
        const QStringView text = rows.cell(row, column);
        auto it = distinct.constFind(text);
        if (it == distinct.cend()) {
            it = distinct.insert(text, static_cast<int>(texts.size()));
            texts.push_back(text);
        }
        ranks[static_cast<std::size_t>(row)] = it.value();
    }
    std::vector<int> byText(texts.size());
    std::iota(byText.begin(), byText.end(), 0);
    std::vector<QString> keys;
    keys.reserve(texts.size());
    for (const QStringView text : texts)
        keys.push_back(germanFolded(text));
    std::sort(byText.begin(), byText.end(), [&texts, &keys](int x, int y) {
        const auto a = static_cast<std::size_t>(x);
        const auto b = static_cast<std::size_t>(y);
        if (const int c = keys[a].compare(keys[b]); c != 0)
            return c < 0;
        return texts[a].compare(texts[b]) < 0;
    });
    std::vector<int> place(texts.size());
    for (std::size_t i = 0; i < byText.size(); ++i)
        place[static_cast<std::size_t>(byText[i])] = static_cast<int>(i);
    for (int& rank : ranks)
        rank = place[static_cast<std::size_t>(rank)];
    return ranks;
}

} // namespace

std::optional<MasterRows> CTeilnehmerTable::ListRows()
{
    // Reading by the name index fetches every row through it and looks its club up once per row;
    // reading both tables as stored and sorting here costs half as much.
    const std::optional<MasterRows> clubs = listRows(GetDatabase(), R"(SELECT "Vereinsnummer", "Name" FROM "Verein")");
    const std::optional<MasterRows> read =
        listRows(GetDatabase(), R"(SELECT "Paßnummer", "Name", "Vorname", "Verein", "Ort" FROM "Teilnehmer")");
    if (!clubs || !read)
        return std::nullopt;
    std::unordered_map<std::int32_t, int> clubRow;
    for (int row = 0; row < clubs->size(); ++row)
        clubRow.emplace(clubs->key(row), row);
    const std::vector<int> names = textRanks(*read, 1);
    const std::vector<int> firstNames = textRanks(*read, 2);
    struct Order {
        int name, firstName;
        std::int32_t number;
        int row;
    };
    std::vector<Order> order;
    order.reserve(static_cast<std::size_t>(read->size()));
    for (int row = 0; row < read->size(); ++row) {
        const auto r = static_cast<std::size_t>(row);
        order.push_back({names[r], firstNames[r], read->key(row), row});
    }
    std::sort(order.begin(), order.end(), [](const Order& x, const Order& y) {
        return std::tie(x.name, x.firstName, x.number) < std::tie(y.name, y.firstName, y.number);
    });
    MasterRows rows(6);
    rows.reserve(read->size(), 64);
    for (const Order& o : order) {
        rows.addRow(o.number);
        for (int column = 0; column < 4; ++column)
            rows.addCell(read->cell(o.row, column));
        bool isNumber = false;
        const QStringView club = read->cell(o.row, 3);
        const auto found = clubRow.find(static_cast<std::int32_t>(club.toLongLong(&isNumber)));
        rows.addCell(isNumber && found != clubRow.end() ? clubs->cell(found->second, 1) : QStringView());
        rows.addCell(read->cell(o.row, 4));
    }
    return rows;
}

int CTeilnehmerTable::ResultRowCount(int number)
{
    return countOf(GetDatabase(), R"(SELECT COUNT(*) FROM "Wettkampf" WHERE "TNr" = ?)", number);
}

bool CTeilnehmerTable::DeleteParticipant(int number)
{
    return deleteByKey(GetDatabase(), R"(DELETE FROM "Teilnehmer" WHERE "Paßnummer" = ?)", number);
}

// --------------------------------------------------------------------------------------- Verein

CVereinTable::CVereinTable(Database* db, const CompetitionSource* doc)
    : CRSVerein(db, doc)
{
}

QString CVereinTable::ClubName(int number, int width)
{
    // A separate object, so a caller's open selection on this one is left alone. Team lists call
    // this once per team: the select alone proves the table is there, and reports when it is not.
    CRSVerein lookup(GetDatabase(), GetDocument());
    QString name;
    if (!lookup.Select(R"("Vereinsnummer" = ?)", {std::int64_t{number}}))
        showDatabaseError(lookup.GetLastError().text);
    else if (!lookup.IsEOF())
        name = lookup.m_Name;
    if (width > 0)
        name = (name + QString(42, QLatin1Char(' '))).left(width);
    return name;
}

bool CVereinTable::SaveClubName(int number, const QString& name)
{
    CRSVerein club(GetDatabase(), GetDocument());
    if (!club.Open() || !club.Select(R"("Vereinsnummer" = ?)", {std::int64_t{number}}))
        return false;
    if (club.IsEOF()) {
        club.AddNew();
        club.m_Vereinsnummer = number;
    } else {
        club.Edit();
    }
    club.m_Name = name;
    return club.Update();
}

bool CVereinTable::SelectClub(int number)
{
    return !Select(R"("Vereinsnummer" = ?)", {std::int64_t{number}}) || IsEOF();
}

int CVereinTable::NextClubNumber()
{
    return keyAtEnd<CVereinTable>(*this, R"("Vereinsnummer" DESC LIMIT 1)", &CVereinTable::m_Vereinsnummer, 1);
}

int CVereinTable::ClubCount()
{
    return std::max(CountRows(), 0);
}

ComboItems CVereinTable::ClubComboItems(const QString& namePart)
{
    ComboItems items;
    const bool ok = Select(R"(torvm_name_matches(COALESCE("Name", ''), ?))", {namePart},
                           R"("Sortieren" COLLATE DEUTSCH, "Name" COLLATE DEUTSCH, "Vereinsnummer")");
    if (!ok) {
        showDatabaseError(GetLastError().text);
        return items;
    }
    for (; !IsEOF(); MoveNext())
        items.push_back({m_Name, m_Vereinsnummer, QString()});
    return items;
}

std::optional<MasterRows> CVereinTable::ListRows()
{
    return listRows(GetDatabase(), R"(SELECT "Vereinsnummer", "Name", "Sortieren", "Ort" FROM "Verein"
        ORDER BY "Sortieren" COLLATE DEUTSCH, "Vereinsnummer")");
}

std::pair<int, int> CVereinTable::ClubUse(int number)
{
    return {countOf(GetDatabase(), R"(SELECT COUNT(*) FROM "Teilnehmer" WHERE "Verein" = ?)", number),
            countOf(GetDatabase(), R"(SELECT COUNT(*) FROM "Gruppe" WHERE
        "Verein01" = ?1 OR "Verein02" = ?1 OR "Verein03" = ?1 OR "Verein04" = ?1 OR "Verein05" = ?1
        OR "Verein06" = ?1 OR "Verein07" = ?1 OR "Verein08" = ?1 OR "Verein09" = ?1 OR "Verein10" = ?1
        OR "Verein11" = ?1 OR "Verein12" = ?1 OR "Verein13" = ?1 OR "Verein14" = ?1 OR "Verein15" = ?1
        OR "Verein16" = ?1 OR "Verein17" = ?1 OR "Verein18" = ?1 OR "Verein19" = ?1 OR "Verein20" = ?1)",
                    number)};
}

bool CVereinTable::DeleteClub(int number)
{
    return deleteByKey(GetDatabase(), R"(DELETE FROM "Verein" WHERE "Vereinsnummer" = ?)", number);
}

// ------------------------------------------------------------------------------------ Wettkampf

int CWettkampfTable::LastRoundWithResults()
{
    Database* db = GetDatabase();
    if (!db)
        return -1;
    Statement st = db->prepare(R"(SELECT MAX(("ID" / 10000) % 100) FROM "Wettkampf"
        WHERE "ID" % 100 BETWEEN 1 AND ? AND COALESCE("Ergebnis", 0) > 0)");
    st.bind(1, std::int64_t{kLastShooterRow});
    if (!st.next() || st.isNull(0))
        return -1;
    return static_cast<int>(st.int64(0));
}

std::optional<std::vector<int>> CWettkampfTable::SlotsWithResults(int group, int round)
{
    Database* db = GetDatabase();
    if (!db)
        return std::nullopt;
    Statement st = db->prepare(R"(SELECT DISTINCT "ID" / 100 % 100 FROM "Wettkampf" WHERE "ID" BETWEEN ? AND ?
        AND (("ID" % 100 <> ? AND "Ergebnis" <> 0) OR ("ID" % 100 = ? AND "Flag" <> 0)))");
    st.bind(1, std::int64_t{resultKey(group, round, 0, 0)});
    st.bind(2, std::int64_t{resultKey(group, round, kSlotCount, kSummaryRow)});
    st.bind(3, std::int64_t{kSummaryRow});
    st.bind(4, std::int64_t{kSummaryRow});
    std::vector<int> entered;
    while (st.next())
        entered.push_back(static_cast<int>(st.int64(0)));
    if (st.failed())
        return std::nullopt;
    return entered;
}

bool isValidResultKey(int group, int round, int slot, int row)
{
    return group >= 0 && group <= 2146 && round >= 0 && round < 100 && slot >= 0 && slot < 100 && row >= 0 && row < 100;
}

QString containsPattern(const QString& text)
{
    QString pattern(QLatin1Char('%'));
    for (const QChar c : text) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern + QLatin1Char('%');
}

CWettkampfTable::CWettkampfTable(Database* db, const CompetitionSource* doc)
    : CRSWettkampf(db, doc)
{
}

bool CWettkampfTable::LoadResult(int group, int round, int slot, int row)
{
    const bool validKey = isValidResultKey(group, round, slot, row);
    const std::int32_t key = validKey ? resultKey(group, round, slot, row) : 0;
    if (validKey && Select(R"("ID" = ?)", {std::int64_t{key}}) && !IsEOF())
        return false;
    m_ID = key;
    m_TNr = 0;
    m_Durchgang = round;
    m_ErgID = m_Ergebnis = m_Punkte = m_Ersatz = m_Wertung = m_Flag = 0;
    m_Text.clear();
    return true;
}

bool CWettkampfTable::upsertUnder(std::int64_t key)
{
    m_ID = static_cast<std::int32_t>(key);
    return UpsertBuffer("ID", key);
}

bool CWettkampfTable::SaveResult(int participant, int rings, int group, int round, int slot, int row, int substitute,
                                 int scoring)
{
    if (!isValidResultKey(group, round, slot, row))
        return false;
    m_TNr = participant;
    m_Durchgang = round;
    m_Ergebnis = rings;
    m_Ersatz = substitute;
    m_Wertung = scoring;
    m_ErgID = m_Punkte = m_Flag = 0;
    m_Text.clear();
    SetFieldNull(nullptr, false); // every column is given: a participant 1246576928 is one
    return upsertUnder(resultKey(group, round, slot, row));
}

bool CWettkampfTable::SavePoints(int points, const QString& text, int group, int round, int slot, int row, int absent)
{
    if (!isValidResultKey(group, round, slot, row))
        return false;
    m_Punkte = points;
    m_Text = text;
    m_Durchgang = round;
    m_Flag = absent;
    m_TNr = m_ErgID = m_Ergebnis = m_Ersatz = m_Wertung = 0;
    SetFieldNull(nullptr, false);
    return upsertUnder(resultKey(group, round, slot, row));
}

bool CWettkampfTable::SelectTeamRows(int group, int round, int slot)
{
    if (!isValidResultKey(group, round, slot, 0))
        return false;
    return Select(
        R"("ID" BETWEEN ? AND ?)",
        {std::int64_t{resultKey(group, round, slot, 0)}, std::int64_t{resultKey(group, round, slot, kSummaryRow)}},
        R"("ID")");
}

std::optional<std::vector<TeamRoundSum>> CWettkampfTable::SumTeamRounds(int group, int lastRound, int teamSize,
                                                                        int bestCount)
{
    std::vector<TeamRoundSum> sums;
    if (lastRound < 0 || !isValidResultKey(group, 0, 0, 0))
        return sums;
    lastRound = std::min(lastRound, 99);
    Database* db = GetDatabase();
    if (!db)
        return std::nullopt;
    // The rows arrive in key order, team after team, and are summed here: grouping in the engine
    // would sort every row of the group first, and best N would rank them in a window on top.
    Statement st = db->prepare(R"(SELECT "ID", "Ergebnis", "Wertung", "Punkte", "Text", "Flag" FROM "Wettkampf"
        WHERE "ID" BETWEEN ? AND ? AND ("ID" % 100 BETWEEN 1 AND ? OR "ID" % 100 = 99) ORDER BY "ID")");
    st.bind(1, std::int64_t{resultKey(group, 0, 0, 0)});
    st.bind(2, std::int64_t{resultKey(group, lastRound, 99, 99)});
    st.bind(3, std::int64_t{std::clamp(teamSize, 0, 20)}); // row 99 is never a shooter
    // Only whole numbers a Long column can hold are counted: a value another tool stored out of
    // range (a real, a text, 1e400) would overflow the sum or turn it negative.
    const auto longValue = [&st](int column, std::int64_t low) -> std::optional<std::int64_t> {
        if (st.type(column) != Statement::Type::Integer)
            return std::nullopt;
        const std::int64_t value = st.int64(column);
        return value >= low && value <= std::numeric_limits<std::int32_t>::max() ? std::optional(value) : std::nullopt;
    };
    std::vector<std::int64_t> rings; // the team's shooter results, for best N
    const auto finishTeam = [&] {
        if (sums.empty())
            return;
        TeamRoundSum& team = sums.back();
        if (bestCount > 0 && static_cast<int>(rings.size()) > bestCount) {
            std::nth_element(rings.begin(), rings.begin() + (bestCount - 1), rings.end(), std::greater<>());
            rings.resize(static_cast<std::size_t>(bestCount));
        }
        for (const std::int64_t r : rings)
            team.rings += r;
        rings.clear();
    };
    std::int64_t currentTeam = -1;
    while (st.next()) {
        const std::int64_t id = st.int64(0);
        if (id / 100 != currentTeam) {
            finishTeam();
            currentTeam = id / 100;
            sums.push_back(
                {static_cast<int>(currentTeam / 100 % 100), static_cast<int>(currentTeam % 100), 0, 0, {}, false});
        }
        TeamRoundSum& team = sums.back();
        if (id % 100 == kSummaryRow) {
            team.points = longValue(3, std::numeric_limits<std::int32_t>::min()).value_or(0);
            team.text = st.text(4);
            team.absent = longValue(5, 1) == 1;
            continue;
        }
        // Individual and out-of-contest starters never count for the team; any other mark is an
        // ordinary shooter, as older versions read it.
        const auto scoring = longValue(2, 1);
        if (scoring == 1 || scoring == 2)
            continue;
        rings.push_back(longValue(1, 0).value_or(0));
    }
    finishTeam();
    if (!st.valid() || st.failed())
        return std::nullopt;
    return sums;
}

std::optional<std::int32_t> CWettkampfTable::FindShooterInRound(int round, int participant, int group,
                                                                std::array<int, 2> except)
{
    Database* db = GetDatabase();
    if (!db || !isValidResultKey(group, round, 0, 0))
        return std::nullopt;
    // Rows above a group's team size are left-overs of a larger team size, not line-ups.
    Statement st = db->prepare(R"(SELECT w."ID" FROM "Wettkampf" w
        WHERE w."TNr" = ? AND w."ID" / 10000 % 100 = ? AND w."ID" % 100 BETWEEN 1 AND 20
        AND w."ID" % 100 <= COALESCE((SELECT g."Anzahl" FROM "Gruppe" g WHERE g."ID" = w."ID" / 1000000), 4)
        AND w."ID" / 100 NOT IN (?, ?) ORDER BY w."ID" LIMIT 1)");
    st.bind(1, std::int64_t{participant});
    st.bind(2, std::int64_t{round});
    st.bind(3, std::int64_t{resultKey(group, round, except[0], 0) / 100});
    st.bind(4, std::int64_t{resultKey(group, round, except[1], 0) / 100});
    if (!st.next())
        return std::nullopt;
    return static_cast<std::int32_t>(st.int64(0));
}

std::optional<std::vector<RoundResultRow>> CWettkampfTable::RankedRoundResults(int first, int last)
{
    Database* db = GetDatabase();
    if (!db)
        return std::nullopt;
    // One pass over the table for any number of rounds, ordered here and each participant looked
    // up once: a season holds every shooter's row some twenty times over. A round stored as
    // anything but a whole number belongs to none.
    Statement st = db->prepare(R"(SELECT "ID", "TNr", "Durchgang", "Ergebnis", "Ersatz", "Wertung" FROM "Wettkampf"
        WHERE "Durchgang" BETWEEN ? AND ? AND typeof("Durchgang") = 'integer'
            AND typeof("Ergebnis") = 'integer' AND "Ergebnis" BETWEEN 1 AND 2147483647 AND "TNr" <> 0)");
    st.bind(1, std::int64_t{first});
    st.bind(2, std::int64_t{last});
    std::vector<RoundResultRow> rows;
    while (st.next()) {
        RoundResultRow row;
        row.id = static_cast<std::int32_t>(st.int64(0));
        row.participant = static_cast<std::int32_t>(st.int64(1));
        row.round = static_cast<int>(st.int64(2));
        row.rings = st.int64(3);
        row.substitute = st.int64(4) == 1;
        const std::int64_t scoring = st.int64(5);
        row.scoring = scoring == 1 || scoring == 2 ? static_cast<int>(scoring) : 0;
        rows.push_back(std::move(row));
    }
    if (!st.valid() || st.failed())
        return std::nullopt;
    std::sort(rows.begin(), rows.end(), [](const RoundResultRow& a, const RoundResultRow& b) {
        return std::tie(a.round, b.rings, a.id) < std::tie(b.round, a.rings, b.id);
    });

    Statement person =
        db->prepare(R"(SELECT "Titel", "Name", "Vorname", "Zusatz", "Klasse" FROM "Teilnehmer" WHERE "Paßnummer" = ?)");
    std::unordered_map<std::int32_t, const RoundResultRow*> seen;
    for (RoundResultRow& row : rows) {
        const auto [it, added] = seen.try_emplace(row.participant, &row);
        if (!added) {
            const RoundResultRow& known = *it->second;
            row.known = known.known;
            row.titel = known.titel;
            row.name = known.name;
            row.vorname = known.vorname;
            row.zusatz = known.zusatz;
            row.klasse = known.klasse;
            continue;
        }
        person.bind(1, std::int64_t{row.participant});
        if (person.next()) {
            row.known = true;
            row.titel = person.text(0);
            row.name = person.text(1);
            row.vorname = person.text(2);
            row.zusatz = person.text(3);
            row.klasse = static_cast<std::int32_t>(person.int64(4));
        }
        if (!person.valid() || person.failed())
            return std::nullopt;
        person.reset();
    }
    return rows;
}

std::optional<int> CWettkampfTable::CountSubstituteStarts(int participant, std::array<std::int32_t, 2> except)
{
    Database* db = GetDatabase();
    if (!db)
        return std::nullopt;
    Statement st = db->prepare(R"(SELECT COUNT(*) FROM "Wettkampf"
        WHERE "TNr" = ? AND "Ersatz" = 1 AND "ID" % 100 BETWEEN 1 AND 20 AND "ID" / 100 NOT IN (?, ?))");
    st.bind(1, std::int64_t{participant});
    st.bind(2, std::int64_t{except[0]});
    st.bind(3, std::int64_t{except[1]});
    if (!st.next())
        return std::nullopt;
    return static_cast<int>(st.int64(0));
}

std::optional<RingSurvey> CWettkampfTable::SurveyRings()
{
    Database* db = GetDatabase();
    if (!db)
        return std::nullopt;
    Statement st = db->prepare(R"(SELECT MAX(ABS("Ergebnis")),
        (SELECT "Ergebnis" FROM "Wettkampf" WHERE typeof("Ergebnis") = 'integer' AND "Ergebnis" % 10 <> 0
            ORDER BY "ID" LIMIT 1)
        FROM "Wettkampf" WHERE typeof("Ergebnis") = 'integer')");
    if (!st.next())
        return st.failed() || !st.valid() ? std::nullopt : std::optional<RingSurvey>(RingSurvey{});
    RingSurvey survey;
    survey.largest = st.isNull(0) ? 0 : st.int64(0);
    survey.anyTenth = !st.isNull(1);
    survey.firstTenth = survey.anyTenth ? st.int64(1) : 0;
    return survey;
}

bool CWettkampfTable::ScaleRings(bool up)
{
    Database* db = GetDatabase();
    if (!db)
        return false;
    // Values another tool stored as text or reals are left as they are: no reader counts them.
    Statement st = db->prepare(up ? R"(UPDATE "Wettkampf" SET "Ergebnis" = "Ergebnis" * 10
                                       WHERE typeof("Ergebnis") = 'integer' AND "Ergebnis" <> 0)"
                                  : R"(UPDATE "Wettkampf" SET "Ergebnis" = "Ergebnis" / 10
                                       WHERE typeof("Ergebnis") = 'integer' AND "Ergebnis" <> 0)");
    return st.exec();
}

void CWettkampfTable::CopyResultRow(const CRSWettkampf& source)
{
    m_TNr = source.m_TNr;
    m_Durchgang = source.m_Durchgang;
    m_ErgID = source.m_ErgID;
    m_Ergebnis = source.m_Ergebnis;
    m_Punkte = source.m_Punkte;
    m_Ersatz = source.m_Ersatz;
    m_Wertung = source.m_Wertung;
    m_Flag = source.m_Flag;
    m_Text = source.m_Text;
    upsertUnder(source.m_ID);
}

} // namespace torvm
