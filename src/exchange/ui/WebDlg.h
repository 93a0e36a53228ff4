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

// "Web erstellen": what the site contains, who runs the competition and where the site goes,
// read from the competition and stored there again on "OK". The folder is the one last chosen
// for the competition, defaultFolder until the user chooses another.
class CWebDlg : public QDialog {
    Q_OBJECT
public:
    CWebDlg(CTorvmDoc& doc, const QString& defaultFolder, QWidget* parent = nullptr);

    WebOptions options() const;
    QString organiser() const;
    WebStyle style() const;
    QString folder() const { return m_folderPath; }

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
    QString m_folderPath;
    QString m_storedFolder; // as shown at first
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

// The "Web Export" command: options and folder, the export under the progress window, then the
// success dialog with the link to the start page. The site goes into the folder chosen in the
// dialog; defaultFolder (empty: defaultWebFolder() of the competition) is offered until the
// competition has one of its own. A folder that holds another competition's site is replaced
// only when the user agrees.
void runWebExport(QWidget* parent, CTorvmDoc& doc, const QString& defaultFolder = QString());

} // namespace torvm::ui
