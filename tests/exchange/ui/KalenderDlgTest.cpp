// "Kalender exportieren...": whose fixtures, how long a pairing lasts, and the file it writes.
#include "exchange/ui/KalenderDlg.h"

#include "db/Recordsets.h"
#include "exchange/Calendar.h"
#include "masterdata/ui/DialogDriver.h"
#include "output/LeagueData.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QComboBox>
#include <QFile>
#include <QSpinBox>
#include <QTest>

namespace torvm::ui {
namespace {

using test::child;
using test::click;

class KalenderDlgTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::LeagueData data{*comp.db()};
    test::ScriptedPrompter prompter;
    QString target = comp.file(QStringLiteral("termine.ics"));

    void SetUp() override
    {
        CRSWettbewerb title(comp.db(), &comp.doc());
        title.SetTitle(QStringLiteral("Gauliga"));
        data.exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Tell'), (11, 'SG Au')");
        data.exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01, Verein02, VNr02, Verein03, VNr03) "
                  "VALUES (0, 'Kreisliga', 2, 0, 10, '1', 11, '1', 10, '2')");
        data.exec("INSERT INTO Plan (PlanID, Name, Datum1, A1, B1) VALUES (0, 'P', '2025-09-26 19:30:00', 1, 2), "
                  "(1, 'P', '2025-10-03 19:30:00', 3, 1), (2, 'P', NULL, 2, 3)");
    }

    QByteArray written() const
    {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

// Chosen by keyboard: the last entry is the second club; the duration is typed.
TEST_F(KalenderDlgTest, OneClubsPairingsWithTheTypedDuration)
{
    prompter.files.push_back(target);
    test::whenShown<CKalenderDlg>([](CKalenderDlg& dlg) {
        auto* choice = child<QComboBox>(&dlg, "auswahl");
        EXPECT_EQ(choice->count(), 4); // every group, the group, two clubs
        EXPECT_EQ(choice->itemText(3), QStringLiteral("Verein: SG Au"));
        QTest::keyClick(choice, Qt::Key_End);
        auto* minutes = child<QSpinBox>(&dlg, "dauer");
        EXPECT_EQ(minutes->value(), kDefaultEventMinutes);
        minutes->selectAll();
        QTest::keyClicks(minutes, QStringLiteral("90"));
        click(&dlg, "ok");
    });
    runCalendarExport(nullptr, comp.doc());

    const QByteArray file = written();
    EXPECT_EQ(file.count("BEGIN:VEVENT"), 1);
    EXPECT_TRUE(file.contains("SUMMARY:SV Tell 1 – SG Au 1 (Kreisliga)\r\n"));
    EXPECT_TRUE(file.contains("DTEND;TZID=Europe/Berlin:20250926T210000\r\n"));
    EXPECT_TRUE(file.contains("X-WR-CALNAME:Gauliga – SG Au\r\n"));
    EXPECT_EQ(loadEventMinutes(comp.doc()), 90);
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].defaultSuffix, QStringLiteral("ics"));
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("1 Termin wurde in den Kalender geschrieben.\n"
                                                           "1 Durchgang ohne Datum wurde ausgelassen.")});
}

} // namespace
} // namespace torvm::ui
