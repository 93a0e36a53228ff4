#include "controls/ui/MaskEdit.h"

#include "widgets/Prompt.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>
#include <memory>

namespace torvm::ui {

namespace {

constexpr QChar kDigitSlot = QLatin1Char('_');
constexpr QChar kDigitMask = QLatin1Char('0');

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Editing commands that would shorten the text or put arbitrary text into it.
bool isRefusedEdit(const QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy))
        return false; // Ctrl+Insert copies on some platforms
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Insert:
        return true;
    default:
        break;
    }
    for (const auto key :
         {QKeySequence::Cut, QKeySequence::Paste, QKeySequence::Undo, QKeySequence::Redo,
          QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord, QKeySequence::DeleteEndOfLine,
          QKeySequence::DeleteCompleteLine, QKeySequence::Backspace, QKeySequence::Delete}) {
        if (event->matches(key))
            return true;
    }
    return false;
}

bool isTypedCharacter(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.size() != 1 || !text.at(0).isPrint())
        return false;
    return !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

CMaskEdit::CMaskEdit(QWidget* parent)
    : QLineEdit(parent)
{
    applyEditingGuards();
}

void CMaskEdit::setMask(const QString& mask, const QString& templ, MaskRange range, const QString& extra)
{
    m_mask = mask;
    m_template = templ;
    m_range = range;
    m_extra = extra;
}

void CMaskEdit::setMaskEnabled(bool enabled)
{
    m_enabled = enabled;
    applyEditingGuards();
}

void CMaskEdit::applyEditingGuards()
{
    // Drops and input-method compositions would bypass the position checks.
    setAcceptDrops(!m_enabled);
    setAttribute(Qt::WA_InputMethodEnabled, !m_enabled);
}

void CMaskEdit::setMaskedText(const QString& text)
{
    m_shadow = text;
    setText(text);
    setCursorPosition(0);
}

void CMaskEdit::keyPressEvent(QKeyEvent* event)
{
    if (!m_enabled) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (isRefusedEdit(event)) {
        if (!m_blank.isNull() && (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) &&
            event->modifiers() == Qt::NoModifier)
            blankDigits(event->key() == Qt::Key_Backspace);
        event->accept();
        return;
    }
    if (isTypedCharacter(event)) {
        typeCharacter(event->text().at(0));
        event->accept();
        return;
    }
    if ((event->modifiers() & Qt::ControlModifier) && !event->matches(QKeySequence::Copy) &&
        !event->matches(QKeySequence::SelectAll) && event->text().size() == 1) {
        // Line-editing shortcuts of the platform (kill line, delete character) are not for masks;
        // the dialog may still use the key.
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CMaskEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The middle button pastes the selection on X11; that would insert text unchecked.
    if (m_enabled && event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void CMaskEdit::contextMenuEvent(QContextMenuEvent* event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    if (m_enabled) {
        const QList<QAction*> actions = menu->actions();
        for (QAction* action : actions) {
            const QString name = action->objectName();
            if (!action->isSeparator() && name != QLatin1String("edit-copy") && name != QLatin1String("select-all"))
                menu->removeAction(action);
        }
    }
    menu->exec(event->globalPos());
}

void CMaskEdit::blankDigits(bool backward)
{
    const bool selection = hasSelectedText();
    int from = 0;
    int to = 0;
    if (selection) {
        from = selectionStart();
        to = selectionEnd();
    } else {
        // The separators are stepped over, as typing steps over them.
        const int step = backward ? -1 : 1;
        from = backward ? cursorPosition() - 1 : cursorPosition();
        while (isLiteralAt(from))
            from += step;
        if (from < 0 || from >= std::min<int>(text().size(), m_template.size()))
            return;
        to = from + 1;
    }
    QString part = text().mid(from, to - from);
    for (int i = 0; i < part.size(); ++i) {
        if (isLiteralAt(from + i))
            continue;
        part[i] = m_blank;
        if (from + i < m_shadow.size())
            m_shadow[from + i] = m_blank;
    }
    // Inserted over the selection, so the field counts as edited.
    setSelection(from, to - from);
    insert(part);
    setCursorPosition(backward || selection ? from : to);
}

bool CMaskEdit::isLiteralAt(int pos) const
{
    return pos >= 0 && pos < m_template.size() && m_template.at(pos) != kDigitSlot;
}

void CMaskEdit::typeLiteral(QChar literal)
{
    m_internal = true;
    typeCharacter(literal);
    m_internal = false;
}

void CMaskEdit::typeCharacter(QChar c)
{
    if (!m_internal && !accepts(c))
        return;
    // Overtype: the character replaces the one at the caret, so the text keeps its length.
    const int pos = cursorPosition();
    setSelection(pos, 1);
    insert(QString(c));
    if (pos < m_shadow.size())
        m_shadow[pos] = c;
    else
        m_shadow.append(c);
    if (isLiteralAt(cursorPosition()))
        typeLiteral(m_template.at(cursorPosition()));
}

bool CMaskEdit::accepts(QChar c)
{
    if (!m_enabled || !c.isPrint())
        return true;
    int pos = hasSelectedText() ? selectionStart() : cursorPosition();
    setCursorPosition(pos);
    if (pos >= m_mask.size()) {
        beep();
        return false;
    }
    if (isLiteralAt(pos)) {
        typeLiteral(m_template.at(pos));
        pos = cursorPosition();
        if (pos >= m_mask.size()) {
            beep();
            return false;
        }
    }
    if (m_extra.contains(c))
        return true;
    if (m_mask.at(pos) == kDigitMask) {
        if (!isAsciiDigit(c)) {
            beep();
            return false;
        }
        // Impossible days, months, hours and minutes are refused quietly: the user sees why.
        return maskDigitAllowed(m_range, pos, c, m_shadow);
    }
    beep();
    return false;
}

// ------------------------------------------------------------------------------------ date, time

CDateEdit::CDateEdit(QWidget* parent, MissingDate missing)
    : CMaskEdit(parent)
    , m_missing(missing)
{
    setMask(QString::fromLatin1(kDateMask), QString::fromLatin1(kDateTemplate), MaskRange::Date);
    if (missing == MissingDate::Blank)
        setBlankDigit(QLatin1Char(' '));
    set(DateTime());
}

void CDateEdit::set(const DateTime& value)
{
    setMaskedText(m_missing == MissingDate::Blank ? optionalDateFieldText(value) : dateFieldText(value));
}

DateTime CDateEdit::get() const
{
    return parseDateField(text());
}

CTimeEdit::CTimeEdit(QWidget* parent)
    : CMaskEdit(parent)
{
    setMask(QString::fromLatin1(kTimeMask), QString::fromLatin1(kTimeTemplate), MaskRange::Time);
    setMaskedText(QString::fromLatin1(kEmptyTimeText));
}

void CTimeEdit::set(const DateTime& value)
{
    setMaskedText(timeFieldText(value));
}

DateTime CTimeEdit::get() const
{
    return parseTimeField(text());
}

} // namespace torvm::ui
