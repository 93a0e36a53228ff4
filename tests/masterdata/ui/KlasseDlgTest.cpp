#include "masterdata/ui/KlasseDlg.h"
#include "controls/ui/MaskEdit.h"
#include "masterdata/ui/DialogDriver.h"
#include "masterdata/ui/MasterDataCommands.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QComboBox>
#include <QLineEdit>

namespace torvm::ui {
namespace {

using test::child;
using test::click;

class KlasseDlgTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::ScriptedPrompter prompter;

    void exec(const std::string& sql)
    {
        ASSERT_TRUE(comp.db()->execute(sql.c_str())) << sql << ": " << comp.db()->lastError().text.toStdString();
    }
    QString row(int id)
    {
        Statement st = comp.db()->prepare(
            "SELECT Name || '|' || COALESCE(von, 'NULL') || '|' || COALESCE(bis, 'NULL') || '|' || Geschlecht "
            "FROM Klasse WHERE KlasseID = " +
            std::to_string(id));
        EXPECT_TRUE(st.next()) << id;
        return st.text(0);
    }
    static void typeDate(CDateEdit* edit, const char* digits)
    {
        edit->setCursorPosition(0);
        QTest::keyClicks(edit, QString::fromLatin1(digits));
    }
};

TEST_F(KlasseDlgTest, RowsShowTheirRecords)
{
    exec("UPDATE Klasse SET von = '1960-01-01 00:00:00', Geschlecht = 7 WHERE KlasseID = 3");
    exec("DELETE FROM Klasse WHERE KlasseID = 20");
    CKlasseDlg dialog(comp.doc());
    EXPECT_EQ(child<QLineEdit>(&dialog, "name1")->text(), QStringLiteral("Schützenklasse"));
    EXPECT_EQ(child<QComboBox>(&dialog, "gender1")->currentText(), QStringLiteral("männlich"));
    EXPECT_EQ(child<QComboBox>(&dialog, "gender2")->currentIndex(), 2);
    EXPECT_EQ(child<CDateEdit>(&dialog, "von3")->text(), QStringLiteral("01.01.1960"));
    EXPECT_EQ(child<CDateEdit>(&dialog, "bis3")->text(), QStringLiteral("  .  .    ")); // no date
    for (const char* unnamed : {"von9", "bis9", "von19", "bis19"}) // a new class starts without dates
        EXPECT_EQ(child<CDateEdit>(&dialog, unnamed)->text(), QStringLiteral("  .  .    ")) << unnamed;
    EXPECT_EQ(child<QComboBox>(&dialog, "gender3")->currentIndex(), -1); // no such entry
    EXPECT_EQ(child<QLineEdit>(&dialog, "name20")->text(), QString());
    EXPECT_FALSE(child<QLineEdit>(&dialog, "name20")->isEnabled());
}

TEST_F(KlasseDlgTest, OkStoresEveryRowThatHasARecord)
{
    exec("DELETE FROM Klasse WHERE KlasseID = 20");
    exec("UPDATE Klasse SET von = '1950-01-01 00:00:00', bis = '1959-12-31 00:00:00' WHERE KlasseID = 5");
    const QString untouched = row(6);
    {
        CKlasseDlg dialog(comp.doc());
        child<QLineEdit>(&dialog, "name1")->setText(QStringLiteral("Senioren"));
        typeDate(child<CDateEdit>(&dialog, "von1"), "31121979"); // later than "bis": turned round
        typeDate(child<CDateEdit>(&dialog, "bis1"), "01011960");
        child<QComboBox>(&dialog, "gender1")->setCurrentIndex(2);

        typeDate(child<CDateEdit>(&dialog, "von2"), "01011990");
        typeDate(child<CDateEdit>(&dialog, "bis2"), "31121999");
        auto* gender = child<QComboBox>(&dialog, "gender2");
        gender->lineEdit()->selectAll();
        QTest::keyClicks(gender, QStringLiteral("divers")); // typed, not picked
        child<QComboBox>(&dialog, "gender4")->setCurrentIndex(0);
        child<QLineEdit>(&dialog, "name20")->setText(QStringLiteral("ohne Datensatz"));
        child<CDateEdit>(&dialog, "bis5")->selectAll();
        QTest::keyClick(child<CDateEdit>(&dialog, "bis5"), Qt::Key_Backspace);
        child<QLineEdit>(&dialog, "name9")->setText(QStringLiteral("Neue Klasse"));
        click(&dialog, "ok");
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(row(1), QStringLiteral("Senioren|1960-01-01 00:00:00|1979-12-31 00:00:00|2"));
    EXPECT_EQ(row(2), QStringLiteral("Damenklasse|1990-01-01 00:00:00|1999-12-31 00:00:00|-1"));
    // Untouched empty dates stay unset.
    EXPECT_EQ(row(4), QStringLiteral("Damenaltersklasse|NULL|NULL|0"));
    EXPECT_EQ(row(5), QStringLiteral("Seniorenklasse|1950-01-01 00:00:00|NULL|0")) << "an emptied date is none";
    EXPECT_EQ(row(9), QStringLiteral("Neue Klasse|NULL|NULL|0")) << "a class needs no dates";
    EXPECT_EQ(row(6), untouched);
    EXPECT_EQ(row(6), QStringLiteral("Juniorenklasse|NULL|NULL|0"));
    Statement count = comp.db()->prepare("SELECT COUNT(*) FROM Klasse WHERE KlasseID = 20");
    ASSERT_TRUE(count.next());
    EXPECT_EQ(count.int64(0), 0);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(KlasseDlgTest, AStandInDateTypedOnPurposeIsStored)
{
    {
        CKlasseDlg dialog(comp.doc());
        typeDate(child<CDateEdit>(&dialog, "von6"), "01011998"); // the former stand-in date, typed
        click(&dialog, "ok");
    }
    EXPECT_EQ(row(6), QStringLiteral("Juniorenklasse|1998-01-01 00:00:00|NULL|0"));
}

TEST_F(KlasseDlgTest, CancelAndImpossibleDatesStoreNothing)
{
    const QString before = row(1);
    {
        CKlasseDlg dialog(comp.doc());
        child<QLineEdit>(&dialog, "name1")->setText(QStringLiteral("verworfen"));
        click(&dialog, "cancel");
    }
    {
        CKlasseDlg dialog(comp.doc());
        dialog.show();
        child<QLineEdit>(&dialog, "name1")->setText(QStringLiteral("verworfen"));
        typeDate(child<CDateEdit>(&dialog, "bis5"), "31022001");
        click(&dialog, "ok");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Geben Sie bitte ein gültiges Datum ein.")});
    }
    EXPECT_EQ(row(1), before);
}

TEST_F(KlasseDlgTest, CommandsNeedAnOpenCompetition)
{
    CTorvmDoc closed;
    for (auto* command : {&runKlasseCommand, &runVereinCommand, &runTeilnehmerCommand})
        command(nullptr, closed);
    EXPECT_EQ(prompter.texts(), QStringList(3, QStringLiteral("Noch kein Wettkampf geöffnet")));
}

// "Klassen zuordnen" asks first and then says what it did.
TEST_F(KlasseDlgTest, ClassAssignmentConfirmsWhatItDid)
{
    exec("UPDATE Klasse SET Name = 'Offen', von = '1970-01-01 00:00:00', bis = '1999-12-31 00:00:00', "
         "Geschlecht = 0 WHERE KlasseID = 1");
    exec("INSERT INTO Teilnehmer (Paßnummer, Name, Geburtstag, Klasse) VALUES (1, 'Huber', '1980-05-01 00:00:00', 0)");
    prompter.replies = {Reply::Yes};
    runKlassenZuordnenCommand(nullptr, comp.doc());
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].text, QStringLiteral("Die Klassen wurden zugeordnet:\n\n1 Teilnehmer in Offen"));
}

} // namespace
} // namespace torvm::ui
