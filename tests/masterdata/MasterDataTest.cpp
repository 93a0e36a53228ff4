#include "db/Tables.h"
#include "masterdata/ClassDivision.h"
#include "masterdata/ClubRecord.h"
#include "masterdata/KlassenTabelle.h"
#include "masterdata/ParticipantRecord.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace torvm {
namespace {

class MasterDataTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::ScriptedPrompter prompter;
    Database& db() { return *comp.db(); }
    CTorvmDoc* doc() { return &comp.doc(); }

    void exec(const std::string& sql, std::initializer_list<SqlValue> values = {})
    {
        Statement st = db().prepare(sql);
        int i = 1;
        for (const SqlValue& v : values)
            st.bind(i++, v);
        ASSERT_TRUE(st.exec()) << sql << ": " << db().lastError().text.toStdString();
    }
    void addClub(int number, const char* name, const char* sortName)
    {
        exec(R"(INSERT INTO Verein (Vereinsnummer, Name, Sortieren) VALUES (?, ?, ?))",
             {std::int64_t{number}, QString::fromUtf8(name), QString::fromUtf8(sortName)});
    }
    void addParticipant(int number, const char* name, const char* firstName)
    {
        exec(R"(INSERT INTO Teilnehmer ("Paßnummer", Name, Vorname) VALUES (?, ?, ?))",
             {std::int64_t{number}, QString::fromUtf8(name), QString::fromUtf8(firstName)});
    }
    std::int64_t scalar(const std::string& sql)
    {
        Statement st = db().prepare(sql);
        EXPECT_TRUE(st.next()) << sql;
        return st.int64(0);
    }
    QString text(const std::string& sql)
    {
        Statement st = db().prepare(sql);
        EXPECT_TRUE(st.next()) << sql;
        return st.text(0);
    }
    bool isNull(const std::string& sql)
    {
        Statement st = db().prepare(sql);
        EXPECT_TRUE(st.next()) << sql;
        return st.isNull(0);
    }
};

QStringList strings(std::initializer_list<const char*> utf8)
{
    QStringList list;
    for (const char* s : utf8)
        list << QString::fromUtf8(s);
    return list;
}

// The entries' texts joined by "|", readable in a failure message.
std::string texts(const ComboItems& items)
{
    QStringList list;
    for (const ComboItem& item : items)
        list << item.text;
    return list.join(QLatin1Char('|')).toStdString();
}

// ------------------------------------------------------------------------------ name completion

