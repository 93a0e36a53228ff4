#include "exchange/ResultForm.h"

#include "cli/Cli.h"
#include "db/CompetitionFile.h"
#include "db/Database.h"
#include "db/Tables.h"
#include "results/CompetitionRules.h"
#include "support/Fixtures.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace torvm {
namespace {

// Group "Kreisliga Süd" (ID 0), two shooters a team: SG Adler 1 (club 10) against SV Tell 1
// (club 20) in pairing 1 of rounds 1 and 2 of plan 0. Round 1 holds the line-ups 101, 102 and 201, 202.
class ResultFormTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    test::ScopedSettings settings;
    QString file = dir.filePath(QStringLiteral("liga.mdb"));
    std::unique_ptr<Database> db;

    void SetUp() override { db = league(file); }

    static std::unique_ptr<Database> league(const QString& path)
    {
        EXPECT_TRUE(QFile::copy(test::builtTemplate(), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QString error;
        auto db = openCompetition(path, &error);
        EXPECT_TRUE(db) << error.toStdString();
        EXPECT_TRUE(
            db->execute(R"(INSERT INTO "Verein" ("Vereinsnummer", "Name") VALUES (10, 'SG Adler'), (20, 'SV Tell');
            INSERT INTO "Teilnehmer" ("Paßnummer", "Name", "Vorname", "Verein") VALUES
                (101, 'Huber', 'Anna', 10), (102, 'Maier', 'Ben', 10), (103, 'Roth', 'Eva', 10),
                (201, 'Kunz', 'Carl', 20), (202, 'Weiß', 'Dora', 20);)"));
        CGruppeTable group(db.get(), nullptr);
        EXPECT_TRUE(group.Open());
        group.LoadGroup(0);
        group.m_Name = QStringLiteral("Kreisliga Süd");
        group.m_Anzahl = 2;
        group.m_Plan = 0;
        group.m_Verein.fill(0);
        group.m_Verein[0] = 10;
        group.m_Verein[1] = 20;
        group.m_VNr[0] = group.m_VNr[1] = QStringLiteral("1");
        EXPECT_TRUE(group.SaveGroup(0));
        CPlanTable plan(db.get(), nullptr);
        EXPECT_TRUE(plan.Open());
        for (int round = 0; round < 2; ++round) {
            plan.SelectRound(0, round);
            plan.m_A.fill(0);
            plan.m_B.fill(0);
            plan.m_A[0] = 1;
            plan.m_B[0] = 2;
            EXPECT_TRUE(plan.SaveRound(0, round));
        }
        CWettkampfTable results(db.get(), nullptr);
        EXPECT_TRUE(results.Open());
        for (const auto& [slot, row, number] : {std::tuple{1, 1, 101}, {1, 2, 102}, {2, 1, 201}, {2, 2, 202}})
            EXPECT_TRUE(results.SaveResult(number, 90, 0, 0, slot, row));
        return db;
    }

    // Every result row as "ID TNr Ergebnis Ersatz Wertung".
    static QStringList rows(Database& db)
    {
        QStringList all;
        Statement st = db.prepare(
            R"(SELECT "ID", "TNr", "Ergebnis", "Ersatz", "Wertung" FROM "Wettkampf" WHERE "ID" % 100 <> 99 ORDER BY "ID")");
        while (st.next())
            all << QStringLiteral("%1 %2 %3 %4 %5").arg(st.text(0), st.text(1), st.text(2), st.text(3), st.text(4));
        return all;
    }

    int cli(const QStringList& args, QString* err)
    {
        QString out;
        QTextStream o(&out);
        QTextStream e(err);
        return runCli(args, o, e);
    }

    QString write(const char* name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(QString::fromUtf8(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
};

const QByteArray kHead = "Gruppe;Durchgang;Begegnung;Seite;Mannschaft;Zeile;Paßnummer;Name;Ringe;Ersatz;Wertung\r\n";

TEST_F(ResultFormTest, FormOfARoundNamesEachTeamsLatestLineUpWithEmptyRings)
{
    const QString out = dir.filePath(QStringLiteral("vorlage.csv"));
    QString err;
    ASSERT_EQ(cli({QStringLiteral("result-form"), file, out, QStringLiteral("--round"), QStringLiteral("2")}, &err), 0)
        << err.toStdString();
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "\xEF\xBB\xBF" + kHead +
                               "Kreisliga Süd;2;1;A;SG Adler 1;1;101;Huber Anna;;;\r\n"
                               "Kreisliga Süd;2;1;A;SG Adler 1;2;102;Maier Ben;;;\r\n"
                               "Kreisliga Süd;2;1;B;SV Tell 1;1;201;Kunz Carl;;;\r\n"
                               "Kreisliga Süd;2;1;B;SV Tell 1;2;202;Weiß Dora;;;\r\n");
}

TEST_F(ResultFormTest, FilledFormStoresWhatTypingTheSameResultsStores)
{
    QBuffer form;
    form.open(QIODevice::WriteOnly);
    QString error;
    ASSERT_TRUE(writeResultForm(*db, form, 1, {}, &error));
    QByteArray filled = form.data();
    filled.replace("101;Huber Anna;;;", "101;Huber Anna;95;;")
        .replace("102;Maier Ben;;;", "103;Roth Eva;88;1;")
        .replace("201;Kunz Carl;;;", "201;Kunz Carl;91;;ES")
        .replace("202;Weiß Dora;;;", "202;Weiß Dora;93;;");
    QString err;
    ASSERT_EQ(cli({QStringLiteral("import-csv"), file, write("gefuellt.csv", filled)}, &err), 0) << err.toStdString();

    const QString typedFile = dir.filePath(QStringLiteral("getippt.mdb"));
    const auto typed = league(typedFile);
    PairingEntry entry(typed.get(), nullptr);
    ASSERT_TRUE(entry.open());
    entry.load(0, 1, 0);
    entry.side(0).participant = {101, 103};
    entry.side(0).rings = {95, 88};
    entry.side(0).substitute = {false, true};
    entry.side(1).participant = {201, 202};
    entry.side(1).rings = {91, 93};
    entry.side(1).scoring = {kIndividual, kTeamShooter};
    ASSERT_TRUE(entry.save());
    EXPECT_EQ(rows(*db), rows(*typed));
    EXPECT_TRUE(rows(*db).contains(QStringLiteral("10102 103 88 1 0")));
}

// A spreadsheet program would run a cell starting with "="; the form makes it text and reads it back.
TEST_F(ResultFormTest, NamesThatLookLikeFormulasAreWrittenAsTextAndStillFound)
{
    ASSERT_TRUE(db->execute(R"(UPDATE "Gruppe" SET "Name" = '=Liga' WHERE "ID" = 0)"));
    QBuffer form;
    form.open(QIODevice::WriteOnly);
    QString error;
    ASSERT_TRUE(writeResultForm(*db, form, 1, {}, &error));
    QByteArray filled = form.data();
    EXPECT_EQ(filled.count("\r\n'=Liga;2;1;"), 4);
    filled.replace("101;Huber Anna;;;", "101;Huber Anna;95;;");
    const FormReading reading = readResultForm(*db, filled);
    ASSERT_TRUE(reading.ok) << reading.error.toStdString();
    ASSERT_EQ(reading.pairings.size(), 1u);
    EXPECT_EQ(reading.pairings[0].totals, (std::array<std::int64_t, 2>{95, 0}));
}

// One filled pairing of round 2 in the ways spreadsheet programs save it.
TEST_F(ResultFormTest, ReadsEverySeparatorEncodingAndColumnOrder)
{
    QString error;
    ASSERT_TRUE(setCompetitionRules(db.get(), nullptr, {true, {TieBreak::Rings}, 0}, &error));
    const QString lines = QStringLiteral("Ringe;Seite;Zeile;Paßnummer;Begegnung;Durchgang;Gruppe\n"
                                         "\"97,3\";A;1;101;1;2;Kreisliga Süd\n"
                                         "95.5;A;2;102;1;2;Kreisliga Süd\n"
                                         "96;B;1;201;1;2;Kreisliga Süd\n"
                                         ";B;2;202;1;2;Kreisliga Süd\n");
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"UTF-8 mit BOM, Semikolon", "\xEF\xBB\xBF" + lines.toUtf8()},
        {"Windows-1252", QByteArray(lines.toLatin1())},
        {"Komma", lines.toUtf8().replace(';', ',')},
        {"Tabulator", QString(lines).replace(QLatin1Char(';'), QLatin1Char('\t')).toUtf8()},
    };
    for (const auto& c : cases) {
        const FormReading reading = readResultForm(*db, c.bytes);
        ASSERT_TRUE(reading.ok) << c.name << ": " << reading.error.toStdString();
        ASSERT_EQ(reading.pairings.size(), 1u) << c.name;
        EXPECT_EQ(reading.pairings[0].totals, (std::array<std::int64_t, 2>{1928, 960})) << c.name;
        EXPECT_EQ(reading.pairings[0].sides[0].participant[1], 102) << c.name;
    }
}

// Each hostile or malformed file is refused with a German sentence, and the results stay as they were.
TEST_F(ResultFormTest, MalformedAndHostileFilesChangeNothing)
{
    const QByteArray row = "Kreisliga Süd;2;1;A;SG Adler 1;1;101;Huber Anna;95;;\r\n";
    QByteArray wide = kHead;
    wide.append(QByteArray(10000, ';')).append("\r\n");
    QByteArray longLine = kHead + "Kreisliga Süd;2;1;A;x;1;101;";
    longLine.append(QByteArray(50 * 1024 * 1024, 'x')).append(";95;;\r\n");
    const struct {
        const char* name;
        QByteArray bytes;
        QString message;
    } cases[] = {
        {"wide.csv", wide, QStringLiteral("Zeile 2 hat mehr als 64 Spalten")},
        {"long.csv", longLine, QStringLiteral("zu groß für eine Ergebnisvorlage")},
        {"nul.csv", kHead + row + QByteArray("Kreis\0liga;2", 12), QStringLiteral("Zeile 3 enthält ein Nullzeichen")},
        {"ringe.csv", kHead + row + QByteArray(row).replace(";1;101;", ";2;102;").replace(";95;", ";9x;"),
         QStringLiteral("Zeile 3: Ringe „9x“ sind kein Ergebnis in ganzen Ringen.")},
        {"gruppe.csv", kHead + QByteArray(row).replace("Kreisliga Süd", "Bezirksliga"),
         QStringLiteral("Zeile 2: die Gruppe „Bezirksliga“ gibt es nicht.")},
        {"doppelt.csv", kHead + row + row,
         QStringLiteral("Zeile 3: Seite A, Zeile 1 dieser Begegnung steht schon in Zeile 2.")},
        {"ueberschrift.csv", "Gruppe;Ringe\r\n", QStringLiteral("fehlen die Spalten Durchgang, Begegnung, Seite")},
        {"zeile.csv", kHead + QByteArray(row).replace(";1;101;", ";3;101;"),
         QStringLiteral("Zeile 2: Zeile „3“ ist keine Zahl von 1 bis 2")},
    };
    const QStringList before = rows(*db);
    for (const auto& c : cases) {
        QString err;
        EXPECT_EQ(cli({QStringLiteral("import-csv"), file, write(c.name, c.bytes)}, &err), 2) << c.name;
        EXPECT_TRUE(err.contains(c.message)) << c.name << ": " << err.toStdString();
        EXPECT_EQ(rows(*db), before) << c.name;
    }
}

TEST_F(ResultFormTest, WarningsRefuseTheImportUnlessTrotzdemIsGiven)
{
    const QByteArray filled = kHead + "Kreisliga Süd;1;1;A;;1;101;;95;;\r\n"
                                      "Kreisliga Süd;1;1;A;;2;999;;99;;\r\n"
                                      "Kreisliga Süd;1;1;B;;1;201;;401;;\r\n";
    const QString path = write("warnungen.csv", filled);
    const QStringList before = rows(*db);
    QString err;
    EXPECT_EQ(cli({QStringLiteral("import-csv"), file, path}, &err), 2);
    EXPECT_EQ(err, QStringLiteral("Warnung (Kreisliga Süd, Begegnung 1): SG Adler 1, Zeile 2: Die Paßnummer 999 gehört "
                                  "zu keinem Teilnehmer.\n"
                                  "Warnung (Kreisliga Süd, Begegnung 1): SV Tell 1, Zeile 1: 401 Ringe liegen über dem "
                                  "höchsten Einzelergebnis 400.\n"
                                  "Warnung (Kreisliga Süd, Begegnung 1): Die Begegnung hat bereits andere Ergebnisse "
                                  "(180 : 180); sie werden ersetzt.\n"
                                  "Es wurde nichts gespeichert: 3 Warnungen. Mit --trotzdem werden die Ergebnisse "
                                  "dennoch gespeichert.\n"));
    EXPECT_EQ(rows(*db), before);

    err.clear();
    EXPECT_EQ(cli({QStringLiteral("import-csv"), file, path, QStringLiteral("--trotzdem")}, &err), 0);
    EXPECT_EQ(rows(*db), (QStringList{QStringLiteral("101 101 95 0 0"), QStringLiteral("102 999 99 0 0"),
                                      QStringLiteral("201 201 401 0 0"), QStringLiteral("202 202 90 0 0")}));
}

} // namespace
} // namespace torvm
