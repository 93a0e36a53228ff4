#include "masterdata/ui/TeilnehmerDlg.h"
#include "controls/ui/MaskEdit.h"
#include "masterdata/ui/DialogDriver.h"
#include "masterdata/ui/VereinCombo.h"
#include "masterdata/ui/VereinDlg.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace torvm::ui {
namespace {

using test::child;
using test::click;
using test::whenShown;

class TeilnehmerDlgTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::ScriptedPrompter prompter;
    CTorvmDoc& doc() { return comp.doc(); }

    void exec(const std::string& sql)
    {
        ASSERT_TRUE(comp.db()->execute(sql.c_str())) << sql << ": " << comp.db()->lastError().text.toStdString();
    }
    std::int64_t scalar(const std::string& sql)
    {
        Statement st = comp.db()->prepare(sql);
        EXPECT_TRUE(st.next()) << sql;
        return st.int64(0);
    }
    QString text(const std::string& sql)
    {
        Statement st = comp.db()->prepare(sql);
        EXPECT_TRUE(st.next()) << sql;
        return st.isNull(0) ? QStringLiteral("NULL") : st.text(0);
    }
    void addThree()
    {
        exec(R"(INSERT INTO Teilnehmer ("Paßnummer", Name, Vorname, Verein, Klasse, Anrede) VALUES
                (5, 'Adler', 'Anna', 1, 2, 2), (12, 'Berger', 'Bernd', 2, 0, 1), (40, 'Czech', 'Carl', 0, 1, 0))");
        exec("INSERT INTO Verein (Vereinsnummer, Name, Sortieren) VALUES (1, 'SG Nord', 'Nord'), (2, 'SV Süd', 'Süd')");
    }
    static QString shown(CTeilnehmerDlg& dialog) { return child<QLabel>(&dialog, "number")->text(); }
};

TEST_F(TeilnehmerDlgTest, NumberDialogProposals)
{
    {
        CTeilnehmerNrDlg empty(doc());
        auto* number = child<QLineEdit>(&empty, "number");
        EXPECT_EQ(number->text(), QStringLiteral("1"));
        for (const char* button : {"first", "last", "new"}) {
            number->clear();
            click(&empty, button);
            EXPECT_EQ(number->text(), QStringLiteral("1")) << button;
        }
    }
    addThree();
    CTeilnehmerNrDlg dialog(doc());
    auto* number = child<QLineEdit>(&dialog, "number");
    EXPECT_EQ(number->text(), QStringLiteral("41"));
    const struct {
        const char* button;
        const char* expected;
    } cases[] = {{"first", "5"}, {"last", "40"}, {"new", "41"}};
    for (const auto& c : cases) {
        click(&dialog, c.button);
        EXPECT_EQ(number->text(), QString::fromUtf8(c.expected)) << c.button;
    }
}

TEST_F(TeilnehmerDlgTest, OpenButtonStartsTheEditorOnTheTypedNumber)
{
    addThree();
    const struct {
        const char* typed;
        const char* shownNumber;
        bool isNew;
        const char* name;
    } cases[] = {{"12", "12", false, "Berger"}, {"77", "77", true, ""}, {"0", "41", true, ""}};
    CTeilnehmerNrDlg dialog(doc());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        child<QLineEdit>(&dialog, "number")->setText(QString::fromUtf8(c.typed));
        bool seen = false;
        whenShown<CTeilnehmerDlg>([&](CTeilnehmerDlg& editor) {
            seen = true;
            EXPECT_EQ(shown(editor), QString::fromUtf8(c.shownNumber));
            EXPECT_EQ(editor.showsNewParticipant(), c.isNew);
            EXPECT_EQ(child<QLineEdit>(&editor, "name")->text(), QString::fromUtf8(c.name));
            click(&editor, "cancel");
        });
        click(&dialog, "open");
        EXPECT_TRUE(seen);
    }
    child<QLineEdit>(&dialog, "number")->setText(QStringLiteral("100000000"));
    click(&dialog, "open"); // refused before any editor opens
    EXPECT_EQ(prompter.texts(),
              QStringList{QStringLiteral("Geben Sie bitte eine ganze Zahl zwischen 0 und 99999999 ein.")});
}

