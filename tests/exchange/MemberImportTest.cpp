#include "exchange/MemberImport.h"

#include "db/Tables.h"
#include "exchange/JetFile.h"
#include "support/Fixtures.h"
#include "support/JetFixtures.h"
#include "support/JetWriter.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>

#include <sqlite3.h>

namespace torvm {
namespace {

// A member row: only the columns the competition takes over; the rest stay Null.
struct Mitglied {
    SqlValue pass;
    SqlValue stammverein = std::int64_t{0};
    QString name;
    std::int64_t verein = 10;
    SqlValue geschlecht = std::int64_t{1};
};

class MemberImportTest : public ::testing::Test {
protected:
    test::TempCompetition competition;
    Database& db() { return *competition.db(); }

    // A SQLite file with both tables in full width, as another tool would copy them over.
    QString sqliteSource(const std::vector<Mitglied>& members, const std::map<std::int64_t, QString>& clubs,
                         const char* name = "quelle.db")
    {
        const QString path = competition.file(QString::fromUtf8(name));
        QFile touch(path);
        EXPECT_TRUE(touch.open(QIODevice::WriteOnly));
        touch.close();
        auto src = Database::open(path, Database::Mode::ReadWrite, nullptr);
        EXPECT_TRUE(src);
        createTable(*src, "tblMitglieder", test::mitgliederColumns());
        createTable(*src, "tblVereine_kurz", test::vereineKurzColumns());
        Transaction tx(*src);
        for (const Mitglied& m : members) {
            Statement st = src->prepare(R"(INSERT INTO "tblMitglieder" ("Passnummer", "Stammverein", "MName",
                "Vorname", "NZusatz", "Strasse", "PLZ", "Ort", "LKZ", "Geschlecht", "Geburtsdatum", "Eintritt",
                "VereinsNr") VALUES (?, ?, ?, 'Eva', 'jun.', 'Hauptstraße 1', '86150', 'Augsburg', 'D', ?,
                '1970-05-04 00:00:00', '2001-02-03 00:00:00', ?))");
            st.bind(1, m.pass);
            st.bind(2, m.stammverein);
            st.bind(3, m.name);
            st.bind(4, m.geschlecht);
            st.bind(5, m.verein);
            EXPECT_TRUE(st.exec());
        }
        for (const auto& [number, clubName] : clubs) {
            Statement st = src->prepare(R"(INSERT INTO "tblVereine_kurz" ("Verein", "VName") VALUES (?, ?))");
            st.bind(1, number);
            st.bind(2, clubName);
            EXPECT_TRUE(st.exec());
        }
        EXPECT_TRUE(tx.commit());
        return path;
    }

    static void createTable(Database& src, const char* table, const std::vector<JetColumn>& columns,
                            const QString& leaveOut = {})
    {
        std::string sql = std::string("CREATE TABLE \"") + table + "\" (";
        const char* sep = "";
        for (const JetColumn& c : columns) {
            if (c.name == leaveOut)
                continue;
            sql += sep + ("\"" + c.name.toStdString() + "\"") + (c.type == JetType::Text ? " TEXT" : " INTEGER");
            sep = ", ";
        }
        ASSERT_TRUE(src.execute((sql + ")").c_str()));
    }
};

TEST_F(MemberImportTest, MapsTheColumnsAndKeepsTheClassOfAnExistingParticipant)
{
    {
        CTeilnehmerTable t(&db(), nullptr);
        ASSERT_TRUE(t.Open());
        t.AddNew();
        t.m_Passnummer = 1001;
        t.m_Klasse = 7;
        t.m_Titel = QStringLiteral("Dr.");
        t.m_Bank = QStringLiteral("Sparkasse");
        t.m_PLZ2 = QStringLiteral("99999");
        ASSERT_TRUE(t.Update());
    }
    const QString src = sqliteSource({{std::int64_t{1001}, std::int64_t{0}, QStringLiteral("Müller"), 10, 0},
                                      {std::int64_t{1002}, std::int64_t{0}, QStringLiteral("Huber"), 10, 1},
                                      {std::int64_t{1003}, std::int64_t{0}, QStringLiteral("Maier"), 10, 2},
                                      {std::int64_t{1004}, SqlValue{}, QStringLiteral("Ohne"), 10, SqlValue{}}},
                                     {{10, QStringLiteral("SG Adler")}});
    const MemberImportResult r = importMembers(db(), src);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.members, 4);

