#include "db/SafeFile.h"
#include "db/CompetitionLock.h"
#include "db/Database.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

// Whether the next flushes to the disk fail: this definition takes the place of the system's for
// the whole test program and passes every other call through.
bool g_failFsync = false;
extern "C" int fsync(int fd)
{
    if (g_failFsync) {
        errno = EIO;
        return -1;
    }
    return int(::syscall(SYS_fsync, fd));
}

namespace torvm {
namespace {

QByteArray readAll(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
}

void writeRaw(const QString& file, const QByteArray& bytes)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class SafeFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QStringList entries() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
};

TEST_F(SafeFileTest, AWriteEitherReplacesTheTargetWholeOrLeavesItAsItWas)
{
    struct Case {
        const char* name;
        const char* target; // in the test folder, or an absolute path
        std::function<void(const QString&)> before;
        bool writerSucceeds;
        Replace replace;
        bool ok;
        QByteArray afterwards;        // content of the target afterwards
        const char* errorPart;        // in the German message on failure
        const char* linkTo = nullptr; // the target is a link to this file, and stays one
    };
    const auto linkTo = [](const char* file) {
        return [file](const QString& t) { ASSERT_EQ(::symlink(file, QFile::encodeName(t).constData()), 0); };
    };
    const auto oldText = [](const QString& t) { writeRaw(t, "alt\r\n"); };
    const auto competition = [](const QString& t) { ASSERT_TRUE(QFile::copy(test::builtTemplate(), t)); };
    const std::vector<Case> cases{
        {"new file", "neu.txt", {}, true, Replace::OutputsOnly, true, "neu", nullptr},
        {"replaces an old export", "alt.txt", oldText, true, Replace::OutputsOnly, true, "neu", nullptr},
        {"writer fails: old file stays", "alt.txt", oldText, false, Replace::OutputsOnly, false, "alt\r\n",
         "fehlgeschlagen"},
        {"a competition is never an output's target",
         "wk.mdb",
         competition,
         true,
         Replace::OutputsOnly,
         false,
         {},
         "Wettkampfdatei"},
        {"New may replace a competition", "wk.mdb", competition, true, Replace::Anything, true, "neu", nullptr},
        {"a folder is refused", "ordner", [](const QString& t) { ASSERT_TRUE(QDir().mkpath(t)); }, true,
         Replace::OutputsOnly, false, "<fehlt>", "Ordner"},
        {"a missing folder", "fehlt/neu.txt", {}, true, Replace::OutputsOnly, false, "<fehlt>", "nicht vorhanden"},
        {"through a link", "link.txt",
         [&](const QString& t) {
             oldText(QFileInfo(t).dir().filePath(QStringLiteral("ziel.txt")));
             linkTo("ziel.txt")(t);
         },
         true, Replace::OutputsOnly, true, "neu", nullptr, "ziel.txt"},
        {"through a link to a file still to make", "lose.txt", linkTo("ziel.txt"), true, Replace::OutputsOnly, true,
         "neu", nullptr, "ziel.txt"},
        {"an Access competition is never an output's target",
         "alt.mdb",
         [](const QString& t) { writeRaw(t, QByteArray(4, '\0') + "Standard Jet DB" + QByteArray(4077, '\0')); },
         true,
         Replace::OutputsOnly,
         false,
         {},
         "Wettkampfdatei"},
        {"a failing flush to the disk fails the write: old file stays", "alt.txt",
         [&](const QString& t) {
             oldText(t);
             g_failFsync = true;
         },
         true, Replace::OutputsOnly, false, "alt\r\n", "Lese- oder Schreibfehler"},
        {"no name at all", "", {}, true, Replace::OutputsOnly, false, {}, "kein Dateiname"},
        {"a full device fails at the final flush",
         "/dev/full",
         {},
         true,
         Replace::OutputsOnly,
         false,
         {},
         "Datenträger ist voll"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dir.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(dir.path()));
        const QString target = c.target[0] == '\0'  ? QString()
                               : c.target[0] == '/' ? QString::fromLatin1(c.target)
                                                    : dir.filePath(QString::fromUtf8(c.target));
        if (c.before)
            c.before(target);
        const QByteArray previous = c.target[0] == '/' ? QByteArray() : readAll(target); // a device never ends
        const QStringList filesBefore = entries();
        QString error;
        const bool ok = writeFileSafely(
            target,
            [&c](QIODevice& out) {
                out.write("neu");
                return c.writerSucceeds;
            },
            &error, c.replace);
        g_failFsync = false;
        EXPECT_EQ(ok, c.ok);
        if (c.ok) {
            EXPECT_TRUE(error.isEmpty());
            EXPECT_EQ(readAll(target), c.afterwards);
            if (c.linkTo) {
                EXPECT_EQ(QFileInfo(target).symLinkTarget(), path(c.linkTo));
                EXPECT_EQ(readAll(path(c.linkTo)), c.afterwards);
            }
        } else {
            EXPECT_TRUE(error.contains(QString::fromUtf8(c.errorPart))) << error.toStdString();
            if (!c.afterwards.isEmpty()) {
                EXPECT_EQ(readAll(target), c.afterwards);
            } else if (c.target[0] != '/') {
                EXPECT_EQ(readAll(target), previous);
            }
            EXPECT_EQ(entries(), filesBefore) << "no temporary file left";
        }
    }
}

TEST(ErrorTextTest, EngineAndSystemErrorsNameTheirCause)
{
    struct Case {
        QString text;
        const char* part;
    };
    const Case cases[] = {
        {engineErrorText(SQLITE_CONSTRAINT_UNIQUE), "bereits vorhanden"},
        {engineErrorText(SQLITE_CONSTRAINT_TRIGGER), "hat die Änderung abgelehnt"},
        {engineErrorText(SQLITE_READONLY), "schreibgeschützt"},
        {engineErrorText(SQLITE_READONLY_ROLLBACK), "mitten im Speichern unterbrochen"},
        {systemErrorText(EINVAL), "nicht zulässig"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(c.text.contains(QString::fromUtf8(c.part))) << c.text.toStdString();
}

// Proposed file names come from titles and group names; what no file system takes is replaced.
TEST(SafeFileName, ReplacesWhatNoFileSystemTakes)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Kreisliga 1/2", "Kreisliga 1-2"},
        {"Gau\\Süd: A*B?\"C\"<D>|E", "Gau-Süd- A-B--C--D--E"},
        {"Liga\tNord", "Liga-Nord"},
        {"  Saison 2025.  ", "Saison 2025"},
        {"...", "Ausgabe"},
        {"", "Ausgabe"},
    };
    for (const auto& [title, name] : cases)
        EXPECT_EQ(safeFileName(QString::fromUtf8(title)), QString::fromUtf8(name)) << title;
}

TEST_F(SafeFileTest, AMissingFolderIsNamedAsTheCause)
{
    QString error;
    const QString target = path("Liga 1/2.pdf");
    EXPECT_FALSE(writeFileSafely(
        target, [](QIODevice& file) { return file.write("x") == 1; }, &error));
    EXPECT_EQ(error, QStringLiteral("Die Datei %1 kann nicht angelegt werden: Der Ordner %2 ist nicht vorhanden.")
                         .arg(target, path("Liga 1")));
}

TEST_F(SafeFileTest, AReplacedFileKeepsItsRights)
{
    const QString target = path("liste.txt");
    writeRaw(target, "alt");
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    QString error;
    ASSERT_TRUE(writeFileSafely(
        target, [](QIODevice& out) { return out.write("neu") == 3; }, &error));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(SafeFileTest, FileNamesSurviveByteForByte)
{
    const std::vector<QByteArray> names{
        QByteArray("caf\xe9.mdb"),         // Latin-1, not UTF-8
        QByteArray("caf\xc3\xa9.mdb"),     // UTF-8
        QByteArray("\xff\xfe"),            // bytes that start nothing
        QByteArray("a\xed\xa0\x80z"),      // an encoded surrogate is no UTF-8
        QByteArray("\xe2\x82"),            // a sequence cut short
        QByteArray("\xf0\x9f\x8e\xaf.txt") // outside the basic plane
    };
    for (const QByteArray& bytes : names) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        const QString name = fileNameFromNative(bytes);
        EXPECT_EQ(nativeFileName(name), bytes);
        const QByteArray full = QFile::encodeName(dir.path()) + '/' + bytes;
        QString error;
        ASSERT_TRUE(writeFileSafely(
            fileNameFromNative(full), [](QIODevice& out) { return out.write("x") == 1; }, &error))
            << error.toStdString();
        EXPECT_EQ(::access(full.constData(), F_OK), 0);
        ::unlink(full.constData());
    }
    EXPECT_EQ(fileNameFromNative("caf\xc3\xa9"), QStringLiteral("café"));
}

TEST_F(SafeFileTest, InputsThatAreNoRegularFilesAreNamed)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    writeRaw(path("datei"), "x");
    EXPECT_TRUE(inputFileProblem(path("datei")).isEmpty());
    EXPECT_TRUE(inputFileProblem(path("pipe")).contains(QStringLiteral("keine gewöhnliche Datei")));
    EXPECT_TRUE(inputFileProblem(dir.path()).contains(QStringLiteral("Ordner")));
    EXPECT_TRUE(inputFileProblem(QStringLiteral("/dev/null")).contains(QStringLiteral("Gerät")));
    EXPECT_TRUE(inputFileProblem(path("fehlt")).contains(QStringLiteral("nicht vorhanden")));
    EXPECT_LT(displayPath(QString(10000, QLatin1Char('a'))).size(), 200);
}

