#include "output/TextExport.h"
#include "output/Windows1252.h"

#include "LeagueData.h"
#include "db/Tables.h"
#include "support/Fixtures.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace torvm {
namespace {

// Group "Gauliga" of four teams, two counting shooters, plan 0 ("Vorrunde") with two rounds:
//   round 1 (26.09.2025 19:30): SV Tell 1 - SG Weiß 1, FSG Au 2 - KSV Öd 1
//   round 2 (3.10.2025 19:30):  SV Tell 1 - FSG Au 2, KSV Öd 1 - SG Weiß 1
class TextExportTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::LeagueData data{*comp.db()};

    void SetUp() override
    {
        data.exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), (11, 'SG Weiß'), "
                  "(12, 'FSG Au'), (13, 'KSV Öd')");
        data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01, MFuehrer01, PLZ01, Ort01, Strasse01, "
                  "Telefon01, Verein02, VNr02, Verein03, VNr03, Verein04, VNr04) VALUES (0, 'Gauliga', 2, 0, 10, '1', "
                  "'Hans Huber', '84453', 'Mühldorf', 'Am Anger 3', '08631 1234', 11, '1', 12, '2', 13, '1')");
        data.exec(
            "INSERT INTO Plan (PlanID, Name, Datum1, A1, B1, A2, B2) VALUES "
            "(0, 'Vorrunde', '2025-09-26 19:30:00', 1, 2, 3, 4), (1, 'Vorrunde', '2025-10-03 19:30:00', 1, 3, 4, 2)");
        data.exec("INSERT INTO Teilnehmer (Paßnummer, Titel, Name, Vorname, Zusatz, Klasse, Verein, Geburtstag) VALUES "
                  "(101, NULL, 'Huber', 'Anna', NULL, 2, 10, '1990-03-07 00:00:00'), "
                  "(102, NULL, 'Maier', 'Sepp', NULL, 1, 10, NULL), "
                  "(103, 'Dr.', 'Weiß', 'Jörg', 'jun.', 1, 12, NULL), "
                  "(104, NULL, 'Öztürk', 'Ali', NULL, 1, 99, NULL)");
        // Round 1: 375 : 378 (SG Weiß 1 loses a point for being late), 361 : 361.
        data.shooters(0, 0, 1, {190, 185});
        data.shooters(0, 0, 2, {188, 190});
        data.adjustment(0, 0, 2, -1, QStringLiteral("verspätet"));
        data.shooters(0, 0, 3, {180, 181});
        data.shooters(0, 0, 4, {175, 186});
        // Round 2: 381 : 370; KSV Öd 1 - SG Weiß 1 not shot yet.
        data.shooters(0, 1, 1, {191, 190}, {101, 102});
        data.shooters(0, 1, 3, {185, 185}, {103, 104});
        data.adjustment(0, 1, 4, 0, QStringLiteral("Termin verlegt"));
        CRSWettbewerb title(comp.db(), &comp.doc());
        title.SetTitle(QStringLiteral("Rundenwettkampf 2025"));
    }

    OutputSettings settings(std::initializer_list<Output> outputs, int round = 1)
    {
        OutputOverrides o;
        o.round = round;
        o.outputs.emplace();
        for (const Output output : outputs)
            (*o.outputs)[static_cast<int>(output)] = true;
        o.klasse = RankingClassMode::Participant;
        return loadOutputSettings(comp.doc(), o);
    }

    QString section(const OutputSettings& s, Output output)
    {
        const std::optional<QString> text = sectionText(comp.doc(), s, output);
        EXPECT_TRUE(text.has_value());
        return text.value_or(QString());
    }

    QByteArray file(const OutputSettings& s)
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(writeTextExport(comp.doc(), s, buffer));
        return buffer.data();
    }
};

