#include "db/CompetitionFile.h"

#include "db/Messages.h"
#include "db/Recordsets.h"
#include "db/SafeFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <set>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Every object of the template, as (type, name, table). Anything else in a file (a trigger that
// deletes rows, a view, an index or table of some other tool) would act inside our transactions.
struct SchemaObject {
    const char* type;
    const char* name;
    const char* table;
};
constexpr SchemaObject kSchema[] = {
    {"table", "Gruppe", "Gruppe"},
    {"index", "Gruppe_ID", "Gruppe"},
    {"table", "Klasse", "Klasse"},
    {"index", "Klasse_KlasseID", "Klasse"},
    {"table", "Plan", "Plan"},
    {"index", "Plan_PlanID", "Plan"},
    {"table", "Profile", "Profile"},
    {"index", "Profile_Name", "Profile"},
    {"index", "Profile_ID1", "Profile"},
    {"table", "Teilnehmer", "Teilnehmer"},
    {"index", "Teilnehmer_Paßnummer", "Teilnehmer"},
    {"index", "Teilnehmer_Name", "Teilnehmer"},
    {"index", "Teilnehmer_Verein", "Teilnehmer"},
    {"table", "Verein", "Verein"},
    {"index", "Verein_Vereinsnummer", "Verein"},
    {"index", "Verein_Sortieren", "Verein"},
    {"table", "Wettbewerb", "Wettbewerb"},
    {"index", "Wettbewerb_ID", "Wettbewerb"},
    {"table", "Wettkampf", "Wettkampf"},
    {"index", "Wettkampf_ID", "Wettkampf"},
    {"index", "Wettkampf_TNr", "Wettkampf"},
};

QString objectKind(const QString& type)
{
    if (type == QLatin1String("trigger"))
        return QStringLiteral("Trigger");
    if (type == QLatin1String("view"))
        return QStringLiteral("Sicht");
    if (type == QLatin1String("index"))
        return QStringLiteral("Index");
    if (type == QLatin1String("table"))
        return QStringLiteral("Tabelle");
    return type;
}

// Refuses any object the template does not have; the engine's own bookkeeping (the statistics
// of ANALYZE) is no such object.
bool onlyTemplateObjects(Database& db, QString* why)
{
    Statement st = db.prepare("SELECT type, name, tbl_name FROM sqlite_schema WHERE type NOT IN ('table', 'index') OR "
                              "name NOT LIKE 'sqlite\\_%' ESCAPE '\\'");
    while (st.next()) {
        const QByteArray type = st.utf8(0).toByteArray();
        const QByteArray name = st.utf8(1).toByteArray();
        const QByteArray table = st.utf8(2).toByteArray();
        const bool known = std::any_of(std::begin(kSchema), std::end(kSchema), [&](const SchemaObject& object) {
            return type == object.type && name == object.name && table == object.table;
        });
        if (!known) {
            *why = QStringLiteral("Die Datei enthält etwas, das nicht zu einer Wettkampfdatei gehört (%1 „%2“), "
                                  "und wird darum nicht geöffnet. Bitte entfernen Sie es mit dem Programm, das es "
                                  "angelegt hat, oder nehmen Sie eine Sicherungskopie.")
                       .arg(objectKind(QString::fromUtf8(type)), displayPath(QString::fromUtf8(name)));
            return false;
        }
    }
    if (st.failed()) {
        *why = db.lastError().text;
        return false;
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
    if (!onlyTemplateObjects(db, why))
        return false;

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
                   .arg(displayPath(problems.join(QStringLiteral("; ")).simplified()));
        return false;
    }
    return true;
}

