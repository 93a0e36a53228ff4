#pragma once

#include <QDialog>

class QDateEdit;
class QPlainTextEdit;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

// "Ausstehende Ergebnisse": the pairings before the reference date (today unless changed) that
// have no result yet, by group and round with the captains to call; copied or printed as shown.
class CAusstehendDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAusstehendDlg(CTorvmDoc& doc, QWidget* parent = nullptr);

    QString text() const;

private:
    void refresh();
    void copy();
    void print();

    CTorvmDoc& m_doc;
    QDateEdit* m_reference;
    QPlainTextEdit* m_list;
};

void runAusstehendCommand(QWidget* parent, CTorvmDoc& doc);

} // namespace torvm::ui
