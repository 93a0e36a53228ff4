#include "results/ui/WettkampfDlg.h"
#include "db/Recordsets.h"
#include "db/Settings.h"
#include "masterdata/ui/DialogDriver.h"
#include "masterdata/ui/TeilnehmerCombo.h"
#include "results/CompetitionRules.h"
#include "results/ui/PunkteDlg.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>

namespace torvm::ui {
namespace {

using test::child;
using test::click;

class WettkampfDlgTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::ScriptedPrompter prompter;
    Database& db() { return *comp.db(); }

    void exec(const char* sql) { ASSERT_TRUE(db().execute(sql)) << db().lastError().text.toStdString(); }
    std::int64_t scalar(const char* sql)
    {
        Statement st = db().prepare(sql);
        EXPECT_TRUE(st.next()) << sql;
        return st.int64(0);
    }

    // Two groups of 4 shooters per team on plan 1: round 1 pairs 1-2, 3-4 and slot 5 against
    // nobody; round 2 pairs 2-3 and 4-1.
    void SetUp() override
    {
        exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (10, 'SV Nord'), (11, 'SG Süd'), (12, 'BSV West'), "
             "(13, 'KK Ost'), (14, 'SC Mitte')");
        exec("INSERT INTO Gruppe (ID, Name, Anzahl, Plan, Verein01, VNr01, Verein02, VNr02, Verein03, VNr03, "
             "Verein04, VNr04, Verein05, VNr05) VALUES (0, 'Kreisliga', 4, 1, 10, '1', 11, '1', 12, '2', 13, '1', "
             "14, '1'), (1, 'Bezirksliga', 4, 1, 11, '2', 10, '2', 0, '', 0, '', 0, '')");
        exec("INSERT INTO Plan (PlanID, Name, A1, B1, A2, B2, A3, B3) VALUES (20, 'P', 1, 2, 3, 4, 5, 0), "
             "(21, 'P', 2, 3, 4, 1, 0, 0), (22, 'P', 1, 3, 2, 4, 0, 0)");
        // Shooters 1xx belong to the club of slot 1, shooters 2xx to the club of slot 2.
        exec(
            "INSERT INTO Teilnehmer (Paßnummer, Name, Vorname, Verein) VALUES (101, 'Huber', 'Anna', 10), "
            "(102, 'Maier', 'Sepp', 10), (103, 'Gruber', 'Toni', 10), (104, 'Lang', 'Eva', 10), "
            "(201, 'Berger', 'Kim', 11), (202, 'Roth', 'Ida', 11), (203, 'Wolf', 'Ute', 11), (204, 'Kern', 'Uli', 11)");
    }

    static QLineEdit* number(QWidget* dlg, char side, int row)
    {
        return child<QLineEdit>(dlg, QStringLiteral("number%1%2").arg(QLatin1Char(side)).arg(row).toLatin1());
    }
    static QLineEdit* rings(QWidget* dlg, char side, int row)
    {
        return child<QLineEdit>(dlg, QStringLiteral("rings%1%2").arg(QLatin1Char(side)).arg(row).toLatin1());
    }
    static CTeilnehmerCombo* name(QWidget* dlg, char side, int row)
    {
        return child<CTeilnehmerCombo>(dlg, QStringLiteral("name%1%2").arg(QLatin1Char(side)).arg(row).toLatin1());
    }
    static QString label(QWidget* dlg, const char* name) { return child<QLabel>(dlg, name)->text(); }

    // Rows of both teams that can be read without scrolling.
    static int rowsInView(QWidget* dlg)
    {
        auto* scroll = child<QScrollArea>(dlg, "scroll");
        const QRect view = scroll->viewport()->rect();
        int rows = 0;
        for (int row = 1; row <= 20; ++row) {
            bool both = true;
            for (char side : {'A', 'B'}) {
                QLineEdit* field = rings(dlg, side, row);
                const QRect at(field->mapTo(scroll->viewport(), QPoint(0, 0)), field->size());
                both = both && field->isVisible() && view.contains(at);
            }
            rows += both ? 1 : 0;
        }
        return rows;
    }

