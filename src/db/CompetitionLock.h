#pragma once

#include <QString>

namespace torvm {

// Marks a competition as open in a program instance, in a lock file beside it (".NAME.lock").
// Any number of instances may hold it shared while they work on the file; replacing the file
// (New over it) needs it alone. The system drops the lock of a process that dies, so a crashed
// instance never locks the others out; the file itself is only a name to lock.
class CompetitionLock {
public:
    enum class Mode { Shared, Exclusive };

    CompetitionLock() = default;
    ~CompetitionLock();
    CompetitionLock(const CompetitionLock&) = delete;
    CompetitionLock& operator=(const CompetitionLock&) = delete;

    // false when another holder keeps us out. A folder where no lock file can be made (read-only
    // media) or that cannot lock one (some network shares) gives true without a lock.
    bool acquire(const QString& competition, Mode mode);
    // From exclusive (while replacing) to shared (while working).
    void share();
    void release();

    static QString lockPath(const QString& competition);

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace torvm
