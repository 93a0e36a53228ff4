#pragma once

#include <QStringList>

namespace torvm {

// The four files opened last, newest first, kept in the workplace settings under
// "Recent File List" as "File1" ... "File4".
class RecentFileList {
public:
    static constexpr int kSize = 4;

    // Reads the stored list; entries that are empty are skipped.
    RecentFileList();

    const QStringList& files() const { return m_files; }
    bool isEmpty() const { return m_files.isEmpty(); }

    // Puts path first; an entry naming the same file moves instead of appearing twice.
    void add(const QString& path);
    void remove(int index);

    // "&1 path", the way the entry is shown in the file menu.
    QString menuText(int index) const;

private:
    void write() const;

    QStringList m_files;
};

} // namespace torvm
