#include "exchange/ResultsImport.h"

#include "db/Tables.h"
#include "exchange/JetFile.h"
#include "results/CompetitionRules.h"
#include "support/Fixtures.h"
#include "support/JetWriter.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <map>

namespace torvm {
namespace {

// Group 1 (ID 0) with teams in slots 1, 2 and 3, four shooters a team; group 2 (ID 1) with teams in
// slots 1 and 2. Both play plan 0, whose round 3 (index 2) pairs 1 - 2 and 3 - 4.
void buildLeague(Database& db)
{
    CGruppeTable group(&db, nullptr);
    ASSERT_TRUE(group.Open());
    for (const int id : {0, 1}) {
        group.LoadGroup(id);
        group.m_Name = QStringLiteral("Gruppe %1").arg(id + 1);
        group.m_Anzahl = 4;
        group.m_Plan = 0;
        group.m_Verein.fill(0);
        group.m_Verein[0] = 10;
        group.m_Verein[1] = 20;
        if (id == 0)
            group.m_Verein[2] = 30;
        ASSERT_TRUE(group.SaveGroup(id));
    }
    CPlanTable plan(&db, nullptr);
    ASSERT_TRUE(plan.Open());
    for (int round = 0; round < 4; ++round) {
        plan.SelectRound(0, round);
        plan.m_Name = QStringLiteral("Plan");
        plan.m_A.fill(0);
        plan.m_B.fill(0);
        plan.m_A[0] = 1;
        plan.m_B[0] = 2;
        plan.m_A[1] = 3;
        plan.m_B[1] = 4;
        ASSERT_TRUE(plan.SaveRound(0, round));
    }
}

using Rows = std::map<std::int32_t, QString>;

// Every result row as "TNr Ergebnis Punkte Text".
Rows resultRows(Database& db)
{
    Rows rows;
    Statement st = db.prepare(R"(SELECT "ID", "TNr", "Ergebnis", "Punkte", "Text" FROM "Wettkampf")");
    while (st.next())
        rows[static_cast<std::int32_t>(st.int64(0))] =
            QStringLiteral("%1 %2 %3 %4").arg(st.text(1), st.text(2), st.text(3), st.text(4));
    return rows;
}

class ResultsImportTest : public ::testing::Test {
protected:
    test::TempCompetition target;
    test::TempCompetition source;

    void SetUp() override
    {
        buildLeague(*target.db());
        buildLeague(*source.db());
    }

    static void result(Database& db, int group, int round, int slot, int row, int participant, int rings)
    {
        CWettkampfTable t(&db, nullptr);
        ASSERT_TRUE(t.Open());
        ASSERT_TRUE(t.SaveResult(participant, rings, group, round, slot, row));
    }
};

TEST_F(ResultsImportTest, CopiesOnlyTheRowsTheRoundsPairingsNeed)
{
    Database& src = *source.db();
    Database& dst = *target.db();
    // Target: rows entered before, among them one the source has emptied.
    result(dst, 0, 2, 2, 1, 555, 95);
    result(dst, 0, 1, 1, 1, 444, 90);
    result(dst, 1, 2, 1, 1, 333, 80);
    const Rows before = resultRows(dst);

    for (int row = 1; row <= 6; ++row)
        result(src, 0, 2, 1, row, 100 + row, 90 + row); // rows 5 and 6 lie above the team size
    {
        CWettkampfTable t(&src, nullptr);
        ASSERT_TRUE(t.Open());
        ASSERT_TRUE(t.SavePoints(-2, QStringLiteral("Verspätet"), 0, 2, 1, kSummaryRow));
        ASSERT_TRUE(t.SavePoints(1, QStringLiteral("Protest"), 0, 2, 2, kSummaryRow)); // side B
    }
    result(src, 0, 2, 2, 1, 0, 0);    // an emptied row overwrites the target's
    result(src, 0, 2, 3, 1, 301, 88); // slot 3 plays slot 4, which has no team
    result(src, 0, 2, 4, 1, 401, 87);
    result(src, 0, 1, 1, 1, 111, 11); // another round
    result(src, 0, 3, 1, 1, 112, 12);

    const ResultsImportResult r = importResults(dst, source.path(), 2);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.rowsCopied, 7);

