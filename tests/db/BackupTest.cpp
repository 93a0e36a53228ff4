#include "db/Backup.h"
#include "db/CompetitionFile.h"
#include "db/CompetitionLock.h"
#include "db/SafeFile.h"
#include "support/Fixtures.h"
#include "support/Privileges.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace torvm {
namespace {

QDateTime at(const char* stamp)
{
    return QDateTime::fromString(QString::fromLatin1(stamp), QStringLiteral("yyyy-MM-dd HH:mm"));
}

std::int64_t scalar(Database& db, const char* sql)
{
    Statement st = db.prepare(sql);
    return st.next() ? st.int64(0) : -1;
}

class BackupTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    QString folder() const { return comp.file(QStringLiteral("Sicherungen")); }
    QStringList copies() const { return QDir(folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    void participants(int count)
    {
        for (int n = 1; n <= count; ++n) {
            Statement st = comp.db()->prepare("INSERT INTO Teilnehmer (Paßnummer, Name) VALUES (?, 'Huber')");
            st.bind(1, std::int64_t{n});
            ASSERT_TRUE(st.exec());
        }
    }
};

// The last 20 copies stay, and of older ones the last of each month.
TEST(BackupPrune, KeepsTheLastTwentyAndTheLastOfEachMonth)
{
    std::vector<QDateTime> made;
    for (int day = 1; day <= 28; ++day)
        made.push_back(at(QStringLiteral("2026-03-%1 20:00").arg(day, 2, 10, QLatin1Char('0')).toLatin1()));
    made.push_back(at("2026-01-10 09:00"));
    made.push_back(at("2026-01-31 09:00"));
    made.push_back(at("2025-12-24 09:00"));
    std::vector<QDateTime> pruned = backupsToPrune(made);
    std::sort(pruned.begin(), pruned.end());
    // March 9 ... 28 are the last twenty, the older days of March go; January keeps its last copy.
    std::vector<QDateTime> expected{at("2026-01-10 09:00")};
    for (int day = 1; day <= 8; ++day)
        expected.push_back(at(QStringLiteral("2026-03-0%1 20:00").arg(day).toLatin1()));
    EXPECT_EQ(pruned, expected);
    EXPECT_TRUE(backupsToPrune({made.begin(), made.begin() + 20}).empty());
}

TEST_F(BackupTest, ACopyHoldsTheCompetitionUnderItsStampAndOldOnesArePruned)
{
    participants(3);
    QString error;
    for (int day = 1; day <= 22; ++day) {
        const QDateTime now = at(QStringLiteral("2026-02-%1 18:30").arg(day, 2, 10, QLatin1Char('0')).toLatin1());
        ASSERT_TRUE(makeBackup(*comp.db(), comp.path(), now, &error)) << error.toStdString();
    }
    const QStringList names = copies();
    ASSERT_EQ(names.size(), 20) << names.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(names.front(), QFileInfo(comp.path()).completeBaseName() + QStringLiteral("_2026-02-03_18-30-00.mdb"));
    auto copy = openCompetition(QDir(folder()).filePath(names.back()), &error, Access::ReadOnly);
    ASSERT_TRUE(copy) << error.toStdString();
    EXPECT_EQ(scalar(*copy, "SELECT COUNT(*) FROM Teilnehmer"), 3);

    const std::vector<BackupInfo> listed = listBackups(comp.path());
    ASSERT_EQ(listed.size(), 20u);
    EXPECT_EQ(listed.front().made, at("2026-02-22 18:30"));
    EXPECT_EQ(listed.front().participants, 3);
    EXPECT_EQ(listed.front().results, 0);

    // One a day on opening: the same day makes none, the next day one.
    ASSERT_TRUE(makeDailyBackup(*comp.db(), comp.path(), at("2026-02-22 23:59"), &error));
    EXPECT_EQ(copies().size(), 20);
    ASSERT_TRUE(makeDailyBackup(*comp.db(), comp.path(), at("2026-02-23 00:01"), &error));
    EXPECT_EQ(listBackups(comp.path()).front().made, at("2026-02-23 00:01"));
}

TEST_F(BackupTest, AFolderThatCannotBeWrittenSendsTheCopiesToTheUserFolder)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    ASSERT_EQ(::chmod(QFile::encodeName(folder()).constData(), 0555), 0);
    QString error;
    std::optional<QString> made;
    {
        test::ScopedFilePermissions obey;
        made = makeBackup(*comp.db(), comp.path(), at("2026-04-01 10:00"), &error);
    }
    ASSERT_TRUE(made) << error.toStdString();
    EXPECT_TRUE(made->contains(QStringLiteral("/torvm/Sicherungen/") + QFileInfo(comp.path()).completeBaseName() +
                               QLatin1Char('/')))
        << made->toStdString();
    EXPECT_TRUE(copies().isEmpty());
    EXPECT_EQ(listBackups(comp.path()).size(), 1u);
    QFile::remove(*made);
}

TEST_F(BackupTest, ARestoreReplacesTheFileKeepsThePresentStateAndWaitsForOtherInstances)
{
    participants(2);
    QString error;
    const std::optional<QString> two = makeBackup(*comp.db(), comp.path(), at("2026-05-01 08:00"), &error);
    ASSERT_TRUE(two);
    ASSERT_TRUE(comp.db()->execute("DELETE FROM Teilnehmer WHERE Paßnummer = 1"));
    const QString path = comp.path();
    comp.doc().OnCloseDocument();

    {
        CompetitionLock other;
        ASSERT_TRUE(other.acquire(path, CompetitionLock::Mode::Shared));
        EXPECT_FALSE(restoreBackup(path, *two, at("2026-05-02 08:00"), &error));
        EXPECT_TRUE(error.contains(QStringLiteral("in einem anderen Programmfenster geöffnet"))) << error.toStdString();
    }
    QFile::copy(path, path + QStringLiteral("-journal")); // a journal of the replaced state must not be played
    ASSERT_TRUE(restoreBackup(path, *two, at("2026-05-02 08:00"), &error)) << error.toStdString();
    EXPECT_FALSE(pathExists(path + QStringLiteral("-journal")));
    auto restored = openCompetition(path, &error);
    ASSERT_TRUE(restored) << error.toStdString();
    EXPECT_EQ(scalar(*restored, "SELECT COUNT(*) FROM Teilnehmer"), 2);
    const std::vector<BackupInfo> listed = listBackups(path);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed.front().made, at("2026-05-02 08:00"));
    EXPECT_EQ(listed.front().participants, 1); // the state before the restore
}

