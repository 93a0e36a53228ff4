#include "exchange/JetFile.h"
#include "support/JetFixtures.h"
#include "support/JetWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace torvm {
namespace {

using test::jetBool;
using test::jetDate;
using test::jetInt;
using test::jetNull;
using test::jetReal;
using test::jetText;

class JetReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
    }

    QString write(const test::JetWriter& writer, const QString& name = QStringLiteral("quelle.mdb"))
    {
        const QString path = dir.filePath(name);
        QString error;
        EXPECT_TRUE(writer.write(path, &error)) << error.toStdString();
        return path;
    }

    std::vector<JetTable> readAll(const QString& path, const QStringList& tables = {})
    {
        std::vector<JetTable> out;
        QString error;
        EXPECT_TRUE(readJetTables(path, tables, &out, &error)) << error.toStdString();
        return out;
    }

    QTemporaryDir dir;
};

void expectSame(const JetValue& expected, const JetValue& actual, const QString& where)
{
    SCOPED_TRACE(where.toStdString());
    ASSERT_EQ(int(expected.kind), int(actual.kind));
    switch (expected.kind) {
    case JetValue::Kind::Integer:
        EXPECT_EQ(expected.integer, actual.integer);
        break;
    case JetValue::Kind::Real:
        EXPECT_EQ(expected.real, actual.real);
        break;
    case JetValue::Kind::Text:
        EXPECT_EQ(expected.text, actual.text);
        break;
    case JetValue::Kind::Null:
        // Nothing of the row before may show through a Null: readers take .text of any value.
        EXPECT_TRUE(actual.text.isEmpty());
        EXPECT_EQ(actual.integer, 0);
        EXPECT_EQ(actual.real, 0.0);
        break;
    default:
        break;
    }
}

TEST_F(JetReaderTest, EveryColumnTypeAndNullComesBackAsWritten)
{
    const std::vector<JetColumn> columns{
        {QStringLiteral("Lang"), JetType::Long},   {QStringLiteral("Kurz"), JetType::Short},
        {QStringLiteral("Byte"), JetType::Byte},   {QStringLiteral("JaNein"), JetType::Bool},
        {QStringLiteral("Zahl"), JetType::Double}, {QStringLiteral("Datum"), JetType::DateTime},
        {QStringLiteral("Straße"), JetType::Text}};
    const QString longText(255, QChar(0x00df));
    // Each row probes one kind of edge: extremes, Null in every nullable column, empty text
    // versus Null, dates before 1900 with a time of day, and text outside Latin-1.
    const std::vector<JetRow> rows{
        {jetInt(0), jetInt(0), jetInt(0), jetBool(false), jetReal(0.0), jetDate(DateTime::fromParts(1899, 12, 30)),
         jetText(QString())},
        {jetInt(std::numeric_limits<std::int32_t>::max()), jetInt(32767), jetInt(255), jetBool(true), jetReal(-1.5e300),
         jetDate(DateTime::fromParts(9999, 12, 31, 23, 59, 59)), jetText(longText)},
        {jetInt(std::numeric_limits<std::int32_t>::min()), jetInt(-32768), jetInt(1), jetBool(true), jetReal(3.14159),
         jetDate(DateTime::fromParts(1898, 1, 1, 6, 30)), jetText(QStringLiteral("Schütze Groß €"))},
        {jetNull(), jetNull(), jetNull(), jetBool(false), jetNull(), jetNull(), jetNull()},
        {jetInt(1246576928), jetInt(32484), jetInt(128), jetBool(false), jetReal(-0.25),
         jetDate(DateTime::fromParts(1800, 2, 28, 12)), jetText(QStringLiteral("Ωμέγα 日本"))},
    };
    test::JetWriter writer;
    writer.addTable({QStringLiteral("Typen"), columns, rows, 0, {}});
    const std::vector<JetTable> tables = readAll(write(writer));

    ASSERT_EQ(tables.size(), 1u);
    const JetTable& table = tables.front();
    EXPECT_EQ(table.name, QStringLiteral("Typen"));
    ASSERT_EQ(table.columns.size(), columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        EXPECT_EQ(table.columns[c].name, columns[c].name);
        EXPECT_EQ(table.columns[c].type, columns[c].type);
    }
    ASSERT_EQ(table.rows.size(), rows.size());
    EXPECT_EQ(table.report.rowsRead, int(rows.size()));
    EXPECT_EQ(table.report.rowsUnreadable, 0);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < columns.size(); ++c)
            expectSame(rows[r][c], table.rows[r][c], QStringLiteral("Zeile %1 Spalte %2").arg(r).arg(columns[c].name));
    }
    EXPECT_EQ(table.rows[2][5].date(), DateTime::fromParts(1898, 1, 1, 6, 30));
    EXPECT_TRUE(table.rows[3][5].date().isNull());
}