// After round 2: SV Tell 1 2:2 (756), FSG Au 2 1:3 (731), SG Weiß 1 1:0 (378), KSV Öd 1 1:1 (361).
const QString kTabelleRound2 = QStringLiteral("\r\n"
                                              "2.Durchgang\r\n"
                                              "\r\n"
                                              "Gauliga\r\n"
                                              "\r\n"
                                              "SV Tell 1 - FSG Au 2\t381 - 370\r\n"
                                              "KSV Öd 1 - SG Weiß 1\t0 - 0\t*\r\n"
                                              "\r\n"
                                              "* - Termin verlegt\r\n"
                                              "\r\n"
                                              "\r\n"
                                              " 1. SV Tell 1\t  2\t  2 :   2\t   756\r\n"
                                              " 2. FSG Au 2\t  2\t  1 :   3\t   731\r\n"
                                              "    SG Weiß 1\t  1\t  1 :   0\t   378\r\n"
                                              "    KSV Öd 1\t  1\t  1 :   1\t   361\r\n"
                                              "\r\n");

const QString kEinzelRound2 = QStringLiteral("\r\n"
                                             "Einzelwertung / 2. Durchgang\r\n"
                                             "\r\n"
                                             "Schützenklasse\r\n"
                                             "  1.\tMaier Sepp\tSV Tell 1\t   190\r\n"
                                             "  2.\tDr. Weiß Jörg jun.\tFSG Au 2\t   185\r\n"
                                             "\tÖztürk Ali\tFSG Au 2\t   185\r\n"
                                             "\r\n"
                                             "Damenklasse\r\n"
                                             "  1.\tHuber Anna\tSV Tell 1\t   191\r\n");

const QString kVereine = QStringLiteral("\r\n"
                                        "Vereine\r\n"
                                        "\r\n"
                                        "10\tSV Tell\r\n"
                                        "11\tSG Weiß\r\n"
                                        "12\tFSG Au\r\n"
                                        "13\tKSV Öd\r\n");

TEST_F(TextExportTest, LeagueTableSection)
{
    EXPECT_EQ(section(settings({Output::Tabelle}), Output::Tabelle), kTabelleRound2);
}

TEST_F(TextExportTest, LeagueTableSectionOfRoundOneWithOptionsCleared)
{
    struct Case {
        bool ergebnis, tabelle;
        QString expected;
    };
    const QString head = QStringLiteral("\r\n1.Durchgang\r\n\r\nGauliga\r\n\r\n");
    const QString results = QStringLiteral("SV Tell 1 - SG Weiß 1\t375 - 378\t*\r\nFSG Au 2 - KSV Öd 1\t361 - 361\r\n");
    const QString remarks = QStringLiteral("\r\n* - verspätet\r\n\r\n");
    // Weiß 1:0 (won, then lost a point) 378, Öd and Au 1:1 361 (equal: higher slot first),
    // Tell 0:2 375.
    const QString standings = QStringLiteral(" 1. SG Weiß 1\t  1\t  1 :   0\t   378\r\n"
                                             "    KSV Öd 1\t  1\t  1 :   1\t   361\r\n"
                                             "    FSG Au 2\t  1\t  1 :   1\t   361\r\n"
                                             " 4. SV Tell 1\t  1\t  0 :   2\t   375\r\n"
                                             "\r\n");
    for (const Case& c : {Case{true, true, head + results + remarks + QStringLiteral("\r\n") + standings},
                          Case{true, false, head + results + remarks + QStringLiteral("\r\n")},
                          Case{false, true, head + remarks + standings}, Case{false, false, head + remarks}}) {
        SCOPED_TRACE(testing::Message() << c.ergebnis << c.tabelle);
        OutputSettings s = settings({Output::Tabelle}, 0);
        s.ergebnis = c.ergebnis;
        s.tabelle = c.tabelle;
        EXPECT_EQ(section(s, Output::Tabelle), c.expected);
    }
}

TEST_F(TextExportTest, IndividualRankingSection)
{
    EXPECT_EQ(section(settings({Output::Einzel}), Output::Einzel), kEinzelRound2);
}

TEST_F(TextExportTest, IndividualRankingOfARoundWithoutResultsIsItsHeadingOnly)
{
    EXPECT_EQ(section(settings({Output::Einzel}, 5), Output::Einzel),
              QStringLiteral("\r\nEinzelwertung / 6. Durchgang\r\n"));
}

