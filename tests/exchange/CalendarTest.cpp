#include "exchange/Calendar.h"

#include "db/Recordsets.h"
#include "output/LeagueData.h"
#include "support/Fixtures.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace torvm {
namespace {

// One group of three teams of two clubs on plan 0: round 1 dated, round 2 without a date, round 3
// late on New Year's Eve; a second group without teams.
class CalendarTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::LeagueData data{*comp.db()};

    void SetUp() override
    {
        CRSWettbewerb title(comp.db(), &comp.doc());
        title.SetTitle(QStringLiteral("Rundenwettkampf 2025"));
        data.exec("INSERT INTO Verein (Vereinsnummer, Name, Strasse, PLZ, Ort) VALUES "
                  "(10, 'SV Tell', 'Hauptstr. 1', '80331', 'München'), (11, 'SG Weiß, Blau; Grün', '', '', '')");
        data.exec(
            "INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01, Verein02, VNr02, Verein03, VNr03) "
            "VALUES (0, 'Kreisliga Nord', 2, 0, 10, '1', 11, '1', 10, '2'), (1, 'Leer', 2, 1, 0, '', 0, '', 0, '')");
        data.exec("INSERT INTO Plan (PlanID, Name, Datum1, A1, B1, A2, B2) VALUES "
                  "(0, 'P', '2025-09-26 19:30:00', 1, 2, 3, 0), (1, 'P', NULL, 3, 1, 0, 0), "
                  "(2, 'P', '2025-12-31 23:00:00', 2, 3, 0, 0)");
    }

    QByteArray written(const FixtureCalendar& calendar, int minutes, const QDateTime& stamp)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(writeCalendar(buffer, calendar, QStringLiteral("Liga"), minutes, stamp));
        return bytes;
    }
};

