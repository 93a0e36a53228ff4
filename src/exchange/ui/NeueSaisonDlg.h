#pragma once

#include "exchange/NewSeason.h"

#include <QDialog>

#include <functional>
#include <vector>

class QComboBox;
class QSpinBox;
class QTreeWidget;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

// "Neue Saison": each group's final table with the team's group next season, proposed from the
// number of teams going up and down per group; any team can be moved by hand before "Anlegen..."
// asks for the new file and makes it. The open competition is only read.
class CNeueSaisonDlg : public QDialog {
    Q_OBJECT
public:
    CNeueSaisonDlg(CTorvmDoc& doc, QWidget* parent = nullptr);

    // The moves as chosen in the list now.
    SeasonMoves moves() const;
    // The file made by "Anlegen...", empty until then.
    const QString& created() const { return m_created; }

private:
    void propose();
    void create();

    CTorvmDoc& m_doc;
    std::vector<SeasonGroup> m_groups;
    std::vector<QSpinBox*> m_up, m_down;
    QTreeWidget* m_teams;
    // One box per team row, in the order of the rows: (group, slot) and the box.
    std::vector<std::pair<std::pair<int, int>, QComboBox*>> m_targets;
    QString m_created;
};

// The command "Neue Saison": open receives the new file when the user wants it opened.
void runNeueSaisonCommand(QWidget* parent, CTorvmDoc& doc, const std::function<void(const QString&)>& open);

} // namespace torvm::ui