TEST_F(TextExportTest, GroupSheetSection)
{
    const QString expected = QStringLiteral("\r\n"
                                            "Gauliga\r\n"
                                            "\r\n"
                                            "SV Tell 1\tHans Huber, 84453 Mühldorf, Am Anger 3\t08631 1234\r\n"
                                            "SG Weiß 1\t\t\r\n"
                                            "FSG Au 2\t\t\r\n"
                                            "KSV Öd 1\t\t\r\n"
                                            "\r\n"
                                            "26.09.2025\r\n"
                                            "SV Tell 1 - SG Weiß 1\r\n"
                                            "FSG Au 2 - KSV Öd 1\r\n"
                                            "\r\n"
                                            "3.10.2025\r\n"
                                            "SV Tell 1 - FSG Au 2\r\n"
                                            "KSV Öd 1 - SG Weiß 1\r\n"
                                            "\r\n"
                                            "\r\n");
    EXPECT_EQ(section(settings({Output::Gruppe}), Output::Gruppe), expected);
}

TEST_F(TextExportTest, FixtureScheduleSection)
{
    OutputSettings s = settings({Output::Termin});
    s.plans = {true, false, false, false, false};
    const QString expected = QStringLiteral("Vorrunde - Terminplan\r\n"
                                            "\r\n"
                                            "1:  26.09.2025 19:30\r\n"
                                            "1   -   2\r\n"
                                            "3   -   4\r\n"
                                            "\r\n"
                                            "2:   3.10.2025 19:30\r\n"
                                            "1   -   3\r\n"
                                            "4   -   2\r\n"
                                            "\r\n"
                                            "\r\n");
    EXPECT_EQ(section(s, Output::Termin), expected);
}

TEST_F(TextExportTest, ParticipantListSortedByNumberOrName)
{
    const QString byNumber = QStringLiteral("\r\nTeilnehmerliste\r\n\r\n"
                                            "101\tHuber Anna\tSV Tell\t07.03.1990\tDamenklasse\r\n"
                                            "102\tMaier Sepp\tSV Tell\t\tSchützenklasse\r\n"
                                            "103\tDr. Weiß Jörg jun.\tFSG Au\t\tSchützenklasse\r\n"
                                            "104\tÖztürk Ali\t\t\tSchützenklasse\r\n");
    OutputSettings s = settings({Output::Teilnehmer});
    EXPECT_EQ(section(s, Output::Teilnehmer), byNumber);
    data.exec("UPDATE Teilnehmer SET Name = 'Huber', Vorname = 'Aaron' WHERE Paßnummer = 104");
    s.sort = 1;
    const QString byName = QStringLiteral("\r\nTeilnehmerliste\r\n\r\n"
                                          "104\tHuber Aaron\t\t\tSchützenklasse\r\n"
                                          "101\tHuber Anna\tSV Tell\t07.03.1990\tDamenklasse\r\n"
                                          "102\tMaier Sepp\tSV Tell\t\tSchützenklasse\r\n"
                                          "103\tDr. Weiß Jörg jun.\tFSG Au\t\tSchützenklasse\r\n");
    EXPECT_EQ(section(s, Output::Teilnehmer), byName);
}

// By name in German order: "Ö" as "O", so Öztürk comes before Weiß, not after Zimmermann.
TEST_F(TextExportTest, ParticipantListByNameInGermanOrder)
{
    data.exec("INSERT INTO Teilnehmer (Paßnummer, Name, Vorname, Klasse) VALUES (105, 'Zimmermann', 'Eva', 1)");
    OutputSettings s = settings({Output::Teilnehmer});
    s.sort = 1;
    EXPECT_EQ(section(s, Output::Teilnehmer), QStringLiteral("\r\nTeilnehmerliste\r\n\r\n"
                                                             "101\tHuber Anna\tSV Tell\t07.03.1990\tDamenklasse\r\n"
                                                             "102\tMaier Sepp\tSV Tell\t\tSchützenklasse\r\n"
                                                             "104\tÖztürk Ali\t\t\tSchützenklasse\r\n"
                                                             "103\tDr. Weiß Jörg jun.\tFSG Au\t\tSchützenklasse\r\n"
                                                             "105\tZimmermann Eva\t\t\tSchützenklasse\r\n"));
}

TEST_F(TextExportTest, FileHasTheHeaderAndTheSectionsInTheFixedOrder)
{
    const QString expected = QStringLiteral("Velmarik Wettkampfverwaltung\r\n\r\nRundenwettkampf 2025\r\n\r\n") +
                             kTabelleRound2 + kEinzelRound2 + kVereine;
    EXPECT_EQ(file(settings({Output::Verein, Output::Einzel, Output::Tabelle})), toWindows1252(expected));
}

