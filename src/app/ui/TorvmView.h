#pragma once

#include "document/TorvmDoc.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;

namespace torvm {
class CTorvmSet;
}

namespace torvm::ui {

// The record view of a competition window: the program's name and the competition title on a
// grey form. It shows the title the document last read and follows every change of it.
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

    // The size of the form; the window around it is never made larger than this.
    QSize formSize() const { return m_formSize; }
    QSize sizeHint() const override { return m_formSize; }

    // Binds the view to the document's file: opens the recordset with the wait cursor.
    void OnInitialUpdate();
    // Lets go of the document before it is closed.
    void releaseDocument();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutLabels();
    void setTitle(const QString& title);

    QPointer<CTorvmDoc> m_doc;
    std::unique_ptr<CTorvmSet> m_set;
    QLabel* m_name = nullptr;
    QLabel* m_title = nullptr;
    QSize m_formSize;
    int m_lineHeight = 0;
};

} // namespace torvm::ui
