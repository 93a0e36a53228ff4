#include "document/RecentFileList.h"
#include "db/Settings.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace torvm {
namespace {

class RecentFiles : public ::testing::Test {
protected:
    QString file(const QString& name)
    {
        const QString path = QDir(m_settings.folder()).filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return path;
    }
    static QString stored(int n)
    {
        return profileString(QStringLiteral("Recent File List"), QStringLiteral("File%1").arg(n), QStringLiteral("-"));
    }

    test::ScopedSettings m_settings;
};

TEST_F(RecentFiles, NewestFirstWithoutDuplicatesAndAtMostFour)
{
    RecentFileList list;
    EXPECT_TRUE(list.isEmpty());
    const QString a = file(QStringLiteral("a.mdb")), b = file(QStringLiteral("b.mdb")),
                  c = file(QStringLiteral("c.mdb")), d = file(QStringLiteral("d.mdb")),
                  e = file(QStringLiteral("e.mdb"));
    for (const QString& f : {a, b, c, d})
        list.add(f);
    EXPECT_EQ(list.files(), (QStringList{d, c, b, a}));
    // The same file under another spelling moves to the top instead of appearing twice.
    list.add(QDir(m_settings.folder()).filePath(QStringLiteral("./b.mdb")));
    EXPECT_EQ(list.files(), (QStringList{b, d, c, a}));
    list.add(e);
    EXPECT_EQ(list.files(), (QStringList{e, b, d, c}));
    EXPECT_EQ(stored(1), e);
    EXPECT_EQ(stored(4), c);
    // Another program start reads the same list.
    EXPECT_EQ(RecentFileList().files(), list.files());
}

TEST_F(RecentFiles, RemovingAnEntryClearsTheLastKey)
{
    RecentFileList list;
    const QString a = file(QStringLiteral("a.mdb")), b = file(QStringLiteral("b.mdb"));
    list.add(a);
    list.add(b);
    list.remove(0);
    EXPECT_EQ(list.files(), QStringList{a});
    EXPECT_EQ(stored(1), a);
    EXPECT_EQ(stored(2), QStringLiteral("-"));
    list.remove(5);
    EXPECT_EQ(list.files(), QStringList{a});
}

TEST_F(RecentFiles, MenuTextIsNumberedAndKeepsAmpersands)
{
    RecentFileList list;
    const QString path = file(QStringLiteral("Schmidt & Co.mdb"));
    list.add(path);
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    EXPECT_EQ(list.menuText(0), QStringLiteral("&1 ") + shown);
}

} // namespace
} // namespace torvm
