#include "CliTest.h"

#include "db/CompetitionFile.h"
#include "db/SafeFile.h"
#include "exchange/JetFile.h"
#include "support/JetFixtures.h"
#include "support/JetWriter.h"
#include "support/Privileges.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace torvm {
namespace {

class ReliabilityTest : public test::CliTest {
protected:
    void SetUp() override
    {
        workInFolderWithTemplate();
        ASSERT_EQ(run({QStringLiteral("demo"), path("liga.mdb")}), kCliOk) << err.toStdString();
    }

    static QByteArray readAll(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void writeRaw(const QString& file, const QByteArray& bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    static std::int64_t rowsOf(const QString& file, const char* table)
    {
        auto db = Database::open(file, Database::Mode::ReadOnly, nullptr);
        Statement st = db->prepare(std::string("SELECT COUNT(*) FROM ") + table);
        return st.next() ? st.int64(0) : -1;
    }

    static void executeIn(const QString& file, const char* sql)
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(file).constData(), &raw), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(raw, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(raw);
        sqlite3_close(raw);
    }

    QStringList folder() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    // Every output command, writing to target.
    std::vector<QStringList> outputCommands(const QString& target) const
    {
        return {{QStringLiteral("export-text"), path("liga.mdb"), target},
                {QStringLiteral("print-pdf"), path("liga.mdb"), target},
                {QStringLiteral("group-schedule"), path("liga.mdb"), QStringLiteral("1"), target}};
    }
};

TEST_F(ReliabilityTest, AWriteThatFailsIsAFailure)
{
    for (const QStringList& args : outputCommands(QStringLiteral("/dev/full"))) {
        SCOPED_TRACE(args.first().toStdString());
        EXPECT_EQ(run(args), kCliFileError);
        EXPECT_TRUE(err.contains(QStringLiteral("Datenträger ist voll"))) << err.toStdString();
        EXPECT_TRUE(out.isEmpty());
    }
}

TEST_F(ReliabilityTest, NoOutputIsEverWrittenOverACompetition)
{
    ASSERT_TRUE(QFile::copy(path("liga.mdb"), path("andere.mdb")));
    const QByteArray own = readAll(path("liga.mdb"));
    const QByteArray other = readAll(path("andere.mdb"));
    for (const char* target : {"liga.mdb", "andere.mdb"}) {
        for (const QStringList& args : outputCommands(path(target))) {
            SCOPED_TRACE(args.first().toStdString() + " -> " + target);
            EXPECT_EQ(run(args), kCliFileError);
            EXPECT_TRUE(err.contains(QStringLiteral("Wettkampfdatei"))) << err.toStdString();
        }
    }
    EXPECT_EQ(readAll(path("liga.mdb")), own);
    EXPECT_EQ(readAll(path("andere.mdb")), other);

    EXPECT_EQ(run({QStringLiteral("web-export"), path("liga.mdb"), dir.path()}), kCliFileError);
    EXPECT_TRUE(err.contains(QStringLiteral("enthält die Wettkampfdatei"))) << err.toStdString();
    EXPECT_FALSE(QFile::exists(path("index.htm")));
}

TEST_F(ReliabilityTest, AnInterruptedSaveIsRolledBackOnTheNextOpen)
{
    // A save in the middle: the file already changed, the journal with the old pages beside it.
    // Copying both is what a power cut leaves on the disk.
    sqlite3* live = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path("liga.mdb")).constData(), &live), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(live,
                           "PRAGMA cache_size = 1; BEGIN IMMEDIATE; UPDATE Wettbewerb SET Wettbewerb = 'halb'; "
                           "DELETE FROM Wettkampf; DELETE FROM Teilnehmer;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    ASSERT_TRUE(QFile::exists(path("liga.mdb-journal")));
    ASSERT_TRUE(QFile::copy(path("liga.mdb"), path("absturz.mdb")));
    ASSERT_TRUE(QFile::copy(path("liga.mdb-journal"), path("absturz.mdb-journal")));
    sqlite3_exec(live, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(live);
    ASSERT_NE(readAll(path("absturz.mdb")), readAll(path("liga.mdb"))) << "the copy must be of a file half-saved";

    const QByteArray halfSaved = readAll(path("absturz.mdb"));
    const QByteArray journal = readAll(path("absturz.mdb-journal"));
    ASSERT_EQ(run({QStringLiteral("export-text"), path("liga.mdb"), path("vorher.txt")}), kCliOk);
    // Whatever opens the file first rolls the save back, a source of an import too.
    for (const QStringList& firstUse :
         std::vector<QStringList>{{QStringLiteral("export-text"), path("absturz.mdb"), path("danach.txt")},
                                  {QStringLiteral("import-results"), path("liga.mdb"), path("absturz.mdb"),
                                   QStringLiteral("--round"), QStringLiteral("1")}}) {
        SCOPED_TRACE(firstUse.first().toStdString());
        writeRaw(path("absturz.mdb"), halfSaved);
        writeRaw(path("absturz.mdb-journal"), journal);
        for (const QString& old : QDir(dir.path()).entryList({QStringLiteral("absturz.vor-*")}))
            QFile::remove(dir.filePath(old));
        ASSERT_EQ(run(firstUse), kCliOk) << err.toStdString();
        EXPECT_FALSE(QFile::exists(path("absturz.mdb-journal")));
        // Nobody can tell whose journal it was: both were kept aside first, and the message names them.
        const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("absturz.vor-Ruecknahme-*.mdb")});
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(readAll(dir.filePath(aside.first())), halfSaved);
        EXPECT_TRUE(QFile::exists(dir.filePath(aside.first() + QStringLiteral("-journal"))));
        EXPECT_TRUE(err.contains(aside.first())) << err.toStdString();
        ASSERT_EQ(run({QStringLiteral("export-text"), path("absturz.mdb"), path("danach.txt")}), kCliOk);
        EXPECT_EQ(readAll(path("danach.txt")), readAll(path("vorher.txt")));
    }
}

