#pragma once

#include <QDialog>

class QLineEdit;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

// The competition's title: "OK" stores it, "Abbrechen" stores nothing.
class CWettbewerbDlg : public QDialog {
    Q_OBJECT
public:
    explicit CWettbewerbDlg(CTorvmDoc& doc, QWidget* parent = nullptr);

public slots:
    void accept() override;

private:
    CTorvmDoc& m_doc;
    QLineEdit* m_title;
};

// The "Wettbewerb" command of a competition window. The command table shows the title read
// afresh in every view of the competition afterwards, whichever way the dialog ended.
void runWettbewerbCommand(QWidget* parent, CTorvmDoc& doc);

} // namespace torvm::ui