TEST_F(TeilnehmerDlgTest, LoadsTheRecordIntoTheControls)
{
    addThree();
    exec(
        R"(UPDATE Teilnehmer SET Titel = 'Dr.', Zusatz = 'jun.', Geburtstag = '1970-03-09 00:00:00' WHERE "Paßnummer" = 5)");
    CTeilnehmerDlg editor(doc(), 5);
    EXPECT_EQ(child<QLineEdit>(&editor, "vorname")->text(), QStringLiteral("Anna"));
    EXPECT_EQ(child<QLineEdit>(&editor, "titel")->text(), QStringLiteral("Dr."));
    EXPECT_EQ(child<QLineEdit>(&editor, "zusatz")->text(), QStringLiteral("jun."));
    EXPECT_EQ(child<QComboBox>(&editor, "anrede")->currentText(), QStringLiteral("Frau"));
    EXPECT_EQ(child<QComboBox>(&editor, "klasse")->currentIndex(), 2);
    EXPECT_EQ(child<QComboBox>(&editor, "klasse")->count(), 21);
    EXPECT_EQ(child<CDateEdit>(&editor, "geburtstag")->text(), QStringLiteral("09.03.1970"));
    EXPECT_EQ(child<QLineEdit>(&editor, "vereinNummer")->text(), QStringLiteral("1"));
    EXPECT_EQ(child<CVereinCombo>(&editor, "vereinName")->currentText(), QStringLiteral("SG Nord"));
    EXPECT_EQ(child<CVereinCombo>(&editor, "vereinName")->count(), 2);
}

// Each step: the button pressed, then the number shown, whether it is a new participant, and the
// beeps heard so far.
struct Step {
    const char* button;
    int number;
    bool isNew;
    int beeps;
};