TEST_F(ReliabilityTest, ADamagedIndexThatTheQuickCheckMissesIsRefused)
{
    // The page of another index copied over the groups' key index: every page is well-formed,
    // but lookups by group number would miss groups.
    std::int64_t pageSize = 0;
    std::int64_t groups = 0;
    std::int64_t plans = 0;
    {
        auto db = Database::open(path("liga.mdb"), Database::Mode::ReadOnly, nullptr);
        ASSERT_TRUE(db);
        Statement size = db->prepare("PRAGMA page_size");
        ASSERT_TRUE(size.next());
        pageSize = size.int64(0);
        Statement roots = db->prepare("SELECT name, rootpage FROM sqlite_schema WHERE type = 'index'");
        while (roots.next()) {
            if (roots.text(0) == QLatin1String("Gruppe_ID"))
                groups = roots.int64(1);
            if (roots.text(0) == QLatin1String("Plan_PlanID"))
                plans = roots.int64(1);
        }
    }
    ASSERT_GT(groups, 0);
    ASSERT_GT(plans, 0);
    QByteArray bytes = readAll(path("liga.mdb"));
    bytes.replace((groups - 1) * pageSize, pageSize, bytes.mid((plans - 1) * pageSize, pageSize));
    writeRaw(path("liga.mdb"), bytes);
    {
        auto db = Database::open(path("liga.mdb"), Database::Mode::ReadOnly, nullptr);
        Statement quick = db->prepare("PRAGMA quick_check");
        ASSERT_TRUE(quick.next());
        ASSERT_EQ(quick.text(0), QStringLiteral("ok")) << "the damage must be one the quick check misses";
    }
    for (const QStringList& args :
         std::vector<QStringList>{{QStringLiteral("export-text"), path("liga.mdb"), path("o.txt")},
                                  {QStringLiteral("import-results"), path("liga.mdb"), path("liga.mdb"),
                                   QStringLiteral("--round"), QStringLiteral("1")}}) {
        SCOPED_TRACE(args.first().toStdString());
        EXPECT_EQ(run(args), kCliFileError);
        EXPECT_TRUE(err.contains(QStringLiteral("beschädigt"))) << err.toStdString();
        EXPECT_EQ(err.trimmed().count(QLatin1Char('\n')), 1)
            << "one paragraph after \"Fehler:\": " << err.toStdString();
    }
    EXPECT_EQ(readAll(path("liga.mdb")), bytes) << "nothing written into a damaged file";
    EXPECT_FALSE(QFile::exists(path("o.txt")));
}

