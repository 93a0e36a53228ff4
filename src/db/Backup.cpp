#include "db/Backup.h"

#include "db/CompetitionFile.h"
#include "db/CompetitionLock.h"
#include "db/Database.h"
#include "db/LongPath.h"
#include "db/SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <sqlite3.h>

#include <algorithm>
#include <fcntl.h>
#include <map>
#include <memory>
#include <thread>
#include <unistd.h>

namespace torvm {

namespace {

constexpr int kKeptBackups = 20;
const QString kStampFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");

QString baseName(const QString& competition)
{
    return QFileInfo(competition).completeBaseName();
}

QString besideFolder(const QString& competition)
{
    return QDir(QFileInfo(competition).absolutePath()).filePath(QStringLiteral("Sicherungen"));
}

QString userFolder(const QString& competition)
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("torvm/Sicherungen/") + baseName(competition));
}

bool usableFolder(const QString& folder)
{
    return QDir().mkpath(folder) && ::access(nativeFileName(folder).constData(), W_OK | X_OK) == 0;
}

// The time a copy of competition was made, from its name; invalid for any other file. The second
// and further copies of one second count as a millisecond later each, so they sort after the first.
QDateTime madeAt(const QString& competition, const QString& fileName)
{
    static const QString stamp = QStringLiteral(R"((\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d)(?:-(\d{1,3}))?\.mdb)");
    const QRegularExpression pattern(QStringLiteral("^") + QRegularExpression::escape(baseName(competition)) +
                                     QStringLiteral("_") + stamp + QStringLiteral("$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return {};
    return QDateTime::fromString(match.captured(1), kStampFormat).addMSecs(match.captured(2).toInt());
}

struct Connection {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};

bool copyPages(sqlite3* source, const QString& target, QString* error)
{
    QString tooLong;
    const char* fileLayer = engineFileLayerFor(nativeFileName(target), &tooLong);
    if (!tooLong.isEmpty()) {
        *error = tooLong;
        return false;
    }
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(nativeFileName(target).constData(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, fileLayer);
    std::unique_ptr<sqlite3, Connection> dest(raw);
    if (opened != SQLITE_OK) {
        *error = engineErrorText(opened);
        return false;
    }
    sqlite3_backup* backup = sqlite3_backup_init(dest.get(), "main", source, "main");
    if (!backup) {
        *error = engineErrorText(sqlite3_errcode(dest.get()));
        return false;
    }
    int step = SQLITE_OK;
    // Another instance writing right now holds the file for a moment: wait for it, as every
    // other access does, but not for ever.
    for (int tries = 0; tries < 100; ++tries) {
        step = sqlite3_backup_step(backup, -1);
        if (step != SQLITE_BUSY && step != SQLITE_LOCKED)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const int finished = sqlite3_backup_finish(backup);
    if (step != SQLITE_DONE || finished != SQLITE_OK) {
        *error = engineErrorText(step != SQLITE_DONE ? step : finished);
        return false;
    }
    dest.reset();
    const int fd = ::open(nativeFileName(target).constData(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!synced) {
        *error = systemErrorText(errno);
        return false;
    }
    return true;
}

void pruneFolder(const QString& competition, const QString& folder)
{
    std::vector<QDateTime> made;
    std::multimap<QDateTime, QString> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        const QDateTime at = madeAt(competition, name);
        if (!at.isValid())
            continue;
        made.push_back(at);
        files.emplace(at, QDir(folder).filePath(name));
    }
    for (const QDateTime& old : backupsToPrune(made)) {
        const auto [first, last] = files.equal_range(old);
        for (auto it = first; it != last; ++it)
            QFile::remove(it->second);
    }
}

int countRows(Database& db, const char* sql)
{
    Statement st = db.prepare(sql);
    return st.next() ? static_cast<int>(st.int64(0)) : -1;
}

} // namespace

std::optional<QString> makeBackup(Database& db, const QString& competition, const QDateTime& now, QString* error,
                                  const QString& folder)
{
    // Beside the competition first; a folder there that exists but refuses the copy (a read-only
    // share) sends it to the user's folder.
    const QStringList folders =
        folder.isEmpty() ? QStringList{besideFolder(competition), userFolder(competition)} : QStringList{folder};
    for (const QString& into : folders) {
        if (!usableFolder(into)) {
            *error = QStringLiteral("Der Ordner %1 kann nicht beschrieben werden.").arg(displayPath(into));
            continue;
        }
        const QString stem = baseName(competition) + QLatin1Char('_') + now.toString(kStampFormat);
        QString target = QDir(into).filePath(stem + QStringLiteral(".mdb"));
        // Two copies within one second (a restore right after an import) keep both.
        for (int n = 2; pathExists(target); ++n)
            target = QDir(into).filePath(stem + QStringLiteral("-%1.mdb").arg(n));
        FileUnderConstruction copy(target);
        if (copy.path().isEmpty()) {
            *error = copy.error();
            continue;
        }
        QString why;
        if (!copyDatabaseInto(db, copy.path(), &why) || !copy.publish(&why)) {
            *error = QStringLiteral("Die Sicherung %1 kann nicht geschrieben werden: %2").arg(displayPath(target), why);
            return std::nullopt;
        }
        pruneFolder(competition, into);
        return target;
    }
    return std::nullopt;
}

std::optional<QString> makeBackup(const QString& competition, const QDateTime& now, QString* error,
                                  const QString& folder)
{
    std::unique_ptr<Database> db = openCompetition(competition, error, Access::ReadOnly);
    if (!db)
        return std::nullopt;
    return makeBackup(*db, competition, now, error, folder);
}

bool makeDailyBackup(Database& db, const QString& competition, const QDateTime& now, QString* error)
{
    const std::vector<BackupInfo> existing = listBackups(competition);
    if (std::any_of(existing.begin(), existing.end(),
                    [&now](const BackupInfo& b) { return b.made.date() == now.date(); }))
        return true;
    return makeBackup(db, competition, now, error).has_value();
}

bool copyDatabaseInto(Database& source, const QString& target, QString* error)
{
    return copyPages(source.handle(), target, error);
}

bool backupBeforeChange(Database& db, QString* error)
{
    QString why;
    if (makeBackup(db, db.path(), QDateTime::currentDateTime(), &why))
        return true;
    *error = QStringLiteral("%1 Es wurde nichts geändert.").arg(why);
    return false;
}

std::vector<BackupInfo> listBackups(const QString& competition)
{
    std::vector<BackupInfo> found;
    for (const QString& folder : {besideFolder(competition), userFolder(competition)}) {
        const QDir dir(folder);
        for (const QFileInfo& file : dir.entryInfoList(QDir::Files)) {
            BackupInfo info;
            info.made = madeAt(competition, file.fileName());
            if (!info.made.isValid())
                continue;
            info.path = file.absoluteFilePath();
            info.size = file.size();
            DbError dbError;
            if (auto db = Database::open(info.path, Database::Mode::ReadOnly, &dbError)) {
                info.participants = countRows(*db, "SELECT COUNT(*) FROM Teilnehmer");
                info.results = countRows(*db, "SELECT COUNT(*) FROM Wettkampf WHERE ID % 100 <> 99 AND TNr <> 0");
            }
            found.push_back(info);
        }
    }
    std::sort(found.begin(), found.end(), [](const BackupInfo& a, const BackupInfo& b) {
        return a.made != b.made ? a.made > b.made : a.path > b.path;
    });
    return found;
}

bool restoreBackup(const QString& competition, const QString& backup, const QDateTime& now, QString* error)
{
    QString why;
    std::unique_ptr<Database> source = openCompetition(backup, &why, Access::ReadOnly);
    if (!source) {
        *error = QStringLiteral("Die Sicherung %1 kann nicht verwendet werden: %2").arg(displayPath(backup), why);
        return false;
    }
    CompetitionLock lock;
    if (!lock.acquire(competition, CompetitionLock::Mode::Exclusive)) {
        *error = QStringLiteral("Der Wettkampf %1 ist in einem anderen Programmfenster geöffnet. Schließen Sie ihn "
                                "dort, bevor Sie eine Sicherung zurückholen.")
                     .arg(displayPath(competition));
        return false;
    }
    // The present state is kept first, so a restore can itself be undone.
    if (pathExists(competition) && !makeBackup(competition, now, &why)) {
        *error = QStringLiteral("Der jetzige Stand wurde nicht gesichert, daher bleibt der Wettkampf unverändert. %1")
                     .arg(why);
        return false;
    }
    FileUnderConstruction copy(competition);
    if (copy.path().isEmpty() || !copyDatabaseInto(*source, copy.path(), &why) || !copy.publishOver(&why)) {
        *error = QStringLiteral("Der Wettkampf %1 kann nicht ersetzt werden: %2")
                     .arg(displayPath(competition), copy.path().isEmpty() ? copy.error() : why);
        return false;
    }
    return true;
}

std::vector<QDateTime> backupsToPrune(std::vector<QDateTime> made)
{
    std::sort(made.begin(), made.end(), std::greater<>());
    made.erase(std::unique(made.begin(), made.end()), made.end());
    std::vector<QDateTime> pruned;
    std::vector<std::pair<int, int>> monthsSeen;
    for (std::size_t i = 0; i < made.size(); ++i) {
        const std::pair<int, int> month{made[i].date().year(), made[i].date().month()};
        const bool lastOfMonth = std::find(monthsSeen.begin(), monthsSeen.end(), month) == monthsSeen.end();
        if (lastOfMonth)
            monthsSeen.push_back(month);
        if (i >= static_cast<std::size_t>(kKeptBackups) && !lastOfMonth)
            pruned.push_back(made[i]);
    }
    return pruned;
}

} // namespace torvm
