#include "masterdata/ui/NameCombo.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace torvm::ui {

namespace {

// The list shows each entry's detail beside its text; the box itself shows the text alone.
class DetailDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString detail = index.data(CNameCombo::kDetailRole).toString();
        if (!detail.isEmpty())
            option->text += QStringLiteral("   (") + detail + QLatin1Char(')');
    }
};

} // namespace

CNameCombo::CNameCombo(QWidget* parent)
    : QComboBox(parent)
{
    setItemDelegate(new DetailDelegate(this));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The list itself completes from the file; Qt's own completer would complete a second time
    // from the old list.
    setCompleter(nullptr);
    setMaxVisibleItems(15);
    connect(lineEdit(), &QLineEdit::textEdited, this, &CNameCombo::complete);
    connect(this, &QComboBox::activated, this, [this] { picked(); });
}

int CNameCombo::selectedNumber() const
{
    const int index = currentIndex();
    return index >= 0 ? itemData(index).toInt() : 0;
}

void CNameCombo::setItems(const ComboItems& items)
{
    const QSignalBlocker block(this);
    clear();
    for (const ComboItem& item : items) {
        addItem(item.text, item.data);
        if (!item.detail.isEmpty())
            setItemData(count() - 1, item.detail, kDetailRole);
    }
    // The list as wide as its entries with their details, however narrow the box.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 2 * view()->frameWidth());
    setCurrentIndex(-1);
}

void CNameCombo::selectNumber(int number)
{
    int found = -1;
    for (int i = count() - 1; i >= 0 && found < 0; --i) {
        if (itemData(i).toInt() == number)
            found = i;
    }
    const QSignalBlocker block(this);
    setCurrentIndex(found);
}

void CNameCombo::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        left();
}

void CNameCombo::complete(const QString& typed)
{
    QLineEdit* edit = lineEdit();
    const bool hadSelection = edit->hasSelectedText();
    const int selStart = hadSelection ? edit->selectionStart() : edit->cursorPosition();
    const int selEnd = hadSelection ? edit->selectionEnd() : edit->cursorPosition();

    setItems(completionItems(typed));
    // Every entry begins with an empty text; completing that would put a name back into a field
    // the user has just cleared.
    const int found = typed.isEmpty() ? -1 : findText(typed, Qt::MatchStartsWith);
    {
        const QSignalBlocker block(this);
        setCurrentIndex(found);
    }
    if (found < 0)
        edit->setText(typed);

    if (selEnd < typed.size()) {
        // Editing inside the text: the caret stays where the user put it.
        if (selEnd > selStart)
            edit->setSelection(selStart, selEnd - selStart);
        else
            edit->setCursorPosition(selEnd);
    } else {
        edit->setSelection(typed.size(), edit->text().size() - typed.size());
    }
}

} // namespace torvm::ui
