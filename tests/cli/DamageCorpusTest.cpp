#include "CliTest.h"

#include "exchange/JetFile.h"
#include "exchange/MemberImport.h"
#include "support/JetFixtures.h"
#include "support/JetWriter.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

namespace torvm {
namespace {

// How many damaged files of each kind: a sample in every test run; scripts/damage-corpus.sh sets
// TORVM_DAMAGE_CORPUS for the full corpus and reads the counts from the output.
int corpusSize(int sample)
{
    const QByteArray wanted = qgetenv("TORVM_DAMAGE_CORPUS");
    return wanted.isEmpty() ? sample : wanted.toInt();
}

constexpr int kAnswerWithinMs = 20000;

// Seeded damage: bit flips (mostly in the first pages, where the structures are), a copied
// page, or the file cut short.
QByteArray damage(const QByteArray& good, int pageSize, std::mt19937& random)
{
    QByteArray bad = good;
    const auto pages = std::uint32_t(bad.size() / pageSize);
    switch (random() % 4) {
    case 0:
        bad.truncate(qsizetype(random() % std::uint32_t(bad.size())));
        break;
    case 1: {
        const std::uint32_t from = random() % pages;
        const std::uint32_t to = 1 + random() % (pages - 1);
        bad.replace(qsizetype(to) * pageSize, pageSize, good.mid(qsizetype(from) * pageSize, pageSize));
        break;
    }
    default:
        for (int f = 1 + int(random() % 8); f > 0; --f) {
            const qsizetype at = random() % 2 ? qsizetype(random() % std::uint32_t(bad.size()))
                                              : qsizetype(random() % std::min<std::uint32_t>(pages, 8) * pageSize +
                                                          random() % std::uint32_t(pageSize));
            bad[at] = char(bad[at] ^ char(1 << (random() % 8)));
        }
        break;
    }
    return bad;
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class DamageCorpusTest : public test::CliTest {
protected:
    void SetUp() override
    {
        workInFolderWithTemplate();
        JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
    }
};

// A damaged competition is refused with a message, or read: then its export is complete. An
// export that differs from the intact file's is counted: a changed byte inside a stored value
// is a valid file with another value, which no check can tell from a real one.
TEST_F(DamageCorpusTest, DamagedCompetitionsAreRefusedOrReadWhole)
{
    ASSERT_EQ(run({QStringLiteral("demo"), path("gut.mdb")}), kCliOk);
    ASSERT_EQ(run({QStringLiteral("export-text"), path("gut.mdb"), path("gut.txt")}), kCliOk);
    const QByteArray good = readAll(path("gut.mdb"));
    const QByteArray goodText = readAll(path("gut.txt"));
    std::mt19937 random(4711);
    int refused = 0;
    int same = 0;
    int changed = 0;
    const int n = corpusSize(25);
    for (int i = 0; i < n && !HasFailure(); ++i) {
        SCOPED_TRACE(i);
        put(path("kaputt.mdb"), damage(good, 4096, random));
        QFile::remove(path("kaputt.txt"));
        QElapsedTimer clock;
        clock.start();
        const int rc = run({QStringLiteral("export-text"), path("kaputt.mdb"), path("kaputt.txt")});
        EXPECT_LT(clock.elapsed(), kAnswerWithinMs);
        if (rc == kCliOk) {
            const QByteArray text = readAll(path("kaputt.txt"));
            EXPECT_TRUE(text.endsWith("\r\n"));
            ++(text == goodText ? same : changed);
        } else {
            EXPECT_TRUE(rc == kCliFileError || rc == kCliUsage) << rc;
            EXPECT_FALSE(err.trimmed().isEmpty());
            EXPECT_FALSE(QFile::exists(path("kaputt.txt"))) << "nothing written from a refused file";
            ++refused;
        }
    }
    std::printf("competitions: %d damaged, %d refused, %d read with the intact export, %d read with another export\n",
                n, refused, same, changed);
    RecordProperty("refused", refused);
    RecordProperty("changed", changed);
}

// A damaged Access member file: refused, or imported with every row it could not read counted;
// never a member number that the intact file does not have.
TEST_F(DamageCorpusTest, DamagedAccessFilesImportNothingTheyDoNotHold)
{
    test::JetWriter writer;
    writer.addTable({QStringLiteral("tblMitglieder"), test::mitgliederColumns(), {}, 60, [](int i, JetRow& row) {
                         row = test::sampleMitglied(test::mitgliederColumns(), i);
                     }});
    writer.addTable({QStringLiteral("tblVereine_kurz"), test::vereineKurzColumns(), {}, 5, [](int i, JetRow& row) {
                         row.assign(test::vereineKurzColumns().size(), test::jetNull());
                         row[0] = test::jetInt(i);
                         row[1] = test::jetText(QStringLiteral("Verein %1").arg(i));
                     }});
    QString error;
    ASSERT_TRUE(writer.write(path("gut.mdb"), &error)) << error.toStdString();
    const QByteArray good = readAll(path("gut.mdb"));
    ASSERT_EQ(run({QStringLiteral("new"), path("leer.mdb")}), kCliOk);
    const QByteArray empty = readAll(path("leer.mdb"));

    std::mt19937 random(815);
    int refused = 0;
    int damagedRefused = 0;
    int imported = 0;
    int foreignNumbers = 0;
    const int n = corpusSize(10);
    for (int i = 0; i < n && !HasFailure(); ++i) {
        SCOPED_TRACE(i);
        put(path("kaputt.mdb"), damage(good, 4096, random));
        put(path("ziel.mdb"), empty);
        auto db = Database::open(path("ziel.mdb"), Database::Mode::ReadWrite, nullptr);
        ASSERT_TRUE(db);
        QElapsedTimer clock;
        clock.start();
        const MemberImportResult result = importMembers(*db, path("kaputt.mdb"));
        EXPECT_LT(clock.elapsed(), kAnswerWithinMs + 70000);
        if (!result.ok) {
            EXPECT_FALSE(result.error.isEmpty());
            ++(result.damaged ? damagedRefused : refused);
            EXPECT_EQ(result.members, 0);
            continue;
        }
        ++imported;
        Statement st =
            db->prepare(R"(SELECT COUNT(*) FROM "Teilnehmer" WHERE "Paßnummer" NOT BETWEEN 1 AND 2147483647)");
        ASSERT_TRUE(st.next());
        foreignNumbers += int(st.int64(0));
    }
    EXPECT_EQ(foreignNumbers, 0);
    std::printf("access files: %d damaged, %d refused as unreadable, %d refused for unreadable rows, %d imported\n", n,
                refused, damagedRefused, imported);
}

} // namespace
} // namespace torvm
