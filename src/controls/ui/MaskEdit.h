#pragma once

#include "controls/MaskedValues.h"
#include "db/DateTime.h"

#include <QLineEdit>

namespace torvm::ui {

// A line edit with a fixed pattern: digits are overtyped position by position, separators are
// typed by the control itself, and nothing can shorten the text. With the mask off it is a plain
// line edit.
class CMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CMaskEdit(QWidget* parent = nullptr);

    // mask: "0" = a digit position, anything else a literal; templ (same length): "_" marks a digit
    // position, any other character is the literal shown there. extra: characters always accepted.
    void setMask(const QString& mask, const QString& templ, MaskRange range, const QString& extra = {});
    void setMaskEnabled(bool enabled);
    bool maskEnabled() const { return m_enabled; }

    // Shows text as typed so far (the range checks read it) and puts the caret at the start.
    void setMaskedText(const QString& text);

    // With a blank character a field can be emptied again: Backspace and Delete put the blank into
    // digit positions (the selected ones, else the one before or at the caret) instead of being
    // refused. The text keeps its length either way.
    void setBlankDigit(QChar blank) { m_blank = blank; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void typeCharacter(QChar c);
    bool accepts(QChar c);
    void typeLiteral(QChar literal);
    bool isLiteralAt(int pos) const;
    void applyEditingGuards();
    void blankDigits(bool backward);

    bool m_enabled = true;
    MaskRange m_range = MaskRange::None;
    QString m_shadow;
    QString m_mask;
    QString m_template;
    QString m_extra;
    QChar m_blank;           // none: digits can only be overtyped
    bool m_internal = false; // the control is typing a separator itself
};

// What a date field shows for a missing date: the stand-in date where a value is always stored (the
// date of a round), blanks where the date may stay unknown (a birthday, a class bound).
enum class MissingDate { StandIn, Blank };

class CDateEdit : public CMaskEdit {
    Q_OBJECT
public:
    explicit CDateEdit(QWidget* parent = nullptr, MissingDate missing = MissingDate::StandIn);
    void set(const DateTime& value);
    // The blank field gives a Null value.
    DateTime get() const;

private:
    MissingDate m_missing;
};

class CTimeEdit : public CMaskEdit {
    Q_OBJECT
public:
    explicit CTimeEdit(QWidget* parent = nullptr);
    void set(const DateTime& value);
    DateTime get() const;
};

} // namespace torvm::ui
