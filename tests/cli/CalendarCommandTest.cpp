#include "CliTest.h"

#include <gtest/gtest.h>

#include <vector>

namespace torvm {
namespace {

class CalendarCommandTest : public test::CliTest {
protected:
    void SetUp() override
    {
        workInFolderWithTemplate();
        ASSERT_EQ(run({QStringLiteral("demo"), demo()}), kCliOk) << err.toStdString();
    }
    QString demo() const { return dir.filePath(QStringLiteral("demo.mdb")); }
    QString ics() const { return dir.filePath(QStringLiteral("termine.ics")); }
};

TEST_F(CalendarCommandTest, RefusesWhatItCannotDoAndWritesNothing)
{
    struct Case {
        QStringList options;
        int rc;
        const char* message;
    };
    const std::vector<Case> cases{
        {{QStringLiteral("--group"), QStringLiteral("1"), QStringLiteral("--club"), QStringLiteral("1")},
         kCliUsage,
         "entweder --group oder --club"},
        {{QStringLiteral("--group"), QStringLiteral("0")}, kCliUsage, "--group"},
        {{QStringLiteral("--duration"), QStringLiteral("10")}, kCliUsage, "Minuten von 15 bis 1440"},
        {{QStringLiteral("--group"), QStringLiteral("9")}, kCliFileError, "Die Gruppe 9 gibt es nicht."},
        {{QStringLiteral("--club"), QStringLiteral("999")},
         kCliFileError,
         "Der Verein 999 hat keine Mannschaft in einer Gruppe."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(run(QStringList{QStringLiteral("calendar"), demo(), ics()} + c.options), c.rc);
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.message))) << err.toStdString();
        EXPECT_FALSE(QFile::exists(ics()));
    }
}

} // namespace
} // namespace torvm