TEST_F(ReliabilityTest, AWriteProtectedCompetitionIsExportedButNotWritten)
{
    ASSERT_EQ(::chmod(QFile::encodeName(path("liga.mdb")).constData(), 0444), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    int exported = -1;
    int imported = -1;
    {
        const test::ScopedFilePermissions obey;
        exported = run({QStringLiteral("export-text"), path("liga.mdb"), QStringLiteral("/dev/null")});
        imported = run({QStringLiteral("import-members"), path("liga.mdb"), path("liga.mdb")});
    }
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_EQ(exported, kCliOk) << err.toStdString();
    EXPECT_EQ(imported, kCliFileError);
}

// Whatever another tool left in a competition would run inside our transactions.
TEST_F(ReliabilityTest, ObjectsOfOtherToolsAreRefusedByName)
{
    struct Case {
        const char* sql;
        const char* named;
    };
    const Case cases[] = {
        {"CREATE TRIGGER t3 AFTER UPDATE ON Wettkampf BEGIN DELETE FROM Teilnehmer; END", "Trigger „t3“"},
        {"CREATE VIEW alle AS SELECT * FROM Teilnehmer", "Sicht „alle“"},
        {"CREATE INDEX Wettkampf_Text ON Wettkampf (Text)", "Index „Wettkampf_Text“"},
        {"CREATE TABLE Notizen (x)", "Tabelle „Notizen“"},
    };
    const std::int64_t participants = rowsOf(path("liga.mdb"), "Teilnehmer");
    ASSERT_GT(participants, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        QFile::remove(path("fremd.mdb"));
        ASSERT_TRUE(QFile::copy(path("liga.mdb"), path("fremd.mdb")));
        executeIn(path("fremd.mdb"), c.sql);
        for (const QStringList& args :
             std::vector<QStringList>{{QStringLiteral("import-results"), path("fremd.mdb"), path("liga.mdb"),
                                       QStringLiteral("--round"), QStringLiteral("2")},
                                      {QStringLiteral("import-results"), path("liga.mdb"), path("fremd.mdb"),
                                       QStringLiteral("--round"), QStringLiteral("2")},
                                      {QStringLiteral("export-text"), path("fremd.mdb"), path("o.txt")}}) {
            EXPECT_EQ(run(args), kCliFileError);
            EXPECT_TRUE(err.contains(QString::fromUtf8(c.named))) << err.toStdString();
        }
        EXPECT_EQ(rowsOf(path("fremd.mdb"), "Teilnehmer"), participants);
        EXPECT_FALSE(QFile::exists(path("o.txt")));
    }
}

// A damaged template would become a damaged competition; with no usable one, nothing is made.
TEST_F(ReliabilityTest, ATemplateThatIsNoCompetitionIsNotUsed)
{
    JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
    test::JetWriter writer;
    writer.addTable({QStringLiteral("Verein"),
                     {{QStringLiteral("Vereinsnummer"), JetType::Long}, {QStringLiteral("Name"), JetType::Text}},
                     {{test::jetInt(7), test::jetText(QStringLiteral("SG Adler"))}},
                     0,
                     {}});
    QString error;
    ASSERT_TRUE(writer.write(path("alt.mdb"), &error)) << error.toStdString();
    ASSERT_TRUE(QFile::copy(path("liga.mdb"), path("mit-trigger.tpl")));
    executeIn(path("mit-trigger.tpl"), "CREATE TRIGGER t AFTER INSERT ON Verein BEGIN DELETE FROM Klasse; END");
    for (const QByteArray& tpl : {QByteArray("garbage\n"), readAll(path("mit-trigger.tpl"))}) {
        writeRaw(path("torvm.tpl"), tpl);
        const QStringList before = folder();
        for (const QStringList& args : std::vector<QStringList>{
                 {QStringLiteral("new"), path("n.mdb")}, {QStringLiteral("convert"), path("alt.mdb"), path("k.mdb")}}) {
            SCOPED_TRACE(args.first().toStdString());
            EXPECT_EQ(run(args), kCliFileError);
            EXPECT_TRUE(err.contains(QStringLiteral("torvm.tpl"))) << err.toStdString();
            EXPECT_EQ(folder(), before);
        }
    }
}

TEST_F(ReliabilityTest, AnExportOfAWriteAheadLoggedFileLeavesNoCompanions)
{
    executeIn(path("liga.mdb"), "PRAGMA journal_mode = WAL");
    const QStringList before = folder();
    ASSERT_EQ(run({QStringLiteral("export-text"), path("liga.mdb"), path("o.txt")}), kCliOk) << err.toStdString();
    QStringList expected = before;
    expected << QStringLiteral("o.txt");
    expected.sort();
    EXPECT_EQ(folder(), expected);
}

TEST_F(ReliabilityTest, InputsThatAreNoRegularFilesAreRefusedAtOnce)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.mdb")).constData(), 0600), 0);
    // Companions that the engine would open beside a competition: a pipe would block every command.
    for (const char* name : {"journal.mdb", "wal.mdb", "shm.mdb"})
        ASSERT_TRUE(QFile::copy(path("liga.mdb"), path(name)));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("journal.mdb-journal")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("wal.mdb-wal")));
    ASSERT_EQ(::symlink("liga.mdb", QFile::encodeName(path("shm.mdb-shm")).constData()), 0);
    const std::vector<QStringList> cases{
        {QStringLiteral("export-text"), path("journal.mdb"), path("o.txt")},
        {QStringLiteral("import-results"), path("liga.mdb"), path("journal.mdb"), QStringLiteral("--round"),
         QStringLiteral("1")},
        {QStringLiteral("import-members"), path("wal.mdb"), path("liga.mdb")},
        {QStringLiteral("export-text"), path("shm.mdb"), path("o.txt")},
        {QStringLiteral("export-text"), path("pipe.mdb"), path("o.txt")},
        {QStringLiteral("export-text"), dir.path(), path("o.txt")},
        {QStringLiteral("export-text"), QStringLiteral("/dev/zero"), path("o.txt")},
        {QStringLiteral("import-members"), path("liga.mdb"), path("pipe.mdb")},
        {QStringLiteral("convert"), path("pipe.mdb"), path("neu.mdb")},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(run(args), kCliFileError);
        EXPECT_LT(timer.elapsed(), 5000);
        EXPECT_FALSE(err.isEmpty());
    }
}