    CTeilnehmerTable t(&db(), nullptr);
    ASSERT_TRUE(t.Open());
    ASSERT_FALSE(t.SelectParticipant(1001));
    EXPECT_EQ(t.m_Name, QStringLiteral("Müller"));
    EXPECT_EQ(t.m_Vorname, QStringLiteral("Eva"));
    EXPECT_EQ(t.m_Anrede, 2) << "Geschlecht 0 is Frau";
    EXPECT_EQ(t.m_Klasse, 7);
    EXPECT_EQ(t.m_Titel, QString());
    EXPECT_EQ(t.m_Bank, QString());
    EXPECT_EQ(t.m_PLZ2, QString());
    EXPECT_EQ(t.m_Zusatz, QStringLiteral("jun."));
    EXPECT_EQ(t.m_Strasse, QStringLiteral("Hauptstraße 1"));
    EXPECT_EQ(t.m_PLZ, QStringLiteral("86150"));
    EXPECT_EQ(t.m_Ort, QStringLiteral("Augsburg"));
    EXPECT_EQ(t.m_Land, QStringLiteral("D"));
    EXPECT_EQ(t.m_Verein, 10);
    EXPECT_EQ(t.m_Geburtstag.toStorage(), QStringLiteral("1970-05-04 00:00:00"));
    EXPECT_EQ(t.m_Anmeldetag.toStorage(), QStringLiteral("2001-02-03 00:00:00"));
    for (const int pass : {1002, 1003, 1004}) { // a Null Geschlecht is no 0: "Herr"
        ASSERT_FALSE(t.SelectParticipant(pass));
        EXPECT_EQ(t.m_Anrede, 1) << pass;
        EXPECT_EQ(t.m_Klasse, 0) << pass;
    }
}

TEST_F(MemberImportTest, AFurtherRowOfAMemberWinsOnlyWithoutHomeClub)
{
    struct Case {
        const char* what;
        SqlValue firstStamm, secondStamm;
        const char* expected;
    };
    int fileNo = 0;
    for (const Case& c : {Case{"home club row first", 0, 5, "Erste"}, Case{"home club row second", 5, 0, "Zweite"},
                          Case{"both home club rows", 0, 0, "Zweite"}, Case{"neither", 3, 4, "Erste"},
                          Case{"a negative home club is one", 0, -3, "Erste"},
                          Case{"a Null home club is one", 0, SqlValue{}, "Erste"}}) {
        SCOPED_TRACE(c.what);
        const std::string name = "quelle" + std::to_string(++fileNo) + ".db";
        // Pass numbers 0 and Null belong to nobody and are left out; rows out of pass order are sorted.
        const QString src = sqliteSource({{std::int64_t{2000 + fileNo}, c.firstStamm, QStringLiteral("Erste")},
                                          {std::int64_t{0}, std::int64_t{0}, QStringLiteral("Null")},
                                          {std::int64_t{1}, std::int64_t{0}, QStringLiteral("Vorher")},
                                          {SqlValue{}, std::int64_t{0}, QStringLiteral("Leer")},
                                          {std::int64_t{2000 + fileNo}, c.secondStamm, QStringLiteral("Zweite")}},
                                         {}, name.c_str());
        const MemberImportResult r = importMembers(db(), src);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        CTeilnehmerTable t(&db(), nullptr);
        ASSERT_TRUE(t.Open());
        ASSERT_FALSE(t.SelectParticipant(2000 + fileNo));
        EXPECT_EQ(t.m_Name, QString::fromUtf8(c.expected));
        EXPECT_TRUE(t.SelectParticipant(0));
    }
    Statement st = db().prepare(R"(SELECT COUNT(*) FROM "Teilnehmer")");
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.int64(0), 7); // six members and pass number 1
}

