#include "exchange/LegacyConversion.h"
#include "db/CompetitionFile.h"
#include "db/Database.h"
#include "support/Fixtures.h"
#include "support/JetWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace torvm {
namespace {

using test::jetDate;
using test::jetInt;
using test::jetNull;
using test::jetText;

const QStringList kDateColumns{QStringLiteral("von"), QStringLiteral("bis"), QStringLiteral("Datum1"),
                               QStringLiteral("Geburtstag"), QStringLiteral("Anmeldetag")};

// The tables of an old competition file, built from the template's own column list so that
// every column of every table is present in the source.
class LegacyConversionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
        DbError error;
        const auto tpl = Database::open(test::builtTemplate(), Database::Mode::ReadOnly, &error);
        ASSERT_TRUE(tpl);
        for (const QString& table : {QStringLiteral("Gruppe"), QStringLiteral("Klasse"), QStringLiteral("Plan"),
                                     QStringLiteral("Profile"), QStringLiteral("Teilnehmer"), QStringLiteral("Verein"),
                                     QStringLiteral("Wettbewerb"), QStringLiteral("Wettkampf")}) {
            std::vector<JetColumn> columns;
            Statement st = tpl->prepare("SELECT name, type FROM pragma_table_info(?) ORDER BY cid");
            st.bind(1, table);
            while (st.next()) {
                const QString name = st.text(0);
                JetType type = st.text(1) == QLatin1String("TEXT") ? JetType::Text : JetType::Long;
                if (kDateColumns.contains(name))
                    type = JetType::DateTime;
                if (table == QLatin1String("Gruppe") && name == QLatin1String("Anzahl"))
                    type = JetType::Short;
                columns.push_back({name, type});
            }
            ASSERT_FALSE(columns.empty()) << table.toStdString();
            schema.push_back({table, columns, {}, 0, {}});
        }
    }

    test::JetWriter::Table& table(const QString& name)
    {
        return *std::find_if(schema.begin(), schema.end(), [&](const auto& t) { return t.name == name; });
    }

    // Rows whose values depend on the row and column, with Null in every third value of rows
    // after the first, umlauts and "ß" in texts, and dates from before 1900.
    void fill(const QString& name, int rows, int keyBase = 0)
    {
        test::JetWriter::Table& t = table(name);
        // A row must fit on one page, as in Access: the wide group table gets short texts.
        const bool wide = t.columns.size() > 100;
        for (int r = 0; r < rows; ++r) {
            JetRow row;
            for (std::size_t c = 0; c < t.columns.size(); ++c) {
                const bool null = c > 0 && r > 0 && (r + int(c)) % 3 == 0;
                switch (t.columns[c].type) {
                case JetType::DateTime:
                    row.push_back(
                        null ? jetNull()
                             : jetDate(DateTime::fromParts(1890 + r * 7, 1 + r % 12, 1 + int(c), 10, r % 60, 5)));
                    break;
                case JetType::Text:
                    row.push_back(null     ? jetNull()
                                  : r == 1 ? jetText(QString())
                                  : wide   ? jetText(QStringLiteral("ß%1.%2").arg(r).arg(c))
                                           : jetText(QStringLiteral("Straße %1/%2 Schütze").arg(r).arg(c)));
                    break;
                default:
                    row.push_back(c == 0 ? jetInt(keyBase + r) : null ? jetNull() : jetInt(r * 100 + int(c)));
                    break;
                }
            }
            t.rows.push_back(row);
        }
    }

    QString writeLegacy(const QString& fileName = QStringLiteral("alt.mdb"))
    {
        test::JetWriter writer;
        for (const auto& t : schema)
            writer.addTable(t);
        QString error;
        const QString path = dir.filePath(fileName);
        EXPECT_TRUE(writer.write(path, &error)) << error.toStdString();
        return path;
    }

    static QByteArray hashOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                              : QByteArray();
    }

    QTemporaryDir dir;
    std::vector<test::JetWriter::Table> schema;
};

