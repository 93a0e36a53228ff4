#include "db/SafeFile.h"

#include "db/CompetitionFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <ctime>
#include <filesystem>
#include <limits>
#include <system_error>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace torvm {

namespace {

constexpr qsizetype kMaxShownPath = 160;

// Closes a descriptor when the scope ends.
class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now; false (errno set) when the system reports a late write error.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Writes all bytes; false with errno set.
bool writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

// Lead byte of a UTF-8 sequence: its length and the smallest second byte allowed (to reject
// overlong forms and surrogates); 0 when b cannot start one.
int sequenceLength(unsigned char b, unsigned char* low, unsigned char* high)
{
    *low = 0x80;
    *high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF)
        return 2;
    if (b >= 0xE0 && b <= 0xEF) {
        if (b == 0xE0)
            *low = 0xA0;
        if (b == 0xED)
            *high = 0x9F;
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (b == 0xF0)
            *low = 0x90;
        if (b == 0xF4)
            *high = 0x8F;
        return 4;
    }
    return 0;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A new, empty file beside target, named ".NAME" + kind + "-PID-XXXXXX": its name in *temp and
// its descriptor, or -1 with errno set. Files of the same kind left by a maker that was killed
// are removed first.
int createBeside(const QByteArray& target, const char* kind, QByteArray* temp)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target.left(slash + 1);
    const QByteArray prefix = '.' + target.mid(slash + 1).left(100) + kind + '-';
    removeLeftovers(folder, prefix);
    *temp = target.left(slash + 1) + prefix + QByteArray::number(::getpid()) + "-XXXXXX";
    return ::mkostemp(temp->data(), O_CLOEXEC);
}

// Where a chain of links ends when its last file is missing; path itself when it is no link.
QByteArray danglingLinkTarget(QByteArray path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        QByteArray next(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.constData(), next.data(), std::size_t(next.size()));
        if (length <= 0 || length >= next.size())
            return path;
        next.truncate(length);
        path = next.startsWith('/') ? next : path.left(path.lastIndexOf('/') + 1) + next;
    }
    return path;
}

// Leftovers named the older way carry no process id: "PREFIX" + six random letters or digits (with
// the engine's companion name after them). Their maker cannot be asked, but nothing of ours writes
// one of them for a day.
bool isOldLeftover(const QByteArray& rest, const QByteArray& path)
{
    const QByteArray random = rest.left(6);
    const QByteArray companion = rest.mid(6);
    if (random.size() != 6 || !std::all_of(random.begin(), random.end(), [](char c) { return std::isalnum(uchar(c)); }))
        return false;
    if (!companion.isEmpty() && companion != "-journal" && companion != "-wal" && companion != "-shm")
        return false;
    struct stat info {};
    constexpr ::time_t kDay = 24 * 60 * 60;
    return ::lstat(path.constData(), &info) == 0 && info.st_mtime < ::time(nullptr) - kDay;
}

bool isEscapedByte(char16_t c)
{
    return c >= 0xDC80 && c <= 0xDCFF;
}

} // namespace

void removeLeftovers(const QByteArray& folder, const QByteArray& prefix)
{
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith(prefix))
            continue;
        const QByteArray rest = name.mid(prefix.size());
        const QByteArray path = folder + '/' + name;
        std::error_code ignored;
        if (isOldLeftover(rest, path)) {
            std::filesystem::remove_all(std::filesystem::path(path.toStdString()), ignored);
            continue;
        }
        bool ok = false;
        const qlonglong maker = rest.left(rest.indexOf('-')).toLongLong(&ok);
        // Only a maker that is gone for sure: another instance may be writing its file right now.
        if (!ok || maker <= 0 || maker > std::numeric_limits<pid_t>::max() || maker == ::getpid() ||
            ::kill(pid_t(maker), 0) == 0 || errno != ESRCH)
            continue;
        std::filesystem::remove_all(std::filesystem::path(path.toStdString()), ignored);
    }
    ::closedir(dir);
}

QString safeFileName(const QString& text)
{
    QString name;
    name.reserve(text.size());
    for (const QChar c : text)
        name += c.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(c) ? QLatin1Char('-') : c;
    while (!name.isEmpty() && (name.back() == QLatin1Char('.') || name.back().isSpace()))
        name.chop(1);
    name = name.trimmed();
    return name.isEmpty() ? QStringLiteral("Ausgabe") : name;
}

QString fileNameFromNative(const QByteArray& bytes)
{
    QString result;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        if (p[i] < 0x80) {
            result += QLatin1Char(static_cast<char>(p[i]));
            ++i;
            continue;
        }
        unsigned char low = 0;
        unsigned char high = 0;
        const int length = sequenceLength(p[i], &low, &high);
        bool valid = length > 0 && i + length <= size && p[i + 1] >= low && p[i + 1] <= high;
        for (int k = 2; valid && k < length; ++k)
            valid = p[i + k] >= 0x80 && p[i + k] <= 0xBF;
        if (!valid) {
            result += QChar(char16_t(0xDC00 + p[i]));
            ++i;
            continue;
        }
        result += QString::fromUtf8(reinterpret_cast<const char*>(p + i), length);
        i += length;
    }
    return result;
}