TEST_F(TeilnehmerDlgTest, SteppingThroughTheParticipants)
{
    addThree();
    const struct {
        const char* name;
        int start;
        std::vector<Step> steps;
    } cases[] = {
        {"forward to the end and beyond",
         12,
         {{"next", 40, false, 0}, {"next", 41, true, 1}, {"next", 41, true, 1}, {"previous", 41, true, 1}}},
        {"back to the start", 12, {{"previous", 5, false, 0}, {"previous", 5, false, 1}, {"next", 12, false, 1}}},
        {"from a new number in between", 20, {{"next", 41, true, 0}, {"previous", 41, true, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompter.beeps = 0;
        CTeilnehmerDlg editor(doc(), c.start);
        for (const Step& step : c.steps) {
            SCOPED_TRACE(step.button);
            click(&editor, step.button);
            EXPECT_EQ(shown(editor), QString::number(step.number));
            EXPECT_EQ(editor.showsNewParticipant(), step.isNew);
            EXPECT_EQ(prompter.beeps, step.beeps);
        }
        click(&editor, "cancel");
    }
    // Stepping past the end showed new participants without names: none of them was stored.
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Teilnehmer"), 3);
}

TEST_F(TeilnehmerDlgTest, NewParticipantWithoutBothNamesIsNeverStored)
{
    addThree();
    {
        CTeilnehmerDlg editor(doc(), 0);
        EXPECT_EQ(shown(editor), QStringLiteral("41"));
        child<QLineEdit>(&editor, "titel")->setText(QStringLiteral("Dr."));
        child<QLineEdit>(&editor, "vereinNummer")->setText(QStringLiteral("2"));
        click(&editor, "next"); // nothing stored, still a new one with the next free number
        EXPECT_TRUE(editor.showsNewParticipant());
        EXPECT_EQ(shown(editor), QStringLiteral("41"));
        EXPECT_EQ(child<QLineEdit>(&editor, "titel")->text(), QString());
        child<QLineEdit>(&editor, "zusatz")->setText(QStringLiteral("sen."));
        click(&editor, "ok");
        EXPECT_EQ(editor.result(), QDialog::Accepted);
    }
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Teilnehmer"), 3);
}

TEST_F(TeilnehmerDlgTest, ANewParticipantWithOneNameIsStoredUnderTheProposedNumber)
{
    addThree();
    const struct {
        const char* field;
        const char* button;
        int nextShown;
    } cases[] = {
        {"vorname", "next", 42},  // the new one is now the last: ">" beeps and starts the next new one
        {"name", "previous", 41}, // back to the one stored by the first case
        {"name", "ok", 0},
    };
    int number = 40;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        ++number;
        CTeilnehmerDlg editor(doc(), 0);
        ASSERT_EQ(shown(editor), QString::number(number));
        child<QLineEdit>(&editor, c.field)->setText(QStringLiteral("Neu"));
        child<QLineEdit>(&editor, "vereinNummer")->setText(QStringLiteral("2"));
        click(&editor, c.button);
        if (c.nextShown != 0) {
            EXPECT_EQ(shown(editor), QString::number(c.nextShown));
        }
        EXPECT_EQ(scalar("SELECT Verein FROM Teilnehmer WHERE \"Paßnummer\" = " + std::to_string(number)), 2);
    }
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Teilnehmer"), 6);
}

TEST_F(TeilnehmerDlgTest, SteppingStoresTheEditedParticipantAndCancelKeepsEarlierSteps)
{
    addThree();
    {
        CTeilnehmerDlg editor(doc(), 5);
        child<QLineEdit>(&editor, "name")->setText(QStringLiteral("Adler-Berg"));
        child<QComboBox>(&editor, "anrede")->setCurrentIndex(0);
        child<QComboBox>(&editor, "klasse")->setCurrentIndex(7);
        click(&editor, "next");
        EXPECT_EQ(shown(editor), QStringLiteral("12"));
        child<QLineEdit>(&editor, "name")->setText(QStringLiteral("verworfen"));
        click(&editor, "cancel");
    }
    EXPECT_EQ(text(R"(SELECT Name || '/' || Anrede || '/' || Klasse FROM Teilnehmer WHERE "Paßnummer" = 5)"),
              QStringLiteral("Adler-Berg/0/7"));
    EXPECT_EQ(text(R"(SELECT Name FROM Teilnehmer WHERE "Paßnummer" = 12)"), QStringLiteral("Berger"));
}

// A date the user never typed is not invented: the untouched field keeps what the file held, and
// a participant without a birthday shows an empty field.
TEST_F(TeilnehmerDlgTest, BirthdayIsStoredOnlyWhenTyped)
{
    exec(R"(INSERT INTO Teilnehmer ("Paßnummer", Name) VALUES (3, 'Mit'), (5, 'Ohne'))");
    const struct {
        const char* name;
        int number;        // 0: a new participant (gets 6)
        const char* typed; // nullptr: field untouched
        const char* shown; // before typing
        const char* stored;
    } cases[] = {
        {"new, untouched", 0, nullptr, "  .  .    ", "NULL"},
        {"new, typed", 0, "24121975", "  .  .    ", "1975-12-24 00:00:00"},
        {"new, typed the old stand-in date", 0, "01011998", "  .  .    ", "1998-01-01 00:00:00"},
        {"stored, untouched", 3, nullptr, "04.05.1980", "1980-05-04 00:00:00"},
        {"stored, retyped", 3, "05061981", "04.05.1980", "1981-06-05 00:00:00"},
        {"without birthday, untouched", 5, nullptr, "  .  .    ", "NULL"},
        {"without birthday, typed", 5, "29021984", "  .  .    ", "1984-02-29 00:00:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        exec(R"(DELETE FROM Teilnehmer WHERE "Paßnummer" = 6)");
        exec(R"(UPDATE Teilnehmer SET Geburtstag = IIF("Paßnummer" = 3, '1980-05-04 00:00:00', NULL))");
        CTeilnehmerDlg editor(doc(), c.number);
        const int number = editor.shownNumber();
        child<QLineEdit>(&editor, "name")->setText(QStringLiteral("Name"));
        auto* birthday = child<CDateEdit>(&editor, "geburtstag");
        EXPECT_EQ(birthday->text(), QString::fromLatin1(c.shown));
        if (c.typed) {
            birthday->setCursorPosition(0);
            QTest::keyClicks(birthday, QString::fromLatin1(c.typed));
        }
        click(&editor, "ok");
        EXPECT_EQ(editor.result(), QDialog::Accepted);
        EXPECT_EQ(text("SELECT Geburtstag FROM Teilnehmer WHERE \"Paßnummer\" = " + std::to_string(number)),
                  QString::fromLatin1(c.stored));
    }
}

TEST_F(TeilnehmerDlgTest, ABirthdayThatIsNoDateKeepsTheEditorOpen)
{
    CTeilnehmerDlg editor(doc(), 0);
    editor.show();
    child<QLineEdit>(&editor, "name")->setText(QStringLiteral("Name"));
    auto* birthday = child<CDateEdit>(&editor, "geburtstag");
    birthday->setCursorPosition(0);
    QTest::keyClicks(birthday, QStringLiteral("31022001"));
    click(&editor, "ok");
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Geben Sie bitte ein gültiges Datum ein.")});
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Teilnehmer"), 0);
}

TEST_F(TeilnehmerDlgTest, ClubNumberAndClubComboStayInStep)
{
    addThree();
    CTeilnehmerDlg editor(doc(), 40);
    test::showActive(&editor);
    auto* number = child<QLineEdit>(&editor, "vereinNummer");
    auto* combo = child<CVereinCombo>(&editor, "vereinName");
    EXPECT_EQ(combo->currentIndex(), -1); // club 0

    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("2"));
    EXPECT_EQ(combo->currentText(), QStringLiteral("SV Süd"));

    combo->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, QStringLiteral("SG"));
    child<QLineEdit>(&editor, "name")->setFocus(); // leaving the combo writes the number
    EXPECT_EQ(number->text(), QStringLiteral("1"));

    combo->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, QStringLiteral("Kein Verein"));
    child<QLineEdit>(&editor, "name")->setFocus();
    EXPECT_EQ(number->text(), QStringLiteral("0"));

    number->setText(QStringLiteral("99"));
    EXPECT_EQ(combo->currentIndex(), -1);
    number->setText(QStringLiteral("1"));
    click(&editor, "ok");
    EXPECT_EQ(scalar(R"(SELECT Verein FROM Teilnehmer WHERE "Paßnummer" = 40)"), 1);
}