TEST_F(LegacyConversionTest, EveryTableAndColumnIsCarriedOverWithNullsKept)
{
    fill(QStringLiteral("Gruppe"), 3);
    fill(QStringLiteral("Klasse"), 21);
    fill(QStringLiteral("Plan"), 40);
    fill(QStringLiteral("Profile"), 5);
    fill(QStringLiteral("Teilnehmer"), 60, 1000);
    fill(QStringLiteral("Verein"), 12, 500);
    fill(QStringLiteral("Wettbewerb"), 1, 1);
    fill(QStringLiteral("Wettkampf"), 400, 10101);
    const QString legacy = writeLegacy();
    const QByteArray before = hashOf(legacy);
    const QString target = dir.filePath(QStringLiteral("neu.mdb"));

    ConversionReport report;
    QString error;
    ASSERT_TRUE(convertLegacyCompetition(legacy, target, test::builtTemplate(), &report, &error))
        << error.toStdString();
    EXPECT_TRUE(report.complete()) << report.text().toStdString();
    EXPECT_EQ(hashOf(legacy), before);

    QString why;
    auto db = openCompetition(target, &why);
    ASSERT_TRUE(db) << why.toStdString();
    ASSERT_EQ(report.tables.size(), 8u);
    for (const auto& source : schema) {
        SCOPED_TRACE(source.name.toStdString());
        const auto rep = std::find_if(report.tables.begin(), report.tables.end(),
                                      [&](const ConversionTableReport& t) { return t.table == source.name; });
        ASSERT_NE(rep, report.tables.end());
        EXPECT_EQ(rep->rowsRead, int(source.rows.size()));
        EXPECT_EQ(rep->rowsWritten, int(source.rows.size()));
        EXPECT_TRUE(rep->columnsMissing.isEmpty());

        Statement st = db->prepare(QStringLiteral("SELECT * FROM \"%1\" ORDER BY \"%2\"")
                                       .arg(source.name, source.columns.front().name)
                                       .toStdString());
        std::size_t r = 0;
        while (st.next()) {
            ASSERT_LT(r, source.rows.size());
            ASSERT_EQ(st.columnCount(), int(source.columns.size()));
            for (std::size_t c = 0; c < source.columns.size(); ++c) {
                const JetValue& expected = source.rows[r][c];
                SCOPED_TRACE(QStringLiteral("Zeile %1 Spalte %2").arg(r).arg(source.columns[c].name).toStdString());
                if (expected.isNull()) {
                    EXPECT_TRUE(st.isNull(int(c)));
                } else if (source.columns[c].type == JetType::DateTime) {
                    EXPECT_EQ(st.text(int(c)), expected.date().toStorage());
                } else if (source.columns[c].type == JetType::Text) {
                    EXPECT_EQ(st.type(int(c)), Statement::Type::Text);
                    EXPECT_EQ(st.text(int(c)), expected.text);
                } else {
                    EXPECT_EQ(st.int64(int(c)), expected.integer);
                }
            }
            ++r;
        }
        EXPECT_EQ(r, source.rows.size());
    }
}

TEST_F(LegacyConversionTest, TemplateClassesGiveWayAndDuplicatesAndMissingTablesAreReported)
{
    fill(QStringLiteral("Klasse"), 3); // KlasseID 0..2 replace the template's, 3..20 stay
    JetRow secondOfClass0 = table(QStringLiteral("Klasse")).rows.front();
    secondOfClass0[1] = jetText(QStringLiteral("Zweite Zeile"));
    table(QStringLiteral("Klasse")).rows.push_back(secondOfClass0); // the first row of key 0 counts
    fill(QStringLiteral("Verein"), 2, 7);
    fill(QStringLiteral("Wettbewerb"), 1); // "Val1" with a damaged type byte: the table is not taken
    table(QStringLiteral("Wettbewerb")).columns[2].type = JetType::Double;
    table(QStringLiteral("Wettbewerb")).rows[0][2] = test::jetReal(3);
    table(QStringLiteral("Verein")).rows.push_back(table(QStringLiteral("Verein")).rows.front()); // key 7 twice
    schema.erase(
        std::remove_if(schema.begin(), schema.end(), [](const auto& t) { return t.name == QLatin1String("Profile"); }),
        schema.end());
    const QString legacy = writeLegacy();
    const QString target = dir.filePath(QStringLiteral("neu.mdb"));

    ConversionReport report;
    QString error;
    ASSERT_TRUE(convertLegacyCompetition(legacy, target, test::builtTemplate(), &report, &error))
        << error.toStdString();
    EXPECT_FALSE(report.complete());
    const QString text = report.text();
    EXPECT_TRUE(text.contains(QStringLiteral("Profile: Tabelle fehlt in der alten Datei"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Verein: 2 von 3 Zeilen übernommen, 1 Zeilen mit doppeltem Schlüssel")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Klasse: 3 von 4 Zeilen übernommen, 1 Zeilen mit doppeltem Schlüssel")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(
        QStringLiteral("Wettbewerb: 0 von 1 Zeilen übernommen, nicht lesbar wegen Spalten mit unerwartetem Typ: Val1")))
        << text.toStdString();

    DbError dbError;
    auto db = Database::open(target, Database::Mode::ReadOnly, &dbError);
    ASSERT_TRUE(db);
    Statement count = db->prepare("SELECT COUNT(*) FROM Klasse");
    ASSERT_TRUE(count.next());
    EXPECT_EQ(count.int64(0), 21);
    // Source row 2 has a Null name and row 0 a text: both replace the template's rows whole.
    auto className = [&db](std::int64_t id) -> std::optional<QString> {
        Statement st = db->prepare("SELECT Name FROM Klasse WHERE KlasseID = ?");
        st.bind(1, id);
        if (!st.next() || st.isNull(0))
            return std::nullopt;
        return st.text(0);
    };
    EXPECT_FALSE(className(2).has_value());
    EXPECT_EQ(className(0), QStringLiteral("Straße 0/1 Schütze"));
    EXPECT_TRUE(className(5).has_value()) << "template class kept";
}

TEST_F(LegacyConversionTest, NothingIsWrittenWhenTheOldFileCannotBeConvertedOrTheTargetExists)
{
    fill(QStringLiteral("Verein"), 2);
    const QString legacy = writeLegacy();
    QFile file(legacy);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    QFile cut(dir.filePath(QStringLiteral("kaputt.mdb")));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() - 1000));
    cut.close();
    QFile existing(dir.filePath(QStringLiteral("da.mdb")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("bleibt");
    existing.close();

    const struct {
        QString source;
        QString target;
        const char* message;
    } cases[] = {
        {cut.fileName(), dir.filePath(QStringLiteral("a.mdb")), "keine lesbare Access-Datenbank"},
        {legacy, existing.fileName(), "bereits vorhanden"},
        {legacy, legacy, "bereits vorhanden"},
        {test::builtTemplate(), dir.filePath(QStringLiteral("b.mdb")), "keine Access-Datenbank"},
        {QStringLiteral(TORVM_SHARED_DATA "/jet/nwind.mdb"), dir.filePath(QStringLiteral("c.mdb")),
         "keine Wettkampfdatei"},
    };
    for (const auto& c : cases) {
        if (!QFile::exists(c.source))
            continue; // the shared sample data is optional
        SCOPED_TRACE(c.message);
        const bool existedBefore = QFile::exists(c.target);
        const QByteArray before = hashOf(c.target);
        ConversionReport report;
        QString error;
        EXPECT_FALSE(convertLegacyCompetition(c.source, c.target, test::builtTemplate(), &report, &error));
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.message))) << error.toStdString();
        EXPECT_EQ(QFile::exists(c.target), existedBefore);
        EXPECT_EQ(hashOf(c.target), before);
    }
}