    static void overtype(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    static void choose(QComboBox* box, int index)
    {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
};

TEST_F(WettkampfDlgTest, FourShootersShownAndStoredPerTeam)
{
    ASSERT_TRUE(setHighestSingleResult(&db(), &comp.doc(), 0)); // 1000 rings are no typing error here
    {
        CWettkampfDlg dlg(comp.doc());
        test::showActive(&dlg);
        EXPECT_EQ(label(&dlg, "heading"), QStringLiteral("Kreisliga"));
        EXPECT_EQ(label(&dlg, "teamA"), QStringLiteral("SV Nord 1"));
        EXPECT_EQ(label(&dlg, "teamB"), QStringLiteral("SG Süd 1"));
        for (int row = 1; row <= 20; ++row) {
            EXPECT_EQ(number(&dlg, 'A', row)->isVisible(), row <= 4) << row;
            EXPECT_EQ(rings(&dlg, 'B', row)->isVisible(), row <= 4) << row;
        }
        EXPECT_EQ(rowsInView(&dlg), 4);
        const int shooters[4] = {101, 102, 103, 104};
        const int scored[4] = {381, 377, 390, 0};
        for (int row = 1; row <= 4; ++row) {
            overtype(number(&dlg, 'A', row), QString::number(shooters[row - 1]));
            overtype(rings(&dlg, 'A', row), QString::number(scored[row - 1]));
        }
        overtype(number(&dlg, 'B', 1), QStringLiteral("201"));
        overtype(rings(&dlg, 'B', 1), QStringLiteral("1000"));
        click(&dlg, "next");
        EXPECT_EQ(dlg.pairing(), 1);
        EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().join(u'|').toStdString();
        click(&dlg, "cancel");
    }
    // Rows above the team size are not written.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf"), 10);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf WHERE ID % 100 BETWEEN 5 AND 20"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf WHERE ID IN (199, 299)"), 2);

    // Cancelled on the second pairing, so the entry reopens at the start and shows what was saved.
    CWettkampfDlg again(comp.doc());
    test::showActive(&again);
    ASSERT_EQ(again.pairing(), 0);
    EXPECT_EQ(number(&again, 'A', 3)->text(), QStringLiteral("103"));
    EXPECT_EQ(name(&again, 'A', 3)->currentText(), QStringLiteral("Gruber Toni"));
    EXPECT_EQ(rings(&again, 'A', 2)->text(), QStringLiteral("377"));
    EXPECT_EQ(label(&again, "totalA"), QStringLiteral("1148"));
    EXPECT_EQ(label(&again, "totalB"), QStringLiteral("1000"));
    click(&again, "cancel");
}

TEST_F(WettkampfDlgTest, KeyboardAloneEntersAPairingAndMovesOn)
{
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    ASSERT_EQ(QApplication::focusWidget(), number(&dlg, 'A', 1));
    for (QPushButton* b : dlg.findChildren<QPushButton*>())
        EXPECT_FALSE(b->isDefault()) << b->objectName().toStdString();
    // Tab after a number, Enter after the rings: both lead on to the next field, never out of
    // the dialog.
    for (char side : {'A', 'B'}) {
        for (int row = 1; row <= 4; ++row) {
            ASSERT_EQ(QApplication::focusWidget(), number(&dlg, side, row)) << side << row;
            QTest::keyClicks(QApplication::focusWidget(), QString::number(side == 'A' ? 100 + row : 200 + row));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            ASSERT_EQ(QApplication::focusWidget(), rings(&dlg, side, row));
            QTest::keyClicks(QApplication::focusWidget(), QString::number(side == 'A' ? 300 : 290));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
    }
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(label(&dlg, "totalA"), QStringLiteral("1200"));
    EXPECT_EQ(label(&dlg, "totalB"), QStringLiteral("1160"));
    EXPECT_EQ(name(&dlg, 'A', 2)->currentText(), QStringLiteral("Maier Sepp"));
    // After the last rings of team B comes ">": Enter there saves and shows the next pairing.
    ASSERT_EQ(QApplication::focusWidget(), child<QPushButton>(&dlg, "next"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.pairing(), 1);
    EXPECT_EQ(QApplication::focusWidget(), number(&dlg, 'A', 1));
    EXPECT_EQ(scalar("SELECT SUM(Ergebnis) FROM Wettkampf WHERE ID BETWEEN 101 AND 120"), 1200);
    EXPECT_EQ(scalar("SELECT TNr FROM Wettkampf WHERE ID = 203"), 203);
    EXPECT_TRUE(prompter.messages.empty());
    click(&dlg, "cancel");
}

TEST_F(WettkampfDlgTest, NameFollowsTheNumberAsItIsTyped)
{
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    QLineEdit* field = number(&dlg, 'A', 1);
    overtype(field, QStringLiteral("10"));
    EXPECT_EQ(name(&dlg, 'A', 1)->currentText(), QString());
    QTest::keyClicks(field, QStringLiteral("1"));
    EXPECT_EQ(name(&dlg, 'A', 1)->currentText(), QStringLiteral("Huber Anna"));
    overtype(field, QStringLiteral("0"));
    EXPECT_EQ(name(&dlg, 'A', 1)->currentText(), QString());
    // An unknown number shows no name and is kept as typed.
    overtype(field, QStringLiteral("555"));
    EXPECT_EQ(name(&dlg, 'A', 1)->currentText(), QString());
    click(&dlg, "next"); // the warning about it is answered "Trotzdem speichern"
    EXPECT_EQ(scalar("SELECT TNr FROM Wettkampf WHERE ID = 101"), 555);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.contains(QStringLiteral("Paßnummer 555 gehört zu keinem Teilnehmer")));
    click(&dlg, "cancel");
}

TEST_F(WettkampfDlgTest, TakeOverCopiesEachTeamsLineUpFromItsPreviousRound)
{
    // Round 1: slot 2 shot against slot 1 (pairing 1), slot 3 against slot 4 (pairing 2).
    exec("INSERT INTO Wettkampf (ID, TNr, Durchgang, Ergebnis) VALUES (201, 201, 0, 370), (202, 202, 0, 371), "
         "(301, 301, 0, 360), (304, 304, 0, 361)");
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    overtype(rings(&dlg, 'A', 1), QStringLiteral("5"));
    click(&dlg, "takeOver"); // the first round has nothing before it
    EXPECT_EQ(rings(&dlg, 'A', 1)->text(), QStringLiteral("5"));
    EXPECT_EQ(number(&dlg, 'B', 1)->text(), QStringLiteral("201"));

    choose(child<QComboBox>(&dlg, "round"), 1); // round 2: slot 2 against slot 3
    ASSERT_EQ(dlg.round(), 1);
    EXPECT_EQ(label(&dlg, "teamA"), QStringLiteral("SG Süd 1"));
    overtype(rings(&dlg, 'A', 1), QStringLiteral("399"));
    click(&dlg, "takeOver");
    EXPECT_EQ(number(&dlg, 'A', 1)->text(), QStringLiteral("201"));
    EXPECT_EQ(number(&dlg, 'A', 2)->text(), QStringLiteral("202"));
    EXPECT_EQ(number(&dlg, 'A', 3)->text(), QStringLiteral("0"));
    EXPECT_EQ(number(&dlg, 'B', 1)->text(), QStringLiteral("301"));
    EXPECT_EQ(number(&dlg, 'B', 4)->text(), QStringLiteral("304"));
    EXPECT_EQ(name(&dlg, 'A', 1)->currentText(), QStringLiteral("Berger Kim"));
    EXPECT_EQ(rings(&dlg, 'A', 1)->text(), QStringLiteral("0"));
    EXPECT_EQ(label(&dlg, "totalA"), QStringLiteral("0"));
    // Nothing is stored until the pairing is saved.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf WHERE Durchgang = 1"), 0);
    click(&dlg, "ok");
    EXPECT_EQ(scalar("SELECT TNr FROM Wettkampf WHERE ID = 10201"), 201);
    EXPECT_EQ(scalar("SELECT TNr FROM Wettkampf WHERE ID = 10304"), 304);
}

TEST_F(WettkampfDlgTest, OkStoresThePositionAndTheNextOpeningReturnsThere)
{
    {
        CWettkampfDlg dlg(comp.doc());
        test::showActive(&dlg);
        auto* groups = child<QComboBox>(&dlg, "gotoGroup");
        ASSERT_EQ(groups->count(), 2);
        EXPECT_EQ(groups->itemText(1), QStringLiteral("Bezirksliga"));
        choose(groups, 1);
        auto* rounds = child<QComboBox>(&dlg, "round");
        ASSERT_EQ(rounds->count(), CWettkampfDlg::kRounds);
        EXPECT_EQ(rounds->itemText(19), QStringLiteral("20"));
        choose(rounds, 2);
        click(&dlg, "next");
        ASSERT_EQ(dlg.pairing(), 1);
        click(&dlg, "ok");
    }
    EXPECT_EQ(scalar("SELECT Val1 FROM Wettbewerb WHERE ID = 1"), 441);

    CWettkampfDlg again(comp.doc());
    test::showActive(&again);
    EXPECT_EQ(again.group(), 1);
    EXPECT_EQ(again.round(), 2);
    EXPECT_EQ(again.pairing(), 1);
    EXPECT_EQ(child<QComboBox>(&again, "gotoGroup")->currentIndex(), 1);
    EXPECT_EQ(child<QComboBox>(&again, "round")->currentText(), QStringLiteral("3"));
    click(&again, "cancel");
}

// ">" after the round's last pairing goes on to the next group, after the last group to the next
// round; "<" walks the same way back. The status line names where a step across a group went.
TEST_F(WettkampfDlgTest, NextAndPreviousCrossGroupsAndRounds)
{
    struct Step {
        const char* button;
        int group, round, pairing;
        const char* position;
        const char* status;
    };
    const Step steps[] = {
        {"next", 0, 0, 1, "Paarung 2 von 3", ""},
        {"next", 0, 0, 2, "Paarung 3 von 3", ""},
        {"next", 1, 0, 0, "Paarung 1 von 3", "Weiter in Bezirksliga, Durchgang 1, Paarung 1"},
        {"next", 1, 0, 1, "Paarung 2 von 3", ""},
        {"next", 1, 0, 2, "Paarung 3 von 3", ""},
        {"next", 0, 1, 0, "Paarung 1 von 2", "Weiter in Kreisliga, Durchgang 2, Paarung 1"},
        {"previous", 1, 0, 2, "Paarung 3 von 3", "Zurück in Bezirksliga, Durchgang 1, Paarung 3"},
        {"previous", 1, 0, 1, "Paarung 2 von 3", ""},
        {"previous", 1, 0, 0, "Paarung 1 von 3", ""},
        {"previous", 0, 0, 2, "Paarung 3 von 3", "Zurück in Kreisliga, Durchgang 1, Paarung 3"},
        {"previous", 0, 0, 1, "Paarung 2 von 3", ""},
        {"previous", 0, 0, 0, "Paarung 1 von 3", ""},
        {"previous", 0, 0, 0, "Paarung 1 von 3", "Dies ist die erste Paarung des ersten Durchgangs."},
    };
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    for (const Step& s : steps) {
        click(&dlg, s.button);
        SCOPED_TRACE(std::string(s.button) + " to " + s.position);
        EXPECT_EQ(dlg.group(), s.group);
        EXPECT_EQ(dlg.round(), s.round);
        EXPECT_EQ(dlg.pairing(), s.pairing);
        EXPECT_EQ(label(&dlg, "position"), QString::fromUtf8(s.position));
        EXPECT_EQ(label(&dlg, "status"), QString::fromUtf8(s.status));
    }
    click(&dlg, "cancel");
}

TEST_F(WettkampfDlgTest, WithoutAGroupTheCommandSaysWhatComesFirst)
{
    exec("DELETE FROM Gruppe");
    runErgebnisCommand(nullptr, comp.doc());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("Es gibt noch keine Gruppe.")));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(WettkampfDlgTest, SideWithoutTeamShowsNoRowsAndStoresNothing)
{
    {
        CWettkampfDlg bye(comp.doc());
        test::showActive(&bye);
        click(&bye, "next");
        click(&bye, "next"); // pairing 3 of round 1: slot 5 against nobody
        ASSERT_EQ(bye.pairing(), 2);
        EXPECT_EQ(label(&bye, "teamA"), QStringLiteral("SC Mitte 1"));
        EXPECT_EQ(label(&bye, "teamB"), QString());
        for (int row = 1; row <= 20; ++row)
            EXPECT_FALSE(number(&bye, 'B', row)->isVisible()) << row;
        EXPECT_TRUE(number(&bye, 'A', 1)->isVisible());
        EXPECT_FALSE(child<QPushButton>(&bye, "points")->isEnabled());
        overtype(rings(&bye, 'A', 1), QStringLiteral("300"));
        click(&bye, "ok");
    }
    EXPECT_EQ(scalar("SELECT Ergebnis FROM Wettkampf WHERE ID = 501"), 300);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf WHERE ID % 10000 < 100"), 0);

    // Pairing 4 names no team at all (reached only as a stored position): nothing to edit,
    // nothing stored, and ">" is where Tab starts.
    CRSWettbewerb(&db(), &comp.doc()).SaveEntryPosition(0, 0, 3);
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    ASSERT_EQ(dlg.pairing(), 3);
    EXPECT_FALSE(number(&dlg, 'A', 1)->isVisible());
    EXPECT_FALSE(child<QLabel>(&dlg, "totalA")->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), child<QPushButton>(&dlg, "next"));
    const std::int64_t before = scalar("SELECT COUNT(*) FROM Wettkampf");
    click(&dlg, "next");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf"), before);
    click(&dlg, "cancel");
}

TEST_F(WettkampfDlgTest, WrongFieldStopsTheMoveWithTheStandardMessage)
{
    struct Case {
        const char* field;
        const char* typed;
        const char* message;
    };
    const Case cases[] = {
        {"ringsA2", "10001", "Geben Sie bitte eine ganze Zahl zwischen 0 und 10000 ein."},
        {"ringsB1", "-1", "Geben Sie bitte eine ganze Zahl zwischen 0 und 10000 ein."},
        {"numberA1", "12-3", "Geben Sie bitte eine ganze Zahl ein."}, // a letter would open the name search
        {"numberB4", "99999999999", "Geben Sie bitte eine ganze Zahl ein."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        prompter.messages.clear();
        CWettkampfDlg dlg(comp.doc());
        test::showActive(&dlg);
        QLineEdit* field = child<QLineEdit>(&dlg, c.field);
        overtype(field, QString::fromLatin1(c.typed));
        // The check runs before anything moves or is saved; the field is there to be mended.
        click(&dlg, "next");
        ASSERT_FALSE(prompter.messages.empty());
        EXPECT_EQ(prompter.messages.back().text, QString::fromUtf8(c.message));
        EXPECT_EQ(dlg.pairing(), 0);
        EXPECT_EQ(field->text(), QString::fromLatin1(c.typed));
        EXPECT_EQ(QApplication::focusWidget(), field);
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf"), 0);
        click(&dlg, "ok");
        EXPECT_TRUE(dlg.isVisible());
        // "Abbrechen" is never held up by the field.
        const auto shown = prompter.messages.size();
        click(&dlg, "cancel");
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(prompter.messages.size(), shown);
    }
}

TEST_F(WettkampfDlgTest, RingsAreCheckedAndTotalledWhenTheFieldIsLeft)
{
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    overtype(rings(&dlg, 'A', 1), QStringLiteral("380"));
    QTest::keyClick(rings(&dlg, 'A', 1), Qt::Key_Tab);
    EXPECT_EQ(label(&dlg, "totalA"), QStringLiteral("380"));
    overtype(rings(&dlg, 'A', 2), QStringLiteral("20000"));
    QTest::keyClick(rings(&dlg, 'A', 2), Qt::Key_Tab);
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("Geben Sie bitte eine ganze Zahl zwischen 0 und 10000 ein.")});
    EXPECT_EQ(QApplication::focusWidget(), rings(&dlg, 'A', 2));
    EXPECT_EQ(label(&dlg, "totalA"), QStringLiteral("380"));
    click(&dlg, "cancel");
}

