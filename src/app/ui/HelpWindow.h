#pragma once

#include <QDialog>
#include <QUrl>

class QLineEdit;
class QListWidget;
class QTextBrowser;
class QTreeWidget;

namespace torvm::ui {

// The help pages inside the program: contents on the left, the page on the right, and a search
// over the words of every page. No web browser is needed.
class CHelpWindow : public QDialog {
    Q_OBJECT
public:
    // folder holds the pages and "inhalt.txt", the contents: one line per entry,
    // "page.html#anchor|Title", indented by two blanks per level.
    explicit CHelpWindow(const QString& folder, QWidget* parent = nullptr);

    void showPage(const QString& page);
    QUrl currentPage() const;
    // The pages that hold every word of text, best first, as "page|title" pairs.
    QStringList search(const QString& text) const;

    QTreeWidget* contents() const { return m_contents; }
    QListWidget* hits() const { return m_hits; }
    QLineEdit* searchField() const { return m_searchField; }

private:
    struct Page {
        QString file;
        QString title;
        QString text; // lower case
    };
    void loadContents();
    void runSearch();

    QString m_folder;
    QTreeWidget* m_contents;
    QLineEdit* m_searchField;
    QListWidget* m_hits;
    QTextBrowser* m_browser;
    std::vector<Page> m_pages;
};

} // namespace torvm::ui
