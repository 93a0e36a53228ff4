#pragma once

#include <QWidget>

#include <functional>

class QPushButton;
class QVBoxLayout;

namespace torvm::ui {

// What the main window shows while no competition is open: the three ways to begin and the
// competitions opened last, so a first start needs no knowledge of the menus. Every button
// answers Enter.
class CStartPage : public QWidget {
    Q_OBJECT
public:
    struct Choices {
        std::function<void()> newCompetition;
        std::function<void()> openCompetition;
        std::function<void()> openDemo;
        std::function<void(int)> openRecent; // index into the recent-file list
    };
    CStartPage(Choices choices, QWidget* parent = nullptr);

    // The recent-file list, newest first.
    void setRecentFiles(const QStringList& files);

private:
    QPushButton* choice(const QString& text, const QString& detail, const char* objectName,
                        std::function<void()> action);

    std::function<void(int)> m_openRecent;
    QVBoxLayout* m_recent = nullptr;
};

} // namespace torvm::ui