TEST_F(WettkampfDlgTest, RefusedSaveKeepsThePairingAndWhatWasTyped)
{
    exec("CREATE TRIGGER refuse BEFORE INSERT ON Wettkampf BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    overtype(rings(&dlg, 'A', 1), QStringLiteral("377"));
    overtype(rings(&dlg, 'B', 1), QStringLiteral("370"));
    click(&dlg, "next");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("Fehler: \n")));
    EXPECT_EQ(prompter.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(dlg.pairing(), 0);
    EXPECT_EQ(rings(&dlg, 'A', 1)->text(), QStringLiteral("377"));
    choose(child<QComboBox>(&dlg, "round"), 3);
    EXPECT_EQ(dlg.round(), 0);
    EXPECT_EQ(child<QComboBox>(&dlg, "round")->currentIndex(), 0);
    click(&dlg, "ok");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf"), 0);
    exec("DROP TRIGGER refuse");
    click(&dlg, "ok");
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(scalar("SELECT Ergebnis FROM Wettkampf WHERE ID = 101"), 377);
}

TEST_F(WettkampfDlgTest, CancelKeepsWhatNavigationSavedAndDropsTheRest)
{
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    overtype(rings(&dlg, 'A', 1), QStringLiteral("350"));
    click(&dlg, "next");
    overtype(rings(&dlg, 'A', 1), QStringLiteral("360"));
    dlg.move(40, 30);
    const int height = dlg.height();
    click(&dlg, "cancel");
    // The window keeps its place for next time, however it was closed.
    EXPECT_EQ(profileInt(QString::fromLatin1(kWettkampfPositionSection), QStringLiteral("x"), -1), 40);
    EXPECT_EQ(profileInt(QString::fromLatin1(kWettkampfPositionSection), QStringLiteral("yend"), -1), 30 + height);
    EXPECT_EQ(scalar("SELECT Ergebnis FROM Wettkampf WHERE ID = 101"), 350);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf WHERE ID = 301"), 0);
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettbewerb WHERE Val1 <> 0"), 0);
}

