#include "output/PrintJob.h"

#include "LeagueData.h"
#include "TextBoxes.h"
#include "db/Tables.h"
#include "support/Fixtures.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace torvm {
namespace {

// 70 characters with umlauts, as real club names get once the team designation is added.
QString longName(const char* what, int n)
{
    return QStringLiteral("Schützengesellschaft Größenwörth-Überlingen %1 Nr. %2 e.V. Ölmühle")
        .arg(QLatin1String(what))
        .arg(n);
}

// A league of eight teams with long names everywhere a name is printed: clubs, teams, captains'
// addresses, participants, classes, remarks, plan and group names, and a round without a date.
class OverlapTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::LeagueData data{*comp.db()};

    void SetUp() override
    {
        Database& db = *comp.db();
        Transaction transaction(db);
        for (int c = 1; c <= 60; ++c) {
            Statement st = db.prepare(R"(INSERT INTO "Verein" ("Vereinsnummer", "Name") VALUES (?, ?))");
            st.bind(1, std::int64_t{c * 1000});
            st.bind(2, longName("Verein", c));
            ASSERT_TRUE(st.exec());
        }
        Statement group = db.prepare(R"(INSERT INTO "Gruppe" ("ID", "Name", "Anzahl", "Plan", "Klasse") VALUES
                                        (0, ?, 3, 0, 1))");
        group.bind(1, longName("Gruppe", 0));
        ASSERT_TRUE(group.exec());
        for (int slot = 1; slot <= 8; ++slot) {
            const QString n = QString::asprintf("%02d", slot);
            Statement st = db.prepare(QStringLiteral(R"(UPDATE "Gruppe" SET "Verein%1" = ?, "VNr%1" = ?,
                "MFuehrer%1" = ?, "Strasse%1" = ?, "PLZ%1" = '97080', "Ort%1" = ?, "Telefon%1" = ?)")
                                          .arg(n)
                                          .toStdString());
            st.bind(1, std::int64_t{slot * 1000});
            st.bind(2, QStringLiteral("1"));
            st.bind(3, QStringLiteral("Hans-Jürgen Müller-Lüdenscheidt von Höhenkirchen-Großöd"));
            st.bind(4, QStringLiteral("Hauptstraße der Schützenbrüderschaft 123a"));
            st.bind(5, QStringLiteral("Würzburg-Heidingsfeld an der Fränkischen Saale"));
            st.bind(6, QStringLiteral("0931 / 12 34 56 78 - 90 (nur abends)"));
            ASSERT_TRUE(st.exec());
        }
        Statement klasse = db.prepare(R"(UPDATE "Klasse" SET "Name" = ? WHERE "KlasseID" = 1)");
        klasse.bind(1, QStringLiteral("Schülerinnen und Schüler der Jahrgänge bis einschließlich Zwölf"));
        ASSERT_TRUE(klasse.exec());
        // Round 1 has a date, round 2 none.
        Statement plan = db.prepare(R"(INSERT INTO "Plan" ("PlanID", "Name", "Datum1", "A1", "B1", "A2", "B2", "A3",
            "B3", "A4", "B4") VALUES (0, ?, '2025-09-26 19:30:00', 1, 2, 3, 4, 5, 6, 7, 8),
            (1, ?, NULL, 1, 3, 2, 4, 5, 7, 6, 8))");
        plan.bind(1, longName("Plan", 1));
        plan.bind(2, longName("Plan", 1));
        ASSERT_TRUE(plan.exec());
        int number = 1;
        for (int round = 0; round < 2; ++round) {
            for (int slot = 1; slot <= 8; ++slot) {
                for (int row = 1; row <= 3; ++row, ++number) {
                    Statement st = db.prepare(R"(INSERT OR IGNORE INTO "Teilnehmer" ("Paßnummer", "Titel", "Name",
                        "Vorname", "Zusatz", "Klasse", "Verein", "Geburtstag") VALUES (?, 'Dr.', ?, ?, 'jun.', 1, ?,
                        '1987-03-04 00:00:00'))");
                    const int person = (number - 1) % 24 + 1;
                    st.bind(1, std::int64_t{person});
                    st.bind(2, QStringLiteral("Müller-Lüdenscheidt-Hößelbach %1").arg(person));
                    st.bind(3, QStringLiteral("Jürgen-Björn Maximilian Ödön"));
                    st.bind(4, std::int64_t{slot * 1000});
                    ASSERT_TRUE(st.exec());
                    data.insert(resultKey(0, round, slot, row), person, round, 100000 - number * 37, 0, QString());
                }
            }
            data.adjustment(
                0, round, 2, -1,
                QStringLiteral("Mannschaft erschien verspätet; Wertung nach Beschluss des Sportausschusses"));
            data.adjustment(0, round, 3, 1,
                            QStringLiteral("Gutschrift wegen Störung der elektronischen Trefferanzeige am Stand 4"));
        }
        ASSERT_TRUE(transaction.commit());
        CRSWettbewerb title(comp.db(), &comp.doc());
        title.SetTitle(QStringLiteral("Rundenwettkampf des Schützengaus Größenwörth-Überlingen 2025/2026"));
    }
};

