#pragma once

#include "masterdata/ui/NameCombo.h"

#include <functional>

class QLineEdit;

namespace torvm::ui {

// Clubs by name, kept in step with a club number edit of the owner dialog.
class CVereinCombo : public CNameCombo {
    Q_OBJECT
public:
    explicit CVereinCombo(QWidget* parent = nullptr);

    // Picks and leaving write the club number into *clubNumber and into numberEdit.
    void Bind(QLineEdit* numberEdit, int* clubNumber);
    // As above; a pick also tells the owner that its data changed.
    void Bind(QLineEdit* numberEdit, int* clubNumber, std::function<void()> modified);

    // Selects the last club with number, none when there is no such club; with reload the list is
    // first read again with every club by sort name.
    void SelectClub(int number, bool reload);
    // The same with the list given, as AllClubs() read it once for several combos.
    void SelectClub(int number, const ComboItems& clubs);
    // Every club by sort name.
    ComboItems AllClubs() { return completionItems(QString()); }
    // Writes the selected club's number (0 without a selection) to the bound int and edit.
    void WriteNumber();

protected:
    ComboItems completionItems(const QString& typed) override;
    void picked() override;
    // Passing through without typing keeps the number edit as it is: a number that names no club
    // (not yet created) must reach the owner's check instead of turning into 0.
    void left() override;

private:
    bool m_typed = false; // the user typed into the name since a club was selected
    QLineEdit* m_numberEdit = nullptr;
    int* m_clubNumber = nullptr;
    std::function<void()> m_modified;
};

} // namespace torvm::ui