TEST_F(WettkampfDlgTest, PointsChosenInThePointsDialogAreStoredWithThePairing)
{
    {
        CWettkampfDlg dlg(comp.doc());
        test::showActive(&dlg);
        overtype(rings(&dlg, 'A', 1), QStringLiteral("1149"));
        overtype(rings(&dlg, 'B', 1), QStringLiteral("1150"));
        test::whenShown<CPunkteDlg>([](CPunkteDlg& points) {
            EXPECT_EQ(child<QLabel>(&points, "heading")->text(), QStringLiteral("Kreisliga"));
            EXPECT_EQ(child<QLabel>(&points, "teamA")->text(), QStringLiteral("SV Nord 1"));
            EXPECT_EQ(child<QLabel>(&points, "totalA")->text(), QStringLiteral("1149"));
            EXPECT_EQ(child<QLabel>(&points, "pointsB")->text(), QStringLiteral("2"));
            child<QComboBox>(&points, "adjustA")->setCurrentIndex(1);
            QTest::keyClicks(child<QLineEdit>(&points, "reasonA"), QStringLiteral("Nichtantritt"));
            click(&points, "ok");
        });
        click(&dlg, "points");
        click(&dlg, "ok");
    }
    EXPECT_EQ(scalar("SELECT Punkte FROM Wettkampf WHERE ID = 199"), -1);
    EXPECT_EQ(scalar("SELECT Punkte FROM Wettkampf WHERE ID = 299"), 0);

    CWettkampfDlg again(comp.doc());
    test::showActive(&again);
    test::whenShown<CPunkteDlg>([](CPunkteDlg& points) {
        EXPECT_EQ(child<QComboBox>(&points, "adjustA")->currentText(), QStringLiteral("-1"));
        EXPECT_EQ(child<QLineEdit>(&points, "reasonA")->text(), QStringLiteral("Nichtantritt"));
        click(&points, "cancel");
    });
    click(&again, "points");
    click(&again, "cancel");
}

