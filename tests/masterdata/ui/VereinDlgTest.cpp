#include "masterdata/ui/VereinDlg.h"
#include "masterdata/ui/DialogDriver.h"
#include "masterdata/ui/TeilnehmerDlg.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QLineEdit>
#include <QSettings>

namespace torvm::ui {
namespace {

using test::child;
using test::click;
using test::whenShown;

class VereinDlgTest : public ::testing::Test {
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
        return st.text(0);
    }
};

TEST_F(VereinDlgTest, NumberDialogProposesTheNextFreeNumber)
{
    {
        CVereinNrDlg empty(doc());
        EXPECT_EQ(child<QLineEdit>(&empty, "number")->text(), QStringLiteral("1"));
        EXPECT_EQ(empty.number(), 1);
    }
    exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (17, 'B'), (3, 'A')");
    CVereinNrDlg filled(doc());
    EXPECT_EQ(child<QLineEdit>(&filled, "number")->text(), QStringLiteral("18"));
}

// What the number dialog holds when it closes decides the club of "Neuer Verein".
TEST_F(VereinDlgTest, NumberHeldWhenTheDialogCloses)
{
    exec("INSERT INTO Verein (Vereinsnummer, Name) VALUES (17, 'B')");
    enum class Editor { NotOpened, Stored, Cancelled, StoredThenCancelled };
    const struct {
        const char* name;
        Editor editor;
        int expected;
    } cases[] = {
        {"closed at once", Editor::NotOpened, 18},
        {"club stored", Editor::Stored, 25},
        {"editor cancelled", Editor::Cancelled, 0},
        {"stored, then another cancelled", Editor::StoredThenCancelled, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CVereinNrDlg dialog(doc());
        QLineEdit* number = child<QLineEdit>(&dialog, "number");
        const auto openEditor = [&](bool store) {
            number->setText(QStringLiteral("25"));
            whenShown<CVereinDlg>([store](CVereinDlg& editor) {
                QTest::keyClicks(child<QLineEdit>(&editor, "name"), QStringLiteral("SV Neu"));
                click(&editor, store ? "ok" : "cancel");
            });
            click(&dialog, "ok");
            // The edit keeps what was typed, whatever the editor returned.
            EXPECT_EQ(number->text(), QStringLiteral("25"));
        };
        if (c.editor == Editor::Stored || c.editor == Editor::StoredThenCancelled)
            openEditor(true);
        if (c.editor == Editor::Cancelled || c.editor == Editor::StoredThenCancelled)
            openEditor(false);
        dialog.reject();
        EXPECT_EQ(dialog.number(), c.expected);
        exec("DELETE FROM Verein WHERE Vereinsnummer = 25");
    }
}

TEST_F(VereinDlgTest, NumbersOutsideTheRangeAreRefused)
{
    const struct {
        const char* typed;
        const char* message;
    } cases[] = {
        {"0", "Geben Sie bitte eine ganze Zahl zwischen 1 und 99999999 ein."},
        {"100000000", "Geben Sie bitte eine ganze Zahl zwischen 1 und 99999999 ein."},
        {"abc", "Geben Sie bitte eine ganze Zahl ein."},
        {"", "Geben Sie bitte eine ganze Zahl ein."},
    };
    for (const auto& c : cases) {
        CVereinNrDlg dialog(doc());
        child<QLineEdit>(&dialog, "number")->setText(QString::fromUtf8(c.typed));
        prompter.messages.clear();
        click(&dialog, "ok"); // no editor may open: nothing would close it
        ASSERT_EQ(prompter.messages.size(), 1u) << c.typed;
        EXPECT_EQ(prompter.messages[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(dialog.number(), 1);
    }
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Verein"), 0);
}

TEST_F(VereinDlgTest, NewClubWithEmptyFieldsIsStoredWithMeistbeteiligungOne)
{
    CVereinDlg editor(doc(), 9);
    EXPECT_EQ(child<QLineEdit>(&editor, "number")->text(), QStringLiteral("9"));
    EXPECT_EQ(child<QLineEdit>(&editor, "name")->text(), QString());
    EXPECT_EQ(child<QLineEdit>(&editor, "entfernung")->text(), QStringLiteral("0"));
    click(&editor, "ok");
    EXPECT_EQ(editor.result(), QDialog::Accepted);
    EXPECT_EQ(editor.returnedNumber(), 9);
    EXPECT_EQ(scalar("SELECT Meistbeteiligung FROM Verein WHERE Vereinsnummer = 9"), 1);
    EXPECT_EQ(text("SELECT Name FROM Verein WHERE Vereinsnummer = 9"), QString());
}

TEST_F(VereinDlgTest, EditingKeepsPlz2AndAZeroMeistbeteiligung)
{
    exec("INSERT INTO Verein (Vereinsnummer, Name, Sortieren, PLZ, PLZ2, Ort, Meistbeteiligung, Entfernung) "
         "VALUES (4, 'SG Alt', 'Alt', '1111', '2222', 'Dorf', 0, 15), (5, 'SV', '', '', 'x', '', 3, 0)");
    {
        CVereinDlg editor(doc(), 4);
        EXPECT_EQ(child<QLineEdit>(&editor, "name")->text(), QStringLiteral("SG Alt"));
        EXPECT_EQ(child<QLineEdit>(&editor, "plz")->text(), QStringLiteral("1111"));
        EXPECT_EQ(child<QLineEdit>(&editor, "entfernung")->text(), QStringLiteral("15"));
        child<QLineEdit>(&editor, "name")->setText(QStringLiteral("SG Neu"));
        child<QLineEdit>(&editor, "entfernung")->setText(QStringLiteral("27"));
        click(&editor, "ok");
        EXPECT_EQ(editor.returnedNumber(), 4);
    }
    EXPECT_EQ(text("SELECT Name || '/' || PLZ2 || '/' || Ort FROM Verein WHERE Vereinsnummer = 4"),
              QStringLiteral("SG Neu/2222/Dorf"));
    EXPECT_EQ(scalar("SELECT Meistbeteiligung FROM Verein WHERE Vereinsnummer = 4"), 0);
    EXPECT_EQ(scalar("SELECT Entfernung FROM Verein WHERE Vereinsnummer = 4"), 27);
    {
        CVereinDlg editor(doc(), 5);
        click(&editor, "ok");
    }
    EXPECT_EQ(scalar("SELECT Meistbeteiligung FROM Verein WHERE Vereinsnummer = 5"), 1);
    EXPECT_EQ(text("SELECT PLZ2 FROM Verein WHERE Vereinsnummer = 5"), QStringLiteral("x"));
}

TEST_F(VereinDlgTest, CancelAndRefusedDistanceStoreNothing)
{
    {
        CVereinDlg editor(doc(), 6);
        child<QLineEdit>(&editor, "name")->setText(QStringLiteral("Verworfen"));
        click(&editor, "cancel");
        EXPECT_EQ(editor.returnedNumber(), 0);
    }
    {
        CVereinDlg editor(doc(), 6);
        editor.show();
        child<QLineEdit>(&editor, "entfernung")->setText(QStringLiteral("12,5"));
        click(&editor, "ok");
        EXPECT_TRUE(editor.isVisible()); // stays open for a correction
        EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Geben Sie bitte eine ganze Zahl ein.")});
        EXPECT_EQ(editor.returnedNumber(), 0);
    }
    EXPECT_EQ(scalar("SELECT COUNT(*) FROM Verein"), 0);
}

TEST_F(VereinDlgTest, BothNumberDialogsOpenWhereEitherWasLastClosed)
{
    {
        CVereinNrDlg clubs(doc());
        clubs.show();
        clubs.move(123, 97);
        clubs.reject();
    }
    QSettings settings;
    EXPECT_EQ(settings.value(QStringLiteral("VMNewPosition/x")).toInt(), 123);
    EXPECT_TRUE(settings.contains(QStringLiteral("VMNewPosition/xend")));
    CTeilnehmerNrDlg participants(doc());
    EXPECT_EQ(participants.pos(), QPoint(123, 97));
}

// Tab to "Abbrechen" and Enter used to store the club; Space and Esc never did.
TEST_F(VereinDlgTest, EnterOnAFocusedButtonPressesThatButton)
{
    for (const auto& [button, stored] : {std::pair{"cancel", false}, std::pair{"ok", true}}) {
        SCOPED_TRACE(button);
        exec("DELETE FROM Verein");
        CVereinDlg editor(doc(), 9);
        test::showActive(&editor);
        child<QLineEdit>(&editor, "name")->setText(QStringLiteral("SV Tell"));
        child<QPushButton>(&editor, button)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(editor.isVisible());
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM Verein"), stored ? 1 : 0);
    }
    // The number cannot be changed, and looks it.
    CVereinDlg editor(doc(), 9);
    auto* number = child<QLineEdit>(&editor, "number");
    EXPECT_TRUE(number->isReadOnly());
    EXPECT_EQ(number->palette().color(QPalette::Base), number->palette().color(QPalette::Window));
}

// As in the result entry: Enter moves from field to field, Esc asks before typed changes are lost.
TEST_F(VereinDlgTest, EnterMovesOnAndEscapeAsksBeforeChangesAreLost)
{
    struct Case {
        const char* typed;
        Reply reply;
        std::size_t questions;
        bool open;
        int stored;
    };
    const Case cases[] = {
        {"", Reply::Yes, 0, false, 0},
        {"SV Tell", Reply::Cancel, 1, true, 0},
        {"SV Tell", Reply::No, 1, false, 0},
        {"SV Tell", Reply::Yes, 1, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " " + std::to_string(static_cast<int>(c.reply)));
        exec("DELETE FROM Verein");
        prompter.messages.clear();
        prompter.replies = {c.reply};
        CVereinDlg editor(doc(), 9);
        test::showActive(&editor);
        auto* name = child<QLineEdit>(&editor, "name");
        name->setFocus();
        QTest::keyClicks(name, QString::fromUtf8(c.typed));
        QTest::keyClick(name, Qt::Key_Return);
        EXPECT_TRUE(editor.isVisible());
        EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>(&editor, "sortieren"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_EQ(prompter.messages.size(), c.questions);
        EXPECT_EQ(editor.isVisible(), c.open);
        EXPECT_EQ(scalar("SELECT COUNT(*) FROM Verein"), c.stored);
    }
}

} // namespace
} // namespace torvm::ui
