#include "db/Settings.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"
#include "widgets/Prompt.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace torvm::ui {
namespace {

using Folder = FileRequest::LastFolder;

FileRequest request(Folder folder, const QString& proposed, const QString& defaultFolder = {})
{
    FileRequest r;
    r.lastFolder = folder;
    r.proposed = proposed;
    r.defaultFolder = defaultFolder;
    return r;
}

// Each kind of file remembers its own folder; a chosen file's folder becomes the next start.
TEST(FileFolders, EachKindStartsWhereItWasLastUsed)
{
    test::ScopedSettings settings;
    QTemporaryDir dir;
    const QString competitions = dir.filePath(QStringLiteral("wettkampf"));
    const QString exports = dir.filePath(QStringLiteral("ausgabe"));
    QDir().mkpath(competitions);
    QDir().mkpath(exports);

    test::ScriptedPrompter prompter;
    prompter.files = {competitions + QStringLiteral("/liga.mdb"), exports + QStringLiteral("/liga.txt"), QString()};
    EXPECT_FALSE(fileName(nullptr, request(Folder::Competitions, {})).isEmpty());
    EXPECT_FALSE(fileName(nullptr, request(Folder::Exports, QStringLiteral("liga.txt"))).isEmpty());
    // Cancelled: nothing remembered.
    EXPECT_TRUE(fileName(nullptr, request(Folder::Imports, QStringLiteral("Bssbvd.mdb"))).isEmpty());

    const struct {
        const char* what;
        FileRequest asked;
        QString expected;
    } cases[] = {
        {"competitions: the folder itself", request(Folder::Competitions, {}), competitions},
        {"competitions: a bare name goes into it", request(Folder::Competitions, QStringLiteral("neu.mdb")),
         competitions + QStringLiteral("/neu.mdb")},
        {"exports have their own folder", request(Folder::Exports, QStringLiteral("liga.pdf"), QStringLiteral("/tmp")),
         exports + QStringLiteral("/liga.pdf")},
        {"a full path stays as it is", request(Folder::Exports, QStringLiteral("/srv/web/liga.txt")),
         QStringLiteral("/srv/web/liga.txt")},
        {"imports: nothing remembered yet, the default folder",
         request(Folder::Imports, QStringLiteral("torvm2.mdb"), competitions),
         competitions + QStringLiteral("/torvm2.mdb")},
        {"imports: nothing remembered and no default", request(Folder::Imports, QStringLiteral("torvm2.mdb")),
         QStringLiteral("torvm2.mdb")},
        {"no kind: the proposal untouched", request(Folder::None, QStringLiteral("x.mdb")), QStringLiteral("x.mdb")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(startingPoint(c.asked), c.expected) << c.what;

    // The dialog receives the request with the folder applied.
    prompter.files = {QString()};
    fileName(nullptr, request(Folder::Competitions, QStringLiteral("neu.mdb")));
    EXPECT_EQ(prompter.fileRequests.back().proposed, competitions + QStringLiteral("/neu.mdb"));

    // A remembered folder that has gone is passed over.
    QDir(exports).removeRecursively();
    EXPECT_EQ(startingPoint(request(Folder::Exports, QStringLiteral("liga.pdf"), competitions)),
              competitions + QStringLiteral("/liga.pdf"));
}

} // namespace
} // namespace torvm::ui
