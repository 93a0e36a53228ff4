#pragma once

#include "db/Tables.h"

#include <QComboBox>

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

// An editable combo box that looks up names while they are typed: every change the user makes to
// the text rebuilds the list from the file and completes the text with the first entry that begins
// with it, the completed part selected so that typing on replaces it. Each entry carries a number
// (club or participant number) that the derived class writes into its owner's number edit.
class CNameCombo : public QComboBox {
    Q_OBJECT
public:
    explicit CNameCombo(QWidget* parent = nullptr);

    // An entry's detail (ComboItem::detail), which the list shows beside its text.
    static constexpr int kDetailRole = Qt::UserRole + 1;

    void AttachDocument(CTorvmDoc* doc) { m_doc = doc; }
    // The number of the selected entry; 0 without a selection.
    int selectedNumber() const;

protected:
    CTorvmDoc* document() const { return m_doc; }
    // The entries for what the user typed, read afresh.
    virtual ComboItems completionItems(const QString& typed) = 0;
    // The user picked an entry from the list.
    virtual void picked() = 0;
    // The combo was left (not for its own drop-down list).
    virtual void left() = 0;

    // Replaces the entries without telling anyone; no entry is selected afterwards.
    void setItems(const ComboItems& items);
    // Selects the last entry with number (or none) without telling anyone.
    void selectNumber(int number);

    void focusOutEvent(QFocusEvent* event) override;

private:
    void complete(const QString& typed);

    CTorvmDoc* m_doc = nullptr;
};

} // namespace torvm::ui
