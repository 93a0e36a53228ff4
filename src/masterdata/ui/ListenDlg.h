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

// A list window of the clubs, the participants or the groups with their teams: sortable columns,
// a search field that filters while it is typed, "Neu", "Bearbeiten" (the entry's editor) and
// "Löschen", which refuses entries still in use and otherwise asks, then deletes.
class CListenDlg : public QDialog {
    Q_OBJECT
public:
    CListenDlg(CTorvmDoc& doc, MasterList kind, QWidget* parent = nullptr);

    MasterListModel& model() { return *m_model; }

private:
    void reload(std::optional<std::int32_t> select);
    // The key of the chosen row; none without a choice (group 0 and participant 0 are keys).
    std::optional<std::int32_t> currentKey() const;
    void createEntry();
    void editEntry();
    void deleteEntry();
    // Why the entry cannot go, or empty when it may.
    QString refusal(std::int32_t key);
    QString groupRefusal(std::int32_t id);

    CTorvmDoc& m_doc;
    MasterList m_kind;
    std::unique_ptr<MasterListModel> m_model;
    QLineEdit* m_search = nullptr;
    QTableView* m_view = nullptr;
};

// The commands "Vereinsliste", "Teilnehmerliste" and "Gruppenliste".
void runListCommand(QWidget* parent, CTorvmDoc& doc, MasterList kind);

} // namespace torvm::ui
