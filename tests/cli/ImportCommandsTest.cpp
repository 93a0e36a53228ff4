#include "CliTest.h"

#include "db/Tables.h"
#include "support/Fixtures.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace torvm {
namespace {

class ImportCommandsTest : public test::CliTest {
protected:
    // A competition with group 1 (teams in slots 1 and 2) and a member database with one member.
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(test::builtTemplate(), path("w.mdb")));
        auto db = Database::open(path("w.mdb"), Database::Mode::ReadWrite, nullptr);
        ASSERT_TRUE(db);
        CGruppeTable group(db.get(), nullptr);
        ASSERT_TRUE(group.Open());
        group.LoadGroup(0);
        group.m_Name = QStringLiteral("Kreisliga");
        group.m_Verein.fill(0);
        group.m_Verein[0] = 1;
        group.m_Verein[1] = 2;
        ASSERT_TRUE(group.SaveGroup(0));

        ASSERT_TRUE(QFile(path("bssb.db")).open(QIODevice::WriteOnly));
        auto src = Database::open(path("bssb.db"), Database::Mode::ReadWrite, nullptr);
        ASSERT_TRUE(src);
        ASSERT_TRUE(src->execute(R"(
            CREATE TABLE "tblMitglieder" ("Passnummer" INTEGER, "Stammverein" INTEGER, "MName" TEXT,
                "Vorname" TEXT, "NZusatz" TEXT, "Strasse" TEXT, "PLZ" TEXT, "Ort" TEXT, "LKZ" TEXT,
                "Geschlecht" INTEGER, "Geburtsdatum" TEXT, "Eintritt" TEXT, "VereinsNr" INTEGER);
            CREATE TABLE "tblVereine_kurz" ("Verein" INTEGER, "VName" TEXT);
            INSERT INTO "tblMitglieder" ("Passnummer", "MName", "VereinsNr") VALUES (7, 'Huber', 1);
            INSERT INTO "tblVereine_kurz" VALUES (1, 'SG Adler');)"));
        QFile notes(path("notiz.txt"));
        ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
        notes.write("keine Datenbank\n");
    }
};

TEST_F(ImportCommandsTest, ExitCodes)
{
    struct Case {
        QStringList args;
        int rc;
    };
    const QString w = path("w.mdb");
    const QString bssb = path("bssb.db");
    const QString notes = path("notiz.txt");
    const QString round = QStringLiteral("--round");
    const QString txt = path("plan.txt");
    for (const Case& c : {
             Case{{QStringLiteral("import-members"), w}, kCliUsage},
             Case{{QStringLiteral("import-members"), w, path("fehlt.mdb")}, kCliFileError},
             Case{{QStringLiteral("import-members"), w, notes}, kCliFileError},
             Case{{QStringLiteral("import-members"), notes, bssb}, kCliFileError},
             Case{{QStringLiteral("import-results"), w, w}, kCliUsage},
             Case{{QStringLiteral("import-results"), w, w, round, QStringLiteral("0")}, kCliUsage},
             Case{{QStringLiteral("import-results"), w, w, round, QStringLiteral("21")}, kCliUsage},
             Case{{QStringLiteral("import-results"), w, w, QStringLiteral("--runde"), QStringLiteral("2")}, kCliUsage},
             Case{{QStringLiteral("import-results"), w, notes, round, QStringLiteral("2")}, kCliFileError},
             Case{{QStringLiteral("import-results"), w, bssb, round, QStringLiteral("2")}, kCliFileError},
             Case{{QStringLiteral("group-schedule"), w, QStringLiteral("0"), txt}, kCliUsage},
             Case{{QStringLiteral("group-schedule"), w, QStringLiteral("eins"), txt}, kCliUsage},
             Case{{QStringLiteral("group-schedule"), w, QStringLiteral("2"), txt}, kCliFileError},
             Case{{QStringLiteral("group-schedule"), notes, QStringLiteral("1"), txt}, kCliFileError},
             Case{{QStringLiteral("group-schedule"), w, QStringLiteral("1"), path("kein/ordner/p.txt")}, kCliFileError},
         }) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(run(c.args), c.rc);
        EXPECT_FALSE(err.isEmpty());
        EXPECT_FALSE(QFile::exists(txt));
    }

    EXPECT_EQ(run({QStringLiteral("import-members"), w, bssb}), kCliOk) << err.toStdString();
    auto db = Database::open(w, Database::Mode::ReadOnly, nullptr);
    ASSERT_TRUE(db);
    CTeilnehmerTable t(db.get(), nullptr);
    ASSERT_TRUE(t.Open());
    ASSERT_FALSE(t.SelectParticipant(7));
    EXPECT_EQ(t.m_Name, QStringLiteral("Huber"));

    EXPECT_EQ(run({QStringLiteral("import-results"), w, w, round, QStringLiteral("3")}), kCliOk) << err.toStdString();
    EXPECT_EQ(run({QStringLiteral("group-schedule"), w, QStringLiteral("1"), txt}), kCliOk) << err.toStdString();
    QFile schedule(txt);
    ASSERT_TRUE(schedule.open(QIODevice::ReadOnly));
    EXPECT_TRUE(schedule.readAll().startsWith("Kreisliga\r\n\r\nSG Adler "));
}

