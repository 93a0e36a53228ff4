#include "output/OutputPages.h"
#include "output/Ranking.h"
#include "output/TextExport.h"

#include "LeagueData.h"
#include "db/Tables.h"
#include "support/Fixtures.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace torvm {
namespace {

// One group of class 1 ("Schützenklasse") with two teams; rings per round (0 = not shot):
//                         round 1  round 2  round 3
//   101 Huber Anna  SV Tell  190      186      187
//   102 Maier Sepp  SV Tell  185      191        0
//   103 Dr. Weiß    SG Weiß  188      188      188
//   104 Öztürk Ali  SG Weiß    0      192      190
//   105 Lang Eva    SG Weiß    -      190      192
class SeasonRankingTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::LeagueData data{*comp.db()};

    void SetUp() override
    {
        data.exec("UPDATE Klasse SET Name = 'Schützenklasse' WHERE KlasseID = 1");
        data.exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), (11, 'SG Weiß')");
        data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Klasse, Verein01, VNr01, Verein02, VNr02) VALUES "
                  "(0, 'Gauliga', 2, 0, 1, 10, '1', 11, '1')");
        data.exec("INSERT INTO Teilnehmer (Paßnummer, Titel, Name, Vorname, Klasse, Verein) VALUES "
                  "(101, NULL, 'Huber', 'Anna', 2, 10), (102, NULL, 'Maier', 'Sepp', 2, 10), "
                  "(103, 'Dr.', 'Weiß', 'Jörg', 3, 11), (104, NULL, 'Öztürk', 'Ali', 3, 11), "
                  "(105, NULL, 'Lang', 'Eva', 3, 11)");
        data.shooters(0, 0, 1, {190, 185}, {101, 102});
        data.shooters(0, 0, 2, {188, 0}, {103, 104});
        data.shooters(0, 1, 1, {186, 191}, {101, 102});
        data.shooters(0, 1, 2, {188, 192, 190}, {103, 104, 105});
        data.shooters(0, 2, 1, {187, 0}, {101, 102});
        data.shooters(0, 2, 2, {188, 190, 192}, {103, 104, 105});
    }

    OutputSettings settings(int round, int mindestens, RankingClassMode mode = RankingClassMode::Group)
    {
        OutputOverrides o;
        o.round = round;
        o.outputs.emplace();
        (*o.outputs)[static_cast<int>(Output::Gesamt)] = true;
        o.mindestens = mindestens;
        o.klasse = mode;
        return loadOutputSettings(comp.doc(), o);
    }
};

TEST_F(SeasonRankingTest, TextSectionIsDerivedByHand)
{
    struct Case {
        int round;
        int mindestens;
        const char* expected;
    };
    const Case cases[] = {
        // Averages 191,0 191,0 188,0 188,0 187,7: equal average, total and best share the label;
        // equal averages are ordered by total.
        {2, 1,
         "\r\nGesamtwertung / 1. - 3. Durchgang\r\n\r\nSchützenklasse\r\n"
         "  1.\tÖztürk Ali\tSG Weiß 1\t 2\t   382\t 191,0\t   192\r\n"
         "\tLang Eva\tSG Weiß 1\t 2\t   382\t 191,0\t   192\r\n"
         "  3.\tDr. Weiß Jörg\tSG Weiß 1\t 3\t   564\t 188,0\t   188\r\n"
         "  4.\tMaier Sepp\tSV Tell 1\t 2\t   376\t 188,0\t   191\r\n"
         "  5.\tHuber Anna\tSV Tell 1\t 3\t   563\t 187,7\t   190\r\n"},
        // Only who shot all three rounds.
        {2, 3,
         "\r\nGesamtwertung / 1. - 3. Durchgang\r\n\r\nSchützenklasse\r\n"
         "  1.\tDr. Weiß Jörg\tSG Weiß 1\t 3\t   564\t 188,0\t   188\r\n"
         "  2.\tHuber Anna\tSV Tell 1\t 3\t   563\t 187,7\t   190\r\n"},
        // The first round alone: 104 had no rings and is not listed.
        {0, 1,
         "\r\nGesamtwertung / 1. Durchgang\r\n\r\nSchützenklasse\r\n"
         "  1.\tHuber Anna\tSV Tell 1\t 1\t   190\t 190,0\t   190\r\n"
         "  2.\tDr. Weiß Jörg\tSG Weiß 1\t 1\t   188\t 188,0\t   188\r\n"
         "  3.\tMaier Sepp\tSV Tell 1\t 1\t   185\t 185,0\t   185\r\n"},
        // Nobody shot four rounds: the heading alone.
        {2, 4, "\r\nGesamtwertung / 1. - 3. Durchgang\r\n"},
    };
    for (const Case& c : cases) {
        const auto text = sectionText(comp.doc(), settings(c.round, c.mindestens), Output::Gesamt);
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(text->toStdString(), c.expected) << "round " << c.round + 1 << ", mindestens " << c.mindestens;
    }
}

