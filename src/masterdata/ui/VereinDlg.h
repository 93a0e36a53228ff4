#pragma once

#include "db/Tables.h"

#include <QDialog>

class QFormLayout;
class QLineEdit;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

inline constexpr auto kNewPositionSection = "VMNewPosition"; // shared with the participant number dialog
inline constexpr auto kVereinPositionSection = "VMVereinPosition";
inline constexpr int kMaxMasterNumber = 99999999;

// A club number typed into edit that names no club is not stored silently: the user creates the
// club now (its editor opens on that number) or corrects the number (the edit gets the focus).
// true when number is 0, the club exists or was just created.
bool confirmClubNumber(QWidget* parent, CTorvmDoc& doc, QLineEdit* edit, int number);

// The record editor of one club. "OK" stores the club even with every text empty.
class CVereinDlg : public QDialog {
    Q_OBJECT
public:
    CVereinDlg(CTorvmDoc& doc, int number, QWidget* parent = nullptr);

    // The club number once "OK" stored the club; 0 after "Abbrechen".
    int returnedNumber() const { return m_returned; }

public slots:
    void accept() override;
    // Esc and closing the window: changes are not thrown away unasked.
    void reject() override;
    void done(int result) override;

private:
    QLineEdit* addField(QFormLayout* form, const char* label, const char* name, const QString& text);

    CVereinTable m_table;
    int m_number;
    int m_returned = 0;
    bool m_meistbeteiligungZero = false;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_sortieren = nullptr;
    QLineEdit* m_empfaenger = nullptr;
    QLineEdit* m_strasse = nullptr;
    QLineEdit* m_plz = nullptr;
    QLineEdit* m_ort = nullptr;
    QLineEdit* m_land = nullptr;
    QLineEdit* m_entfernung = nullptr;
};

// Asks for a club number, proposing the next free one, and edits club after club until
// "Schließen". Afterwards number() tells which club the user last dealt with.
class CVereinNrDlg : public QDialog {
    Q_OBJECT
public:
    explicit CVereinNrDlg(CTorvmDoc& doc, QWidget* parent = nullptr);

    // The proposed number until a club editor was opened; then the number that editor returned
    // (0 when it was cancelled).
    int number() const { return m_number; }

public slots:
    void done(int result) override;

private:
    void editClub();

    CTorvmDoc& m_doc;
    int m_number = 1;
    QLineEdit* m_edit = nullptr;
};

} // namespace torvm::ui