TEST_F(ReliabilityTest, FileNamesAreUsedByteForByte)
{
    const QByteArray bytes = QFile::encodeName(dir.path()) + "/caf\xe9.mdb";
    ASSERT_EQ(run({QStringLiteral("new"), fileNameFromNative(bytes)}), kCliOk) << err.toStdString();
    EXPECT_EQ(::access(bytes.constData(), F_OK), 0);
    EXPECT_FALSE(QFile::exists(path("caf\xef\xbf\xbd.mdb")));
    EXPECT_EQ(run({QStringLiteral("export-text"), fileNameFromNative(bytes), path("o.txt"), QStringLiteral("--outputs"),
                   QStringLiteral("teilnehmer,verein,termin")}),
              kCliUsage)
        << "an empty competition has nothing to show: it was opened, not refused";

    // An Access source under such a name reaches the reading child process under the same bytes.
    JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
    const auto members = test::mitgliederColumns();
    test::JetWriter writer;
    writer.addTable({QStringLiteral("tblMitglieder"), members, {test::sampleMitglied(members, 7)}, 0, {}});
    writer.addTable({QStringLiteral("tblVereine_kurz"), test::vereineKurzColumns(), {}, 0, {}});
    QString error;
    ASSERT_TRUE(writer.write(path("quelle.mdb"), &error)) << error.toStdString();
    const QByteArray source = QFile::encodeName(dir.path()) + "/mitglieder-\xe9.mdb";
    ASSERT_EQ(::rename(QFile::encodeName(path("quelle.mdb")).constData(), source.constData()), 0);
    ASSERT_EQ(run({QStringLiteral("import-members"), fileNameFromNative(bytes), fileNameFromNative(source)}), kCliOk)
        << err.toStdString();
    auto db = Database::open(fileNameFromNative(bytes), Database::Mode::ReadOnly, nullptr);
    ASSERT_TRUE(db);
    Statement st = db->prepare(R"(SELECT COUNT(*) FROM "Teilnehmer")");
    ASSERT_TRUE(st.next());
    EXPECT_EQ(st.int64(0), 1);
}

TEST_F(ReliabilityTest, UsageMistakesGetTheUsageTextAndShortMessages)
{
    const std::vector<QStringList> cases{
        {QStringLiteral("new"), path("a.mdb"), path("b.mdb")},
        {QStringLiteral("export-text"), path("liga.mdb")},
        {QStringLiteral("export-text"), path("liga.mdb"), path("o.txt"), path("zu-viel.txt")},
        {QStringLiteral("group-schedule"), path("liga.mdb"), QStringLiteral("1"), path("o.txt"), QStringLiteral("x")},
        {QStringLiteral("export-text"), path("liga.mdb"), path("o.txt"), QStringLiteral("--round"),
         QString(10000, QLatin1Char('9'))},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.mid(0, 2).join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(run(args), kCliUsage);
        EXPECT_FALSE(err.isEmpty());
        EXPECT_LT(err.size(), 2000);
    }
    EXPECT_FALSE(QFile::exists(path("a.mdb")));
}

