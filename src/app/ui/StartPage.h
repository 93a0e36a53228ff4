#pragma once

#include <QWidget>

#include <functional>

class QPushButton;

namespace torvm::ui {

// What the main window shows while no competition is open: the three ways to begin, so a first
// start needs no knowledge of the menus.
class CStartPage : public QWidget {
    Q_OBJECT
public:
    struct Choices {
        std::function<void()> newCompetition;
        std::function<void()> openCompetition;
        std::function<void()> openDemo;
    };
    CStartPage(Choices choices, QWidget* parent = nullptr);

private:
    QPushButton* choice(const QString& text, const QString& detail, const char* objectName,
                        std::function<void()> action);
};

} // namespace torvm::ui
