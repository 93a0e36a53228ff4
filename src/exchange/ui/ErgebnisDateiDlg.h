#pragma once

#include "exchange/ResultForm.h"

#include <QDialog>

#include <vector>

class QListWidget;
class QSpinBox;
class QTreeWidget;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

// Asks for the round of the result form and the groups it covers (every group to begin with).
class CVorlageDlg : public QDialog {
    Q_OBJECT
public:
    CVorlageDlg(CTorvmDoc& doc, QWidget* parent = nullptr);

    int round() const;               // 0-based
    std::vector<int> groups() const; // the ticked ones; empty: every group

    // Refuses a form without any group.
    void accept() override;

private:
    std::vector<int> tickedGroups() const;

    QSpinBox* m_round = nullptr;
    QListWidget* m_groups = nullptr;
};

// Lists every pairing of a read form with its totals and the entry's warnings; the user ticks the
// pairings to store. Pairings without warnings start ticked.
class CErgebnisVorschauDlg : public QDialog {
    Q_OBJECT
public:
    CErgebnisVorschauDlg(const FormReading& reading, QWidget* parent = nullptr);

    std::vector<FormPairing> chosen() const;

private:
    void tickAll(bool ticked);

    std::vector<FormPairing> m_pairings;
    QTreeWidget* m_list = nullptr;
};

// "Ergebnisvorlage...": the dialog, the file to save, the form written.
void runResultFormExport(QWidget* parent, CTorvmDoc& doc);
// "Ergebnisse aus Datei einlesen...": the file, the preview, the chosen pairings stored.
void runResultFormImport(QWidget* parent, CTorvmDoc& doc);

} // namespace torvm::ui