TEST_F(OverlapTest, NoTwoTextsShareRoomOnAnyPrintedPage)
{
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < kOutputCount; ++i) {
            OutputOverrides o;
            o.round = round;
            o.outputs.emplace();
            (*o.outputs)[i] = true;
            o.plans = std::array<bool, kPlanCount>{true};
            o.platz = 100;
            o.klasse = RankingClassMode::Participant;
            const PrintJob job(comp.doc(), loadOutputSettings(comp.doc(), o));
            ASSERT_GT(job.totalPages(), 0) << outputKey(static_cast<Output>(i)).toStdString();
            test::TextBoxPage page;
            for (int n = 1; n <= job.totalPages(); ++n) {
                page.clear();
                ASSERT_TRUE(test::paintJobPage(job, page, n));
                EXPECT_GT(page.boxes().size(), 3U);
                for (const auto& [a, b] : test::overlappingTexts(page.boxes())) {
                    ADD_FAILURE() << outputKey(static_cast<Output>(i)).toStdString() << " round " << round + 1
                                  << " page " << n << ": \"" << a.text.toStdString() << "\" and \""
                                  << b.text.toStdString() << "\"";
                }
                // Shortened texts keep their start and end with the ellipsis.
                for (const test::TextBox& box : page.boxes())
                    EXPECT_LE(box.box.right(), page.width()) << box.text.toStdString();
            }
        }
    }
}

// The largest forms: 20 shooters a team, from three series to six.
TEST_F(OverlapTest, ReportFormsOfTheLargestTeamsKeepTextsApart)
{
    ASSERT_TRUE(comp.db()->execute(R"(UPDATE "Gruppe" SET "Anzahl" = 20)"));
    for (int series = 3; series <= kMaxSeries; ++series) {
        OutputOverrides o;
        o.outputs.emplace();
        (*o.outputs)[static_cast<int>(Output::Bericht)] = true;
        o.series = series;
        const PrintJob job(comp.doc(), loadOutputSettings(comp.doc(), o));
        ASSERT_EQ(job.totalPages(), 4);
        test::TextBoxPage page;
        ASSERT_TRUE(test::paintJobPage(job, page, 1));
        // Both tables reach their last row, and only the three texts of the footer lie below its rule.
        int rowNumbers = 0;
        int belowRule = 0;
        for (const test::TextBox& box : page.boxes()) {
            rowNumbers += box.text == QStringLiteral("20.") ? 1 : 0;
            belowRule += box.box.bottom() > page.height() - 3 * page.height() / 100 ? 1 : 0;
        }
        EXPECT_EQ(rowNumbers, 2);
        EXPECT_EQ(belowRule, 3);
        for (const auto& [a, b] : test::overlappingTexts(page.boxes()))
            ADD_FAILURE() << series << " series: \"" << a.text.toStdString() << "\" and \"" << b.text.toStdString()
                          << "\"";
    }
}

// Every team of the dated round waits for its result: long names, captains and phones side by side.
TEST_F(OverlapTest, MissingResultsKeepTextsApart)
{
    ASSERT_TRUE(comp.db()->execute(R"(DELETE FROM "Wettkampf")"));
    OutputOverrides o;
    o.outputs.emplace();
    (*o.outputs)[static_cast<int>(Output::Ausstehend)] = true;
    o.reference = QDate(2025, 12, 1);
    const PrintJob job(comp.doc(), loadOutputSettings(comp.doc(), o));
    ASSERT_EQ(job.totalPages(), 1);
    test::TextBoxPage page;
    ASSERT_TRUE(test::paintJobPage(job, page, 1));
    int phones = 0;
    for (const test::TextBox& box : page.boxes())
        phones += box.text.startsWith(QStringLiteral("0931")) ? 1 : 0;
    EXPECT_EQ(phones, 8);
    for (const auto& [a, b] : test::overlappingTexts(page.boxes()))
        ADD_FAILURE() << "\"" << a.text.toStdString() << "\" and \"" << b.text.toStdString() << "\"";
}

TEST_F(OverlapTest, RoundWithoutDatePrintsNoZeroDate)
{
    OutputOverrides o;
    o.outputs.emplace();
    (*o.outputs)[static_cast<int>(Output::Termin)] = true;
    (*o.outputs)[static_cast<int>(Output::Gruppe)] = true;
    o.plans = std::array<bool, kPlanCount>{true};
    const PrintJob job(comp.doc(), loadOutputSettings(comp.doc(), o));
    test::TextBoxPage page;
    QStringList texts;
    for (int n = 1; n <= job.totalPages(); ++n)
        ASSERT_TRUE(test::paintJobPage(job, page, n));
    for (const test::TextBox& box : page.boxes())
        texts << box.text;
    const QString all = texts.join(QLatin1Char('|'));
    EXPECT_FALSE(all.contains(QStringLiteral("0.00.0000"))) << all.toStdString();
    // The dated round keeps its date on both outputs; the other shows only its number.
    EXPECT_TRUE(texts.contains(QStringLiteral("1:  26.09.2025 19:30")));
    EXPECT_TRUE(texts.contains(QStringLiteral("2:")));
    EXPECT_TRUE(texts.contains(QStringLiteral("26.09.2025")));
}

} // namespace
} // namespace torvm
