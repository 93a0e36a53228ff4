#include "controls/ui/MaskEdit.h"
#include "support/ScriptedPrompter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace torvm::ui {
namespace {

// Keys are written as plain characters, or as {BS}, {DEL}, {INS}, {HOME}, {END}, {LEFT}, {RIGHT},
// {ALL} (select all) and {CUT}/{PASTE} (the platform's shortcuts).
void typeKeys(QWidget* w, const char* keys)
{
    const QString text = QString::fromUtf8(keys);
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('{')) {
            QTest::keyClick(w, text.at(i).toLatin1());
            continue;
        }
        const int end = text.indexOf(QLatin1Char('}'), i);
        const QString name = text.mid(i + 1, end - i - 1);
        i = end;
        if (name == QLatin1String("BS"))
            QTest::keyClick(w, Qt::Key_Backspace);
        else if (name == QLatin1String("DEL"))
            QTest::keyClick(w, Qt::Key_Delete);
        else if (name == QLatin1String("INS"))
            QTest::keyClick(w, Qt::Key_Insert);
        else if (name == QLatin1String("HOME"))
            QTest::keyClick(w, Qt::Key_Home);
        else if (name == QLatin1String("END"))
            QTest::keyClick(w, Qt::Key_End);
        else if (name == QLatin1String("LEFT"))
            QTest::keyClick(w, Qt::Key_Left);
        else if (name == QLatin1String("RIGHT"))
            QTest::keyClick(w, Qt::Key_Right);
        else if (name == QLatin1String("ALL"))
            QTest::keySequence(w, QKeySequence::SelectAll);
        else if (name == QLatin1String("CUT"))
            QTest::keySequence(w, QKeySequence::Cut);
        else if (name == QLatin1String("PASTE"))
            QTest::keySequence(w, QKeySequence::Paste);
        else
            ADD_FAILURE() << "unknown key " << name.toStdString();
    }
}

enum class Field { Date, BlankDate, Time }; // BlankDate: a date field that may stay empty

struct TypingCase {
    const char* name;
    Field field;
    int caret;        // where the caret stands before typing
    const char* keys; // see typeKeys
    const char* text; // the field afterwards
    int caretAfter;
    int beeps;
};

std::ostream& operator<<(std::ostream& os, const TypingCase& c)
{
    return os << c.name;
}

// Every case starts from the empty value ("01.01.1998", "  .  .    " or "12:00").
const TypingCase kTypingCases[] = {
    {"DayTensAboveThreeRefusedSilently", Field::Date, 0, "4", "01.01.1998", 0, 0},
    {"ThirtySecondDayRefused", Field::Date, 0, "32", "31.01.1998", 1, 0},
    {"ThirtyFirstAccepted", Field::Date, 0, "31", "31.01.1998", 3, 0},
    {"TwoDigitsJumpOverSeparator", Field::Date, 0, "15", "15.01.1998", 3, 0},
    {"MonthTensAboveOneRefused", Field::Date, 3, "2", "01.01.1998", 3, 0},
    {"ThirteenthMonthRefused", Field::Date, 0, "1513", "15.11.1998", 4, 0},
    {"TwelfthMonthAccepted", Field::Date, 3, "12", "01.12.1998", 6, 0},
    {"YearDigitsFree", Field::Date, 6, "9999", "01.01.9999", 10, 0},
    {"WholeDateTyped", Field::Date, 0, "01102002", "01.10.2002", 10, 0},
    {"TypingPastTheEndBeeps", Field::Date, 0, "011020025", "01.10.2002", 10, 1},
    {"LetterBeeps", Field::Date, 0, "a", "01.01.1998", 0, 1},
    {"TypedSeparatorIsNoDigit", Field::Date, 0, "15.", "15.01.1998", 3, 1},
    {"DigitOnSeparatorLandsAfterIt", Field::Date, 2, "1", "01.11.1998", 4, 0},
    {"SelectionOvertypesFromItsStart", Field::Date, 0, "{ALL}2", "21.01.1998", 1, 0},
    {"CaretMovesFreely", Field::Date, 0, "{END}{LEFT}{LEFT}7", "01.01.1978", 9, 0},
    {"BackspaceDeleteInsertSwallowed", Field::Date, 4, "{BS}{DEL}{INS}{END}{BS}{HOME}{DEL}", "01.01.1998", 0, 0},
    {"CutAndPasteSwallowed", Field::Date, 0, "{ALL}{CUT}{PASTE}", "01.01.1998", 10, 0},
    {"ImpossibleDayPassesTyping", Field::Date, 0, "31022001", "31.02.2001", 10, 0},
    {"BackspaceBlanksBackOverSeparators", Field::BlankDate, 0, "1508{BS}{BS}{BS}", "1 .  .    ", 1, 0},
    {"DeleteBlanksForwardOverSeparators", Field::BlankDate, 0, "15081990{HOME}{DEL}{DEL}{DEL}", "  . 8.1990", 4, 0},
    {"DeleteEmptiesTheSelection", Field::BlankDate, 0, "15081990{ALL}{DEL}", "  .  .    ", 0, 0},
    {"HourTensAboveTwoRefused", Field::Time, 0, "3", "12:00", 0, 0},
    {"HourTwentyFourRefused", Field::Time, 0, "24", "22:00", 1, 0},
    {"HourTwentyThreeAccepted", Field::Time, 0, "23", "23:00", 3, 0},
    {"LastMinuteOfDay", Field::Time, 0, "2359", "23:59", 5, 0},
    {"MinuteSixtyRefused", Field::Time, 0, "126", "12:00", 3, 0},
    {"MinuteUnitsFree", Field::Time, 4, "9", "12:09", 5, 0},
    {"MorningHour", Field::Time, 0, "0930", "09:30", 5, 0},
    {"TimePastTheEndBeeps", Field::Time, 0, "19301", "19:30", 5, 1},
    {"ColonTypedBeeps", Field::Time, 0, "19:", "19:00", 3, 1},
    {"TimeBackspaceSwallowed", Field::Time, 5, "{BS}{BS}{DEL}", "12:00", 5, 0},
};

