#include "support/ScriptedPrompter.h"

namespace torvm::test {

ScriptedPrompter::ScriptedPrompter()
    : m_previous(ui::setPrompter(this))
    , m_previousHandler(setMessageHandler(
          [this](MessageIcon icon, const QString& text) { message(nullptr, icon, text, ui::Buttons::Ok); }))
{
}

ScriptedPrompter::~ScriptedPrompter()
{
    ui::setPrompter(m_previous);
    setMessageHandler(m_previousHandler);
}

ui::Reply ScriptedPrompter::message(QWidget*, MessageIcon icon, const QString& text, ui::Buttons buttons)
{
    messages.push_back({icon, text, buttons});
    if (!replies.empty()) {
        const ui::Reply reply = replies.front();
        replies.pop_front();
        return reply;
    }
    // An unanswered list of warnings is stored anyway, so tests about other things can enter
    // data that a careful official would look at twice; the message is still recorded.
    if (buttons == ui::Buttons::SaveAnywayCorrect)
        return ui::Reply::Yes;
    return buttons == ui::Buttons::Ok ? ui::Reply::Ok : ui::Reply::Cancel;
}

QString ScriptedPrompter::fileName(QWidget*, const ui::FileRequest& request)
{
    fileRequests.push_back(request);
    if (files.empty())
        return {};
    QString file = files.front();
    files.pop_front();
    return file;
}

void ScriptedPrompter::beep()
{
    ++beeps;
}

QStringList ScriptedPrompter::texts() const
{
    QStringList list;
    for (const Shown& shown : messages)
        list << shown.text;
    return list;
}

} // namespace torvm::test
