#include "cli/Cli.h"
#include "db/CompetitionFile.h"
#include "db/CompetitionLock.h"
#include "db/Recordsets.h"
#include "db/Settings.h"
#include "document/TorvmDoc.h"
#include "support/Fixtures.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace torvm {
namespace {

QByteArray fileHash(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Changes the working folder for the life of the object: the template is looked up there first.
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const QString& dir)
        : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(dir);
    }
    ~ScopedCurrentDir() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

class DocumentTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    test::ScopedSettings settings;
    QString file(const QString& name) const { return dir.filePath(name); }
};

// Every kind of file that is not a competition is refused with the "Fehler" message, and neither
// the file nor its folder is touched.
TEST_F(DocumentTest, RefusesFilesThatAreNotCompetitions)
{
    QByteArray random(64 * 1024, '\0');
    QRandomGenerator rng(7);
    for (char& c : random)
        c = static_cast<char>(rng.bounded(256));
    const QByteArray tpl = readFile(test::builtTemplate());
    ASSERT_GT(tpl.size(), 8192);

    QByteArray jet(4096, '\0');
    jet.replace(4, 15, "Standard Jet DB");

    // A SQLite database of another kind, made by hand.
    const QString foreign = file(QStringLiteral("fremd.db"));
    {
        DbError error;
        auto db = Database::open(test::builtTemplate(), Database::Mode::ReadOnly, &error);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->execute(("VACUUM INTO '" + foreign.toStdString() + "'").c_str()));
    }
    {
        DbError error;
        auto db = Database::open(foreign, Database::Mode::ReadWrite, &error);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->execute("PRAGMA application_id = 0; DROP TABLE Wettkampf;"));
    }
    const QString otherApp = file(QStringLiteral("anders.db"));
    {
        writeFile(otherApp, tpl);
        DbError error;
        auto db = Database::open(otherApp, Database::Mode::ReadWrite, &error);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->execute("PRAGMA application_id = 12345"));
    }

    struct Case {
        const char* name;
        QByteArray bytes; // empty: the file was prepared above
    };
    const Case cases[] = {
        {"leer.mdb", QByteArray()},  {"zufall.mdb", random}, {"abgeschnitten.mdb", tpl.left(tpl.size() / 2)},
        {"kopf.mdb", tpl.left(100)}, {"access.mdb", jet},    {"fremd.db", {}},
        {"anders.db", {}},
    };
    for (const Case& c : cases) {
        const QString path = file(QString::fromUtf8(c.name));
        if (!QFile::exists(path) || !c.bytes.isEmpty())
            writeFile(path, c.bytes);
        const QByteArray before = fileHash(path);
        const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files);

        CTorvmDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument(path)) << c.name;
        EXPECT_FALSE(doc.IsOpen()) << c.name;
        EXPECT_EQ(doc.GetDatabase(), nullptr) << c.name;
        EXPECT_TRUE(doc.failure().text.startsWith(QStringLiteral("Fehler: \n"))) << c.name;
        EXPECT_GT(doc.failure().text.size(), 12) << c.name;
        EXPECT_EQ(doc.failure().icon, MessageIcon::Exclamation);
        EXPECT_EQ(fileHash(path), before) << c.name;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), filesBefore) << c.name;
        // The next start tries the same file again, as it always has.
        EXPECT_EQ(profileString(QStringLiteral("VMMainDlg"), QStringLiteral("FileName"), QString()), path);
    }
}

TEST_F(DocumentTest, JetFilesGetTheirOwnExplanation)
{
    QByteArray jet(8192, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    writeFile(file(QStringLiteral("alt.mdb")), jet);
    CTorvmDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(file(QStringLiteral("alt.mdb"))));
    EXPECT_TRUE(doc.failure().text.contains(QStringLiteral("Access")));
}