TEST_F(MemberImportTest, ClubsGetOnlyTheirNameAndOnlyWhenTheAssociationKnowsThem)
{
    {
        CRSVerein club(&db(), nullptr);
        ASSERT_TRUE(club.Open());
        club.AddNew();
        club.m_Vereinsnummer = 10;
        club.m_Name = QStringLiteral("Alt");
        club.m_Sortieren = QStringLiteral("ADLER");
        club.m_Ort = QStringLiteral("Dorf");
        club.m_Entfernung = 12;
        ASSERT_TRUE(club.Update());
    }
    const QString src = sqliteSource({{std::int64_t{1}, std::int64_t{0}, QStringLiteral("A"), 10},
                                      {std::int64_t{2}, std::int64_t{0}, QStringLiteral("B"), 20},
                                      {std::int64_t{3}, std::int64_t{0}, QStringLiteral("C"), 30}},
                                     {{10, QStringLiteral("SG Adler")}, {20, QStringLiteral("Tell")}});
    const MemberImportResult r = importMembers(db(), src);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.clubs, 2);

    CVereinTable clubs(&db(), nullptr);
    ASSERT_TRUE(clubs.Open());
    ASSERT_FALSE(clubs.SelectClub(10));
    EXPECT_EQ(clubs.m_Name, QStringLiteral("SG Adler"));
    EXPECT_EQ(clubs.m_Sortieren, QStringLiteral("ADLER"));
    EXPECT_EQ(clubs.m_Ort, QStringLiteral("Dorf"));
    EXPECT_EQ(clubs.m_Entfernung, 12);
    ASSERT_FALSE(clubs.SelectClub(20));
    EXPECT_EQ(clubs.m_Name, QStringLiteral("Tell"));
    EXPECT_TRUE(clubs.SelectClub(30)) << "no club row in the source, no club";
    CTeilnehmerTable t(&db(), nullptr);
    ASSERT_TRUE(t.Open());
    ASSERT_FALSE(t.SelectParticipant(3));
    EXPECT_EQ(t.m_Verein, 30);
}

TEST_F(MemberImportTest, CancelKeepsWhatWasImported)
{
    std::vector<Mitglied> members;
    for (int i = 1; i <= 1200; ++i)
        members.push_back({std::int64_t{i}, std::int64_t{0}, QStringLiteral("M%1").arg(i)});
    const QString src = sqliteSource(members, {});
    int reported = 0;
    std::int32_t lastPass = 0;
    MemberImportProgress progress;
    progress.report = [&](int count, std::int32_t pass) {
        reported = count;
        lastPass = pass;
    };
    progress.cancelled = [&] { return reported >= 700; };
    const MemberImportResult r = importMembers(db(), src, progress);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.members, 700);
    EXPECT_EQ(lastPass, 700);
    EXPECT_EQ(db().transactionDepth(), 0);
    // Seen from a second connection: the rows are in the file, not in an open transaction.
    auto other = Database::open(competition.path(), Database::Mode::ReadOnly, nullptr);
    ASSERT_TRUE(other);
    Statement st = other->prepare(R"(SELECT COUNT(*), MAX("Paßnummer") FROM "Teilnehmer")");
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.int64(0), 700);
    EXPECT_EQ(st.int64(1), 700);
}

