#include "app/ui/ChildFrame.h"

#include "app/ui/TorvmView.h"
#include "widgets/CommandIcons.h"

#include <QCloseEvent>

namespace torvm::ui {

CChildFrame::CChildFrame(CTorvmDoc* doc, QWidget* parent)
    : QMdiSubWindow(parent)
    , m_view(new CTorvmView(doc))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(applicationIcon());
    setWidget(m_view);
}

CTorvmDoc* CChildFrame::document() const
{
    return m_view->GetDocument();
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted())
        emit closing(this);
}

} // namespace torvm::ui