TEST_F(DocumentTest, MissingFileGivesTheFileNotFoundMessage)
{
    CTorvmDoc doc;
    const QString path = file(QStringLiteral("gibtsnicht.mdb"));
    EXPECT_FALSE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.failure().text, path + QStringLiteral("\nDiese Datei konnte nicht gefunden werden.\n"
                                                        "Überprüfen Sie, ob der korrekte Pfad und Dateiname "
                                                        "angegeben wurde."));
    // Unreadable files never become the file of the next start.
    EXPECT_EQ(profileString(QStringLiteral("VMMainDlg"), QStringLiteral("FileName"), QStringLiteral("torvm.mdb")),
              QStringLiteral("torvm.mdb"));
}

TEST_F(DocumentTest, NewCopiesTheTemplateAndOpensIt)
{
    QFile::copy(test::builtTemplate(), file(QStringLiteral("torvm.tpl")));
    const ScopedCurrentDir cwd(dir.path());
    const QString path = file(QStringLiteral("neu.mdb"));
    writeFile(path, "alter Inhalt"); // the save dialog has already asked before replacing
    {
        // The journal of a save cut short in the file being replaced: played into the new
        // competition it would bring back the old title.
        test::TempCompetition old;
        CRSWettbewerb(old.db(), &old.doc()).SetTitle(QStringLiteral("Alter Titel"));
        ASSERT_TRUE(
            old.db()->execute("PRAGMA cache_size = 1; BEGIN IMMEDIATE; DELETE FROM Wettbewerb; DELETE FROM Klasse;"));
        ASSERT_TRUE(QFile::copy(old.path() + QStringLiteral("-journal"), path + QStringLiteral("-journal")));
        old.db()->execute("ROLLBACK");
    }

    CTorvmDoc doc;
    QSignalSpy titles(&doc, &CTorvmDoc::titleChanged);
    ASSERT_TRUE(doc.OnNewDocument(path)) << doc.failure().text.toStdString();
    EXPECT_TRUE(doc.IsOpen());
    EXPECT_TRUE(doc.title().isEmpty());
    EXPECT_EQ(titles.count(), 1);
    EXPECT_EQ(readFile(path), readFile(test::builtTemplate()));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral("-journal")));
    EXPECT_EQ(profileString(QStringLiteral("VMMainDlg"), QStringLiteral("FileName"), QString()), path);

    CRSWettbewerb(doc.GetDatabase(), &doc).SetTitle(QStringLiteral("Kreismeisterschaft"));
    EXPECT_EQ(doc.CompetitionTitle(), QStringLiteral("Kreismeisterschaft"));
    doc.UpdateTitle();
    EXPECT_EQ(titles.count(), 2);
    EXPECT_EQ(titles.last().at(0).toString(), QStringLiteral("Kreismeisterschaft"));

    // The program would destroy its own open competition: refused, file untouched.
    CTorvmDoc second;
    const QByteArray before = fileHash(path);
    EXPECT_FALSE(second.OnNewDocument(path));
    EXPECT_TRUE(second.failure().text.contains(QStringLiteral("geöffnet")));
    EXPECT_EQ(fileHash(path), before);
    EXPECT_EQ(doc.CompetitionTitle(), QStringLiteral("Kreismeisterschaft"));

    doc.OnCloseDocument();
    EXPECT_FALSE(doc.IsOpen());
    EXPECT_TRUE(doc.CompetitionTitle().isEmpty());
    // Once closed, it may be replaced.
    EXPECT_TRUE(second.OnNewDocument(path));
}

