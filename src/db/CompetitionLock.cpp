#include "db/CompetitionLock.h"

#include "db/SafeFile.h"

#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace torvm {

namespace {
constexpr useconds_t kRetryMicroseconds = 25000;
} // namespace

QString CompetitionLock::lockPath(const QString& competition)
{
    // A link and the file it names are one competition (a new one replaces the file, not the
    // link), so they share the lock beside the file.
    const QString canonical = QFileInfo(competition).canonicalFilePath();
    const QString& path = canonical.isEmpty() ? competition : canonical;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return path.left(slash + 1) + QLatin1Char('.') + path.mid(slash + 1) + QLatin1String(".lock");
}

CompetitionLock::~CompetitionLock()
{
    release();
}

bool CompetitionLock::acquire(const QString& competition, Mode mode)
{
    release();
    const QByteArray name = nativeFileName(lockPath(competition));
    // The last holder removes the file on release; a lock taken on a file that has just been
    // removed that way would protect nothing, so take it again on the file now under the name.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0)
            return true;
        if (::flock(fd, (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
            const int failure = errno;
            ::close(fd);
            // A network share that knows no locks must not lock every instance out.
            if (failure != EWOULDBLOCK)
                return true;
            // Perhaps only the last holder removing the file: look again shortly.
            ::usleep(kRetryMicroseconds);
            continue;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(name.constData(), &named) == 0 && held.st_ino == named.st_ino &&
            held.st_dev == named.st_dev) {
            m_fd = fd;
            m_path = lockPath(competition);
            return true;
        }
        ::close(fd);
    }
    return false;
}

void CompetitionLock::share()
{
    if (m_fd >= 0)
        ::flock(m_fd, LOCK_SH);
}

void CompetitionLock::release()
{
    if (m_fd < 0)
        return;
    // Nobody else holds it: the file goes with the last holder, so a folder copied to another
    // computer carries no lock file along.
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
        ::unlink(nativeFileName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}

} // namespace torvm
