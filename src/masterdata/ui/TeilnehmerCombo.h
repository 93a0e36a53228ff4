#pragma once

#include "masterdata/ui/NameCombo.h"

class QLineEdit;

namespace torvm::ui {

// Participants by "Name Vorname", found from the third typed character on, kept in step with a
// participant number edit of the owner dialog.
class CTeilnehmerCombo : public CNameCombo {
    Q_OBJECT
public:
    // Fewer typed characters than this leave the list empty: two letters match half the file.
    static constexpr int kMinTyped = 3;

    explicit CTeilnehmerCombo(QWidget* parent = nullptr);

    void Bind(QLineEdit* numberEdit) { m_numberEdit = numberEdit; }
    // Shows the participant with number as the only entry, or nothing when there is none.
    void SetParticipant(int number);
    // The participant last written to the owner; 0 when the combo was left without a selection.
    int participant() const { return m_number; }
    // The shooters of this club (the team's own) come first in the list.
    void setPreferredClub(int club) { m_preferredClub = club; }

signals:
    // A participant was picked from the list, or the box was left by Tab with one selected: the
    // owner moves on to the row's next field.
    void participantChosen();

protected:
    ComboItems completionItems(const QString& typed) override;
    void picked() override;
    void left() override { writeNumber(); }
    void focusOutEvent(QFocusEvent* event) override;
    // Enter takes the entry the text completed, or else the first one: the list's proposal.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void writeNumber();

    QLineEdit* m_numberEdit = nullptr;
    int m_number = 0;
    int m_preferredClub = 0;
};

} // namespace torvm::ui