TEST_F(DocumentTest, NewOverACompetitionAnotherInstanceHasOpenIsRefused)
{
    QFile::copy(test::builtTemplate(), file(QStringLiteral("torvm.tpl")));
    const ScopedCurrentDir cwd(dir.path());
    const QString path = file(QStringLiteral("liga.mdb"));
    {
        CTorvmDoc first;
        ASSERT_TRUE(first.OnNewDocument(path));
    }
    const QByteArray before = fileHash(path);
    // What another program instance holds while it has the competition open.
    CompetitionLock otherInstance;
    ASSERT_TRUE(otherInstance.acquire(path, CompetitionLock::Mode::Shared));
    CTorvmDoc doc;
    EXPECT_FALSE(doc.OnNewDocument(path));
    EXPECT_TRUE(doc.failure().text.contains(QStringLiteral("anderen laufenden Programm")))
        << doc.failure().text.toStdString();
    EXPECT_EQ(fileHash(path), before);
    EXPECT_TRUE(doc.OnOpenDocument(path)) << "opening beside the other instance is fine";
    doc.OnCloseDocument();
    // An instance that crashed holds nothing any more.
    otherInstance.release();
    EXPECT_TRUE(doc.OnNewDocument(path));
}

TEST_F(DocumentTest, NewWithoutTemplateSaysSo)
{
    const ScopedCurrentDir cwd(dir.path());
    ASSERT_TRUE(findTemplate().isEmpty()) << "a template is installed on this machine";
    CTorvmDoc doc;
    EXPECT_FALSE(doc.OnNewDocument(file(QStringLiteral("neu.mdb"))));
    EXPECT_TRUE(doc.failure().text.contains(QStringLiteral("torvm.tpl")));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("neu.mdb"))));
}

TEST_F(DocumentTest, OpenShowsTheStoredTitle)
{
    test::TempCompetition comp;
    CRSWettbewerb(comp.db(), &comp.doc()).SetTitle(QStringLiteral("Bezirksrundenwettkampf"));
    CTorvmDoc doc;
    QSignalSpy titles(&doc, &CTorvmDoc::titleChanged);
    ASSERT_TRUE(doc.OnOpenDocument(comp.path()));
    EXPECT_EQ(doc.title(), QStringLiteral("Bezirksrundenwettkampf"));
    ASSERT_EQ(titles.count(), 1);
}

// Write permission is what decides; root may write anywhere, so the check runs as "nobody".
TEST_F(DocumentTest, ReadOnlyFileIsRefusedWithAClearMessage)
{
    test::TempCompetition comp;
    const QString path = comp.path();
    ASSERT_EQ(::chmod(QFile::encodeName(comp.folder()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    const QByteArray before = fileHash(path);

    if (::geteuid() != 0) {
        QString error;
        EXPECT_EQ(openCompetition(path, &error), nullptr);
        EXPECT_TRUE(error.contains(QStringLiteral("schreibgeschützt"))) << error.toStdString();
    } else {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
            QString error;
            const bool refused = !openCompetition(path, &error) && error.contains(QStringLiteral("schreibgeschützt"));
            ::_exit(refused ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    EXPECT_EQ(fileHash(path), before);
}

TEST_F(DocumentTest, CliNew)
{
    QFile::copy(test::builtTemplate(), file(QStringLiteral("torvm.tpl")));
    const ScopedCurrentDir cwd(dir.path());
    auto run = [](const QStringList& args, QString* errText) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int rc = runCli(args, o, e);
        *errText = err;
        return rc;
    };
    QString err;
    const QString path = file(QStringLiteral("liga.mdb"));
    EXPECT_EQ(run({QStringLiteral("new"), path}, &err), 0) << err.toStdString();
    CTorvmDoc doc;
    EXPECT_TRUE(doc.OnOpenDocument(path));
    doc.OnCloseDocument();

    const QByteArray before = fileHash(path);
    EXPECT_EQ(run({QStringLiteral("new"), path}, &err), 2);
    EXPECT_TRUE(err.contains(QStringLiteral("bereits vorhanden")));
    EXPECT_EQ(fileHash(path), before);

    EXPECT_EQ(run({}, &err), 1);
    EXPECT_EQ(run({QStringLiteral("new")}, &err), 1);
    EXPECT_EQ(run({QStringLiteral("gibtsnicht")}, &err), 1);
}

} // namespace
} // namespace torvm