// Both teams in full for small teams; for big ones as many rows as the screen takes, at least ten
// at the system font (five at twice its size on the small test screen). A width the user chose
// is kept; the height follows the team.
TEST_F(WettkampfDlgTest, OpensShowingBothTeamsAtAnyFontSize)
{
    const QFont systemFont = QApplication::font();
    for (const double scale : {1.0, 2.0}) {
        for (const int teamSize : {2, 4, 10, 20}) {
            SCOPED_TRACE(testing::Message() << "font x" << scale << ", team of " << teamSize);
            QFont font = systemFont;
            font.setPointSizeF(systemFont.pointSizeF() * scale);
            QApplication::setFont(font);
            exec(QStringLiteral("UPDATE Gruppe SET Anzahl = %1").arg(teamSize).toUtf8().constData());
            removeProfileValue(QString::fromLatin1(kWettkampfPositionSection), QStringLiteral("xend"));
            CWettkampfDlg dlg(comp.doc());
            test::showActive(&dlg);
            const QRect screen = dlg.screen()->availableGeometry();
            EXPECT_LE(dlg.height(), screen.height());
            EXPECT_GE(rowsInView(&dlg), std::min(teamSize, scale == 1.0 ? 10 : 5));
            if (teamSize <= 4) {
                EXPECT_EQ(rowsInView(&dlg), teamSize);
                // Small teams get a small window: below the fields at most a row's worth of space.
                QLineEdit* lastRow = rings(&dlg, 'B', teamSize);
                const int below = dlg.height() - lastRow->mapTo(&dlg, QPoint(0, lastRow->height())).y();
                EXPECT_LT(below, 3 * lastRow->height());
            }
            click(&dlg, "cancel");
        }
    }
    QApplication::setFont(systemFont);

    CWettkampfDlg first(comp.doc());
    test::showActive(&first);
    const int chosen = std::min(first.width() + 50, first.screen()->availableGeometry().width() - 20);
    ASSERT_NE(chosen, first.width());
    first.resize(chosen, first.height());
    click(&first, "cancel");
    CWettkampfDlg again(comp.doc());
    test::showActive(&again);
    EXPECT_EQ(again.width(), chosen);
    click(&again, "cancel");
}

} // namespace
} // namespace torvm::ui

