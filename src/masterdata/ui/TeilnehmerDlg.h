#pragma once

#include "db/Tables.h"
#include "masterdata/ParticipantRecord.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

class CDateEdit;
class CVereinCombo;

inline constexpr auto kTeilPositionSection = "VMTeilPosition"; // read only: the editor never stores it

// The record editor of one participant at a time. "<" and ">" store the participant shown and step
// through the participants in number order; ">" past the last one starts a new participant.
class CTeilnehmerDlg : public QDialog {
    Q_OBJECT
public:
    // number 0 starts a new participant with the next free number; a number without a record
    // starts a new participant with exactly that number.
    CTeilnehmerDlg(CTorvmDoc& doc, int number, QWidget* parent = nullptr);

    // The number of the participant shown: its stored number, or the number a new one will get.
    int shownNumber() const { return m_current != 0 ? m_current : m_proposed; }
    bool showsNewParticipant() const { return m_current == 0; }

public slots:
    void accept() override;
    // Esc and closing the window: changes are not thrown away unasked.
    void reject() override;
    void done(int result) override;

private:
    // The fields differ from the participant as shown.
    bool isModified() const;
    void showParticipant(int number);
    void showNewParticipant(int number);
    void display(const ParticipantFields& fields);
    // Stores the participant shown; false when a field is refused or the file refused the write,
    // and the dialog must stay where it is.
    bool store();
    void step(bool forward);
    void newClub();
    int nextFreeNumber();

    CTorvmDoc& m_doc;
    CTeilnehmerTable m_table;
    int m_current = 0;  // stored number of the participant shown; 0 while it is new
    int m_proposed = 0; // the number a new participant gets
    int m_clubNumber = 0;
    // Values that have no list entry are kept as they are unless the user picks one.
    int m_loadedAnrede = 0;
    int m_loadedKlasse = 0;
    DateTime m_loadedBirthday;
    int m_loadedClub = 0;

    QLabel* m_number = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_vorname = nullptr;
    QComboBox* m_anrede = nullptr;
    QLineEdit* m_titel = nullptr;
    QLineEdit* m_zusatz = nullptr;
    CDateEdit* m_birthday = nullptr;
    QLineEdit* m_clubEdit = nullptr;
    CVereinCombo* m_clubCombo = nullptr;
    QComboBox* m_klasse = nullptr;
};

// Asks for the participant number to edit, with the lowest, highest and next free number at hand,
// and opens the editor for one number after the other until "Schließen".
class CTeilnehmerNrDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTeilnehmerNrDlg(CTorvmDoc& doc, QWidget* parent = nullptr);

public slots:
    void done(int result) override;

private:
    void propose(int (CTeilnehmerTable::*which)());
    void edit();

    CTorvmDoc& m_doc;
    QLineEdit* m_edit = nullptr;
};

} // namespace torvm::ui
