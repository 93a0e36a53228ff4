#include "db/CompetitionFile.h"

#include "db/Messages.h"
#include "db/Recordsets.h"
#include "db/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <set>

#include <sqlite3.h>

#include <sys/stat.h>

namespace torvm {

namespace {

bool hasColumns(Database& db, CRecordset& rs, QString* why)
{
    std::set<std::string> present;
    Statement st = db.prepare(std::string("SELECT name FROM pragma_table_info(?)"));
    st.bind(1, QString::fromUtf8(rs.TableName()));
    while (st.next())
        present.insert(st.text(0).toStdString());
    if (st.failed()) {
        *why = db.lastError().text;
        return false;
    }
    if (present.empty()) {
        *why = QStringLiteral("Die Datei ist keine Wettkampfdatei: die Tabelle „%1“ fehlt.")
                   .arg(QString::fromUtf8(rs.TableName()));
        return false;
    }
    for (const std::string& column : rs.Columns()) {
        if (!present.contains(column)) {
            *why = QStringLiteral("Die Datei ist keine Wettkampfdatei: in der Tabelle „%1“ fehlt die Spalte „%2“.")
                       .arg(QString::fromUtf8(rs.TableName()), QString::fromStdString(column));
            return false;
        }
    }
    return true;
}

std::int64_t pragmaValue(Database& db, const char* sql, bool* ok)
{
    Statement st = db.prepare(sql);
    *ok = st.next();
    return *ok ? st.int64(0) : 0;
}

} // namespace

FileKind sniffFile(const QString& path)
{
    QFile file;
    if (!openForReading(file, path))
        return FileKind::Unreadable;
    const QByteArray head = file.read(32);
    if (head.isEmpty())
        return FileKind::Empty;
    if (head.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return FileKind::Sqlite;
    const QByteArray signature = head.mid(4, 15);
    if (signature == "Standard Jet DB" || signature == "Standard ACE DB")
        return FileKind::Jet;
    return FileKind::Other;
}

bool checkCompetitionFile(Database& db, QString* why)
{
    bool ok = false;
    const std::int64_t appId = pragmaValue(db, "PRAGMA application_id", &ok);
    if (!ok) {
        *why = db.lastError().text;
        return false;
    }
    const std::int64_t version = pragmaValue(db, "PRAGMA user_version", &ok);
    if (appId != 0 && appId != kApplicationId) {
        *why = QStringLiteral("Die Datei ist eine Datenbank eines anderen Programms, keine Wettkampfdatei.");
        return false;
    }
    if (appId == kApplicationId && version > kFormatVersion) {
        *why = QStringLiteral("Die Wettkampfdatei wurde mit einer neueren Programmversion angelegt.");
        return false;
    }

    CRSGruppe gruppe(&db, nullptr);
    CRSKlasse klasse(&db, nullptr);
    CRSPlan plan(&db, nullptr);
    CRSProfile profile(&db, nullptr);
    CRSTeilnehmer teilnehmer(&db, nullptr);
    CRSVerein verein(&db, nullptr);
    CRSWettbewerb wettbewerb(&db, nullptr);
    CRSWettkampf wettkampf(&db, nullptr);
    for (CRecordset* rs : std::initializer_list<CRecordset*>{&gruppe, &klasse, &plan, &profile, &teilnehmer, &verein,
                                                             &wettbewerb, &wettkampf}) {
        if (!hasColumns(db, *rs, why))
            return false;
    }

    // A file cut short or damaged on the way from another computer shows up here, not in the
    // middle of a season's work. The full check also compares every index with its table: a
    // damaged index would otherwise hide whole groups from every output.
    Statement check = db.prepare("PRAGMA integrity_check(5)");
    QStringList problems;
    while (check.next())
        problems << check.text(0);
    if (check.failed() || problems.isEmpty()) {
        *why = QStringLiteral("Die Wettkampfdatei ist beschädigt und kann nicht geöffnet werden (%1).")
                   .arg(db.lastError() ? db.lastError().text : QStringLiteral("keine Prüfung möglich"));
        return false;
    }
    if (problems != QStringList{QStringLiteral("ok")}) {
        *why = QStringLiteral("Die Wettkampfdatei ist beschädigt und wird nicht geöffnet, damit nichts in sie "
                              "geschrieben wird. Bitte nehmen Sie eine Sicherungskopie. (Befund: %1)")
                   .arg(displayPath(problems.first()));
        return false;
    }
    return true;
}

namespace {

// A large page cache keeps a season's results in memory; key lookups then never wait for the disk.
constexpr auto kCachePragmas = "PRAGMA cache_size = -32768; PRAGMA mmap_size = 268435456;";

// After a power cut or a kill in the middle of a save the engine's journal is left beside the
// file. Only a connection that may write can play it back; a read-only probe would call the file
// "schreibgeschützt" for ever. The engine itself decides whether the journal is hot (nobody is
// writing) and undoes the unfinished save when the file is first read.
bool rollBackInterruptedSave(const QString& path, QString* error)
{
    struct stat journal {};
    if (::stat(nativeFileName(path + QLatin1String("-journal")).constData(), &journal) != 0 || journal.st_size == 0)
        return true;
    DbError dbError;
    auto db = Database::open(path, Database::Mode::ReadWrite, &dbError);
    if (db && !db->isReadOnly()) {
        Statement st = db->prepare("SELECT count(*) FROM sqlite_schema");
        if (st.next())
            return true;
        dbError = db->lastError();
    }
    *error = QStringLiteral("Die Wettkampfdatei wurde mitten im Speichern unterbrochen (Absturz oder Stromausfall). "
                            "Die unvollständige Änderung kann nur zurückgenommen werden, wenn die Datei und ihr "
                            "Ordner beschreibbar sind; bitte geben Sie beide zum Schreiben frei.");
    if (dbError && (dbError.code & 0xff) != SQLITE_READONLY && (dbError.code & 0xff) != SQLITE_CANTOPEN)
        *error += QLatin1Char(' ') + dbError.text;
    return false;
}

} // namespace

std::unique_ptr<Database> openCompetition(const QString& path, QString* error, Access access)
{
    switch (sniffFile(path)) {
    case FileKind::Sqlite:
        break;
    case FileKind::Jet:
        *error = QStringLiteral("Die Datei ist eine Access-Datenbank (Jet). Solche Dateien können hier nicht direkt "
                                "als Wettkampf geöffnet werden.");
        return nullptr;
    case FileKind::Unreadable:
        *error = inputFileProblem(path);
        if (error->isEmpty())
            *error = QStringLiteral("Die Datei kann nicht gelesen werden.");
        return nullptr;
    case FileKind::Empty:
    case FileKind::Other:
        *error = QStringLiteral("Die Datei ist keine Wettkampfdatei.");
        return nullptr;
    }
    if (!rollBackInterruptedSave(path, error))
        return nullptr;

    // Checked over a read-only connection first: nothing, not even a journal, is written to a
    // file that turns out not to be ours.
    DbError dbError;
    auto probe = Database::open(path, Database::Mode::ReadOnly, &dbError);
    if (!probe) {
        *error = dbError.text;
        return nullptr;
    }
    if (!checkCompetitionFile(*probe, error))
        return nullptr;
    const auto readOnly = [&probe] {
        probe->execute(kCachePragmas);
        return std::move(probe);
    };
    if (access == Access::ReadOnly)
        return readOnly();

    auto db = Database::open(path, Database::Mode::ReadWrite, &dbError);
    if (!db) {
        *error = dbError.text;
        return nullptr;
    }
    if (db->isReadOnly() || !QFileInfo(QFileInfo(path).absolutePath()).isWritable()) {
        if (access == Access::ReadWriteIfAllowed)
            return readOnly();
        *error = QStringLiteral("Die Wettkampfdatei ist schreibgeschützt. Ergebnisse könnten nicht gespeichert "
                                "werden; bitte geben Sie die Datei oder ihren Ordner zum Schreiben frei.");
        return nullptr;
    }
    probe.reset();
    // One complete file after every save, since users copy it between computers.
    if (!db->execute("PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL;") || !db->execute(kCachePragmas)) {
        *error = db->lastError().text;
        return nullptr;
    }
    return db;
}

QString findTemplate()
{
    const QString name = QStringLiteral("torvm.tpl");
    QStringList candidates{QDir::current().filePath(name)};
    if (QCoreApplication::instance()) {
        const QDir appDir(QCoreApplication::applicationDirPath());
        candidates << appDir.filePath(name) << appDir.filePath(QStringLiteral("../share/torvm/") + name);
    }
    candidates << QDir(QStringLiteral(TORVM_DATADIR)).filePath(name);
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return QFileInfo(candidate).absoluteFilePath();
    }
    return {};
}

bool copyTemplate(const QString& templatePath, const QString& target, QString* error)
{
    QFile source(templatePath);
    if (!source.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Die Vorlage %1 kann nicht gelesen werden.").arg(displayPath(templatePath));
        return false;
    }
    const auto copy = [&source](QIODevice& out) {
        const QByteArray bytes = source.readAll();
        return source.error() == QFileDevice::NoError && out.write(bytes) == bytes.size();
    };
    if (!writeFileSafely(target, copy, error, Replace::Anything))
        return false;
    // A journal left by a crash of the file that was replaced would be played back into the new
    // competition on its first open.
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        ::unlink(nativeFileName(target + QLatin1String(suffix)).constData());
    return true;
}

} // namespace torvm