TEST(ContainsPattern, UserWildcardsAreTakenLiterally)
{
    const struct {
        const char* typed;
        const char* pattern;
    } cases[] = {
        {"", "%%"},         {"Berg", "%Berg%"},     {"100%", "%100\\%%"},
        {"a_b", "%a\\_b%"}, {"C:\\x", "%C:\\\\x%"}, {"O'Neill", "%O'Neill%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(containsPattern(QString::fromUtf8(c.typed)), QString::fromUtf8(c.pattern)) << c.typed;
}

TEST_F(MasterDataTest, ClubListsFindTheTypedTextAnywhereInTheName)
{
    addClub(1, "SG Bergheim", "Bergheim");
    addClub(2, "d'Artagnan Schützen", "Artagnan");
    addClub(3, "100% Treffer", "Treffer");
    addClub(4, "1000 Ringe", "Ringe");
    addClub(5, "SV_Nord", "Nord");
    addClub(6, "SV Nord", "Nord B");
    CVereinTable clubs(&db(), doc());
    ASSERT_TRUE(clubs.OpenTable());

    const struct {
        const char* typed;
        const char* expected;
    } cases[] = {
        {"", "d'Artagnan Schützen|SG Bergheim|SV_Nord|SV Nord|1000 Ringe|100% Treffer"},
        {"berg", "SG Bergheim"},
        {"d'Art", "d'Artagnan Schützen"},
        {"100%", "100% Treffer"},
        {"SV_", "SV_Nord"},
        {"SV ", "SV_Nord|SV Nord"}, // each word begins a part of the name
        {"xyz", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(texts(clubs.ClubComboItems(QString::fromUtf8(c.typed))), c.expected) << c.typed;
    EXPECT_EQ(clubs.ClubComboItems(QStringLiteral("d'Art")).front().data, 2);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(MasterDataTest, ParticipantListsAreSortedBySurnameAndFirstName)
{
    addParticipant(7, "Maier", "Zoe");
    addParticipant(3, "Maier", "Anna");
    addParticipant(9, "O'Maier", "Sean");
    addParticipant(4, "Mai_er", "Udo");
    addParticipant(5, "Huber", "Max");
    CTeilnehmerTable people(&db(), doc());
    ASSERT_TRUE(people.OpenTable());

    // Every typed word begins a part of "Name Vorname".
    const ComboItems items = people.NameComboItems(QStringLiteral("Maier"));
    EXPECT_EQ(texts(items), "Maier Anna|Maier Zoe");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].data, 3);
    EXPECT_EQ(items[1].data, 7);
    EXPECT_EQ(texts(people.NameComboItems(QStringLiteral("mai_"))), "Mai_er Udo");
    EXPECT_EQ(texts(people.NameComboItems(QStringLiteral("maier a"))), "Maier Anna");
    EXPECT_EQ(texts(people.NameComboItems(QStringLiteral("O'M"))), "O'Maier Sean");
}

// ------------------------------------------------------------------------------------- classes

TEST_F(MasterDataTest, ClassTableTakesTheTwentyRecordsAfterTheFirst)
{
    exec("DELETE FROM Klasse");
    // 25 records whose ids are not their positions: the position decides, not the id.
    for (int i = 0; i < 25; ++i) {
        exec(R"(INSERT INTO Klasse (KlasseID, Name, von, bis, Geschlecht) VALUES (?, ?, ?, NULL, ?))",
             {std::int64_t{i * 10}, QStringLiteral("K%1").arg(i),
              QStringLiteral("2000-01-%1 00:00:00").arg(i + 1, 2, 10, QLatin1Char('0')), std::int64_t{i % 3}});
    }
    CKlassenTabelle classes;
    ASSERT_TRUE(classes.Load(comp.doc()));
    EXPECT_EQ(classes.Count(), 20);
    EXPECT_EQ(classes.Name(0), QString());
    for (int k = 1; k <= 20; ++k) {
        EXPECT_EQ(classes.Name(k), QStringLiteral("K%1").arg(k)) << k;
        EXPECT_EQ(classes.Entry(k).id, k * 10);
        EXPECT_EQ(classes.Von(k), DateTime::fromParts(2000, 1, k + 1));
        EXPECT_TRUE(classes.Bis(k).isNull());
        EXPECT_EQ(classes.Geschlecht(k), k % 3);
    }
    EXPECT_EQ(classes.Name(21), QString());
    EXPECT_EQ(classes.Name(-1), QString());
}

TEST_F(MasterDataTest, ClassTableOfTheTemplateAndOfAnEmptyTable)
{
    CKlassenTabelle classes;
    ASSERT_TRUE(classes.Load(comp.doc()));
    EXPECT_EQ(classes.Count(), 20);
    EXPECT_EQ(classes.Name(1), QStringLiteral("Schützenklasse"));
    exec("DELETE FROM Klasse");
    ASSERT_TRUE(classes.Load(comp.doc()));
    EXPECT_EQ(classes.Count(), 0);
    EXPECT_EQ(classes.Name(1), QString());
}

TEST_F(MasterDataTest, StoringClassRowsTurnsBackwardRangesAndSkipsMissingRecords)
{
    exec("DELETE FROM Klasse WHERE KlasseID = 5");
    exec(R"(UPDATE Klasse SET Name = 'unberührt' WHERE KlasseID = 0)");
    CKlasseTable table(&db(), doc());
    ASSERT_TRUE(table.OpenTable());
    ClassRows rows;
    ASSERT_TRUE(loadClassRows(table, rows));
    EXPECT_FALSE(rows[5].present);
    EXPECT_TRUE(rows[4].present);

    const DateTime early = DateTime::fromParts(1960, 1, 1);
    const DateTime late = DateTime::fromParts(1979, 12, 31);
    rows[1] = {true, QStringLiteral("Senioren"), late, early, 1};  // backwards
    rows[2] = {true, QStringLiteral("Junioren"), early, late, -1}; // in order, gender typed
    rows[3] = {true, QStringLiteral("Gleich"), early, early, 2};   // a single day
    rows[5] = {true, QStringLiteral("ohne Datensatz"), early, late, 0};
    ASSERT_TRUE(storeClassRows(table, rows));

    const struct {
        int id;
        const char* name;
        const char* von;
        const char* bis;
        int gender;
    } expected[] = {
        {1, "Senioren", "1960-01-01 00:00:00", "1979-12-31 00:00:00", 1},
        {2, "Junioren", "1960-01-01 00:00:00", "1979-12-31 00:00:00", -1},
        {3, "Gleich", "1960-01-01 00:00:00", "1960-01-01 00:00:00", 2},
    };
    for (const auto& e : expected) {
        const std::string where = " FROM Klasse WHERE KlasseID = " + std::to_string(e.id);
        EXPECT_EQ(text("SELECT Name" + where), QString::fromUtf8(e.name));
        EXPECT_EQ(text("SELECT von" + where), QString::fromUtf8(e.von)) << e.id;
        EXPECT_EQ(text("SELECT bis" + where), QString::fromUtf8(e.bis)) << e.id;
        EXPECT_EQ(scalar("SELECT Geschlecht" + where), e.gender);
    }
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Klasse"), 20);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Klasse WHERE KlasseID = 5"), 0);
    EXPECT_EQ(text("SELECT Name FROM Klasse WHERE KlasseID = 0"), QStringLiteral("unberührt"));
}

// --------------------------------------------------------------------------------------- clubs

TEST_F(MasterDataTest, ClubMeistbeteiligungAfterStoring)
{
    const struct {
        const char* name;
        std::optional<std::int64_t> stored; // none: no club yet, or a Null value when null is set
        bool null;
        int expected;
    } cases[] = {
        {"new club", std::nullopt, false, 1}, {"kept 0", 0, false, 0},    {"kept 1", 1, false, 1},
        {"other value", 7, false, 1},         {"negative", -3, false, 1}, {"Null", std::nullopt, true, 1},
    };
    int number = 100;
    for (const auto& c : cases) {
        ++number;
        if (c.stored)
            exec(R"(INSERT INTO Verein (Vereinsnummer, Meistbeteiligung) VALUES (?, ?))",
                 {std::int64_t{number}, *c.stored});
        else if (c.null)
            exec(R"(INSERT INTO Verein (Vereinsnummer, Meistbeteiligung) VALUES (?, NULL))", {std::int64_t{number}});
        CVereinTable clubs(&db(), doc());
        ASSERT_TRUE(clubs.OpenTable());
        ClubFields fields = loadClub(clubs, number);
        fields.name = QStringLiteral("Club");
        ASSERT_TRUE(storeClub(clubs, number, fields)) << c.name;
        EXPECT_EQ(scalar("SELECT Meistbeteiligung FROM Verein WHERE Vereinsnummer = " + std::to_string(number)),
                  c.expected)
            << c.name;
    }
}

TEST_F(MasterDataTest, StoringAClubKeepsPlz2AndWritesTheShownColumns)
{
    exec(R"(INSERT INTO Verein (Vereinsnummer, Name, PLZ2, Entfernung) VALUES (8, 'Alt', '12345-9', 12))");
    CVereinTable clubs(&db(), doc());
    ASSERT_TRUE(clubs.OpenTable());
    ClubFields fields = loadClub(clubs, 8);
    EXPECT_EQ(fields.name, QStringLiteral("Alt"));
    EXPECT_EQ(fields.entfernung, 12);
    const QStringList shown = strings({"Neu", "Neu sort", "Empf", "Str. 1", "80331", "München", "D"});
    fields = {shown[0], shown[1], shown[2], shown[3], shown[4], shown[5], shown[6], 44, fields.meistbeteiligungZero};
    ASSERT_TRUE(storeClub(clubs, 8, fields));
    EXPECT_EQ(text("SELECT PLZ2 FROM Verein WHERE Vereinsnummer = 8"), QStringLiteral("12345-9"));
    EXPECT_EQ(text("SELECT Name || '|' || Sortieren || '|' || Empfaenger || '|' || Strasse || '|' || PLZ || '|' || "
                   "Ort || '|' || Land FROM Verein WHERE Vereinsnummer = 8"),
              QStringLiteral("Neu|Neu sort|Empf|Str. 1|80331|München|D"));
    EXPECT_EQ(scalar("SELECT Entfernung FROM Verein WHERE Vereinsnummer = 8"), 44);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Verein"), 1);
}

TEST_F(MasterDataTest, MissingClubLoadsAsEmptyNewClub)
{
    CVereinTable clubs(&db(), doc());
    ASSERT_TRUE(clubs.OpenTable());
    const ClubFields fields = loadClub(clubs, 42);
    EXPECT_TRUE(fields.name.isEmpty());
    EXPECT_EQ(fields.entfernung, 0);
    EXPECT_FALSE(fields.meistbeteiligungZero);
}

// --------------------------------------------------------------------------------- participants

TEST_F(MasterDataTest, StepTargets)
{
    addParticipant(5, "A", "a");
    addParticipant(12, "B", "b");
    addParticipant(40, "C", "c");
    CTeilnehmerTable people(&db(), doc());
    ASSERT_TRUE(people.OpenTable());
    using K = StepTarget::Kind;
    const struct {
        int current;
        bool forward;
        K kind;
        int number;
    } cases[] = {
        {5, true, K::Record, 12}, {12, true, K::Record, 40}, {40, true, K::Edge, 0},     {40, false, K::Record, 12},
        {5, false, K::Edge, 0},   {0, true, K::Unstored, 0}, {0, false, K::Unstored, 0}, {13, true, K::Unstored, 0},
    };
    for (const auto& c : cases) {
        const StepTarget t = stepTarget(people, c.current, c.forward);
        EXPECT_EQ(t.kind, c.kind) << c.current << (c.forward ? " >" : " <");
        EXPECT_EQ(t.number, c.number) << c.current << (c.forward ? " >" : " <");
    }
}

TEST_F(MasterDataTest, StoringAParticipantLeavesUnshownColumnsAlone)
{
    exec(
        R"(INSERT INTO Teilnehmer ("Paßnummer", Name, "Straße", Anmeldetag, Bank, Verein) VALUES (3, 'Alt', 'Weg 1', '2001-02-03 00:00:00', 'Kasse', NULL))");
    CTeilnehmerTable people(&db(), doc());
    ASSERT_TRUE(people.OpenTable());
    ParticipantFields fields;
    ASSERT_TRUE(loadParticipant(people, 3, fields));
    // The club column is Null: shown as no club, kept Null, and any number typed is that number.
    EXPECT_EQ(fields.verein, 0);
    fields.name = QStringLiteral("Neu");
    fields.geburtstag = DateTime();
    for (const int club : {0, 1246576928, 9}) {
        fields.verein = club;
        ASSERT_TRUE(storeParticipant(people, 3, fields));
        EXPECT_EQ(text(R"(SELECT coalesce(Verein, 'Null') FROM Teilnehmer)"),
                  club == 0 ? QStringLiteral("Null") : QString::number(club));
    }
    EXPECT_EQ(text(R"(SELECT Name || '|' || "Straße" || '|' || Anmeldetag || '|' || Bank FROM Teilnehmer)"),
              QStringLiteral("Neu|Weg 1|2001-02-03 00:00:00|Kasse"));
    EXPECT_TRUE(isNull("SELECT Geburtstag FROM Teilnehmer"));
}

} // namespace
} // namespace torvm
