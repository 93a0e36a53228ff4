#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

// Asks for the round whose results are taken over and for the second copy of the competition
// they come from. The caller stores both and runs the import after "OK".
class CErgImportDlg : public QDialog {
    Q_OBJECT
public:
    CErgImportDlg(int round, const QString& path, QWidget* parent = nullptr);

    int round() const { return m_round; }
    QString path() const { return m_path; }

public slots:
    void accept() override;

private:
    void choose();

    QComboBox* m_roundBox = nullptr;
    QLineEdit* m_pathEdit = nullptr;
    int m_round = 0;
    QString m_path;
};

// The "Ergebnis Import" command: the dialog, then the import of the chosen round with the wait
// cursor, and a message with what was taken over or why nothing was.
void runErgebnisImport(QWidget* parent, CTorvmDoc& doc);

} // namespace torvm::ui
