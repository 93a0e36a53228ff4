#pragma once

#include "widgets/Prompt.h"

#include <QStringList>

#include <deque>

namespace torvm::test {

// Answers message boxes and file dialogs from queues and records what the program asked, so a
// test can drive a dialog to the end and then check every message it showed. Installed for the
// life of the object. A message with no queued answer gets Ok/Yes-less defaults (Ok or Cancel;
// "Trotzdem speichern" for the entry's warnings) and is still recorded; a file dialog with none is
// cancelled.
class ScriptedPrompter : public ui::Prompter {
public:
    ScriptedPrompter();
    ~ScriptedPrompter() override;

    struct Shown {
        MessageIcon icon;
        QString text;
        ui::Buttons buttons;
    };

    std::deque<ui::Reply> replies;
    std::deque<QString> files;
    std::vector<Shown> messages;
    std::vector<ui::FileRequest> fileRequests;
    int beeps = 0;

    ui::Reply message(QWidget* parent, MessageIcon icon, const QString& text, ui::Buttons buttons) override;
    QString fileName(QWidget* parent, const ui::FileRequest& request) override;
    void beep() override;

    QStringList texts() const;

private:
    ui::Prompter* m_previous;
    MessageHandler m_previousHandler;
};

} // namespace torvm::test