class MaskTyping : public ::testing::TestWithParam<TypingCase> {};

TEST_P(MaskTyping, GivesTextCaretAndBeeps)
{
    const TypingCase& c = GetParam();
    test::ScriptedPrompter prompter;
    QGuiApplication::clipboard()->setText(QStringLiteral("4711"));
    std::unique_ptr<CMaskEdit> edit;
    if (c.field == Field::Date)
        edit = std::make_unique<CDateEdit>();
    else if (c.field == Field::BlankDate)
        edit = std::make_unique<CDateEdit>(nullptr, MissingDate::Blank);
    else
        edit = std::make_unique<CTimeEdit>();
    edit->show();
    edit->setFocus();
    edit->setCursorPosition(c.caret);
    typeKeys(edit.get(), c.keys);
    EXPECT_EQ(edit->text(), QString::fromLatin1(c.text));
    EXPECT_EQ(edit->cursorPosition(), c.caretAfter);
    EXPECT_EQ(prompter.beeps, c.beeps);
}

INSTANTIATE_TEST_SUITE_P(Keys, MaskTyping, ::testing::ValuesIn(kTypingCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(MaskEdit, SecondDigitIsCheckedAgainstTheFirstAsTyped)
{
    // Only the digit being typed is checked: a 3 before an existing 5 passes, and the day's second
    // digit may then only become 0 or 1.
    test::ScriptedPrompter prompter;
    CDateEdit edit;
    edit.set(DateTime::fromParts(2002, 10, 5));
    edit.show();
    typeKeys(&edit, "3");
    EXPECT_EQ(edit.text(), QStringLiteral("35.10.2002"));
    EXPECT_EQ(edit.get().status(), DateTime::Status::Invalid);
    typeKeys(&edit, "{HOME}{RIGHT}2");
    EXPECT_EQ(edit.text(), QStringLiteral("35.10.2002"));
    typeKeys(&edit, "{HOME}{RIGHT}0");
    EXPECT_EQ(edit.text(), QStringLiteral("30.10.2002"));
    EXPECT_EQ(prompter.beeps, 0);
}

TEST(MaskEdit, WithoutMaskItIsAPlainEdit)
{
    test::ScriptedPrompter prompter;
    CMaskEdit edit;
    edit.setMask(QStringLiteral("00-00"), QStringLiteral("__-__"), MaskRange::None);
    edit.setMaskEnabled(false);
    edit.setText(QStringLiteral("12-34"));
    edit.show();
    typeKeys(&edit, "{END}{BS}{BS}ab");
    EXPECT_EQ(edit.text(), QStringLiteral("12-ab"));
    EXPECT_EQ(prompter.beeps, 0);
}

TEST(MaskEdit, ExtraCharactersAreAcceptedAtDigitPositions)
{
    test::ScriptedPrompter prompter;
    CMaskEdit edit;
    edit.setMask(QStringLiteral("00-00"), QStringLiteral("__-__"), MaskRange::None, QStringLiteral("?"));
    edit.setMaskedText(QStringLiteral("00-00"));
    edit.show();
    typeKeys(&edit, "9?x7");
    EXPECT_EQ(edit.text(), QStringLiteral("9?-70"));
    EXPECT_EQ(prompter.beeps, 1) << "x is neither a digit nor an extra character";
}

struct ValueCase {
    const char* name;
    Field field;
    DateTime value;
    const char* shown;
    DateTime readBack;
};

std::ostream& operator<<(std::ostream& os, const ValueCase& c)
{
    return os << c.name;
}

const DateTime kMidnightOfDayZero = DateTime::fromParts(1899, 12, 30);

const ValueCase kValueCases[] = {
    {"NullDate", Field::Date, DateTime(), "01.01.1998", DateTime::fromParts(1998, 1, 1)},
    {"ZeroDate", Field::Date, kMidnightOfDayZero, "01.01.1998", DateTime::fromParts(1998, 1, 1)},
    {"InvalidDate", Field::Date, DateTime::invalid(), "01.01.1998", DateTime::fromParts(1998, 1, 1)},
    {"DateWithTime", Field::Date, DateTime::fromParts(2002, 10, 1, 19, 30), "01.10.2002",
     DateTime::fromParts(2002, 10, 1)},
    {"DayZeroWithTimeIsNoZero", Field::Date, DateTime::fromParts(1899, 12, 30, 6), "30.12.1899",
     DateTime::fromParts(1899, 12, 30)},
    {"NullDateShowsBlank", Field::BlankDate, DateTime(), "  .  .    ", DateTime()},
    {"ZeroDateShowsBlank", Field::BlankDate, kMidnightOfDayZero, "  .  .    ", DateTime()},
    {"NullTime", Field::Time, DateTime(), "12:00", DateTime::fromParts(1899, 12, 30, 12)},
    {"MidnightWithoutDate", Field::Time, kMidnightOfDayZero, "12:00", DateTime::fromParts(1899, 12, 30, 12)},
    {"TimeOfARound", Field::Time, DateTime::fromParts(2002, 10, 1, 19, 30, 45), "19:30",
     DateTime::fromParts(1899, 12, 30, 19, 30)},
    {"MidnightOfARealDay", Field::Time, DateTime::fromParts(2002, 10, 1), "00:00", kMidnightOfDayZero},
};

class MaskValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(MaskValues, ShowAndReadBack)
{
    const ValueCase& c = GetParam();
    if (c.field != Field::Time) {
        CDateEdit edit(nullptr, c.field == Field::BlankDate ? MissingDate::Blank : MissingDate::StandIn);
        edit.set(c.value);
        EXPECT_EQ(edit.text(), QString::fromLatin1(c.shown));
        EXPECT_EQ(edit.cursorPosition(), 0);
        EXPECT_EQ(edit.get(), c.readBack);
    } else {
        CTimeEdit edit;
        edit.set(c.value);
        EXPECT_EQ(edit.text(), QString::fromLatin1(c.shown));
        EXPECT_EQ(edit.get(), c.readBack);
    }
}

INSTANTIATE_TEST_SUITE_P(Values, MaskValues, ::testing::ValuesIn(kValueCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(MaskEdit, TextsThatNameNoDayOrTimeReadAsInvalid)
{
    test::ScriptedPrompter prompter;
    CDateEdit date;
    date.show();
    typeKeys(&date, "31022001");
    EXPECT_EQ(date.get().status(), DateTime::Status::Invalid);
    date.setMaskedText(QStringLiteral("29.02.2000"));
    EXPECT_EQ(date.get(), DateTime::fromParts(2000, 2, 29));
    date.setMaskedText(QStringLiteral("29.02.1900"));
    EXPECT_EQ(date.get().status(), DateTime::Status::Invalid);
    date.setMaskedText(QStringLiteral("35.10.2002"));
    EXPECT_EQ(date.get().status(), DateTime::Status::Invalid);
    date.setMaskedText(QStringLiteral("15.  .    "));
    EXPECT_EQ(date.get().status(), DateTime::Status::Invalid) << "a date typed only in part";

    CTimeEdit time;
    time.setMaskedText(QStringLiteral("24:00"));
    EXPECT_EQ(time.get().status(), DateTime::Status::Invalid);
    time.setMaskedText(QStringLiteral("12:3"));
    EXPECT_EQ(time.get(), DateTime::fromParts(1899, 12, 30, 12, 3));
    time.setMaskedText(QStringLiteral("ab:cd"));
    EXPECT_EQ(time.get().status(), DateTime::Status::Invalid);
}

} // namespace
} // namespace torvm::ui
