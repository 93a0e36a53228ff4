#pragma once

#include "exchange/WebExport.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

class CHyperLink;

// "Web erstellen": what the site contains and who runs the competition, read from the
// competition and stored there again on "OK". Shows where the site will be written.
class CWebDlg : public QDialog {
    Q_OBJECT
public:
    CWebDlg(CTorvmDoc& doc, const QString& folder, QWidget* parent = nullptr);

    WebOptions options() const;
    QString organiser() const;
    WebStyle style() const;

public slots:
    void accept() override;

private:
    CTorvmDoc& m_doc;
    QCheckBox* m_termin;
    QCheckBox* m_tabelle;
    QCheckBox* m_einzel;
    QComboBox* m_round;
    QLineEdit* m_organiser;
    QRadioButton* m_classic;
    QRadioButton* m_modern;
    QLabel* m_folder;
};

// The end of a successful export, with a link that opens the site.
class CWebFertigDlg : public QDialog {
    Q_OBJECT
public:
    explicit CWebFertigDlg(const QString& indexPath, QWidget* parent = nullptr);

    CHyperLink* link() const { return m_link; }

private:
    CHyperLink* m_link;
};

// The "Web Export" command: options, the export under the progress window, then the success
// dialog. The site goes into folder (the user's data folder unless a caller chooses another).
void runWebExport(QWidget* parent, CTorvmDoc& doc, const QString& folder = defaultWebFolder());

} // namespace torvm::ui