TEST_F(TeilnehmerDlgTest, NewClubButtonTakesTheNumberTheClubDialogHolds)
{
    addThree();
    enum class Action { CloseAtOnce, StoreClub, CancelEditor };
    const struct {
        const char* name;
        Action action;
        const char* clubNumber;
        const char* clubName; // shown in the combo afterwards
    } cases[] = {
        {"closed at once: the proposed number, no such club yet", Action::CloseAtOnce, "3", ""},
        {"club stored", Action::StoreClub, "3", "SV Neu"},
        {"editor cancelled: unchanged", Action::CancelEditor, "2", "SV Süd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        exec("DELETE FROM Verein WHERE Vereinsnummer = 3");
        CTeilnehmerDlg editor(doc(), 12);
        const Action action = c.action;
        whenShown<CVereinNrDlg>([action](CVereinNrDlg& clubs) {
            if (action != Action::CloseAtOnce) {
                whenShown<CVereinDlg>([action](CVereinDlg& club) {
                    child<QLineEdit>(&club, "name")->setText(QStringLiteral("SV Neu"));
                    click(&club, action == Action::StoreClub ? "ok" : "cancel");
                });
                click(&clubs, "ok");
            }
            click(&clubs, "close");
        });
        click(&editor, "newClub");
        EXPECT_EQ(child<QLineEdit>(&editor, "vereinNummer")->text(), QString::fromUtf8(c.clubNumber));
        EXPECT_EQ(child<CVereinCombo>(&editor, "vereinName")->currentText(), QString::fromUtf8(c.clubName));
        click(&editor, "cancel");
    }
}

TEST_F(TeilnehmerDlgTest, AClubNumberOfNoClubIsCorrectedOrCreated)
{
    addThree();
    struct Case {
        const char* name;
        ui::Reply reply;
        bool editorStores;
        bool closed;
        std::int64_t clubs;
    };
    for (const Case& c : {Case{"correct the number", ui::Reply::No, false, false, 2},
                          Case{"create the club, then cancel its editor", ui::Reply::Yes, false, false, 2},
                          Case{"create the club", ui::Reply::Yes, true, true, 3}}) {
        SCOPED_TRACE(c.name);
        prompter.messages.clear();
        prompter.replies = {c.reply};
        CTeilnehmerDlg editor(doc(), 12);
        test::showActive(&editor);
        auto* club = child<QLineEdit>(&editor, "vereinNummer");
        club->setText(QStringLiteral("77"));
        if (c.reply == ui::Reply::Yes)
            test::whenShown<CVereinDlg>([&c](CVereinDlg& d) { click(&d, c.editorStores ? "ok" : "cancel"); });
        click(&editor, "ok");
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_TRUE(
            prompter.messages[0].text.startsWith(QStringLiteral("Einen Verein mit der Nummer 77 gibt es nicht.")));
        EXPECT_EQ(editor.isVisible(), !c.closed);
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM Verein"), c.clubs);
        EXPECT_EQ(scalar("SELECT Verein FROM Teilnehmer WHERE \"Paßnummer\" = 12"), c.closed ? 77 : 2);
        if (!c.closed) {
            // The field the window gives the focus back to once the club editor has gone.
            EXPECT_EQ(editor.focusWidget(), club);
            click(&editor, "cancel");
        }
    }
}

// Enter walks the fields as Tab does, without closing; a club number typed on the way is not
// turned into 0 by passing the club names.
TEST_F(TeilnehmerDlgTest, EnterWalksTheFieldsAndATypedClubNumberIsChecked)
{
    addThree();
    prompter.replies = {Reply::No}; // "correct the number"
    CTeilnehmerDlg editor(doc(), 12);
    test::showActive(&editor);
    child<QLineEdit>(&editor, "name")->setFocus();
    for (const char* next :
         {"vorname", "anrede", "titel", "zusatz", "geburtstag", "vereinNummer", "vereinName", "klasse"}) {
        QWidget* focus = QApplication::focusWidget();
        if (focus->objectName() == QLatin1String("vereinNummer")) {
            static_cast<QLineEdit*>(focus)->selectAll();
            QTest::keyClicks(focus, QStringLiteral("77"));
        }
        QTest::keyClick(focus, Qt::Key_Return);
        focus = QApplication::focusWidget();
        EXPECT_TRUE(focus->objectName() == QLatin1String(next) ||
                    focus->parentWidget()->objectName() == QLatin1String(next))
            << next;
    }
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(child<QLineEdit>(&editor, "vereinNummer")->text(), QStringLiteral("77"));
    click(&editor, "ok");
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.messages[0].text.startsWith(QStringLiteral("Einen Verein mit der Nummer 77 gibt es nicht.")));
    EXPECT_EQ(scalar("SELECT Verein FROM Teilnehmer WHERE \"Paßnummer\" = 12"), 2);
}

