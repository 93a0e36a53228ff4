#pragma once

#include <QDialog>

#include <optional>

class QComboBox;
class QSpinBox;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

// Asks whose fixtures go into the calendar file (every group, one group or the teams of one club)
// and how long a pairing lasts.
class CKalenderDlg : public QDialog {
    Q_OBJECT
public:
    CKalenderDlg(CTorvmDoc& doc, QWidget* parent = nullptr);

    // The chosen group (0-based) or club number; neither: every group.
    std::optional<int> group() const;
    std::optional<int> club() const;
    QString choiceName() const;
    int minutes() const;

private:
    QComboBox* m_choice = nullptr;
    QSpinBox* m_minutes = nullptr;
};

// "Kalender exportieren...": the dialog, the file to save, and a message with the number of
// pairings written and of the rounds left out for want of a date.
void runCalendarExport(QWidget* parent, CTorvmDoc& doc);

} // namespace torvm::ui
