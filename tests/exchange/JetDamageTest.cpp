#include "exchange/JetFile.h"
#include "support/Fixtures.h"
#include "support/JetFixtures.h"
#include "support/JetWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace torvm {
namespace {

constexpr int kLimitMs = 3000;
// Time the parent may need beyond the limit to stop and collect the child.
constexpr int kGraceMs = 2000;
// Enough to reach every structure of the fixture many times over; each variant starts a reader.
constexpr int kVariants = 200;

// Counts whatever arrives; a damaged file may deliver anything before it fails.
class CountingHandler : public JetReadHandler {
public:
    void beginTable(const QString&, const std::vector<JetColumn>&) override { ++tables; }
    void row(const JetRow&) override { ++rows; }
    void endTable(const JetTableReport&) override {}
    int tables = 0;
    int rows = 0;
};

class JetDamageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
        test::JetWriter writer;
        writer.addTable({QStringLiteral("tblMitglieder"), test::mitgliederColumns(), {}, 40, [](int i, JetRow& row) {
                             row = test::sampleMitglied(test::mitgliederColumns(), i);
                         }});
        std::vector<JetColumn> wide;
        for (int i = 0; i < 166; ++i)
            wide.push_back({QStringLiteral("Straße%1").arg(i), i % 2 ? JetType::Text : JetType::Long});
        writer.addTable({QStringLiteral("Gruppe"), wide, {}, 3, [](int i, JetRow& row) {
                             for (std::size_t c = 0; c < row.size(); ++c)
                                 row[c] = c % 2 ? test::jetText(QStringLiteral("x%1").arg(i)) : test::jetInt(int(c));
                         }});
        QString error;
        ASSERT_TRUE(writer.write(dir.filePath(QStringLiteral("gut.mdb")), &error)) << error.toStdString();
        QFile file(dir.filePath(QStringLiteral("gut.mdb")));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        fixture = file.readAll();
    }

    QString put(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    // Reads path under the test limits and checks what must hold for any input: an answer
    // within the limit, a clear message on failure, the file untouched and nothing created.
    bool readChecked(const QString& path, QString* error = nullptr)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray before = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
        file.close();
        const QStringList entries = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

        JetFile jet(path);
        jet.setLimits({kLimitMs, qint64(512) * 1024 * 1024});
        CountingHandler handler;
        QElapsedTimer clock;
        clock.start();
        const bool ok = jet.read(handler);
        EXPECT_LT(clock.elapsed(), kLimitMs + kGraceMs) << path.toStdString();
        if (!ok) {
            EXPECT_TRUE(jet.error().contains(QStringLiteral("keine lesbare Access-Datenbank")) ||
                        jet.error().contains(QStringLiteral("kann nicht gelesen werden")))
                << jet.error().toStdString();
        }
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256), before) << path.toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), entries);
        if (error)
            *error = jet.error();
        return ok;
    }

    QString script(const QString& name, const QByteArray& body)
    {
        const QString path = put(name, "#!/bin/sh\n" + body + "\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    QTemporaryDir dir;
    QByteArray fixture;
};

TEST_F(JetDamageTest, TheIntactFixtureReads)
{
    EXPECT_TRUE(readChecked(dir.filePath(QStringLiteral("gut.mdb"))));
}

TEST_F(JetDamageTest, FilesThatAreNoJetDatabaseAreRefused)
{
    std::mt19937 random(4711);
    QByteArray noise(64 * 1024, '\0');
    for (char& c : noise)
        c = char(random() & 0xff);
    QByteArray noisePages = noise;
    noisePages.replace(0, 0x18, fixture.left(0x18)); // a genuine first page header, random rest
    QFile sqlite(test::builtTemplate());
    ASSERT_TRUE(sqlite.open(QIODevice::ReadOnly));
    QByteArray zeroPages = fixture.left(4096) + QByteArray(4 * 4096, '\0');

    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"leer.mdb", QByteArray()},
        {"rauschen.mdb", noise},
        {"rauschen_mit_kopf.mdb", noisePages},
        {"halb.mdb", fixture.left(fixture.size() / 2 + 100)},
        {"seitengrenze.mdb", fixture.left(4 * 4096)},
        {"nullseiten.mdb", zeroPages},
        {"sqlite.mdb", sqlite.readAll()},
        {"nur_kopf.mdb", fixture.left(0x18)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        EXPECT_FALSE(readChecked(put(QLatin1String(c.name), c.bytes), &error));
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST_F(JetDamageTest, HundredsOfBitFlippedVariantsEndCleanly)
{
    std::mt19937 random(20240601);
    const int pages = int(fixture.size() / 4096);
    int refused = 0;
    int read = 0;
    for (int variant = 0; variant < kVariants; ++variant) {
        QByteArray damaged = fixture;
        // Most flips land in the structures (catalog, definitions, maps, row offsets), where
        // they hurt the library most; the rest anywhere.
        const int flips = 1 + int(random() % 8);
        for (int f = 0; f < flips; ++f) {
            qsizetype at = 0;
            if (random() % 4 == 0) {
                at = qsizetype(random() % std::uint32_t(damaged.size()));
            } else {
                const int page = 2 + int(random() % std::uint32_t(pages - 2));
                at = qsizetype(page) * 4096 + qsizetype(random() % 160);
            }
            damaged[at] = char(damaged[at] ^ char(1 << (random() % 8)));
        }
        SCOPED_TRACE(variant);
        if (readChecked(put(QStringLiteral("kaputt.mdb"), damaged)))
            ++read;
        else
            ++refused;
        if (HasFailure())
            break;
    }
    EXPECT_EQ(read + refused, kVariants);
    EXPECT_GT(refused, 0);
    RecordProperty("read", read);
    RecordProperty("refused", refused);
}

TEST_F(JetDamageTest, AReaderThatMisbehavesEndsAsUnreadable)
{
    const QString file = dir.filePath(QStringLiteral("gut.mdb"));
    const struct {
        const char* name;
        QByteArray body;
        const char* reason;
    } cases[] = {
        {"haengt", "exec sleep 30", "abgebrochen"},
        {"stuerzt", "kill -SEGV $$", "abgestürzt"},
        {"plappert", "echo 'warning: row 3 looks odd'", "unverständliche Daten"},
        {"muell", "printf 'TVMJET\\001\\nQ\\377\\377\\377\\377'", "unverständliche Daten"},
        {"bricht_ab", "printf 'TVMJET\\001\\n'; exit 0", "vorzeitig"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        JetFile::setReaderProgram(script(QLatin1String(c.name), c.body));
        JetFile jet(file);
        jet.setLimits({800, qint64(512) * 1024 * 1024});
        CountingHandler handler;
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(jet.read(handler));
        EXPECT_LT(clock.elapsed(), 800 + kGraceMs);
        EXPECT_TRUE(jet.error().contains(QString::fromUtf8(c.reason))) << jet.error().toStdString();
        EXPECT_TRUE(jet.error().contains(QStringLiteral("keine lesbare Access-Datenbank")));
    }
}

TEST_F(JetDamageTest, TheMemoryLimitStopsTheReader)
{
    // A limit below what any process needs: the reader cannot stay under it.
    JetFile jet(dir.filePath(QStringLiteral("gut.mdb")));
    jet.setLimits({kLimitMs, 64 * 1024});
    CountingHandler handler;
    EXPECT_FALSE(jet.read(handler));
    EXPECT_TRUE(jet.error().contains(QStringLiteral("keine lesbare Access-Datenbank")));
}

} // namespace
} // namespace torvm