TEST_F(CalendarTest, EveryPairingOfTwoCountingTeamsBecomesAnEventAtTheHomeClub)
{
    const FixtureCalendar calendar = collectFixtureCalendar(comp.doc());
    ASSERT_TRUE(calendar.ok) << calendar.error.toStdString();
    struct Expected {
        int round;
        const char* summary;
        const char* location;
        bool dated;
    };
    const Expected expected[] = {
        {0, "SV Tell 1 – SG Weiß, Blau; Grün 1 (Kreisliga Nord)", "SV Tell, Hauptstr. 1, 80331 München", true},
        {1, "SV Tell 2 – SV Tell 1 (Kreisliga Nord)", "SV Tell, Hauptstr. 1, 80331 München", false},
        {2, "SG Weiß, Blau; Grün 1 – SV Tell 2 (Kreisliga Nord)", "SG Weiß, Blau; Grün", true},
    };
    ASSERT_EQ(calendar.events.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const FixtureEvent& e = calendar.events[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(e.round, expected[i].round);
        EXPECT_EQ(e.summary, QString::fromUtf8(expected[i].summary));
        EXPECT_EQ(e.location, QString::fromUtf8(expected[i].location));
        EXPECT_EQ(e.description, QStringLiteral("Gruppe: Kreisliga Nord\n%1. Durchgang").arg(expected[i].round + 1));
        EXPECT_EQ(e.start.isValid(), expected[i].dated);
        EXPECT_TRUE(e.uid.endsWith(QStringLiteral("-g1-d%1-p1@torvm.velmarik.de").arg(expected[i].round + 1)));
    }
    EXPECT_EQ(calendar.groupNames.size(), 2u);
    EXPECT_EQ(calendar.undatedRounds(), 1);
    EXPECT_EQ(calendar.datedEvents(), 2);
    EXPECT_EQ(calendar.ofClub(11).events.size(), 2u);
    EXPECT_EQ(calendar.ofClub(10).events.size(), 3u);
    EXPECT_TRUE(calendar.ofGroup(1).events.empty());
}

// Subscribed calendars match events by UID: it survives a new date and a new export, and only a
// new competition title gives new ones.
TEST_F(CalendarTest, UidsStayWhenDatesChangeAndDifferPerCompetition)
{
    const FixtureCalendar before = collectFixtureCalendar(comp.doc());
    data.exec("UPDATE Plan SET Datum1 = '2025-09-27 18:00:00' WHERE PlanID = 0");
    const FixtureCalendar after = collectFixtureCalendar(comp.doc());
    CRSWettbewerb title(comp.db(), &comp.doc());
    title.SetTitle(QStringLiteral("Rundenwettkampf 2026"));
    const FixtureCalendar next = collectFixtureCalendar(comp.doc());
    ASSERT_EQ(after.events.size(), before.events.size());
    for (std::size_t i = 0; i < before.events.size(); ++i) {
        EXPECT_EQ(after.events[i].uid, before.events[i].uid);
        EXPECT_NE(next.events[i].uid, before.events[i].uid);
        if (i > 0) {
            EXPECT_NE(before.events[i].uid, before.events[i - 1].uid);
        }
    }
}

TEST_F(CalendarTest, FileHoldsTheDatedEventsInBerlinTimeWithARisingRevision)
{
    const FixtureCalendar calendar = collectFixtureCalendar(comp.doc());
    const QDateTime stamp(QDate(2025, 8, 1), QTime(12, 0), Qt::UTC);
    const QByteArray file = written(calendar, 90, stamp);
    EXPECT_TRUE(file.startsWith("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"));
    EXPECT_TRUE(file.endsWith("END:VEVENT\r\nEND:VCALENDAR\r\n"));
    EXPECT_EQ(file.count("BEGIN:VEVENT"), 2);
    EXPECT_EQ(file.count("TZID:Europe/Berlin\r\n"), 1);
    EXPECT_TRUE(file.contains("DTSTART;TZID=Europe/Berlin:20250926T193000\r\n"
                              "DTEND;TZID=Europe/Berlin:20250926T210000\r\n"));
    EXPECT_TRUE(file.contains("DTSTART;TZID=Europe/Berlin:20251231T230000\r\n"
                              "DTEND;TZID=Europe/Berlin:20260101T003000\r\n"));
    EXPECT_TRUE(file.contains("DTSTAMP:20250801T120000Z\r\n"));
    EXPECT_TRUE(file.contains("SUMMARY:SV Tell 1 – SG Weiß\\, Blau\\; Grün 1 (Kreisliga Nord)\r\n"));
    EXPECT_TRUE(file.contains("DESCRIPTION:Gruppe: Kreisliga Nord\\n1. Durchgang\r\n"));
    EXPECT_FALSE(file.contains("2. Durchgang"));
    // Minutes since 2020: one export a day later is 1440 revisions on.
    EXPECT_TRUE(file.contains("SEQUENCE:2936880\r\n"));
    EXPECT_TRUE(written(calendar, 90, stamp.addDays(1)).contains("SEQUENCE:2938320\r\n"));
    for (const QByteArray& line : file.split('\n'))
        EXPECT_LE(line.size(), 76) << line.constData(); // 75 octets and the CR
}

TEST(CalendarText, EscapesAndFoldsAsTheStandardAsks)
{
    struct Case {
        const char* text;
        const char* escaped;
    };
    const Case cases[] = {
        {"a,b;c\\d", "a\\,b\\;c\\\\d"},
        {"Zeile 1\r\nZeile 2\nZeile 3", "Zeile 1\\nZeile 2\\nZeile 3"},
        {"Tab\tund\x01Steuerzeichen", "TabundSteuerzeichen"},
        {"Größe – Ü", "Größe – Ü"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(icalText(QString::fromUtf8(c.text)), QString::fromUtf8(c.escaped)) << c.text;

    EXPECT_EQ(icalFold(QByteArray(75, 'a')), QByteArray(75, 'a') + "\r\n");
    EXPECT_EQ(icalFold(QByteArray(160, 'a')),
              QByteArray(75, 'a') + "\r\n " + QByteArray(74, 'a') + "\r\n " + QByteArray(11, 'a') + "\r\n");
    // "ä" is two octets: it would straddle octet 75, so the first line ends before it.
    const QByteArray umlauts = QByteArray(74, 'x') + "äb";
    EXPECT_EQ(icalFold(umlauts), QByteArray(74, 'x') + "\r\n äb\r\n");
}

} // namespace
} // namespace torvm