bool openForReading(QFile& file, const QString& path)
{
    // Not blocking: a pipe under the name must not hang the caller until someone writes to it.
    const int fd = ::open(nativeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}

QByteArray nativeFileName(const QString& path)
{
    bool escaped = false;
    for (qsizetype i = 0; i < path.size() && !escaped; ++i)
        escaped = isEscapedByte(path.at(i).unicode()) && (i == 0 || !path.at(i - 1).isHighSurrogate());
    if (!escaped)
        return QFile::encodeName(path);
    QByteArray bytes;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path.at(i).unicode();
        if (!isEscapedByte(c) || (i > 0 && path.at(i - 1).isHighSurrogate()))
            continue;
        bytes += path.mid(runStart, i - runStart).toUtf8();
        bytes += static_cast<char>(c - 0xDC00);
        runStart = i + 1;
    }
    bytes += path.mid(runStart).toUtf8();
    return bytes;
}

bool pathExists(const QString& path)
{
    struct stat info {};
    return ::lstat(nativeFileName(path).constData(), &info) == 0;
}

QString displayPath(const QString& path)
{
    if (path.size() <= kMaxShownPath)
        return path;
    return path.left(kMaxShownPath / 2) + QStringLiteral(" … ") + path.right(kMaxShownPath / 2);
}

QString systemErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Der Datenträger ist voll.");
    case EACCES:
    case EPERM:
        return QStringLiteral("Der Zugriff wurde verweigert.");
    case ENOENT:
        return QStringLiteral("Der Ordner oder die Datei ist nicht vorhanden.");
    case ENOTDIR:
        return QStringLiteral("Ein Teil des Pfades ist kein Ordner.");
    case EISDIR:
        return QStringLiteral("Das ist ein Ordner, keine Datei.");
    case EROFS:
        return QStringLiteral("Der Datenträger ist schreibgeschützt.");
    case ENAMETOOLONG:
        return QStringLiteral("Der Name ist zu lang.");
    case EIO:
        return QStringLiteral("Der Datenträger meldet einen Lese- oder Schreibfehler.");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Es sind zu viele Dateien geöffnet.");
    case EXDEV:
        return QStringLiteral("Die Datei liegt auf einem anderen Datenträger.");
    case EINVAL:
        return QStringLiteral("Der Name ist hier nicht zulässig.");
    case ELOOP:
        return QStringLiteral("Der Pfad enthält zu viele Verknüpfungen.");
    default:
        return QStringLiteral("Systemfehler %1.").arg(errorNumber);
    }
}

QString inputFileProblem(const QString& path)
{
    struct stat info {};
    if (::stat(nativeFileName(path).constData(), &info) != 0) {
        return errno == ENOENT ? QStringLiteral("Die Datei %1 ist nicht vorhanden.").arg(displayPath(path))
                               : QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2")
                                     .arg(displayPath(path), systemErrorText(errno));
    }
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("%1 ist ein Ordner, keine Datei.").arg(displayPath(path));
    if (!S_ISREG(info.st_mode))
        return QStringLiteral(
                   "%1 ist keine gewöhnliche Datei (sondern ein Gerät oder eine Pipe) und wird nicht gelesen.")
            .arg(displayPath(path));
    return {};
}

FileUnderConstruction::FileUnderConstruction(const QString& target)
    : m_target(target)
{
    QByteArray temp;
    const int fd = createBeside(nativeFileName(target), ".neu", &temp);
    if (fd < 0) {
        m_error = QStringLiteral("Die Datei %1 kann nicht angelegt werden: %2")
                      .arg(displayPath(target), systemErrorText(errno));
        return;
    }
    // The rights a new file of the target's name would get, not the private ones of a temporary.
    ::fchmod(fd, newFileMode());
    ::close(fd);
    m_temp = fileNameFromNative(temp);
}

FileUnderConstruction::~FileUnderConstruction()
{
    if (m_published || m_temp.isEmpty())
        return;
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        ::unlink(nativeFileName(m_temp + QLatin1String(suffix)).constData());
}

bool FileUnderConstruction::publishOver(QString* error)
{
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        const QByteArray companion = nativeFileName(m_target + QLatin1String(suffix));
        if (::unlink(companion.constData()) != 0 && errno != ENOENT) {
            *error = QStringLiteral("Die Datei %1 kann nicht entfernt werden: %2")
                         .arg(displayPath(m_target + QLatin1String(suffix)), systemErrorText(errno));
            return false;
        }
    }
    if (::rename(nativeFileName(m_temp).constData(), nativeFileName(m_target).constData()) != 0) {
        *error = QStringLiteral("Die Datei %1 kann nicht ersetzt werden: %2")
                     .arg(displayPath(m_target), systemErrorText(errno));
        return false;
    }
    m_published = true;
    return true;
}

