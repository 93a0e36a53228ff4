#include "masterdata/ui/DialogDriver.h"
#include "masterdata/ui/TeilnehmerCombo.h"
#include "masterdata/ui/VereinCombo.h"
#include "support/Fixtures.h"
#include "support/ScriptedPrompter.h"

#include <QDialog>
#include <QLineEdit>
#include <QVBoxLayout>

namespace torvm::ui {
namespace {

// A bare owner dialog: a number edit, the combo under test and a field to move the focus to.
template <typename Combo> struct Owner {
    QDialog dialog;
    QLineEdit* number = new QLineEdit(&dialog);
    Combo* combo = new Combo(&dialog);
    QLineEdit* other = new QLineEdit(&dialog);

    explicit Owner(CTorvmDoc& doc)
    {
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(number);
        layout->addWidget(combo);
        layout->addWidget(other);
        combo->AttachDocument(&doc);
        test::showActive(&dialog);
        combo->setFocus();
    }
    void type(const char* text) { QTest::keyClicks(combo, QString::fromUtf8(text)); }
    void leave() { other->setFocus(); }
    QLineEdit* edit() const { return combo->lineEdit(); }
    QStringList items() const
    {
        QStringList list;
        for (int i = 0; i < combo->count(); ++i)
            list << combo->itemText(i);
        return list;
    }
};

class ComboTest : public ::testing::Test {
protected:
    test::TempCompetition comp;
    test::ScriptedPrompter prompter;