TEST_F(ReliabilityTest, DemoAndConvertLeaveNoHalfFile)
{
    writeRaw(path(".zwei.mdb.neu-999999999-abcdef"), "halb"); // its maker was killed
    writeRaw(path(".zwei.mdb.neu-1-abcdef"), "halb");         // its maker still runs
    // Named the older way, without the maker: gone once a day old.
    for (const auto& [name, age] : {std::pair{".zwei.mdb.neu-Ab3dE9", 2}, std::pair{".zwei.mdb.neu-Ab3dE9-journal", 2},
                                    std::pair{".zwei.mdb.neu-Fr15ch", 0}}) {
        writeRaw(path(name), "halb");
        QFile old(path(name));
        ASSERT_TRUE(old.open(QIODevice::ReadWrite));
        ASSERT_TRUE(old.setFileTime(QDateTime::currentDateTime().addDays(-age).addSecs(-60),
                                    QFileDevice::FileModificationTime));
    }
    const QStringList before = folder();
    // A demo that cannot be finished (its folder is missing) leaves nothing at all.
    EXPECT_EQ(run({QStringLiteral("demo"), path("fehlt/d.mdb")}), kCliFileError);
    EXPECT_EQ(folder(), before);
    ASSERT_EQ(run({QStringLiteral("demo"), path("zwei.mdb")}), kCliOk);
    QStringList expected = before;
    expected.removeOne(QStringLiteral(".zwei.mdb.neu-999999999-abcdef"));
    expected.removeOne(QStringLiteral(".zwei.mdb.neu-Ab3dE9"));
    expected.removeOne(QStringLiteral(".zwei.mdb.neu-Ab3dE9-journal"));
    expected << QStringLiteral("zwei.mdb");
    expected.sort();
    EXPECT_EQ(folder(), expected) << "no temporary file and no lock file left";
}

// Far beyond the engine's own 512 bytes: every command works there as anywhere.
TEST_F(ReliabilityTest, ACompetitionUnderAVeryLongPathWorksAsAnyOther)
{
    const QString deep = path("l") + (QLatin1Char('/') + QString(220, QLatin1Char('l'))).repeated(3);
    ASSERT_TRUE(QDir().mkpath(deep));
    ASSERT_GT(deep.size(), 600);
    const QString fresh = deep + QStringLiteral("/neu.mdb");
    const QString league = deep + QStringLiteral("/liga.mdb");
    ASSERT_EQ(run({QStringLiteral("new"), fresh}), kCliOk) << err.toStdString();
    EXPECT_EQ(rowsOf(fresh, "Klasse"), 21);
    ASSERT_EQ(run({QStringLiteral("demo"), league}), kCliOk) << err.toStdString();
    {
        const auto db = Database::open(league, Database::Mode::ReadWrite, nullptr);
        ASSERT_TRUE(db && db->execute("DELETE FROM Wettkampf WHERE Durchgang = 1"));
    }
    ASSERT_EQ(run({QStringLiteral("import-results"), league, path("liga.mdb"), QStringLiteral("--round"),
                   QStringLiteral("2")}),
              kCliOk)
        << err.toStdString();
    EXPECT_GT(rowsOf(league, "Wettkampf WHERE Durchgang = 1"), 0);
    EXPECT_EQ(rowsOf(league, "Wettkampf WHERE Durchgang = 1"),
              rowsOf(path("liga.mdb"), "Wettkampf WHERE Durchgang = 1"));
    EXPECT_EQ(run({QStringLiteral("backup"), league}), kCliOk) << err.toStdString();
    EXPECT_FALSE(QDir(deep + QStringLiteral("/Sicherungen")).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(QFile::exists(league + QStringLiteral("-journal")));

    EXPECT_EQ(run({QStringLiteral("new"), deep + QLatin1Char('/') + QString(256, QLatin1Char('n'))}), kCliFileError);
    EXPECT_TRUE(err.contains(QStringLiteral("zu lang"))) << err.toStdString();
}

} // namespace
} // namespace torvm