TEST_F(LegacyConversionTest, ProposedNamesNeverOverwriteAndJetFilesAreRecognised)
{
    fill(QStringLiteral("Verein"), 1);
    const QString legacy = writeLegacy(QStringLiteral("liga.mdb"));
    EXPECT_TRUE(isLegacyCompetition(legacy));
    EXPECT_FALSE(isLegacyCompetition(test::builtTemplate()));

    EXPECT_EQ(proposedConversionName(legacy), dir.filePath(QStringLiteral("liga_neu.mdb")));
    QFile(dir.filePath(QStringLiteral("liga_neu.mdb"))).open(QIODevice::WriteOnly);
    EXPECT_EQ(proposedConversionName(legacy), dir.filePath(QStringLiteral("liga_neu2.mdb")));
    EXPECT_TRUE(conversionQuestion(legacy).contains(QStringLiteral("wird in eine neue Wettkampfdatei übernommen")));
    EXPECT_TRUE(conversionQuestion(legacy).contains(QStringLiteral("liga.mdb")));
}

TEST_F(LegacyConversionTest, CommandLineConvertFollowsTheExitCodes)
{
    fill(QStringLiteral("Teilnehmer"), 4, 1);
    const QString legacy = writeLegacy();
    const QString target = dir.filePath(QStringLiteral("neu.mdb"));
    auto run = [](const QStringList& args, QString* out = nullptr, QString* err = nullptr) {
        QProcess cli;
        cli.start(QStringLiteral(TORVM_CLI_PATH), args);
        EXPECT_TRUE(cli.waitForFinished(60000));
        if (out)
            *out = QString::fromUtf8(cli.readAllStandardOutput());
        if (err)
            *err = QString::fromUtf8(cli.readAllStandardError());
        return cli.exitCode();
    };
    QString out;
    EXPECT_EQ(run({QStringLiteral("convert"), legacy, target}, &out), 0);
    EXPECT_TRUE(out.contains(QStringLiteral("Teilnehmer: 4 von 4 Zeilen übernommen"))) << out.toStdString();
    QString why;
    EXPECT_NE(openCompetition(target, &why), nullptr) << why.toStdString();

    QString err;
    EXPECT_EQ(run({QStringLiteral("convert"), legacy, target}, nullptr, &err), 2);
    EXPECT_TRUE(err.startsWith(QStringLiteral("Fehler"))) << err.toStdString();
    EXPECT_EQ(run({QStringLiteral("convert"), legacy}), 1);
}

} // namespace
} // namespace torvm