TEST_F(JetReaderTest, WideDefinitionsAndManyDataPages)
{
    // 166 columns spread the definition over two pages; 3000 rows over many data pages.
    std::vector<JetColumn> gruppe{{QStringLiteral("ID"), JetType::Long}, {QStringLiteral("Name"), JetType::Text}};
    for (int i = 2; i < 166; ++i)
        gruppe.push_back(
            {QStringLiteral("Spalte%1").arg(i, 3, 10, QLatin1Char('0')), i % 3 == 0 ? JetType::Long : JetType::Text});
    test::JetWriter writer;
    test::JetWriter::Table wide{QStringLiteral("Gruppe"), gruppe, {}, 3000, {}};
    wide.generate = [&gruppe](int index, JetRow& row) {
        for (std::size_t c = 0; c < gruppe.size(); ++c)
            row[c] = gruppe[c].type == JetType::Long ? jetInt(index * 1000 + int(c))
                                                     : jetText(QStringLiteral("G%1/%2").arg(index).arg(c));
    };
    writer.addTable(wide);
    writer.addTable({QStringLiteral("tblMitglieder"),
                     test::mitgliederColumns(),
                     {test::sampleMitglied(test::mitgliederColumns(), 1)},
                     0,
                     {}});
    writer.addTable({QStringLiteral("tblVereine_kurz"), test::vereineKurzColumns(), {}, 0, {}});
    const std::vector<JetTable> tables = readAll(write(writer));

    ASSERT_EQ(tables.size(), 3u);
    ASSERT_EQ(tables[0].columns.size(), 166u);
    EXPECT_EQ(tables[0].columns.back().name, QStringLiteral("Spalte165"));
    ASSERT_EQ(tables[0].rows.size(), 3000u);
    EXPECT_EQ(tables[0].rows[2999][3].integer, 2999 * 1000 + 3);
    EXPECT_EQ(tables[0].rows[1234][1].text, QStringLiteral("G1234/1"));

    ASSERT_EQ(tables[1].columns.size(), 83u);
    EXPECT_EQ(tables[1].columns[40].name, QStringLiteral("Passnummer"));
    EXPECT_EQ(tables[1].columns.back().name, QStringLiteral("KZ_nicht_abrechnen"));
    ASSERT_EQ(tables[1].rows.size(), 1u);
    const JetRow expected = test::sampleMitglied(test::mitgliederColumns(), 1);
    for (std::size_t c = 0; c < expected.size(); ++c)
        expectSame(expected[c], tables[1].rows[0][c], tables[1].columns[c].name);

    ASSERT_EQ(tables[2].columns.size(), 43u);
    EXPECT_EQ(tables[2].columns[15].name, QStringLiteral("Gründungsjahr"));
    EXPECT_TRUE(tables[2].rows.empty());
}