TEST_F(SafeFileTest, ANewFileAppearsUnderItsNameOnlyWhenPublished)
{
    const QString target = path("demo.mdb");
    {
        FileUnderConstruction abandoned(target);
        ASSERT_FALSE(abandoned.path().isEmpty());
        writeRaw(abandoned.path(), "halb");
        EXPECT_FALSE(QFile::exists(target));
    }
    EXPECT_TRUE(entries().isEmpty()) << entries().join(QLatin1Char(',')).toStdString();

    FileUnderConstruction first(target);
    FileUnderConstruction second(target);
    writeRaw(first.path(), "eins");
    writeRaw(second.path(), "zwei");
    QString error;
    ASSERT_TRUE(first.publish(&error));
    EXPECT_FALSE(second.publish(&error)) << "a file that appeared meanwhile is never replaced";
    EXPECT_TRUE(error.contains(QStringLiteral("inzwischen vorhanden")));
    EXPECT_EQ(readAll(target), QByteArray("eins"));
}

TEST(CompetitionLockTest, SharedWhileOpenExclusiveToReplaceAndNeverStale)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("liga.mdb"));
    {
        CompetitionLock first;
        CompetitionLock second;
        CompetitionLock replacing;
        ASSERT_TRUE(first.acquire(file, CompetitionLock::Mode::Shared));
        EXPECT_TRUE(second.acquire(file, CompetitionLock::Mode::Shared)) << "two instances may work on one file";
        EXPECT_FALSE(replacing.acquire(file, CompetitionLock::Mode::Exclusive));
        first.release();
        EXPECT_FALSE(replacing.acquire(file, CompetitionLock::Mode::Exclusive));
        second.release();
        EXPECT_FALSE(QFile::exists(CompetitionLock::lockPath(file))) << "the last holder removes the file";
        EXPECT_TRUE(replacing.acquire(file, CompetitionLock::Mode::Exclusive));
        CompetitionLock opening;
        EXPECT_FALSE(opening.acquire(file, CompetitionLock::Mode::Shared));
        replacing.share();
        EXPECT_TRUE(opening.acquire(file, CompetitionLock::Mode::Shared));
    }
    // What a crashed instance leaves: the file without anybody holding it.
    writeRaw(CompetitionLock::lockPath(file), {});
    CompetitionLock after;
    EXPECT_TRUE(after.acquire(file, CompetitionLock::Mode::Exclusive));
    after.release();

    // A link to the competition is the competition: it cannot be replaced while the file is open.
    writeRaw(file, "SQLite");
    const QString link = dir.filePath(QStringLiteral("verweis.mdb"));
    ASSERT_TRUE(QFile::link(file, link));
    CompetitionLock working;
    ASSERT_TRUE(working.acquire(file, CompetitionLock::Mode::Shared));
    CompetitionLock throughLink;
    EXPECT_FALSE(throughLink.acquire(link, CompetitionLock::Mode::Exclusive));
}

} // namespace
} // namespace torvm