namespace {

bool inWriteAheadMode(Database& db)
{
    Statement st = db.prepare("PRAGMA journal_mode");
    return st.next() && st.text(0).compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
}

// A large page cache keeps a season's results in memory; key lookups then never wait for the disk.
constexpr auto kCachePragmas = "PRAGMA cache_size = -32768; PRAGMA mmap_size = 268435456;";

// Whether another connection is in the middle of a write (it holds the engine's reserved byte):
// its journal is then no leftover.
bool writerActive(const QString& path)
{
    const int fd = ::open(nativeFileName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0x40000001; // the engine's reserved byte, one past its pending byte
    probe.l_len = 1;
    const bool held = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

std::uint32_t bigEndian(const QByteArray& bytes, qsizetype at, int size)
{
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i)
        value = value << 8 | std::uint8_t(bytes.at(at + i));
    return value;
}

QByteArray head(const QString& path, qsizetype size)
{
    QFile file;
    return openForReading(file, path) ? file.read(size) : QByteArray();
}

bool copyFile(const QString& from, const QString& to, QString* error)
{
    QFile source;
    if (!openForReading(source, from)) {
        *error = inputFileProblem(from);
        return false;
    }
    return writeFileSafely(
        to, [&source](QIODevice& out) { return out.write(source.readAll()) >= 0 && source.error() == QFile::NoError; },
        error, Replace::Anything);
}

// The engine cannot tell whose journal lies beside a file: a backup copied back over a crashed
// file would get the crashed save's pages. Before one is played back, the file and the journal
// are kept aside unchanged; a journal of another page size belongs to another file for certain.
bool keepAsideBeforeRollback(const QString& path, QString* error)
{
    const QString journal = path + QLatin1String("-journal");
    const QByteArray header = head(journal, 28);
    if (header.size() < 28 || !header.startsWith(QByteArray::fromHex("d9d505f920a163d7")) || writerActive(path))
        return true;
    const QByteArray fileHeader = head(path, 18);
    if (fileHeader.size() < 18)
        return true;
    const std::uint32_t filePage = bigEndian(fileHeader, 16, 2) == 1 ? 65536 : bigEndian(fileHeader, 16, 2);
    if (bigEndian(header, 24, 4) != filePage) {
        *error = QStringLiteral("Neben der Wettkampfdatei liegt das Journal %1 einer unterbrochenen Speicherung, das "
                                "nicht zu ihr gehört (andere Seitengröße). Die Datei wird nicht geöffnet. Ist sie eine "
                                "zurückgespielte Sicherung, verschieben Sie bitte das Journal an einen anderen Ort.")
                     .arg(displayPath(journal));
        return false;
    }
    const QFileInfo info(path);
    const QString aside = info.dir().filePath(
        QStringLiteral("%1.vor-Ruecknahme-%2.%3")
            .arg(info.completeBaseName(), QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")),
                 info.suffix()));
    QString why;
    if (!copyFile(path, aside, &why) || !copyFile(journal, aside + QLatin1String("-journal"), &why)) {
        *error = QStringLiteral("Die Wettkampfdatei wurde mitten im Speichern unterbrochen. Vor dem Zurücknehmen der "
                                "unvollständigen Änderung sollte eine Kopie von Datei und Journal angelegt werden; das "
                                "ist nicht gelungen: %1")
                     .arg(why);
        return false;
    }
    showMessage(MessageIcon::Information,
                QStringLiteral("Die Wettkampfdatei wurde mitten im Speichern unterbrochen; die unvollständige Änderung "
                               "wird zurückgenommen. Die Datei und ihr Journal wurden vorher unverändert nach %1 "
                               "kopiert.")
                    .arg(displayPath(aside)));
    return true;
}

// After a power cut or a kill in the middle of a save the engine's journal is left beside the
// file. Only a connection that may write can play it back; a read-only probe would call the file
// "schreibgeschützt" for ever. The engine itself decides whether the journal is hot (nobody is
// writing) and undoes the unfinished save when the file is first read.
bool rollBackInterruptedSave(const QString& path, QString* error)
{
    struct stat journal {};
    if (::stat(nativeFileName(path + QLatin1String("-journal")).constData(), &journal) != 0 || journal.st_size == 0)
        return true;
    if (!keepAsideBeforeRollback(path, error))
        return false;
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
    // A competition another tool switched to write-ahead logging would keep its -wal and -shm
    // beside it after every read; it goes back to the one-file journal of our competitions (its
    // content stays as it is). Where it cannot be written, it is read as it stands.
    if (access == Access::ReadOnly && inWriteAheadMode(*probe)) {
        probe.reset();
        if (auto writer = Database::open(path, Database::Mode::ReadWrite, nullptr); writer && !writer->isReadOnly())
            writer->execute("PRAGMA journal_mode = DELETE");
        probe = Database::open(path, Database::Mode::ReadOnly, &dbError);
        if (!probe) {
            *error = dbError.text;
            return nullptr;
        }
    }
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
    // A damaged template (a half copy, a file of the same name from elsewhere) would become a
    // damaged competition: it is checked as one, and the next place is tried.
    for (const QString& candidate : candidates) {
        QString why;
        if (QFileInfo(candidate).isFile() && openCompetition(candidate, &why, Access::ReadOnly))
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
    // A journal left by a crash of the file that is replaced would be played back into the new
    // competition on its first open; it goes before the new file takes the name, so that no
    // moment leaves the two side by side.
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        ::unlink(nativeFileName(target + QLatin1String(suffix)).constData());
    return writeFileSafely(target, copy, error, Replace::Anything);
}

} // namespace torvm