    Rows expected = before;
    for (int row = 1; row <= 4; ++row)
        expected[resultKey(0, 2, 1, row)] = QStringLiteral("%1 %2 0 ").arg(100 + row).arg(90 + row);
    expected[resultKey(0, 2, 1, kSummaryRow)] = QStringLiteral("0 0 -2 Verspätet");
    expected[resultKey(0, 2, 2, 1)] = QStringLiteral("0 0 0 ");
    expected[resultKey(0, 2, 2, kSummaryRow)] = QStringLiteral("0 0 1 Protest");
    EXPECT_EQ(resultRows(dst), expected);
}

TEST_F(ResultsImportTest, CarriesTheRowMarksAndRefusesADifferentTenthsRule)
{
    Database& src = *source.db();
    Database& dst = *target.db();
    {
        CWettkampfTable t(&src, nullptr);
        ASSERT_TRUE(t.Open());
        ASSERT_TRUE(t.SaveResult(101, 97, 0, 2, 1, 1, 1, 0));
        ASSERT_TRUE(t.SaveResult(102, 96, 0, 2, 1, 2, 0, 2));
        ASSERT_TRUE(t.SavePoints(0, QString(), 0, 2, 2, kSummaryRow, 1));
    }
    struct Case {
        bool sourceTenths, targetTenths;
        const char* error; // empty: taken over
    };
    // Switching the rules scales the rows stored before: the source holds 97,0 and 96,0 under tenths.
    const Case cases[] = {
        {true, false, "Die Datei %1 wertet mit Zehnteln, dieser Wettkampf ganze Ringe. Es wurde nichts übernommen."},
        {false, true, "Die Datei %1 wertet ganze Ringe, dieser Wettkampf mit Zehnteln. Es wurde nichts übernommen."},
        {true, true, ""},
    };
    for (const Case& c : cases) {
        QString error;
        ASSERT_TRUE(setCompetitionRules(&src, nullptr, {c.sourceTenths, {TieBreak::Rings}, 0}, &error))
            << error.toStdString();
        ASSERT_TRUE(setCompetitionRules(&dst, nullptr, {c.targetTenths, {TieBreak::Rings}, 0}, &error))
            << error.toStdString();
        const Rows before = resultRows(dst);
        const ResultsImportResult r = importResults(dst, source.path(), 2);
        EXPECT_EQ(r.ok, *c.error == 0);
        if (*c.error != 0) {
            EXPECT_EQ(r.error, QString::fromUtf8(c.error).arg(QFileInfo(source.path()).fileName()));
            EXPECT_EQ(resultRows(dst), before);
        }
    }
    Statement st = dst.prepare(R"(SELECT "Ergebnis", "Ersatz", "Wertung", "Flag" FROM "Wettkampf"
        WHERE "ID" IN (?, ?, ?) ORDER BY "ID")");
    st.bind(1, std::int64_t{resultKey(0, 2, 1, 1)});
    st.bind(2, std::int64_t{resultKey(0, 2, 1, 2)});
    st.bind(3, std::int64_t{resultKey(0, 2, 2, kSummaryRow)});
    QStringList rows;
    while (st.next())
        rows << QStringLiteral("%1 %2 %3 %4").arg(st.int64(0)).arg(st.int64(1)).arg(st.int64(2)).arg(st.int64(3));
    EXPECT_EQ(rows, (QStringList{QStringLiteral("970 1 0 0"), QStringLiteral("960 0 2 0"), QStringLiteral("0 0 0 1")}));
}

TEST_F(ResultsImportTest, ASourceThatIsNoCompetitionChangesNothing)
{
    result(*target.db(), 0, 2, 1, 1, 1, 1);
    const Rows before = resultRows(*target.db());
    const QString notes = target.file(QStringLiteral("notiz.mdb"));
    {
        QFile f(notes);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Ergebnisse kommen morgen.\n");
    }
    const QString foreign = target.file(QStringLiteral("fremd.db"));
    {
        ASSERT_TRUE(QFile(foreign).open(QIODevice::WriteOnly));
        auto db = Database::open(foreign, Database::Mode::ReadWrite, nullptr);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->execute(R"(CREATE TABLE "Wettkampf" ("ID" INTEGER, "TNr" INTEGER))"));
    }
    for (const QString& path : {target.file(QStringLiteral("fehlt.mdb")), notes, foreign}) {
        SCOPED_TRACE(path.toStdString());
        const ResultsImportResult r = importResults(*target.db(), path, 2);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.isEmpty());
    }
    EXPECT_FALSE(importResults(*target.db(), source.path(), 20).ok);
    EXPECT_EQ(resultRows(*target.db()), before);
}

TEST_F(ResultsImportTest, ReadsAnAccessCompetitionFile)
{
    JetFile::setReaderProgram(QStringLiteral(TORVM_CLI_PATH));
    std::vector<JetColumn> columns;
    for (const char* name : {"ID", "TNr", "Durchgang", "ErgID", "Ergebnis", "Punkte", "Ersatz", "Wertung", "Flag"})
        columns.push_back({QString::fromUtf8(name), JetType::Long});
    columns.push_back({QStringLiteral("Text"), JetType::Text});
    const auto row = [](std::int32_t id, int participant, int rings, const QString& text) {
        return JetRow{test::jetInt(id),    test::jetInt(participant), test::jetInt(2), test::jetInt(0),
                      test::jetInt(rings), test::jetInt(0),           test::jetInt(0), test::jetInt(0),
                      test::jetInt(0),     test::jetText(text)};
    };
    test::JetWriter writer;
    writer.addTable({QStringLiteral("Wettkampf"),
                     columns,
                     {row(resultKey(1, 2, 2, 3), 17, 97, {}), row(resultKey(1, 2, 2, 5), 18, 98, {}),
                      row(resultKey(1, 2, 1, kSummaryRow), 0, 0, QStringLiteral("Nachgereicht")),
                      row(resultKey(1, 4, 1, 1), 19, 99, {})},
                     0,
                     {}});
    const QString path = target.file(QStringLiteral("liga2.mdb"));
    QString error;
    ASSERT_TRUE(writer.write(path, &error)) << error.toStdString();

    const ResultsImportResult r = importResults(*target.db(), path, 2);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(resultRows(*target.db()),
              (Rows{{resultKey(1, 2, 2, 3), QStringLiteral("17 97 0 ")},
                    {resultKey(1, 2, 1, kSummaryRow), QStringLiteral("0 0 0 Nachgereicht")}}));
}

} // namespace
} // namespace torvm