TEST_F(SeasonRankingTest, ClassesComeFromTheSameSourceAsTheIndividualRanking)
{
    const SeasonRanking byParticipant = ComputeSeasonRanking(comp.doc(), 2, 1, RankingClassMode::Participant);
    ASSERT_EQ(byParticipant.classes.size(), 2U);
    EXPECT_EQ(byParticipant.classes[0].index, 2);
    EXPECT_EQ(byParticipant.classes[0].rows.size(), 2U);
    EXPECT_EQ(byParticipant.classes[1].index, 3);
    EXPECT_EQ(byParticipant.classes[1].rows.size(), 3U);

    const SeasonRanking none = ComputeSeasonRanking(comp.doc(), 2, 1, RankingClassMode::None);
    ASSERT_EQ(none.classes.size(), 1U);
    EXPECT_EQ(none.classes[0].index, 0);
    EXPECT_TRUE(none.classes[0].name.isEmpty());
}

TEST(SeasonRowTest, AverageHasOneDecimalWithAGermanComma)
{
    struct Case {
        int rounds;
        std::int64_t total;
        const char* expected;
    };
    for (const Case& c : {Case{3, 563, "187,7"}, Case{2, 375, "187,5"}, Case{3, 562, "187,3"}, Case{1, 9, "9,0"},
                          Case{4, 1, "0,3"}, Case{0, 0, "0,0"}}) {
        SeasonRow row;
        row.rounds = c.rounds;
        row.total = c.total;
        EXPECT_EQ(row.average().toStdString(), c.expected) << c.total << " / " << c.rounds;
    }
}

TEST_F(SeasonRankingTest, StoredChoicesLeaveTheTextExportAsBefore)
{
    // Nothing chosen for the season ranking: the file ends with the participant list, as ever.
    OutputOverrides o;
    o.outputs.emplace();
    (*o.outputs)[static_cast<int>(Output::Verein)] = true;
    const OutputSettings stored = loadOutputSettings(comp.doc(), o);
    EXPECT_FALSE(stored.chosen(Output::Gesamt));
    EXPECT_EQ(loadOutputSettings(comp.doc()).mindestens, 1);
    QBuffer plain;
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    ASSERT_TRUE(writeTextExport(comp.doc(), stored, plain));
    EXPECT_EQ(plain.data(), QByteArray("Velmarik Wettkampfverwaltung\r\n\r\n\r\n\r\n\r\nVereine\r\n\r\n"
                                       "10\tSV Tell\r\n11\tSG Wei\xDF\r\n"));

    // The section comes after every other one; UTF-8 on request.
    OutputSettings both = stored;
    both.outputs[static_cast<int>(Output::Gesamt)] = true;
    both.round = 0;
    QBuffer utf8;
    ASSERT_TRUE(utf8.open(QIODevice::WriteOnly));
    ASSERT_TRUE(writeTextExport(comp.doc(), both, utf8, TextEncoding::Utf8));
    const QString text = QString::fromUtf8(utf8.data());
    EXPECT_TRUE(text.startsWith(QStringLiteral("Velmarik Wettkampfverwaltung\r\n\r\n\r\n\r\n\r\nVereine\r\n\r\n"
                                               "10\tSV Tell\r\n11\tSG Weiß\r\n\r\nGesamtwertung / 1. Durchgang")))
        << text.toStdString();
}

TEST_F(SeasonRankingTest, PagesPerClassAndLongClassesContinue)
{
    const GesamtPage few(comp.doc(), settings(2, 1, RankingClassMode::Participant));
    EXPECT_EQ(few.pageCount(), 2); // classes 2 and 3

    // 120 more shooters in class 3: 123 rows on the 75-line grid, 73 rows a page below the headings.
    Transaction transaction(*comp.db());
    for (int i = 0; i < 120; ++i) {
        Statement st =
            comp.db()->prepare(R"(INSERT INTO "Teilnehmer" ("Paßnummer", "Name", "Klasse") VALUES (?, ?, 3))");
        st.bind(1, std::int64_t{1000 + i});
        st.bind(2, QStringLiteral("Schütze %1").arg(i));
        ASSERT_TRUE(st.exec());
        data.insert(resultKey(0, 0, 3 + i / 20, 1 + i % 20), 1000 + i, 0, 100 + i, 0, QString());
    }
    ASSERT_TRUE(transaction.commit());
    const GesamtPage many(comp.doc(), settings(2, 1, RankingClassMode::Participant));
    EXPECT_EQ(many.pageCount(), 1 + 2);
}

} // namespace
} // namespace torvm