TEST_F(ImportCommandsTest, AssignClassesPrintsTheMovesAndWritesThem)
{
    {
        auto db = Database::open(path("w.mdb"), Database::Mode::ReadWrite, nullptr);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->execute(R"(
            UPDATE "Klasse" SET "Name" = 'Jugend', "von" = '2005-01-01 00:00:00', "bis" = '2012-12-31 00:00:00',
                "Geschlecht" = 0 WHERE "KlasseID" = 1;
            UPDATE "Klasse" SET "von" = NULL, "bis" = NULL WHERE "KlasseID" > 1;
            INSERT INTO "Teilnehmer" ("Paßnummer", "Name", "Anrede", "Geburtstag", "Klasse") VALUES
                (1, 'A', 1, '2008-03-01 00:00:00', 0), (2, 'B', 2, '2010-03-01 00:00:00', 4),
                (3, 'C', 1, '1980-03-01 00:00:00', 4), (4, 'D', 0, NULL, 0);)"));
    }
    ASSERT_EQ(run({QStringLiteral("assign-classes"), path("w.mdb")}), kCliOk) << err.toStdString();
    EXPECT_EQ(out, QStringLiteral("2 Teilnehmer in Jugend\n"));
    ASSERT_EQ(run({QStringLiteral("assign-classes"), path("w.mdb")}), kCliOk);
    EXPECT_EQ(out, QStringLiteral("Keine Teilnehmer wechseln die Klasse.\n"));
    EXPECT_EQ(run({QStringLiteral("assign-classes"), path("fehlt.mdb")}), kCliFileError);
    EXPECT_EQ(run({QStringLiteral("assign-classes")}), kCliUsage);
}

} // namespace
} // namespace torvm

namespace torvm {
namespace {

TEST_F(ImportCommandsTest, RulesArePrintedAndChangedTogetherOrNotAtAll)
{
    const QString w = path("w.mdb");
    const auto rules = [&](std::initializer_list<const char*> options) {
        QStringList args{QStringLiteral("rules"), w};
        for (const char* o : options)
            args << QString::fromUtf8(o);
        return args;
    };
    const QString defaults = QStringLiteral("Zehntelwertung: aus\nReihenfolge bei Punktgleichheit: Ringe\n"
                                            "Ersatzeinsätze je Schütze: unbegrenzt\nHöchstes Einzelergebnis: 400\n"
                                            "Gruppe 1 (Kreisliga): alle 4 Schützen zählen\n");
    const QString changed = QStringLiteral("Zehntelwertung: ein\nReihenfolge bei Punktgleichheit: Direkter Vergleich, "
                                           "Bestes Mannschaftsergebnis\nErsatzeinsätze je Schütze: 2\n"
                                           "Höchstes Einzelergebnis: keine Prüfung\n"
                                           "Gruppe 1 (Kreisliga): die besten 3 von 4 Schützen zählen\n");
    struct Case {
        QStringList args;
        int rc;
        QString out; // the rules afterwards, printed by a plain "rules" run
        const char* error;
    };
    const Case cases[] = {
        {rules({}), kCliOk, defaults, ""},
        {rules({"--zehntel", "2"}), kCliUsage, defaults, "Ungültige Angabe für --zehntel: \"2\" (erwartet: 0 bis 1)\n"},
        {rules({"--gleichstand", "ringe,ringe"}), kCliUsage, defaults,
         "Ungültige Angabe für --gleichstand: \"ringe,ringe\" (erwartet: ein bis drei verschiedene aus ringe, direkt, "
         "direkt-ringe, bestes)\n"},
        {rules({"--zehntel", "1", "--gruppe", "2", "--beste", "3"}), kCliUsage, defaults,
         "Die Gruppe 2 gibt es nicht.\n"},
        {rules({"--zehntel", "1", "--gruppe", "1", "--beste", "5"}), kCliUsage, defaults,
         "Die Gruppe 1 hat 4 Schützen je Mannschaft; --beste darf höchstens 4 sein.\n"},
        {rules({"--beste", "3"}), kCliUsage, defaults, "--gruppe und --beste gehören zusammen.\n"},
        {rules({"--ersatz", "100"}), kCliUsage, defaults,
         "Ungültige Angabe für --ersatz: \"100\" (erwartet: 0 bis 99)\n"},
        {rules({"--zehntel", "1", "--gleichstand", "direkt,bestes", "--ersatz", "2", "--gruppe", "1", "--beste", "3"}),
         kCliOk, changed, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(run(c.args), c.rc);
        EXPECT_EQ(err, QString::fromUtf8(c.error));
        ASSERT_EQ(run(rules({})), kCliOk);
        EXPECT_EQ(out, c.out);
    }
}

} // namespace
} // namespace torvm
