#pragma once

#include <QDialog>

class QLineEdit;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

// The competition's scoring rules ("Wertungsregeln"): "OK" stores them, "Abbrechen" stores
// nothing.
class CRegelnDlg : public QDialog {
    Q_OBJECT
public:
    explicit CRegelnDlg(CTorvmDoc& doc, QWidget* parent = nullptr);

public slots:
    void accept() override;

private:
    CTorvmDoc& m_doc;
    QLineEdit* m_highest;
};

// The "Wertungsregeln" command of a competition window.
void runRegelnCommand(QWidget* parent, CTorvmDoc& doc);

} // namespace torvm::ui