    void SetUp() override
    {
        ASSERT_TRUE(comp.db()->execute(
            R"(INSERT INTO Verein (Vereinsnummer, Name, Sortieren) VALUES
                (1, 'SG Bergheim', 'Bergheim'), (2, 'd''Artagnan Schützen', 'Artagnan'),
                (3, '100% Treffer', 'Treffer'), (4, '1000 Ringe', 'Ringe'), (5, 'SV_Nord', 'Nord'),
                (6, 'SV Nord', 'Nord B'), (7, 'Bergfreunde', 'Bergfreunde'))"));
        ASSERT_TRUE(comp.db()->execute(
            R"(INSERT INTO Teilnehmer ("Paßnummer", Name, Vorname) VALUES
                (7, 'Maier', 'Zoe'), (3, 'Maier', 'Anna'), (9, 'O''Maier', 'Sean'), (4, 'Mai_er', 'Udo'),
                (5, 'Huber', 'Max'))"));
    }
};

TEST_F(ComboTest, ClubNamesCompleteWhileTyping)
{
    const struct {
        const char* typed;
        const char* text;     // edit text afterwards
        const char* selected; // the highlighted completion
        int index;            // -1: no club selected
    } cases[] = {
        {"SG B", "SG Bergheim", "ergheim", 0},
        {"sg b", "SG Bergheim", "ergheim", 0}, // the list's prefix search ignores case
        {"Berg", "Bergfreunde", "freunde", 0}, // "SG Bergheim" comes after it by sort name
        {"d'A", "d'Artagnan Schützen", "rtagnan Schützen", 0},
        {"100%", "100% Treffer", " Treffer", 0}, // not "1000 Ringe"
        {"SV_", "SV_Nord", "Nord", 0},           // "_" is no wildcard: "SV Nord" is not listed
        {"Nord", "Nord", "", -1},                // contained, but no name begins with it
        {"xyz", "xyz", "", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Owner<CVereinCombo> owner(comp.doc());
        owner.type(c.typed);
        EXPECT_EQ(owner.edit()->text(), QString::fromUtf8(c.text));
        EXPECT_EQ(owner.edit()->selectedText(), QString::fromUtf8(c.selected));
        EXPECT_EQ(owner.combo->currentIndex(), c.index);
    }
    Owner<CVereinCombo> owner(comp.doc());
    owner.type("SV");
    EXPECT_EQ(owner.items(), (QStringList{QStringLiteral("SV_Nord"), QStringLiteral("SV Nord")}));
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(ComboTest, TypingOnReplacesTheCompletedPart)
{
    Owner<CVereinCombo> owner(comp.doc());
    owner.type("Ber");
    EXPECT_EQ(owner.edit()->text(), QStringLiteral("Bergfreunde"));
    owner.type("g"); // replaces the highlighted "gfreunde" and completes again
    EXPECT_EQ(owner.edit()->text(), QStringLiteral("Bergfreunde"));
    EXPECT_EQ(owner.edit()->selectedText(), QStringLiteral("freunde"));
    owner.type("h"); // "Bergh" begins no name: the typed text stays, caret at its end
    EXPECT_EQ(owner.edit()->text(), QStringLiteral("Bergh"));
    EXPECT_EQ(owner.combo->currentIndex(), -1);
    EXPECT_EQ(owner.edit()->cursorPosition(), 5);
    EXPECT_FALSE(owner.edit()->hasSelectedText());
}

TEST_F(ComboTest, EditingInsideTheTextKeepsTheCaret)
{
    Owner<CVereinCombo> owner(comp.doc());
    owner.type("SG Xergheim");
    EXPECT_EQ(owner.combo->currentIndex(), -1);
    owner.edit()->setCursorPosition(3);
    QTest::keyClick(owner.combo, Qt::Key_Delete); // "SG ergheim": still inside the text
    EXPECT_EQ(owner.edit()->text(), QStringLiteral("SG ergheim"));
    EXPECT_EQ(owner.edit()->cursorPosition(), 3);
    QTest::keyClicks(owner.combo, QStringLiteral("B")); // "SG Bergheim" begins with the whole text
    EXPECT_EQ(owner.edit()->text(), QStringLiteral("SG Bergheim"));
    EXPECT_EQ(owner.edit()->cursorPosition(), 4);
    EXPECT_FALSE(owner.edit()->hasSelectedText());
}

TEST_F(ComboTest, ClubNumberFollowsPicksAndLeaving)
{
    int clubNumber = -1;
    int modified = 0;
    Owner<CVereinCombo> owner(comp.doc());
    owner.combo->Bind(owner.number, &clubNumber, [&modified] { ++modified; });

    owner.combo->SelectClub(6, true); // the full list by sort name
    EXPECT_EQ(owner.combo->count(), 7);
    EXPECT_EQ(owner.edit()->text(), QStringLiteral("SV Nord"));
    EXPECT_EQ(owner.number->text(), QString()); // selecting by number writes nothing back

    owner.edit()->selectAll();
    owner.type("d'");
    owner.leave();
    EXPECT_EQ(clubNumber, 2);
    EXPECT_EQ(owner.number->text(), QStringLiteral("2"));
    EXPECT_EQ(modified, 0); // only picks from the list count as changes

    owner.combo->setFocus();
    owner.edit()->selectAll();
    owner.type("Unbekannt");
    owner.leave();
    EXPECT_EQ(clubNumber, 0);
    EXPECT_EQ(owner.number->text(), QStringLiteral("0"));

    owner.combo->SelectClub(1, true);
    owner.combo->setFocus();
    QTest::keyClick(owner.combo, Qt::Key_Down); // a pick with the keyboard
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(clubNumber, owner.combo->currentData().toInt());
    EXPECT_EQ(owner.number->text(), QString::number(clubNumber));
}

TEST_F(ComboTest, ParticipantListStartsWithTheThirdCharacter)
{
    Owner<CTeilnehmerCombo> owner(comp.doc());
    owner.combo->Bind(owner.number);
    owner.type("M");
    EXPECT_EQ(owner.combo->count(), 0);
    owner.type("a");
    EXPECT_EQ(owner.combo->count(), 0);
    EXPECT_EQ(owner.edit()->text(), QStringLiteral("Ma"));
    owner.type("i");
    // Every typed word begins a part of the name: "O'Maier" is no match for "Mai".
    EXPECT_EQ(owner.items(),
              (QStringList{QStringLiteral("Mai_er Udo"), QStringLiteral("Maier Anna"), QStringLiteral("Maier Zoe")}));
    EXPECT_EQ(owner.edit()->text(), QStringLiteral("Mai_er Udo"));
    owner.type("e");
    EXPECT_EQ(owner.edit()->text(), QStringLiteral("Maier Anna"));
    EXPECT_EQ(owner.edit()->selectedText(), QStringLiteral("r Anna"));
    owner.type("r");
    EXPECT_EQ(owner.items(), (QStringList{QStringLiteral("Maier Anna"), QStringLiteral("Maier Zoe")}));
    EXPECT_EQ(owner.edit()->text(), QStringLiteral("Maier Anna"));
    // Typing on into the first name narrows the list to her.
    owner.type(" A");
    EXPECT_EQ(owner.items(), QStringList{QStringLiteral("Maier Anna")});
    EXPECT_EQ(owner.edit()->text(), QStringLiteral("Maier Anna"));
    owner.leave();
    EXPECT_EQ(owner.combo->participant(), 3);
    EXPECT_EQ(owner.number->text(), QStringLiteral("3"));
}

TEST_F(ComboTest, ParticipantNamesWithApostropheAndWildcards)
{
    const struct {
        const char* typed;
        const char* text;
        int number; // after leaving; 0 = none
    } cases[] = {
        {"O'M", "O'Maier Sean", 9},       {"o'maier", "O'Maier Sean", 9},
        {"o'maier s", "O'Maier Sean", 9},                    // the first name is searched too
        {"Mai_", "Mai_er Udo", 4},        {"Ma%", "Ma%", 0}, // "%" is a character, not a wildcard
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Owner<CTeilnehmerCombo> owner(comp.doc());
        owner.combo->Bind(owner.number);
        owner.number->setText(QStringLiteral("77"));
        owner.type(c.typed);
        EXPECT_EQ(owner.edit()->text(), QString::fromUtf8(c.text));
        owner.leave();
        EXPECT_EQ(owner.combo->participant(), c.number);
        // Without a selection the owner's number stays as it was.
        EXPECT_EQ(owner.number->text(), c.number != 0 ? QString::number(c.number) : QStringLiteral("77"));
    }
}

TEST_F(ComboTest, SettingAParticipantByNumber)
{
    Owner<CTeilnehmerCombo> owner(comp.doc());
    owner.combo->SetParticipant(9);
    EXPECT_EQ(owner.items(), QStringList{QStringLiteral("O'Maier Sean")});
    EXPECT_EQ(owner.edit()->text(), QStringLiteral("O'Maier Sean"));
    EXPECT_EQ(owner.combo->participant(), 9);
    for (int missing : {0, 99}) {
        owner.combo->SetParticipant(missing);
        EXPECT_EQ(owner.combo->count(), 0);
        EXPECT_EQ(owner.edit()->text(), QString());
        EXPECT_EQ(owner.combo->participant(), 0);
    }
}

} // namespace
} // namespace torvm::ui