// A batch the disk cannot take is rolled back at its commit: the count is what the file holds.
TEST_F(MemberImportTest, AFailedCommitReportsWhatTheFileHolds)
{
    std::vector<Mitglied> members;
    for (int i = 1; i <= 1500; ++i)
        members.push_back({std::int64_t{i}, std::int64_t{0}, QStringLiteral("M%1").arg(i)});
    const QString src = sqliteSource(members, {});
    int commits = 0;
    sqlite3_commit_hook(
        db().handle(), [](void* count) { return int(++*static_cast<int*>(count) == 2); }, &commits);
    const MemberImportResult r = importMembers(db(), src);
    sqlite3_commit_hook(db().handle(), nullptr, nullptr);
    EXPECT_FALSE(r.ok);
    Statement st = db().prepare(R"(SELECT COUNT(*) FROM "Teilnehmer")");
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.int64(0), 500);
    EXPECT_EQ(r.members, 500);
}

TEST_F(MemberImportTest, UnusableSourcesAreRefusedWithAReason)
{
    const QString text = competition.file(QStringLiteral("text.mdb"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Dies ist keine Datenbank, sondern eine Notiz.\n");
    }
    const QString noTable = competition.file(QStringLiteral("ohne.db"));
    {
        ASSERT_TRUE(QFile(noTable).open(QIODevice::WriteOnly));
        auto src = Database::open(noTable, Database::Mode::ReadWrite, nullptr);
        ASSERT_TRUE(src);
        createTable(*src, "tblMitglieder", test::mitgliederColumns());
    }
    const QString noColumn = competition.file(QStringLiteral("spalte.db"));
    {
        ASSERT_TRUE(QFile(noColumn).open(QIODevice::WriteOnly));
        auto src = Database::open(noColumn, Database::Mode::ReadWrite, nullptr);
        ASSERT_TRUE(src);
        createTable(*src, "tblMitglieder", test::mitgliederColumns(), QStringLiteral("Passnummer"));
        createTable(*src, "tblVereine_kurz", test::vereineKurzColumns());
    }
    struct Case {
        QString path;
        const char* reason;
    };
    for (const Case& c :
         {Case{competition.file(QStringLiteral("fehlt.mdb")), "nicht gefunden"}, Case{text, "keine Datenbank"},
          Case{noTable, "tblVereine_kurz fehlt"}, Case{noColumn, "Spalte Passnummer"}}) {
        SCOPED_TRACE(c.path.toStdString());
        const MemberImportResult r = importMembers(db(), c.path);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.reason))) << r.error.toStdString();
    }
    Statement st = db().prepare(R"(SELECT COUNT(*) FROM "Teilnehmer")");
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.int64(0), 0);
}

