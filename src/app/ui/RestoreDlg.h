#pragma once

#include "db/Backup.h"

#include <QDialog>

#include <vector>

class QTreeWidget;

namespace torvm::ui {

// "Sicherung wiederherstellen": the copies of a competition with their date, time, size and
// counts, the newest first; "OK" takes the chosen one.
class CRestoreDlg : public QDialog {
    Q_OBJECT
public:
    CRestoreDlg(std::vector<BackupInfo> backups, QWidget* parent = nullptr);

    // The chosen copy; empty without a choice.
    QString chosen() const;

private:
    std::vector<BackupInfo> m_backups;
    QTreeWidget* m_list;
};

} // namespace torvm::ui