// A copy killed half way never stands under a copy's name: every file that does is whole.
TEST_F(BackupTest, AKilledCopyLeavesNoHalfCopy)
{
    participants(1);
    ASSERT_TRUE(comp.db()->execute("WITH RECURSIVE c(i) AS (SELECT 2 UNION ALL SELECT i + 1 "
                                   "FROM c WHERE i < 60000) INSERT INTO Teilnehmer (Paßnummer, Name, Vorname) "
                                   "SELECT i, 'Name' || i, hex(randomblob(40)) FROM c"));
    const QString path = comp.path();
    comp.doc().OnCloseDocument();
    for (int delayMs : {0, 5, 20, 60}) {
        QProcess cli;
        cli.start(QStringLiteral(TORVM_CLI_PATH), {QStringLiteral("backup"), path});
        ASSERT_TRUE(cli.waitForStarted());
        QThread::msleep(delayMs);
        cli.kill();
        cli.waitForFinished();
    }
    for (const QString& name : QDir(folder()).entryList(QDir::Files)) {
        if (name.startsWith(QLatin1Char('.')))
            continue;
        QString error;
        EXPECT_TRUE(openCompetition(QDir(folder()).filePath(name), &error, Access::ReadOnly))
            << name.toStdString() << ": " << error.toStdString();
    }
}

// Far beyond the engine's own 512 bytes, within the system's limits: made, written (with its
// journal), copied and read again. Past the system's limits the reason is named.
TEST_F(BackupTest, ACompetitionUnderAVeryLongPathWorksAsAnyOther)
{
    const QString deep = comp.file(QString(200, QLatin1Char('a')) + QLatin1Char('/') + QString(200, QLatin1Char('b')) +
                                   QLatin1Char('/') + QString(200, QLatin1Char('c')));
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString file = deep + QStringLiteral("/liga.mdb");
    ASSERT_GT(nativeFileName(file).size(), 600);
    QString error;
    ASSERT_TRUE(copyTemplate(test::builtTemplate(), file, &error)) << error.toStdString();
    std::optional<QString> copy;
    {
        const auto db = openCompetition(file, &error);
        ASSERT_TRUE(db) << error.toStdString();
        Transaction tx(*db);
        ASSERT_TRUE(db->execute("INSERT INTO Teilnehmer (Paßnummer, Name) VALUES (7, 'Huber')"));
        ASSERT_TRUE(db->execute("INSERT INTO Wettkampf (ID, TNr, Ergebnis) VALUES (101, 7, 95)"));
        ASSERT_TRUE(tx.commit()) << db->lastError().text.toStdString();
        copy = makeBackup(*db, file, at("2026-05-01 10:00"), &error);
        ASSERT_TRUE(copy) << error.toStdString();
    }
    EXPECT_FALSE(QFile::exists(file + QStringLiteral("-journal")));
    for (const QString& path : {file, *copy}) {
        const auto again = openCompetition(path, &error, Access::ReadOnly);
        ASSERT_TRUE(again) << error.toStdString();
        EXPECT_EQ(scalar(*again, "SELECT TNr FROM Wettkampf WHERE ID = 101 AND Ergebnis = 95"), 7);
    }

    DbError why;
    EXPECT_FALSE(
        Database::open(deep + QLatin1Char('/') + QString(256, QLatin1Char('x')), Database::Mode::ReadWrite, &why));
    EXPECT_TRUE(why.text.startsWith(QStringLiteral("Der Pfad der Datei ist zu lang: das System nimmt Namen bis 255")))
        << why.text.toStdString();
}

} // namespace
} // namespace torvm