// Esc asks before typed changes are lost; "Abbrechen" says what it does.
TEST_F(TeilnehmerDlgTest, EscapeAsksBeforeChangesAreLost)
{
    addThree();
    struct Case {
        const char* typed;
        Reply reply;
        std::size_t questions;
        bool open;
        const char* stored;
    };
    const Case cases[] = {
        {"", Reply::Yes, 0, false, "Bernd"},
        {"X", Reply::Cancel, 1, true, "Bernd"},
        {"X", Reply::No, 1, false, "Bernd"},
        {"X", Reply::Yes, 1, false, "BerndX"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " " + std::to_string(static_cast<int>(c.reply)));
        prompter.messages.clear();
        prompter.replies = {c.reply};
        CTeilnehmerDlg editor(doc(), 12);
        test::showActive(&editor);
        auto* vorname = child<QLineEdit>(&editor, "vorname");
        vorname->setFocus();
        vorname->end(false);
        QTest::keyClicks(vorname, QString::fromUtf8(c.typed));
        QTest::keyClick(vorname, Qt::Key_Escape);
        EXPECT_EQ(prompter.messages.size(), c.questions);
        EXPECT_EQ(editor.isVisible(), c.open);
        EXPECT_EQ(text("SELECT Vorname FROM Teilnehmer WHERE \"Paßnummer\" = 12"), QString::fromUtf8(c.stored));
    }
}

TEST_F(TeilnehmerDlgTest, SteppingPutsTheFocusBackOnTheSurname)
{
    addThree();
    CTeilnehmerDlg editor(doc(), 12);
    test::showActive(&editor);
    for (const char* button : {"next", "previous"}) {
        SCOPED_TRACE(button);
        child<QPushButton>(&editor, button)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(&editor, "name"));
    }
    EXPECT_EQ(shown(editor), QStringLiteral("12"));
    click(&editor, "cancel");
}

} // namespace
} // namespace torvm::ui
