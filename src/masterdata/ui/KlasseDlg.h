#pragma once

#include "db/Tables.h"
#include "masterdata/ClassDivision.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

class CDateEdit;

// The 20 classes of a competition side by side: name, birth-date range and gender division.
// "OK" writes every row whose class record exists.
class CKlasseDlg : public QDialog {
    Q_OBJECT
public:
    explicit CKlasseDlg(CTorvmDoc& doc, QWidget* parent = nullptr);

    static const QStringList& genderTexts();

public slots:
    void accept() override;

private:
    struct RowWidgets {
        QLineEdit* name = nullptr;
        CDateEdit* von = nullptr;
        CDateEdit* bis = nullptr;
        QComboBox* gender = nullptr;
    };

    CKlasseTable m_table;
    ClassRows m_rows;
    std::array<RowWidgets, kClassCount + 1> m_widgets{}; // indexed by row 1 ... 20
};

} // namespace torvm::ui
