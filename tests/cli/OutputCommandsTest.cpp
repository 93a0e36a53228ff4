#include "CliTest.h"

#include "db/Settings.h"
#include "db/Tables.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace torvm {
namespace {

class OutputCommandsTest : public test::CliTest {
protected:
    void SetUp() override { workInFolderWithTemplate(); }

    static QByteArray readAll(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Every row of every table, in key order: what a competition holds, whatever the file layout.
    static QStringList contents(const QString& file)
    {
        QStringList rows;
        auto db = Database::open(file, Database::Mode::ReadOnly, nullptr);
        if (!db)
            return rows;
        for (const char* table :
             {"Gruppe", "Klasse", "Plan", "Profile", "Teilnehmer", "Verein", "Wettbewerb", "Wettkampf"}) {
            Statement st = db->prepare(std::string("SELECT * FROM \"") + table + "\" ORDER BY 1");
            while (st.next()) {
                QStringList values;
                for (int c = 0; c < st.columnCount(); ++c)
                    values.append(st.text(c));
                rows.append(QString::fromUtf8(table) + QLatin1Char('|') + values.join(QLatin1Char('|')));
            }
        }
        return rows;
    }

    static qsizetype count(const QString& file, const char* table)
    {
        return contents(file).filter(QString::fromUtf8(table) + QLatin1Char('|')).size();
    }
};

TEST_F(OutputCommandsTest, DemoIsTheSameForTheSameSeedAndDiffersForAnother)
{
    ASSERT_EQ(run({QStringLiteral("demo"), path("a.mdb"), QStringLiteral("--seed"), QStringLiteral("7")}), kCliOk)
        << err.toStdString();
    ASSERT_EQ(run({QStringLiteral("demo"), path("b.mdb"), QStringLiteral("--seed"), QStringLiteral("7")}), kCliOk);
    ASSERT_EQ(run({QStringLiteral("demo"), path("c.mdb"), QStringLiteral("--seed"), QStringLiteral("8")}), kCliOk);
    const QStringList a = contents(path("a.mdb"));
    EXPECT_EQ(a, contents(path("b.mdb")));
    EXPECT_NE(a, contents(path("c.mdb")));

    EXPECT_EQ(count(path("a.mdb"), "Gruppe"), 3);
    EXPECT_EQ(count(path("a.mdb"), "Verein"), 30);
    EXPECT_GE(count(path("a.mdb"), "Teilnehmer"), 180);
    EXPECT_LE(count(path("a.mdb"), "Teilnehmer"), 230);
    auto db = Database::open(path("a.mdb"), Database::Mode::ReadOnly, nullptr);
    ASSERT_TRUE(db);
    Statement rings = db->prepare(R"(SELECT MIN(Ergebnis), MAX(Ergebnis), COUNT(DISTINCT Durchgang) FROM Wettkampf
                                    WHERE ID % 100 BETWEEN 1 AND 20)");
    ASSERT_TRUE(rings.next());
    EXPECT_GE(rings.int64(0), 330);
    EXPECT_LE(rings.int64(1), 395);
    EXPECT_EQ(rings.int64(2), 4);
    Statement adjusted =
        db->prepare(R"(SELECT COUNT(*) FROM Wettkampf WHERE ID % 100 = 99 AND Punkte <> 0 AND Text <> '')");
    ASSERT_TRUE(adjusted.next());
    EXPECT_GE(adjusted.int64(0), 1);
}

// The desktop program's last file, recent files and window places belong to the desktop: a
// command-line run reads them (the plan choices) but leaves them as they were.
TEST_F(OutputCommandsTest, RunsNeverWriteTheWorkplaceSettings)
{
    writeProfileString(QStringLiteral("VMMainDlg"), QStringLiteral("FileName"), QStringLiteral("vorher.mdb"));
    const QStringList runs[] = {
        {QStringLiteral("new"), path("neu.mdb")},
        {QStringLiteral("demo"), path("demo.mdb")},
        {QStringLiteral("export-text"), path("demo.mdb"), path("demo.txt")},
        {QStringLiteral("web-export"), path("demo.mdb"), path("web")},
    };
    for (const QStringList& args : runs) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(run(args), kCliOk) << err.toStdString();
        EXPECT_EQ(profileString(QStringLiteral("VMMainDlg"), QStringLiteral("FileName"), QString()),
                  QStringLiteral("vorher.mdb"));
        EXPECT_TRUE(profileString(QStringLiteral("Recent File List"), QStringLiteral("File1"), QString()).isEmpty());
    }
    // Outside a run the desktop writes again.
    writeProfileString(QStringLiteral("VMMainDlg"), QStringLiteral("FileName"), QStringLiteral("nachher.mdb"));
    EXPECT_EQ(profileString(QStringLiteral("VMMainDlg"), QStringLiteral("FileName"), QString()),
              QStringLiteral("nachher.mdb"));
}

TEST_F(OutputCommandsTest, DemoRefusesAnExistingFile)
{
    QFile existing(path("da.mdb"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();
    EXPECT_EQ(run({QStringLiteral("demo"), path("da.mdb")}), kCliFileError);
    EXPECT_TRUE(err.contains(QStringLiteral("bereits vorhanden")));
    EXPECT_EQ(readAll(path("da.mdb")), QByteArray("keep"));
    EXPECT_EQ(run({QStringLiteral("demo"), path("x.mdb"), QStringLiteral("--seed"), QStringLiteral("sieben")}),
              kCliUsage);
    EXPECT_FALSE(QFile::exists(path("x.mdb")));
}

TEST_F(OutputCommandsTest, ExportTextOfTheDemoWithItsStoredSettings)
{
    ASSERT_EQ(run({QStringLiteral("demo"), path("d.mdb")}), kCliOk);
    const QStringList before = contents(path("d.mdb"));
    ASSERT_EQ(run({QStringLiteral("export-text"), path("d.mdb"), path("out.txt")}), kCliOk) << err.toStdString();
    const QByteArray text = readAll(path("out.txt"));
    EXPECT_TRUE(text.startsWith("Velmarik Wettkampfverwaltung\r\n\r\nRundenwettkampf Luftgewehr 2024/2025"));
    const qsizetype table = text.indexOf("\r\n4.Durchgang\r\n");
    const qsizetype ranking = text.indexOf("\r\nEinzelwertung / 4. Durchgang\r\n");
    EXPECT_GT(table, 0);
    EXPECT_GT(ranking, table);
    EXPECT_TRUE(text.contains("\r\nGauoberliga\r\n"));
    EXPECT_TRUE(text.contains("\r\nSch\xfctzenklasse\r\n"));
    EXPECT_FALSE(text.contains("\r\nTeilnehmerliste\r\n"));
    EXPECT_EQ(text.count("\n"), text.count("\r\n")); // every line ends "\r\n"
    EXPECT_EQ(contents(path("d.mdb")), before);
}

TEST_F(OutputCommandsTest, ExportTextOptionsOverrideForOneRunInTheFixedOrder)
{
    ASSERT_EQ(run({QStringLiteral("demo"), path("d.mdb")}), kCliOk);
    const QStringList before = contents(path("d.mdb"));
    ASSERT_EQ(run({QStringLiteral("export-text"), path("d.mdb"), path("o.txt"), QStringLiteral("--outputs"),
                   QStringLiteral("verein,einzel,tabelle"), QStringLiteral("--round"), QStringLiteral("2"),
                   QStringLiteral("--groups"), QStringLiteral("2"), QStringLiteral("--ergebnis"), QStringLiteral("0"),
                   QStringLiteral("--klasse"), QStringLiteral("2"), QStringLiteral("--platz"), QStringLiteral("3")}),
              kCliOk)
        << err.toStdString();
    const QByteArray text = readAll(path("o.txt"));
    const qsizetype table = text.indexOf("\r\n2.Durchgang\r\n\r\nGauliga\r\n\r\n");
    const qsizetype ranking = text.indexOf("\r\nEinzelwertung / 2. Durchgang\r\n\r\n\r\n  1.\t");
    const qsizetype clubs = text.indexOf("\r\nVereine\r\n");
    EXPECT_GT(table, 0);
    EXPECT_GT(ranking, table);
    EXPECT_GT(clubs, ranking);
    EXPECT_FALSE(text.contains("Gauoberliga"));
    // Without "Ergebnis" no pairing line with its ring totals.
    EXPECT_FALSE(QString::fromLatin1(text).contains(QRegularExpression(QStringLiteral("\t\\d+ - \\d+"))));
    EXPECT_EQ(contents(path("d.mdb")), before);
}

TEST_F(OutputCommandsTest, ExportTextUsageAndFileErrors)
{
    ASSERT_EQ(run({QStringLiteral("demo"), path("d.mdb")}), kCliOk);
    struct Case {
        QStringList args;
        int rc;
    };
    const QString d = path("d.mdb");
    const QString o = path("e.txt");
    for (const Case& c : {
             Case{{QStringLiteral("export-text"), d}, kCliUsage},
             Case{{QStringLiteral("export-text"), d, o, QStringLiteral("--round"), QStringLiteral("21")}, kCliUsage},
             Case{{QStringLiteral("export-text"), d, o, QStringLiteral("--round"), QStringLiteral("0")}, kCliUsage},
             Case{{QStringLiteral("export-text"), d, o, QStringLiteral("--outputs"), QStringLiteral("tabelle,liste")},
                  kCliUsage},
             Case{{QStringLiteral("export-text"), d, o, QStringLiteral("--groups"), QStringLiteral("0")}, kCliUsage},
             Case{{QStringLiteral("export-text"), d, o, QStringLiteral("--klasse"), QStringLiteral("3")}, kCliUsage},
             Case{{QStringLiteral("export-text"), d, o, QStringLiteral("--farbe"), QStringLiteral("1")}, kCliUsage},
             Case{{QStringLiteral("export-text"), d, o, QStringLiteral("--platz")}, kCliUsage},
             // Nothing with a page to output: no file, as the sheet writes none.
             Case{{QStringLiteral("export-text"), d, o, QStringLiteral("--outputs"), QStringLiteral("einzel"),
                   QStringLiteral("--round"), QStringLiteral("12")},
                  kCliUsage},
             Case{{QStringLiteral("export-text"), path("fehlt.mdb"), o}, kCliFileError},
             Case{{QStringLiteral("export-text"), d, path("kein/ordner/e.txt")}, kCliFileError},
         }) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(run(c.args), c.rc);
        EXPECT_FALSE(err.isEmpty());
        EXPECT_FALSE(QFile::exists(o));
    }
}

// Names Windows-1252 cannot hold are named on stderr, with the option that keeps them; the
// character set's name is taken in any case.
TEST_F(OutputCommandsTest, ExportTextNamesWhatWindows1252Loses)
{
    ASSERT_EQ(run({QStringLiteral("new"), path("n.mdb")}), kCliOk);
    {
        auto db = Database::open(path("n.mdb"), Database::Mode::ReadWrite, nullptr);
        ASSERT_TRUE(db && db->execute("INSERT INTO Verein (Vereinsnummer, Name) VALUES (12, 'SK Ayşe')"));
    }
    struct Case {
        QStringList encoding;
        QByteArray line;
        bool named;
    };
    const Case cases[] = {
        {{}, "12\tSK Ay?e\r\n", true},
        {{QStringLiteral("--encoding"), QStringLiteral("Windows-1252")}, "12\tSK Ay?e\r\n", true},
        {{QStringLiteral("--encoding"), QStringLiteral("UTF-8")},
         "12\tSK Ay\xc5\x9f"
         "e\r\n",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.encoding.join(QLatin1Char(' ')).toStdString());
        ASSERT_EQ(run(QStringList{QStringLiteral("export-text"), path("n.mdb"), path("n.txt"),
                                  QStringLiteral("--outputs"), QStringLiteral("verein")} +
                      c.encoding),
                  kCliOk)
            << err.toStdString();
        EXPECT_TRUE(readAll(path("n.txt")).endsWith(c.line));
        EXPECT_EQ(err.contains(QStringLiteral("geschrieben: Ayşe. Mit --encoding utf-8")), c.named)
            << err.toStdString();
    }
}

TEST_F(OutputCommandsTest, PrintPdfWritesThePagesOfTheChosenOutputs)
{
    ASSERT_EQ(run({QStringLiteral("demo"), path("d.mdb")}), kCliOk);
    const QStringList before = contents(path("d.mdb"));
    struct Case {
        QStringList options;
        int pages;
    };
    // The demo has three groups; "--groups 2" leaves one. Its first two plans fit a page each;
    // the lists take 100 clubs and 75 participants a page.
    const int clubPages = static_cast<int>((count(path("d.mdb"), "Verein") + 99) / 100);
    const int participantPages = static_cast<int>((count(path("d.mdb"), "Teilnehmer") + 74) / 75);
    ASSERT_GT(participantPages, 1);
    for (const Case& c :
         {Case{{QStringLiteral("--outputs"), QStringLiteral("tabelle")}, 3},
          Case{
              {QStringLiteral("--outputs"), QStringLiteral("tabelle"), QStringLiteral("--groups"), QStringLiteral("2")},
              1},
          Case{
              {QStringLiteral("--outputs"), QStringLiteral("termin"), QStringLiteral("--plans"), QStringLiteral("1,2")},
              2},
          Case{{QStringLiteral("--outputs"), QStringLiteral("verein,teilnehmer,termin"), QStringLiteral("--plans"),
                QStringLiteral("2"), QStringLiteral("--sort"), QStringLiteral("1")},
               1 + clubPages + participantPages},
          // A form per pairing: the groups of 8, 10 and 6 teams play 4, 5 and 3 pairings a round.
          Case{{QStringLiteral("--outputs"), QStringLiteral("bericht"), QStringLiteral("--round"), QStringLiteral("5"),
                QStringLiteral("--serien"), QStringLiteral("6")},
               4 + 5 + 3},
          Case{{QStringLiteral("--outputs"), QStringLiteral("bericht"), QStringLiteral("--groups"), QStringLiteral("2"),
                QStringLiteral("--round"), QStringLiteral("1")},
               5},
          // Before the first round nothing is missing: one page says so.
          Case{{QStringLiteral("--outputs"), QStringLiteral("ausstehend"), QStringLiteral("--stichtag"),
                QStringLiteral("01.01.2000")},
               1}}) {
        SCOPED_TRACE(c.options.join(QLatin1Char(' ')).toStdString());
        const QString pdf = path("t.pdf");
        QFile::remove(pdf);
        ASSERT_EQ(run(QStringList{QStringLiteral("print-pdf"), path("d.mdb"), pdf} + c.options), kCliOk)
            << err.toStdString();
        const QByteArray bytes = readAll(pdf);
        EXPECT_TRUE(bytes.startsWith("%PDF"));
        EXPECT_EQ(QString::fromLatin1(bytes).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), c.pages);
        EXPECT_TRUE(out.contains(QStringLiteral("%1 Seiten").arg(c.pages)));
    }
    EXPECT_EQ(contents(path("d.mdb")), before);
}

TEST_F(OutputCommandsTest, PrintPdfUsageAndFileErrors)
{
    ASSERT_EQ(run({QStringLiteral("demo"), path("d.mdb")}), kCliOk);
    struct Case {
        QStringList args;
        int rc;
    };
    const QString d = path("d.mdb");
    const QString o = path("e.pdf");
    const QString p = QStringLiteral("print-pdf");
    for (const Case& c : {
             Case{{p, d}, kCliUsage},
             Case{{p, d, o, QStringLiteral("--round"), QStringLiteral("21")}, kCliUsage},
             Case{{p, d, o, QStringLiteral("--outputs"), QStringLiteral("tabelle,liste")}, kCliUsage},
             Case{{p, d, o, QStringLiteral("--farbe"), QStringLiteral("1")}, kCliUsage},
             Case{{p, d, o, QStringLiteral("--outputs"), QStringLiteral("bericht"), QStringLiteral("--serien"),
                   QStringLiteral("7")},
                  kCliUsage},
             Case{{p, d, o, QStringLiteral("--outputs"), QStringLiteral("ausstehend"), QStringLiteral("--stichtag"),
                   QStringLiteral("31.02.2025")},
                  kCliUsage},
             // A round without results: the ranking has no page, so there is nothing to print.
             Case{{p, d, o, QStringLiteral("--outputs"), QStringLiteral("einzel"), QStringLiteral("--round"),
                   QStringLiteral("12")},
                  kCliUsage},
             Case{{p, path("fehlt.mdb"), o}, kCliFileError},
             Case{{p, d, path("kein/ordner/e.pdf"), QStringLiteral("--outputs"), QStringLiteral("tabelle")},
                  kCliFileError},
         }) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(run(c.args), c.rc);
        EXPECT_FALSE(err.isEmpty());
        EXPECT_FALSE(QFile::exists(o));
    }
}

// The program itself starts the graphical side of Qt for printing, also without a display.
TEST_F(OutputCommandsTest, PrintPdfProgramRunsWithoutADisplay)
{
    ASSERT_EQ(run({QStringLiteral("demo"), path("d.mdb")}), kCliOk);
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(TORVM_CLI_PATH), {QStringLiteral("print-pdf"), path("d.mdb"), path("p.pdf"),
                                               QStringLiteral("--outputs"), QStringLiteral("tabelle,einzel")});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), kCliOk) << cli.readAllStandardError().toStdString();
    EXPECT_TRUE(readAll(path("p.pdf")).startsWith("%PDF"));
}

} // namespace
} // namespace torvm
