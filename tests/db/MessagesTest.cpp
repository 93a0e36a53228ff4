#include "db/Messages.h"
#include "support/Fixtures.h"
#include "support/Privileges.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

namespace torvm {
namespace {

// What reaches the user about a failed file operation is German, and tells the usual causes apart.
TEST(Messages, FileErrorsInGerman)
{
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("da.txt")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("ordner")));
    const QString readOnly = dir.filePath(QStringLiteral("nurlesen"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("nurlesen")));
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    const struct {
        const char* what;
        QString path;
        QIODevice::OpenMode mode;
        QString expected;
    } cases[] = {
        {"missing file", dir.filePath(QStringLiteral("fehlt.txt")), QIODevice::ReadOnly,
         QStringLiteral("Die Datei oder der Ordner ist nicht vorhanden.")},
        {"missing folder", dir.filePath(QStringLiteral("fehlt/neu.txt")), QIODevice::WriteOnly,
         QStringLiteral("Die Datei oder der Ordner ist nicht vorhanden.")},
        {"a folder, not a file", dir.filePath(QStringLiteral("ordner")), QIODevice::WriteOnly,
         QStringLiteral("Der Name bezeichnet einen Ordner, keine Datei.")},
        {"folder without write permission", readOnly + QStringLiteral("/neu.txt"), QIODevice::WriteOnly,
         QStringLiteral("Der Zugriff wurde verweigert.")},
    };
    const test::ScopedFilePermissions obeyPermissions;
    for (const auto& c : cases) {
        QFile file(c.path);
        EXPECT_FALSE(file.open(c.mode)) << c.what;
        EXPECT_EQ(fileErrorText(file), c.expected) << c.what;
    }
    QFile fine(existing.fileName());
    ASSERT_TRUE(fine.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fileErrorText(fine).isEmpty());
}

TEST(Messages, SystemErrorsInGerman)
{
    const std::pair<int, const char*> cases[] = {
        {ENOENT, "Die Datei oder der Ordner ist nicht vorhanden."},
        {EACCES, "Der Zugriff wurde verweigert."},
        {ENOSPC, "Auf dem Datenträger ist kein Platz mehr frei."},
        {EROFS, "Der Datenträger ist schreibgeschützt."},
        {EMFILE, "Es sind zu viele Dateien geöffnet."},
        {EPROTO, "Systemfehler 71."},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(systemErrorText(code), QString::fromUtf8(text)) << code;
}

} // namespace
} // namespace torvm