TEST_F(MemberImportTest, ReadsTheAssociationsAccessFile)
{
    JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
    const auto memberColumns = test::mitgliederColumns();
    const auto clubColumns = test::vereineKurzColumns();
    const auto at = [](const std::vector<JetColumn>& columns, const char* name) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].name == QLatin1String(name))
                return i;
        }
        ADD_FAILURE() << name;
        return std::size_t{0};
    };
    // Member 2 has a second row without home club after a first one with it; sorted in between.
    std::vector<JetRow> rows;
    for (const auto& [pass, stamm, geschlecht, name] : std::vector<std::tuple<int, int, int, const char*>>{
             {2, 9, 1, "Zweitverein"}, {1, 0, 0, "Schäfer"}, {2, 0, 1, "Stammverein"}, {kNullLong, 0, 1, "Marke"}}) {
        JetRow row = test::sampleMitglied(memberColumns, pass % 1000); // the other columns from a small index
        row[at(memberColumns, "Passnummer")] = test::jetInt(pass);
        row[at(memberColumns, "Stammverein")] = test::jetInt(stamm);
        row[at(memberColumns, "Geschlecht")] = test::jetInt(geschlecht);
        row[at(memberColumns, "MName")] = test::jetText(QString::fromUtf8(name));
        row[at(memberColumns, "VereinsNr")] = test::jetInt(77);
        row[at(memberColumns, "Geburtsdatum")] = test::jetDate(DateTime::fromParts(1980, 12, 24));
        // A moment before midnight, as Access stores a day entered through a form with a clock.
        row[at(memberColumns, "Eintritt")] = test::jetReal(DateTime::fromParts(2003, 4, 4).toOleDate() + 0.99999999);
        rows.push_back(std::move(row));
    }
    JetRow club(clubColumns.size(), test::jetNull());
    club[at(clubColumns, "Verein")] = test::jetInt(77);
    club[at(clubColumns, "VName")] = test::jetText(QStringLiteral("Kgl. priv. FSG Würmtal"));
    JetRow sameNumber = club; // the first row of a club number counts
    sameNumber[at(clubColumns, "VName")] = test::jetText(QStringLiteral("Zweiter"));
    test::JetWriter writer;
    writer.addTable({QStringLiteral("tblMitglieder"), memberColumns, rows, 0, {}});
    writer.addTable({QStringLiteral("tblVereine_kurz"), clubColumns, {club, sameNumber}, 0, {}});
    const QString path = competition.file(QStringLiteral("Bssbvd.mdb"));
    QString error;
    ASSERT_TRUE(writer.write(path, &error)) << error.toStdString();

    const MemberImportResult r = importMembers(db(), path);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.members, 2 + 1 + 1);
    CTeilnehmerTable t(&db(), nullptr);
    ASSERT_TRUE(t.Open());
    ASSERT_FALSE(t.SelectParticipant(kNullLong)) << "the number a Null column reads as is a pass number like any";
    EXPECT_EQ(t.m_Name, QStringLiteral("Marke"));
    EXPECT_FALSE(t.IsFieldNull(&t.m_Passnummer));
    ASSERT_FALSE(t.SelectParticipant(1));
    EXPECT_EQ(t.m_Name, QStringLiteral("Schäfer"));
    EXPECT_EQ(t.m_Anrede, 2);
    EXPECT_EQ(t.m_Geburtstag.toStorage(), QStringLiteral("1980-12-24 00:00:00"));
    EXPECT_EQ(t.m_Anmeldetag.toStorage(), QStringLiteral("2003-04-05 00:00:00"));
    ASSERT_FALSE(t.SelectParticipant(2));
    EXPECT_EQ(t.m_Name, QStringLiteral("Stammverein"));
    EXPECT_EQ(t.m_Anrede, 1);
    CVereinTable clubs(&db(), nullptr);
    ASSERT_TRUE(clubs.Open());
    ASSERT_FALSE(clubs.SelectClub(77));
    EXPECT_EQ(clubs.m_Name, QStringLiteral("Kgl. priv. FSG Würmtal"));
}

// A damaged type byte would have the reader decode a column as something else: such a table is
// unreadable, refused unless the readable rest is asked for.
TEST_F(MemberImportTest, AnAccessColumnOfAnotherTypeMakesItsTableUnreadable)
{
    JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
    struct Case {
        const char* column; // "table.column"
        JetType type;
        JetValue value;
        int membersWithRest; // stored with --skip-unreadable
    };
    for (const Case& c : {Case{"tblVereine_kurz.Verein", JetType::Double, test::jetReal(77), 1},
                          Case{"tblMitglieder.VereinsNr", JetType::Double, test::jetReal(77), 0},
                          Case{"tblMitglieder.PLZ", JetType::Long, test::jetInt(86150), 0}}) {
        SCOPED_TRACE(c.column);
        const QStringList where = QString::fromUtf8(c.column).split(QLatin1Char('.'));
        std::vector<JetColumn> members = test::mitgliederColumns();
        std::vector<JetColumn> clubs = test::vereineKurzColumns();
        JetRow member = test::sampleMitglied(members, 5);
        JetRow club(clubs.size(), test::jetNull());
        club[0] = test::jetInt(77); // "Verein"
        club[1] = test::jetText(QStringLiteral("SG Adler"));
        auto& columns = where[0] == QLatin1String("tblMitglieder") ? members : clubs;
        auto& row = where[0] == QLatin1String("tblMitglieder") ? member : club;
        const auto at =
            std::find_if(columns.begin(), columns.end(), [&](const JetColumn& j) { return j.name == where[1]; });
        ASSERT_NE(at, columns.end());
        at->type = c.type;
        row[std::size_t(at - columns.begin())] = c.value;
        test::JetWriter writer;
        writer.addTable({QStringLiteral("tblMitglieder"), members, {member}, 0, {}});
        writer.addTable({QStringLiteral("tblVereine_kurz"), clubs, {club}, 0, {}});
        const QString path = competition.file(QStringLiteral("typ.mdb"));
        QFile::remove(path);
        QString error;
        ASSERT_TRUE(writer.write(path, &error)) << error.toStdString();

        const MemberImportResult refused = importMembers(db(), path);
        EXPECT_FALSE(refused.ok);
        EXPECT_TRUE(refused.damaged);
        EXPECT_TRUE(refused.error.contains(QString::fromUtf8(c.column))) << refused.error.toStdString();
        const MemberImportResult rest = importMembers(db(), path, {}, {.skipUnreadable = true});
        ASSERT_TRUE(rest.ok) << rest.error.toStdString();
        EXPECT_EQ(rest.members, c.membersWithRest);
        EXPECT_EQ(rest.clubs, 0);
    }
}

