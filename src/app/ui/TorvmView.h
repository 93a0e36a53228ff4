#pragma once

#include "db/Recordsets.h"
#include "document/TorvmDoc.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;
class QScrollArea;
class QTimer;

namespace torvm {
class CTorvmSet;
struct GroupOverview;
} // namespace torvm

namespace torvm::ui {

// The record view of a competition window: the program's name and the competition title, and
// under them where every group stands (standings, the next round, what is entered and what is
// overdue). It follows every change of the title and of the results.
class CTorvmView : public QWidget {
    Q_OBJECT
public:
    explicit CTorvmView(CTorvmDoc* doc, QWidget* parent = nullptr);
    ~CTorvmView() override;

    CTorvmDoc* GetDocument() const { return m_doc; }
    // The view's own recordset over the competition file, open while the view is bound.
    CTorvmSet* OnGetRecordset() const { return m_set.get(); }

    QString programLabel() const;
    QString titleLabel() const;

    // Binds the view to the document's file: opens the recordset with the wait cursor.
    void OnInitialUpdate();
    // Lets go of the document before it is closed.
    void releaseDocument();

    // Reads the overview anew, as of today.
    void refreshOverview();

signals:
    // A link of an overdue pairing was followed: the result entry is wanted at that pairing.
    void pairingRequested(const torvm::EntryPosition& at);

private:
    void setTitle(const QString& title);
    // Several saves in a row (an import, a run through the entry) read the file once.
    void scheduleRefresh();
    QWidget* groupSection(const GroupOverview& group);

    QPointer<CTorvmDoc> m_doc;
    std::unique_ptr<CTorvmSet> m_set;
    QLabel* m_name = nullptr;
    QLabel* m_title = nullptr;
    QScrollArea* m_overview = nullptr;
    QTimer* m_refresh = nullptr;
};

} // namespace torvm::ui