bool FileUnderConstruction::publish(QString* error)
{
    const QByteArray from = nativeFileName(m_temp);
    const QByteArray to = nativeFileName(m_target);
    // A hard link never replaces an existing name; the temporary name then goes.
    if (::link(from.constData(), to.constData()) != 0) {
        const int linkError = errno;
        // Disks without hard links (FAT sticks): a plain rename after a last look at the name.
        struct stat existing {};
        if ((linkError == EPERM || linkError == EOPNOTSUPP) && ::stat(to.constData(), &existing) != 0 &&
            ::rename(from.constData(), to.constData()) == 0) {
            m_published = true;
            return true;
        }
        *error = linkError == EEXIST
                     ? QStringLiteral("Die Datei %1 ist inzwischen vorhanden und wird nicht überschrieben.")
                           .arg(displayPath(m_target))
                     : QStringLiteral("Die Datei %1 kann nicht angelegt werden: %2")
                           .arg(displayPath(m_target), systemErrorText(linkError));
        return false;
    }
    ::unlink(from.constData());
    m_published = true;
    return true;
}

bool writeFileSafely(const QString& target, const std::function<bool(QIODevice&)>& write, QString* error,
                     Replace replace)
{
    const QString shown = displayPath(target);
    if (target.isEmpty()) {
        *error = QStringLiteral("Es wurde kein Dateiname angegeben.");
        return false;
    }
    QByteArray native = nativeFileName(target);
    // A link is followed: the file it names gets the new content, the link stays. A link whose
    // file does not exist yet names the file to make.
    if (char* resolved = ::realpath(native.constData(), nullptr)) {
        native = resolved;
        ::free(resolved);
    } else {
        native = danglingLinkTarget(native);
    }

    struct stat existing {};
    const bool exists = ::stat(native.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        *error = QStringLiteral("%1 ist ein Ordner; dort kann keine Datei gespeichert werden.").arg(shown);
        return false;
    }
    if (exists && !S_ISREG(existing.st_mode) && !S_ISCHR(existing.st_mode)) {
        *error = QStringLiteral("%1 ist keine gewöhnliche Datei und wird nicht beschrieben.").arg(shown);
        return false;
    }
    if (exists && S_ISREG(existing.st_mode) && replace == Replace::OutputsOnly) {
        const FileKind kind = sniffFile(fileNameFromNative(native));
        if (kind == FileKind::Sqlite || kind == FileKind::Jet) {
            *error = QStringLiteral("Die Datei %1 ist eine Wettkampfdatei (Datenbank) und wird nicht überschrieben. "
                                    "Bitte wählen Sie einen anderen Dateinamen.")
                         .arg(shown);
            return false;
        }
    }

    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!write(buffer)) {
            *error =
                QStringLiteral("Die Ausgabe in %1 ist fehlgeschlagen; die Datei wurde nicht geschrieben.").arg(shown);
            return false;
        }
    }
    const auto failed = [&](const char* what, int errorNumber) {
        *error = QString::fromUtf8(what).arg(shown, systemErrorText(errorNumber));
        return false;
    };

    if (exists && S_ISCHR(existing.st_mode)) {
        Descriptor device(::open(native.constData(), O_WRONLY | O_CLOEXEC));
        if (device.get() < 0)
            return failed("Die Datei %1 kann nicht geöffnet werden: %2", errno);
        if (!writeAll(device.get(), bytes) || !device.close())
            return failed("Die Datei %1 konnte nicht vollständig geschrieben werden: %2", errno);
        return true;
    }

    QByteArray temp;
    Descriptor fd(createBeside(native, ".tmp", &temp));
    if (fd.get() < 0 && errno == ENOENT) {
        *error = QStringLiteral("Die Datei %1 kann nicht angelegt werden: Der Ordner %2 ist nicht vorhanden.")
                     .arg(shown, displayPath(QFileInfo(target).absolutePath()));
        return false;
    }
    if (fd.get() < 0)
        return failed("Die Datei %1 kann nicht angelegt werden: %2", errno);
    const auto abandon = [&](int errorNumber) {
        ::unlink(temp.constData());
        return failed("Die Datei %1 konnte nicht vollständig geschrieben werden: %2 Eine bisherige Datei dieses "
                      "Namens ist unverändert.",
                      errorNumber);
    };
    // The new file gets the rights of the one it replaces, or what a new file would get.
    const mode_t mode = exists ? existing.st_mode & 07777 : newFileMode();
    if (!writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 || ::fchmod(fd.get(), mode) != 0)
        return abandon(errno);
    if (!fd.close())
        return abandon(errno);
    if (::rename(temp.constData(), native.constData()) != 0)
        return abandon(errno);
    return true;
}

} // namespace torvm
