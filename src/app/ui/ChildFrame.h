#pragma once

#include <QMdiSubWindow>

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

class CTorvmView;

// One window of a competition inside the main window.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit CChildFrame(CTorvmDoc* doc, QWidget* parent = nullptr);

    CTorvmView* view() const { return m_view; }
    CTorvmDoc* document() const;

signals:
    // The user (or the program at exit) closes this window; the document may close with it.
    void closing(CChildFrame* frame);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CTorvmView* m_view;
};

} // namespace torvm::ui
