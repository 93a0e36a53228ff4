#include "CliTest.h"

#include "document/TorvmDoc.h"
#include "exchange/WebExport.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace torvm {
namespace {

class WebExportCommandTest : public test::CliTest {
protected:
    void SetUp() override
    {
        workInFolderWithTemplate();
        ASSERT_EQ(run({QStringLiteral("demo"), demo()}), kCliOk) << err.toStdString();
    }

    QString demo() const { return dir.filePath(QStringLiteral("demo.mdb")); }
    QString site() const { return dir.filePath(QStringLiteral("site")); }

    QByteArray page(const char* name) const
    {
        QFile f(QDir(site()).filePath(QString::fromLatin1(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(WebExportCommandTest, WritesTheSiteOfTheDemoWithItsStoredSettings)
{
    ASSERT_EQ(run({QStringLiteral("web-export"), demo(), site()}), kCliOk) << err.toStdString();
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
    EXPECT_TRUE(out.contains(QDir(site()).absoluteFilePath(QStringLiteral("index.htm")))) << out.toStdString();
    // Three groups: a fixture and a results page each besides the three fixed pages.
    EXPECT_EQ(QDir(site()).entryList(QDir::Files).size(), 9);
    EXPECT_TRUE(page("index_l.htm").contains("href=\"Erg2.htm\""));
    // Nothing chosen yet: the results go up to the first round.
    EXPECT_TRUE(page("Erg0.htm").contains(" - 1. Durchgang"));
    EXPECT_FALSE(page("Erg0.htm").contains(" - 2. Durchgang"));
}

// The style chosen in the program is a stored choice like the others; --style overrides it.
TEST_F(WebExportCommandTest, StoredStyleIsUsedUnlessOverridden)
{
    {
        CTorvmDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(demo()));
        ASSERT_TRUE(storeWebStyle(doc, WebStyle::Modern));
    }
    struct Case {
        QStringList extra;
        const char* index;
    };
    const Case cases[] = {
        {{}, "index.html"},
        {{QStringLiteral("--style"), QStringLiteral("classic")}, "index.htm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        QDir(site()).removeRecursively();
        ASSERT_EQ(run(QStringList{QStringLiteral("web-export"), demo(), site()} + c.extra), kCliOk)
            << err.toStdString();
        EXPECT_TRUE(out.contains(QDir(site()).absoluteFilePath(QString::fromLatin1(c.index)))) << out.toStdString();
        EXPECT_FALSE(page(c.index).isEmpty());
    }
}

TEST_F(WebExportCommandTest, OptionsOverrideForOneRunAndAreNotStored)
{
    ASSERT_EQ(run({QStringLiteral("web-export"), demo(), site(), QStringLiteral("--round"), QStringLiteral("3"),
                   QStringLiteral("--termin"), QStringLiteral("0"), QStringLiteral("--einzel"), QStringLiteral("1"),
                   QStringLiteral("--organiser"), QStringLiteral("Gau & Co")}),
              kCliOk)
        << err.toStdString();
    EXPECT_TRUE(page("Gruppe0.htm").isEmpty());
    EXPECT_TRUE(page("Erg0.htm").contains(" - 3. Durchgang"));
    EXPECT_FALSE(page("Erg0.htm").contains(" - 4. Durchgang"));
    EXPECT_TRUE(page("index_l.htm").contains("Einzelwertung "));
    EXPECT_TRUE(page("index_c.htm").contains(">Gau &amp; Co</font>"));

    CTorvmDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(demo()));
    EXPECT_EQ(loadWebOptions(doc), WebOptions{});
    EXPECT_EQ(loadOrganiser(doc), QString());
}

TEST_F(WebExportCommandTest, GroupsWithoutAUsableNumberAreNamedAndTheRestIsPublished)
{
    {
        auto db = Database::open(demo(), Database::Mode::ReadWrite, nullptr);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->execute(R"(UPDATE "Gruppe" SET "ID" = NULL, "Name" = 'Ohne Nummer' WHERE "ID" = 1)"));
    }
    EXPECT_EQ(run({QStringLiteral("web-export"), demo(), site()}), kCliOk) << err.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Webseiten erstellt"))) << out.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("fehlen auf den Webseiten: Ohne Nummer"))) << err.toStdString();
    EXPECT_TRUE(QFile::exists(QDir(site()).filePath(QStringLiteral("Gruppe0.htm"))));
    EXPECT_FALSE(QFile::exists(QDir(site()).filePath(QStringLiteral("Gruppe1.htm"))));
}

TEST_F(WebExportCommandTest, LeftoversOfAKilledExportGoWithTheNextOne)
{
    const QString killed = QDir(site()).filePath(QStringLiteral(".webseiten-neu-999999999-abcdef"));
    const QString running = QDir(site()).filePath(QStringLiteral(".webseiten-neu-1-abcdef"));
    for (const QString& folder : {killed, running}) {
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile page(QDir(folder).filePath(QStringLiteral("index.htm")));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    }
    ASSERT_EQ(run({QStringLiteral("web-export"), demo(), site()}), kCliOk) << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(killed));
    EXPECT_TRUE(QFileInfo::exists(running));
}

TEST_F(WebExportCommandTest, UsageAndFileErrors)
{
    struct Case {
        QStringList args;
        int rc;
        const char* message;
    };
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const std::vector<Case> cases{
        {{QStringLiteral("web-export"), demo()}, kCliUsage, "Aufruf"},
        {{QStringLiteral("web-export"), demo(), site(), QStringLiteral("--round"), QStringLiteral("21")},
         kCliUsage,
         "--round"},
        {{QStringLiteral("web-export"), demo(), site(), QStringLiteral("--tabelle"), QStringLiteral("2")},
         kCliUsage,
         "--tabelle"},
        {{QStringLiteral("web-export"), demo(), site(), QStringLiteral("--farbe"), QStringLiteral("1")},
         kCliUsage,
         "Unbekannte Option"},
        {{QStringLiteral("web-export"), dir.filePath(QStringLiteral("fehlt.mdb")), site()}, kCliFileError, ""},
        {{QStringLiteral("web-export"), demo(), blocker.fileName()}, kCliFileError, "kann nicht angelegt werden"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(run(c.args), c.rc);
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.message))) << err.toStdString();
        EXPECT_FALSE(QDir(site()).exists());
    }
}

} // namespace
} // namespace torvm
