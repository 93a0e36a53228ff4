#pragma once

namespace torvm::test {

// Makes the calling thread obey file permissions for as long as the object lives, also when the
// tests run as root: the thread gives up its right to override them and takes it back at the end.
// Other threads keep theirs, so only work done on this thread sees read-only folders as such.
class ScopedFilePermissions {
public:
    ScopedFilePermissions();
    ~ScopedFilePermissions();
    ScopedFilePermissions(const ScopedFilePermissions&) = delete;
    ScopedFilePermissions& operator=(const ScopedFilePermissions&) = delete;

private:
    unsigned m_effective = 0;
    bool m_dropped = false;
};

} // namespace torvm::test
