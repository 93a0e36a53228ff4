#pragma once

#include "app/ui/DocumentCommands.h"
#include "document/RecentFileList.h"
#include "output/ui/PrintCommands.h"

#include <QList>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QPrinter;
class QSplashScreen;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

class CChildFrame;
class CMainFrame;
class CTorvmView;

// The application: start-up, the open competitions and their windows, and the commands that
// need no competition (new, open, recent files, printer set-up, help, about, exit).
class CTorvmApp : public QObject {
    Q_OBJECT
public:
    // Printing, preview and the PDF file of a competition window go to the output job through this.
    using PrintHandler = std::function<void(CTorvmView& view, PrintMode mode)>;

    explicit CTorvmApp(QObject* parent = nullptr);
    ~CTorvmApp() override;

    // Creates and shows the main window and opens the competition used last. The command line
    // plays no part; a file that cannot be opened leaves the empty main window.
    void InitInstance();

    // The splash window shows during start-up unless switched off (it is off on the offscreen
    // platform, where nobody looks).
    void setShowSplash(bool show) { m_showSplash = show; }

    CMainFrame* mainFrame() const { return m_frame.get(); }
    DocumentCommands& commands() { return m_commands; }
    RecentFileList& recentFiles() { return m_recent; }
    std::vector<CTorvmDoc*> documents() const;
    // The windows of doc, in the order they were opened.
    QList<CChildFrame*> frames(const CTorvmDoc* doc) const;

    void setPrintHandler(PrintHandler handler);
    bool canPrint() const { return static_cast<bool>(m_print); }
    void print(CTorvmView& view, PrintMode mode);
    QPrinter& printer();

    void OnFileNew();
    void OnFileOpen();
    // Opens the demonstration competition, made on first use in the user's data folder.
    void OnOpenDemo();
    static QString demoPath();
    void OnFileOpenRecent(int index);
    void OnFilePrintSetup();
    void OnAppAbout();
    void OnHelp();
    void OnWindowNew(CTorvmDoc& doc);

    // Every request to open a competition file passes through here: the open dialog, the
    // recent-file list and start-up. A file that is open already gets its window activated.
    CTorvmDoc* OpenDocumentFile(const QString& path);
    // An Access file of an earlier version: asks, converts it into a new competition file beside
    // it (the old file is never written) and opens the new one.
    CTorvmDoc* ConvertLegacyFile(const QString& path);
    // Closes every window of doc and with the last one the competition, without asking.
    void CloseDocument(CTorvmDoc& doc);
    // "Sicherung wiederherstellen": the chosen copy replaces the competition, which is closed for
    // it and opened again.
    void RestoreBackup(CTorvmDoc& doc);

private:
    void openStartupFile();
    CTorvmDoc* adopt(std::unique_ptr<CTorvmDoc> doc);
    CChildFrame* createFrame(CTorvmDoc* doc);
    void frameClosing(CChildFrame* frame);
    void updateFrameTitles(const CTorvmDoc* doc);
    void showFailure(const CTorvmDoc& doc);
    // A message must not open beneath the splash picture.
    void dismissSplash();

    DocumentCommands m_commands;
    RecentFileList m_recent;
    std::vector<std::unique_ptr<CTorvmDoc>> m_docs;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<QPrinter> m_printer;
    PrintHandler m_print;
    bool m_showSplash;
    QSplashScreen* m_splash = nullptr;
    // Set at start-up and cleared by the first competition window, which alone opens maximised.
    bool m_maximiseFirstChild = false;
};

} // namespace torvm::ui