namespace torvm::ui {
namespace {

// Whatever the system font, both teams' rings and totals are in view without scrolling sideways.
TEST_F(WettkampfDlgTest, BothTeamsFitTheWindowWidth)
{
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    auto* scroll = dlg.findChild<QScrollArea*>(QStringLiteral("scroll"));
    ASSERT_NE(scroll, nullptr);
    const QRect view = scroll->viewport()->rect();
    for (QWidget* w :
         {static_cast<QWidget*>(rings(&dlg, 'B', 1)), static_cast<QWidget*>(rings(&dlg, 'A', 1)),
          dlg.findChild<QWidget*>(QStringLiteral("totalB")), dlg.findChild<QWidget*>(QStringLiteral("points"))}) {
        ASSERT_NE(w, nullptr);
        const QRect placed(w->mapTo(scroll->viewport(), QPoint(0, 0)), w->size());
        EXPECT_TRUE(view.contains(placed)) << w->objectName().toStdString();
    }
    EXPECT_GE(dlg.width(), CWettkampfDlg::kWidth);
}

// Typing "Hub" into a name box and Tab used to leave no field with the focus; the digits typed
// next vanished and the Tab after them overwrote row 1.
TEST_F(WettkampfDlgTest, APickedNameLeadsOnToThatShootersRings)
{
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    CTeilnehmerCombo* box = name(&dlg, 'A', 2);
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("Hub"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(number(&dlg, 'A', 2)->text(), QStringLiteral("101"));
    ASSERT_EQ(QApplication::focusWidget(), rings(&dlg, 'A', 2));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("377"));
    EXPECT_EQ(rings(&dlg, 'A', 2)->text(), QStringLiteral("377"));
    EXPECT_EQ(number(&dlg, 'A', 1)->text(), QStringLiteral("0"));
    click(&dlg, "cancel");
}

// The name search is one key away from the number field, without a stop of its own in the Tab
// chain; the scroll area takes none either.
TEST_F(WettkampfDlgTest, ALetterInANumberFieldSearchesByName)
{
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    QTest::keyClick(number(&dlg, 'B', 1), Qt::Key_B);
    ASSERT_EQ(QApplication::focusWidget(), name(&dlg, 'B', 1));
    EXPECT_EQ(name(&dlg, 'B', 1)->currentText(), QStringLiteral("b"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("er"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(number(&dlg, 'B', 1)->text(), QStringLiteral("201"));
    EXPECT_EQ(QApplication::focusWidget(), rings(&dlg, 'B', 1));
    EXPECT_EQ(child<QScrollArea>(&dlg, "scroll")->focusPolicy(), Qt::NoFocus);
    click(&dlg, "cancel");
}

// The name search lists club and pass number beside each name, the team's own club first; Enter
// takes the first proposal even where the typed text completed none.
TEST_F(WettkampfDlgTest, NameSearchShowsClubAndNumberOwnClubFirstAndEnterTakesIt)
{
    exec("INSERT INTO Teilnehmer (Paßnummer, Name, Vorname, Verein) VALUES (105, 'Wolfram', 'Udo', 10)");
    struct Case {
        char side;
        const char* typed;
        std::vector<const char*> details;
        const char* taken;
    };
    const Case cases[] = {
        {'A', "wol", {"SV Nord, Passnummer 105", "SG Süd, Passnummer 203"}, "105"},
        {'B', "wol", {"SG Süd, Passnummer 203", "SV Nord, Passnummer 105"}, "203"},
        {'A', "udo wolf", {"SV Nord, Passnummer 105"}, "105"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.side) + c.typed);
        CWettkampfDlg dlg(comp.doc());
        test::showActive(&dlg);
        QTest::keyClick(number(&dlg, c.side, 1),
                        static_cast<Qt::Key>(QChar(QLatin1Char(c.typed[0])).toUpper().unicode()));
        QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(c.typed + 1));
        CTeilnehmerCombo* box = name(&dlg, c.side, 1);
        std::vector<std::string> details;
        for (int i = 0; i < box->count(); ++i)
            details.push_back(box->itemData(i, CTeilnehmerCombo::kDetailRole).toString().toStdString());
        EXPECT_EQ(details, std::vector<std::string>(c.details.begin(), c.details.end()));
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(number(&dlg, c.side, 1)->text(), QString::fromLatin1(c.taken));
        EXPECT_EQ(QApplication::focusWidget(), rings(&dlg, c.side, 1));
        click(&dlg, "cancel");
    }
}

TEST_F(WettkampfDlgTest, EscapeAsksBeforeAChangedPairingIsLost)
{
    const QString question = QStringLiteral("Änderungen an dieser Paarung speichern?");
    struct Case {
        const char* ringsB;
        ui::Reply reply;
        bool asked; // false: the wrong value is reported instead, and the changes stay on screen
        bool closed;
        std::int64_t stored; // rows of slot 1
    };
    for (const Case& c : {Case{"340", ui::Reply::Cancel, true, false, 0}, Case{"340", ui::Reply::No, true, true, 0},
                          Case{"340", ui::Reply::Yes, true, true, 4}, Case{"99999", ui::Reply::Ok, false, false, 0}}) {
        exec("DELETE FROM Wettkampf");
        prompter.messages.clear();
        CWettkampfDlg dlg(comp.doc());
        test::showActive(&dlg);
        overtype(rings(&dlg, 'A', 1), QStringLiteral("350"));
        overtype(rings(&dlg, 'B', 1), QString::fromLatin1(c.ringsB));
        prompter.replies = {c.reply};
        QTest::keyClick(&dlg, Qt::Key_Escape);
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.texts().front() == question, c.asked) << prompter.texts().front().toStdString();
        EXPECT_EQ(prompter.messages.front().buttons == Buttons::YesNoCancel, c.asked);
        EXPECT_EQ(dlg.isVisible(), !c.closed);
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf WHERE ID BETWEEN 101 AND 120"), c.stored);
        if (dlg.isVisible()) {
            EXPECT_EQ(rings(&dlg, 'A', 1)->text(), QStringLiteral("350"));
            click(&dlg, "cancel");
        }
    }
    // Nothing changed: no question.
    prompter.messages.clear();
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(WettkampfDlgTest, WarningsAreListedTogetherAndCorrectingGoesToTheFirstField)
{
    exec("UPDATE Teilnehmer SET Verein = 10");
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    EXPECT_EQ(label(&dlg, "position"), QStringLiteral("Paarung 1 von 3"));
    overtype(number(&dlg, 'A', 1), QStringLiteral("101"));
    overtype(rings(&dlg, 'A', 1), QStringLiteral("450"));
    overtype(number(&dlg, 'A', 2), QStringLiteral("777"));
    overtype(rings(&dlg, 'A', 2), QStringLiteral("300"));
    prompter.replies = {ui::Reply::No}; // "Korrigieren"
    click(&dlg, "next");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].buttons, Buttons::SaveAnywayCorrect);
    const QString& text = prompter.messages[0].text;
    EXPECT_TRUE(text.contains(QStringLiteral("450 Ringe")));
    EXPECT_TRUE(text.contains(QStringLiteral("Paßnummer 777")));
    EXPECT_TRUE(text.contains(QStringLiteral("SG Süd 1 hat kein Ergebnis")));
    EXPECT_EQ(dlg.pairing(), 0);
    EXPECT_EQ(QApplication::focusWidget(), rings(&dlg, 'A', 1));
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf"), 0);