TEST_F(TextExportTest, WritesWindows1252Bytes)
{
    const QByteArray bytes = file(settings({Output::Verein}));
    EXPECT_TRUE(bytes.contains("11\tSG Wei\xdf\r\n"));
    EXPECT_TRUE(bytes.contains("13\tKSV \xd6\x64\r\n"));
    EXPECT_FALSE(bytes.contains("\xc3")); // no UTF-8 lead byte anywhere
}

TEST(Windows1252Test, MapsTheCodePage)
{
    struct Case {
        QString text;
        QByteArray bytes;
    };
    for (const Case& c : {Case{QStringLiteral("Schützenstraße"), QByteArray("Sch\xfctzenstra\xdf\x65")},
                          Case{QStringLiteral("ÄÖÜäöü"), QByteArray("\xc4\xd6\xdc\xe4\xf6\xfc")},
                          Case{QStringLiteral("5 € – „gut“"), QByteArray("5 \x80 \x96 \x84gut\x93")},
                          Case{QStringLiteral("Łódź"), QByteArray("?\xf3\x64?")},
                          Case{QString(QChar(0x81)), QByteArray("?")}, Case{QStringLiteral("a😀b"), QByteArray("a?b")},
                          // Every defined byte of 0x80 ... 0x9F, and the five the code page leaves undefined.
                          Case{QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"),
                               QByteArray("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c\x8e"
                                          "\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9a\x9b\x9c\x9e\x9f")},
                          Case{QString::fromUcs4(U"\u0081\u008d\u008f\u0090\u009d"), QByteArray("?????")}}) {
        EXPECT_EQ(toWindows1252(c.text), c.bytes) << c.text.toStdString();
    }
}

TEST_F(TextExportTest, StoredSettingsAndTheirDefaults)
{
    OutputSettings s = loadOutputSettings(comp.doc());
    EXPECT_EQ(s.round, 0);
    EXPECT_EQ(s.outputs, (std::array<bool, kOutputCount>{}));
    EXPECT_TRUE(s.ergebnis);
    EXPECT_TRUE(s.tabelle);
    EXPECT_EQ(s.platz, 10);
    EXPECT_EQ(s.klasse, RankingClassMode::Group);
    EXPECT_EQ(s.sort, 0);
    EXPECT_EQ(totalPageCount(comp.doc(), s), 0);

    CProfileTable profile(comp.db(), &comp.doc());
    ASSERT_TRUE(profile.WriteInt(QStringLiteral("VMPrintAll"), QStringLiteral("Durchgang"), 1));
    ASSERT_TRUE(profile.WriteInt(QStringLiteral("VMPrintAll"), QStringLiteral("Tabelle"), 1));
    ASSERT_TRUE(profile.WriteInt(QStringLiteral("VMPrintAll"), QStringLiteral("Verein"), 1));
    ASSERT_TRUE(profile.WriteInt(QStringLiteral("PrintTabelle"), QStringLiteral("Ergebnis"), 0));
    ASSERT_TRUE(profile.WriteInt(QStringLiteral("PrintEinzel"), QStringLiteral("Platz"), 500000));
    ASSERT_TRUE(profile.WriteInt(QStringLiteral("PrintEinzel"), QStringLiteral("Klasse"), 2));
    s = loadOutputSettings(comp.doc());
    EXPECT_EQ(s.round, 1);
    EXPECT_TRUE(s.chosen(Output::Tabelle));
    EXPECT_TRUE(s.chosen(Output::Verein));
    EXPECT_FALSE(s.chosen(Output::Einzel));
    EXPECT_FALSE(s.ergebnis);
    EXPECT_EQ(s.platz, 100000);
    EXPECT_EQ(s.klasse, RankingClassMode::None);
    EXPECT_EQ(totalPageCount(comp.doc(), s), 1 + 1); // one group, four clubs on one page

    OutputOverrides o;
    o.ergebnis = true;
    o.groups = std::vector<int>{};
    s = loadOutputSettings(comp.doc(), o);
    EXPECT_TRUE(s.ergebnis);
    EXPECT_EQ(outputPageCount(comp.doc(), s, Output::Tabelle), 0);
}

} // namespace
} // namespace torvm