TEST_F(JetReaderTest, OnlyTheAskedTablesAndAMissingOneIsAnError)
{
    test::JetWriter writer;
    for (const QString& name : {QStringLiteral("Eins"), QStringLiteral("Zwei")})
        writer.addTable({name, {{QStringLiteral("N"), JetType::Long}}, {{jetInt(1)}}, 0, {}});
    const QString path = write(writer);

    const std::vector<JetTable> only = readAll(path, {QStringLiteral("zwei")});
    ASSERT_EQ(only.size(), 1u);
    EXPECT_EQ(only.front().name, QStringLiteral("Zwei"));

    std::vector<JetTable> out;
    QString error;
    EXPECT_FALSE(readJetTables(path, {QStringLiteral("Drei")}, &out, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Drei")));
}

TEST_F(JetReaderTest, MissingReaderProgramIsReportedNotCrashed)
{
    test::JetWriter writer;
    writer.addTable({QStringLiteral("T"), {{QStringLiteral("N"), JetType::Long}}, {}, 0, {}});
    const QString path = write(writer);
    JetFile::setReaderProgram(dir.filePath(QStringLiteral("fehlt")));
    std::vector<JetTable> out;
    QString error;
    EXPECT_FALSE(readJetTables(path, {}, &out, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("keine lesbare Access-Datenbank")));
}

// Files written by Access itself, from the public test data of the reading library's project.
class JetSampleTest : public JetReaderTest {
protected:
    QString sample(const char* name)
    {
        const QString path =
            QDir(QStringLiteral(TORVM_SHARED_DATA)).filePath(QStringLiteral("jet/") + QLatin1String(name));
        return QFile::exists(path) ? path : QString();
    }
};

TEST_F(JetSampleTest, Jet3NorthwindReadsNullsTypesAndCodePageText)
{
    const QString path = sample("nwind.mdb");
    if (path.isEmpty())
        GTEST_SKIP() << "shared sample data (jet/nwind.mdb) not present";
    const std::vector<JetTable> tables =
        readAll(path, {QStringLiteral("Orders"), QStringLiteral("Products"), QStringLiteral("Customers")});
    ASSERT_EQ(tables.size(), 3u);
    for (const JetTable& table : tables) {
        EXPECT_EQ(table.report.rowsUnreadable, 0) << table.name.toStdString();
        EXPECT_FALSE(table.report.unreadable);
    }
    const JetTable& orders = *std::find_if(tables.begin(), tables.end(),
                                           [](const JetTable& t) { return t.name == QLatin1String("Orders"); });
    const int id = orders.column(QStringLiteral("OrderID"));
    const int region = orders.column(QStringLiteral("ShipRegion"));
    const int postal = orders.column(QStringLiteral("ShipPostalCode"));
    const auto row = std::find_if(orders.rows.begin(), orders.rows.end(),
                                  [id](const JetRow& r) { return r[std::size_t(id)].integer == 10331; });
    ASSERT_NE(row, orders.rows.end());
    EXPECT_TRUE((*row)[std::size_t(region)].isNull());
    EXPECT_EQ((*row)[std::size_t(postal)].text, QStringLiteral("13008"));

    const JetTable& products = *std::find_if(tables.begin(), tables.end(),
                                             [](const JetTable& t) { return t.name == QLatin1String("Products"); });
    EXPECT_EQ(products.columns[std::size_t(products.column(QStringLiteral("UnitsInStock")))].type, JetType::Short);
    EXPECT_EQ(products.columns[std::size_t(products.column(QStringLiteral("Discontinued")))].type, JetType::Bool);

    const JetTable& customers = *std::find_if(tables.begin(), tables.end(),
                                              [](const JetTable& t) { return t.name == QLatin1String("Customers"); });
    const int city = customers.column(QStringLiteral("City"));
    EXPECT_TRUE(std::any_of(customers.rows.begin(), customers.rows.end(), [city](const JetRow& r) {
        return r[std::size_t(city)].text == QStringLiteral("México D.F.");
    }));
}

TEST_F(JetSampleTest, Jet4DatesBefore1900AndAfter4600KeepTheirValueAndMemosRead)
{
    const QString path = sample("DateTestDatabase.mdb");
    if (path.isEmpty())
        GTEST_SKIP() << "shared sample data (jet/DateTestDatabase.mdb) not present";
    const std::vector<JetTable> tables = readAll(path, {QStringLiteral("DateTest")});
    ASSERT_EQ(tables.size(), 1u);
    const JetTable& table = tables.front();
    const int text = table.column(QStringLiteral("LongTextCol"));
    const int date = table.column(QStringLiteral("DateTimeCol"));
    ASSERT_GE(text, 0);
    ASSERT_EQ(table.columns[std::size_t(text)].type, JetType::Memo);
    ASSERT_EQ(table.columns[std::size_t(date)].type, JetType::DateTime);
    auto dateOf = [&](const QString& label) {
        for (const JetRow& row : table.rows) {
            if (row[std::size_t(text)].text == label)
                return row[std::size_t(date)].date();
        }
        return DateTime::invalid();
    };
    EXPECT_EQ(dateOf(QStringLiteral("Year 9999")), DateTime::fromParts(9999, 1, 1));
    EXPECT_EQ(dateOf(QStringLiteral("Pre-1900 years")), DateTime::fromParts(1898, 1, 1));
    EXPECT_LT(dateOf(QStringLiteral("Pre-1000 years")).year(), 1000);
    EXPECT_TRUE(dateOf(QStringLiteral("Pre-1000 years")).isValid());
    EXPECT_EQ(dateOf(QStringLiteral("Hello")), DateTime::fromParts(2021, 12, 2));
    EXPECT_TRUE(std::any_of(table.rows.begin(), table.rows.end(), [text](const JetRow& row) {
        return row[std::size_t(text)].text.contains(QLatin1Char('\n'));
    }));
}

} // namespace
} // namespace torvm

namespace torvm {
namespace {

TEST(JetFrameTest, AStringThatClaimsMoreBytesThanTheFrameHoldsIsRefused)
{
    struct Case {
        std::uint32_t claimed;
        QByteArray bytes;
        bool ok;
    };
    for (const Case& c : {Case{3, "abc", true}, Case{4, "abc", false}, Case{0xffffffffu, "abc", false},
                          Case{0x80000000u, "", false}, Case{0, "", true}}) {
        SCOPED_TRACE(c.claimed);
        QByteArray frame;
        jetframe::putU32(frame, c.claimed);
        frame += c.bytes;
        jetframe::Reader in(frame.constData(), frame.size());
        QString text;
        EXPECT_EQ(in.string(&text), c.ok);
        if (c.ok) {
            EXPECT_EQ(text, QString::fromLatin1(c.bytes));
            EXPECT_TRUE(in.atEnd());
        }
    }
}

} // namespace
} // namespace torvm
