#pragma once

#include <QDialog>

namespace torvm::ui {

// "Info über Wettkampfverwaltung": the product picture with name and version, and "Ok".
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace torvm::ui