    prompter.replies = {ui::Reply::Yes}; // "Trotzdem speichern"
    click(&dlg, "next");
    EXPECT_EQ(dlg.pairing(), 1);
    EXPECT_EQ(label(&dlg, "position"), QStringLiteral("Paarung 2 von 3"));
    EXPECT_EQ(scalar("SELECT Ergebnis FROM Wettkampf WHERE ID = 101"), 450);
    click(&dlg, "cancel");
}

TEST_F(WettkampfDlgTest, APlanInConflictIsNamedAndThePairingNotStored)
{
    exec("UPDATE Plan SET A2 = 1 WHERE PlanID = 20"); // slot 1 in pairings 1 and 2 of round 1
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    EXPECT_TRUE(child<QLabel>(&dlg, "conflict")->isVisible());
    EXPECT_TRUE(label(&dlg, "conflict").contains(QStringLiteral("Wettkampfplan 2, Durchgang 1")));
    EXPECT_FALSE(rings(&dlg, 'A', 1)->isEnabled());
    click(&dlg, "next");
    click(&dlg, "ok");
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Wettkampf"), 0);
}

// Team A shot 381, 377, 390 and 360; the totals count the team shooters' best N, an absent team
// shows "n. a.", and every result that does not count stands in parentheses.
TEST_F(WettkampfDlgTest, TotalsCountTheBestRowsOfTheTeamShooters)
{
    const struct {
        int best;
        const char* scoring; // [Wertung] of rows 1 ... 4
        int absent;          // [Flag] of row 99
        const char* total;
        const char* shown;
    } cases[] = {{0, "0000", 0, "1508", "381|377|390|360"},
                 {3, "0000", 0, "1148", "381|377|390|(360)"},
                 {3, "1000", 0, "1127", "(381)|377|390|360"},
                 {0, "0020", 0, "1118", "381|377|(390)|360"},
                 {2, "0000", 1, "n. a.", "(381)|(377)|(390)|(360)"}};
    exec("INSERT INTO Wettkampf (ID, TNr, Durchgang, Ergebnis) VALUES (101, 101, 0, 381), (102, 102, 0, 377), "
         "(103, 103, 0, 390), (104, 104, 0, 360), (199, 0, 0, 0)");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        ASSERT_TRUE(setGroupBestCount(&db(), &comp.doc(), 0, c.best, nullptr));
        exec(QStringLiteral("UPDATE Wettkampf SET Wertung = substr('%1', ID - 100, 1) WHERE ID < 199")
                 .arg(QLatin1String(c.scoring))
                 .toUtf8());
        exec(QStringLiteral("UPDATE Wettkampf SET Flag = %1 WHERE ID = 199").arg(c.absent).toUtf8());
        CWettkampfDlg dlg(comp.doc());
        test::showActive(&dlg);
        EXPECT_EQ(label(&dlg, "totalA"), QString::fromLatin1(c.total));
        EXPECT_EQ(label(&dlg, "position").section(QStringLiteral(" – "), 1),
                  c.best ? QStringLiteral("es zählen die besten %1 von 4").arg(c.best) : QString());
        QStringList shown;
        for (int row = 1; row <= 4; ++row)
            shown << rings(&dlg, 'A', row)->text();
        EXPECT_EQ(shown.join(u'|'), QString::fromLatin1(c.shown));
        EXPECT_EQ(child<QCheckBox>(&dlg, "absentA")->isChecked(), c.absent == 1);
        click(&dlg, "cancel");
    }
}

