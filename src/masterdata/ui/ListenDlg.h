#pragma once

#include "masterdata/MasterListModel.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QPushButton;
class QTableView;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

// A list window of the clubs or the participants (the groups have theirs, CGruppenListeDlg):
// sortable columns, a search field that filters while it is typed, "Neu", "Bearbeiten" (the
// entry's editor) and "Löschen", which refuses entries still in use and otherwise asks, then
// deletes.
class CListenDlg : public QDialog {
    Q_OBJECT
public:
    CListenDlg(CTorvmDoc& doc, MasterList kind, QWidget* parent = nullptr);

    MasterListModel& model() { return *m_model; }

protected:
    void reload(std::optional<std::int32_t> select);
    // "Neu": the editor of a new entry; reloads the list with the new entry chosen.
    virtual void createEntry();
    virtual void openEditor(std::int32_t key);
    // Why the entry cannot go, or empty when it may.
    virtual QString refusal(std::int32_t key);
    virtual QString deleteQuestion(const QString& name, std::int32_t key) const;
    virtual bool deleteRow(std::int32_t key);

    CTorvmDoc& m_doc;

private:
    // The key of the chosen row; none without a choice (group 0 and participant 0 are keys).
    std::optional<std::int32_t> currentKey() const;
    void editEntry();
    void deleteEntry();

    MasterList m_kind;
    std::unique_ptr<MasterListModel> m_model;
    QLineEdit* m_search = nullptr;
    QTableView* m_view = nullptr;
};

// The commands "Vereinsliste" and "Teilnehmerliste".
void runListCommand(QWidget* parent, CTorvmDoc& doc, MasterList kind);

} // namespace torvm::ui
