#include "app/ui/ChildFrame.h"

#include "app/ui/TorvmView.h"
#include "widgets/CommandIcons.h"

#include <QCloseEvent>
#include <QMenu>

namespace torvm::ui {

CChildFrame::CChildFrame(CTorvmDoc* doc, QWidget* parent)
    : QMdiSubWindow(parent)
    , m_view(new CTorvmView(doc))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(applicationIcon());
    setWidget(m_view);
    // Ctrl+W belongs to the main window's "Schließen", which closes the competition with all its
    // windows; the window's own menu keeps Ctrl+F4.
    for (QAction* action : systemMenu()->actions()) {
        if (action->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_W)))
            action->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_F4)});
    }
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