TEST_F(WettkampfDlgTest, MarksSetFromTheRowAreCountedAndStored)
{
    ASSERT_TRUE(setGroupBestCount(&db(), &comp.doc(), 0, 3, nullptr));
    CWettkampfDlg dlg(comp.doc());
    test::showActive(&dlg);
    for (int row = 1; row <= 4; ++row)
        overtype(rings(&dlg, 'A', row), QString::number(std::array{381, 377, 390, 360}[row - 1]));
    QTest::keyClick(number(&dlg, 'A', 4), Qt::Key_E, Qt::ControlModifier);
    QTest::keyClick(rings(&dlg, 'A', 1), Qt::Key_I, Qt::ControlModifier);
    QTest::keyClick(number(&dlg, 'A', 2), Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(number(&dlg, 'A', 2), Qt::Key_K, Qt::ControlModifier); // and off again
    EXPECT_EQ(child<QComboBox>(&dlg, "scoringA1")->currentText(), QStringLiteral("ES"));
    EXPECT_EQ(label(&dlg, "totalA"), QStringLiteral("1127"));
    EXPECT_EQ(rings(&dlg, 'A', 1)->text(), QStringLiteral("(381)"));
    rings(&dlg, 'A', 1)->setFocus(); // typed over without the parentheses
    EXPECT_EQ(rings(&dlg, 'A', 1)->text(), QStringLiteral("381"));
    child<QCheckBox>(&dlg, "absentB")->setChecked(true);
    EXPECT_EQ(label(&dlg, "totalB"), QStringLiteral("n. a."));
    click(&dlg, "ok");
    EXPECT_TRUE(prompter.messages.empty()) << prompter.texts().join(u'|').toStdString();
    Statement marks = db().prepare("SELECT group_concat(Ersatz || Wertung, ' ') FROM (SELECT * FROM Wettkampf "
                                   "WHERE ID BETWEEN 101 AND 104 ORDER BY ID)"); // [Ersatz][Wertung] of rows 1 ... 4
    EXPECT_TRUE(marks.next());
    EXPECT_EQ(marks.text(0), QStringLiteral("01 00 00 10"));
    EXPECT_EQ(scalar("SELECT Flag FROM Wettkampf WHERE ID = 199"), 0);
    EXPECT_EQ(scalar("SELECT Flag FROM Wettkampf WHERE ID = 299"), 1);
}

TEST_F(WettkampfDlgTest, TenthsAreTypedWithCommaOrPoint)
{
    ASSERT_TRUE(setCompetitionRules(&db(), &comp.doc(), CompetitionRules{true, {TieBreak::Rings}, 0}, nullptr));
    const QString refusal = QStringLiteral(
        "Geben Sie bitte eine Ringzahl zwischen 0,0 und 1000,0 mit höchstens einer Nachkommastelle ein, zum "
        "Beispiel 97,3.");
    struct Case {
        const char* typed;
        std::int64_t stored; // -1: refused
        const char* total;
    };
    for (const auto& [typed, stored, total] :
         {Case{"97,35", -1, "0,0"}, Case{"1000,1", -1, "0,0"}, Case{"97.3", 973, "97,3"}, Case{"97", 970, "97,0"}}) {
        SCOPED_TRACE(typed);
        exec("DELETE FROM Wettkampf");
        prompter.messages.clear();
        CWettkampfDlg dlg(comp.doc());
        test::showActive(&dlg);
        overtype(rings(&dlg, 'B', 1), QStringLiteral("96,1"));
        overtype(rings(&dlg, 'A', 1), QString::fromLatin1(typed));
        QTest::keyClick(rings(&dlg, 'A', 1), Qt::Key_Tab);
        EXPECT_EQ(prompter.texts(), stored < 0 ? QStringList{refusal} : QStringList{});
        EXPECT_EQ(label(&dlg, "totalA"), QString::fromLatin1(total));
        EXPECT_EQ(rings(&dlg, 'A', 1)->text(), QString::fromLatin1(stored < 0 ? typed : total)); // as it is shown
        EXPECT_EQ(label(&dlg, "totalB"), QStringLiteral("96,1"));
        click(&dlg, stored < 0 ? "cancel" : "ok");
        EXPECT_EQ(scalar("SELECT COALESCE(MAX(Ergebnis), -1) FROM Wettkampf WHERE ID = 101"), stored);
    }
}

} // namespace
} // namespace torvm::ui