// The Access reader hands the rows over one by one; a table or column the import needs that is
// missing there is refused before anything is stored.
TEST_F(MemberImportTest, AccessFileWithoutATableOrColumnIsRefused)
{
    JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
    struct Case {
        const char* file;
        bool clubTable;
        QString leaveOut;
        const char* reason;
    };
    for (const Case& c : {Case{"ohne-vereine.mdb", false, {}, "Die Tabelle tblVereine_kurz fehlt"},
                          Case{"ohne-spalte.mdb", true, QStringLiteral("VereinsNr"), "fehlt die Spalte VereinsNr"}}) {
        SCOPED_TRACE(c.file);
        std::vector<JetColumn> members;
        for (const JetColumn& column : test::mitgliederColumns()) {
            if (column.name != c.leaveOut)
                members.push_back(column);
        }
        test::JetWriter writer;
        writer.addTable({QStringLiteral("tblMitglieder"), members, {}, 3, [&members](int i, JetRow& row) {
                             row = test::sampleMitglied(members, i + 1);
                         }});
        if (c.clubTable)
            writer.addTable({QStringLiteral("tblVereine_kurz"), test::vereineKurzColumns(), {}, 0, {}});
        const QString path = competition.file(QString::fromUtf8(c.file));
        QString error;
        ASSERT_TRUE(writer.write(path, &error)) << error.toStdString();
        const MemberImportResult r = importMembers(db(), path);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.reason))) << r.error.toStdString();
    }
    Statement st = db().prepare(R"(SELECT COUNT(*) FROM "Teilnehmer")");
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.int64(0), 0);
}

// Reading a large Access file asks for a stop as well; a stop then stores nothing.
TEST_F(MemberImportTest, StopWhileTheAccessFileIsReadStoresNothing)
{
    JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
    const int rows = 2000;
    const auto members = test::mitgliederColumns();
    test::JetWriter writer;
    writer.addTable({QStringLiteral("tblMitglieder"), members, {}, rows, [&members](int i, JetRow& row) {
                         row = test::sampleMitglied(members, i + 1);
                     }});
    writer.addTable({QStringLiteral("tblVereine_kurz"), test::vereineKurzColumns(), {}, 0, {}});
    const QString path = competition.file(QStringLiteral("gross.mdb"));
    QString error;
    ASSERT_TRUE(writer.write(path, &error)) << error.toStdString();

    for (const bool stop : {true, false}) {
        SCOPED_TRACE(stop ? "stopped" : "run through");
        int asked = 0;
        MemberImportProgress progress;
        progress.cancelled = [&] { return ++asked >= 3 && stop; };
        const MemberImportResult r = importMembers(db(), path, progress);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(r.cancelled, stop);
        EXPECT_EQ(r.members, stop ? 0 : rows);
        // Asked before every stored row and every 256 rows read.
        if (!stop) {
            EXPECT_EQ(asked, rows + rows / 256);
        }
        Statement st = db().prepare(R"(SELECT COUNT(*) FROM "Teilnehmer")");
        ASSERT_TRUE(st.next());
        EXPECT_EQ(st.int64(0), stop ? 0 : rows);
    }
}

} // namespace
} // namespace torvm

