#include "document/RecentFileList.h"

#include "db/Settings.h"

#include <QDir>
#include <QFileInfo>

namespace torvm {

namespace {

const QString& section()
{
    static const QString name = QStringLiteral("Recent File List");
    return name;
}

QString key(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

QString absolute(const QString& path)
{
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.absoluteFilePath() : resolved;
}

} // namespace

RecentFileList::RecentFileList()
{
    for (int i = 0; i < kSize; ++i) {
        const QString file = profileString(section(), key(i), QString());
        if (!file.isEmpty())
            m_files << file;
    }
}

void RecentFileList::add(const QString& path)
{
    const QString file = absolute(path);
    m_files.removeIf([&file](const QString& entry) { return absolute(entry) == file; });
    m_files.prepend(file);
    while (m_files.size() > kSize)
        m_files.removeLast();
    write();
}

void RecentFileList::remove(int index)
{
    if (index < 0 || index >= m_files.size())
        return;
    m_files.removeAt(index);
    write();
}

QString RecentFileList::menuText(int index) const
{
    QString shown = QDir::toNativeSeparators(m_files.value(index));
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

void RecentFileList::write() const
{
    for (int i = 0; i < kSize; ++i) {
        if (i < m_files.size())
            writeProfileString(section(), key(i), m_files.at(i));
        else
            removeProfileValue(section(), key(i));
    }
}

} // namespace torvm
