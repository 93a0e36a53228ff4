#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

// Asks where the site goes and for the password. The address is kept with the competition; the
// password only in the system's keyring, and only when the user asks for it.
class CPublishDlg : public QDialog {
    Q_OBJECT
public:
    CPublishDlg(CTorvmDoc& doc, QWidget* parent = nullptr);

    QString address() const;
    QString password() const;
    bool keepPassword() const;

public slots:
    void accept() override;

private:
    void fillPassword();

    QLineEdit* m_address = nullptr;
    QLineEdit* m_password = nullptr;
    QCheckBox* m_keep = nullptr;
};

// "Web veröffentlichen...": the dialog, the site in the style and with the choices of the web
// dialog, the upload with a progress window that can stop it, and what came of it in a message.
// An SFTP server seen for the first time shows its key's fingerprint to be accepted once.
void runPublish(QWidget* parent, CTorvmDoc& doc);

} // namespace torvm::ui
