#include "db/CompetitionFile.h"

#include "db/Messages.h"
#include "db/Recordsets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <set>

namespace torvm {

namespace {

constexpr qint64 kCopyBlock = 4096;

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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
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
    // middle of a season's work.
    Statement check = db.prepare("PRAGMA quick_check");
    if (!check.next()) {
        *why = db.lastError() ? db.lastError().text : QStringLiteral("Die Datei ist beschädigt.");
        return false;
    }
    if (check.text(0) != QLatin1String("ok")) {
        *why = QStringLiteral("Die Wettkampfdatei ist beschädigt (%1).").arg(check.text(0));
        return false;
    }
    return true;
}

std::unique_ptr<Database> openCompetition(const QString& path, QString* error)
{
    switch (sniffFile(path)) {
    case FileKind::Sqlite:
        break;
    case FileKind::Jet:
        *error = QStringLiteral("Die Datei ist eine Access-Datenbank (Jet). Solche Dateien können hier nicht direkt "
                                "als Wettkampf geöffnet werden.");
        return nullptr;
    case FileKind::Unreadable:
        *error = QStringLiteral("Die Datei kann nicht gelesen werden.");
        return nullptr;
    case FileKind::Empty:
    case FileKind::Other:
        *error = QStringLiteral("Die Datei ist keine Wettkampfdatei.");
        return nullptr;
    }

    // Checked over a read-only connection first: nothing, not even a journal, is written to a
    // file that turns out not to be ours.
    DbError dbError;
    {
        auto probe = Database::open(path, Database::Mode::ReadOnly, &dbError);
        if (!probe) {
            *error = dbError.text;
            return nullptr;
        }
        if (!checkCompetitionFile(*probe, error))
            return nullptr;
    }

    auto db = Database::open(path, Database::Mode::ReadWrite, &dbError);
    if (!db) {
        *error = dbError.text;
        return nullptr;
    }
    if (db->isReadOnly() || !QFileInfo(QFileInfo(path).absolutePath()).isWritable()) {
        *error = QStringLiteral("Die Wettkampfdatei ist schreibgeschützt. Ergebnisse könnten nicht gespeichert "
                                "werden; bitte geben Sie die Datei oder ihren Ordner zum Schreiben frei.");
        return nullptr;
    }
    // One complete file after every save, since users copy it between computers. A large page
    // cache keeps a season's results in memory; key lookups then never wait for the disk.
    if (!db->execute("PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL; PRAGMA cache_size = -32768; PRAGMA "
                     "mmap_size = 268435456;")) {
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
        *error =
            QStringLiteral("Die Vorlage %1 kann nicht gelesen werden: %2").arg(templatePath, fileErrorText(source));
        return false;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("Die Datei %1 kann nicht angelegt werden: %2").arg(target, fileErrorText(out));
        return false;
    }
    while (!source.atEnd()) {
        const QByteArray block = source.read(kCopyBlock);
        if (block.isEmpty() && source.error() != QFileDevice::NoError)
            break;
        if (out.write(block) != block.size())
            break;
    }
    if (source.error() != QFileDevice::NoError || !out.commit()) {
        *error = QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2").arg(target, fileErrorText(out));
        return false;
    }
    // A journal left by a crash of the file that was replaced would be played back into the new
    // competition on its first open.
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(target + QLatin1String(suffix));
    return true;
}

} // namespace torvm