namespace torvm {
namespace {

class MemberImportCheckTest : public MemberImportTest {
protected:
    QString nameOf(std::int64_t pass)
    {
        Statement st = db().prepare(R"(SELECT "Name" FROM "Teilnehmer" WHERE "Paßnummer" = ?)");
        st.bind(1, pass);
        return st.next() ? st.text(0) : QStringLiteral("<fehlt>");
    }
};

TEST_F(MemberImportCheckTest, PassNumbersOutOfRangeOrNotWholeAreSkippedAndCounted)
{
    const auto member = [](SqlValue pass, const char* name) {
        return Mitglied{std::move(pass), std::int64_t{0}, QString::fromUtf8(name), 10, 1};
    };
    const QString src = sqliteSource(
        {
            member(std::int64_t{1001}, "Richtig"), member(std::int64_t{4294968297}, "Umgebrochen"), // 1001 + 2^32
            member(QStringLiteral("1e300"), "Riesig"),                                              // stored as a real
            member(QStringLiteral("12.5"), "Halb"), member(std::int64_t{-5}, "Negativ"),
            member(std::int64_t{0}, "Null"), member(SqlValue{}, "Leer"), member(QStringLiteral("abc"), "Text"),
            member(std::int64_t{2147483647}, "Groesste"),
            member(std::int64_t{kNullLong}, "Marke"), // the number a Null column reads as
        },
        {{10, QStringLiteral("SG Adler")}});
    const MemberImportResult r = importMembers(db(), src);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.members, 3);
    EXPECT_EQ(r.badPassNumbers, 7);
    EXPECT_EQ(nameOf(1001), QStringLiteral("Richtig"));
    EXPECT_EQ(nameOf(2147483647), QStringLiteral("Groesste"));
    EXPECT_EQ(nameOf(-2147483648LL), QStringLiteral("<fehlt>"));
    EXPECT_TRUE(r.summary().contains(QStringLiteral("7 Zeilen ohne gültige Paßnummer"))) << r.summary().toStdString();
    EXPECT_FALSE(r.summary().contains(QStringLiteral("1246576928"))) << r.summary().toStdString();
    EXPECT_EQ(nameOf(kNullLong), QStringLiteral("Marke"));
    Statement withoutNumber = db().prepare(R"(SELECT COUNT(*) FROM "Teilnehmer" WHERE "Paßnummer" IS NULL)");
    ASSERT_TRUE(withoutNumber.next());
    EXPECT_EQ(withoutNumber.int64(0), 0);
}

TEST_F(MemberImportCheckTest, TheFirstRowOfARepeatedClubNumberCountsInASqliteSource)
{
    const QString src = sqliteSource({{std::int64_t{1001}, std::int64_t{0}, QStringLiteral("Huber"), 10, 1},
                                      {std::int64_t{1002}, SqlValue{}, QStringLiteral("Maier"), 10, 1}},
                                     {{10, QStringLiteral("SG Adler")}});
    {
        auto source = Database::open(src, Database::Mode::ReadWrite, nullptr);
        ASSERT_TRUE(source);
        ASSERT_TRUE(source->execute(R"(INSERT INTO "tblVereine_kurz" ("Verein", "VName") VALUES (10, 'Zweiter'))"));
    }
    const MemberImportResult r = importMembers(db(), src);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    Statement st = db().prepare(R"(SELECT "Name" FROM "Verein" WHERE "Vereinsnummer" = 10)");
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.text(0), QStringLiteral("SG Adler"));
    EXPECT_EQ(nameOf(1002), QStringLiteral("Maier")) << "a Null home club is no reason to skip a member";
}

} // namespace
} // namespace torvm
