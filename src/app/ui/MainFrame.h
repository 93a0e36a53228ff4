#pragma once

#include "app/ui/StartPage.h"

#include <QList>
#include <QMainWindow>

#include <map>
#include <vector>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStackedWidget;
class QToolBar;

namespace torvm::ui {

class CChildFrame;
class CTorvmApp;

// The main window: the menus, the toolbar, the status bar and the area that holds the
// competition windows. Two menu bars take turns: 128 while no competition window is active,
// 129 while one is.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CTorvmApp& app);
    ~CMainFrame() override;

    QMdiArea* mdiArea() const { return m_mdi; }
    // The page with the three ways to begin, shown while no competition is open.
    QWidget* startPage() const { return m_startPage; }
    QToolBar* toolBar() const { return m_toolBar; }
    // The action of a command id; nullptr for an id the program does not know.
    QAction* action(int id) const;
    // The entries of the recent-file list in the file menu, newest first.
    const QList<QAction*>& recentFileActions() const { return m_recentActions; }

    // The competition window the commands go to: the current one, also while a dialog has the
    // focus.
    CChildFrame* activeChild() const;
    QList<CChildFrame*> childFrames() const;
    bool competitionMenuShown() const { return m_competitionMenu; }

    void addChild(CChildFrame* frame, bool maximise);
    void updateCommandStates();
    void updateRecentFileMenu();
    void updateCaption();
    void updateStartPage();
    // The caption for the current state: string 128, then the active competition's name.
    QString wantedCaption() const;

    // The caption without a document, string 128.
    static QString baseCaption();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void fillMenu(QMenu* menu, const std::vector<int>& layout);
    void showMenu(bool competition);
    void onSubWindowActivated();
    void dispatch(int id);
    void arrangeIcons();
    void fillWindowList();

    CTorvmApp& m_app;
    QMdiArea* m_mdi;
    QStackedWidget* m_pages;
    CStartPage* m_startPage;
    QToolBar* m_toolBar = nullptr;
    std::map<int, QAction*> m_actions;
    QMenu* m_fileNoDoc = nullptr;
    QMenu* m_fileDoc = nullptr;
    QMenu* m_export = nullptr; // inside m_fileDoc
    QMenu* m_edit = nullptr;
    QMenu* m_view = nullptr;
    QMenu* m_window = nullptr;
    QMenu* m_help = nullptr;
    QList<QAction*> m_recentActions;
    QList<QAction*> m_windowListActions;
    bool m_competitionMenu = false;
    bool m_settingCaption = false;
};

} // namespace torvm::ui
