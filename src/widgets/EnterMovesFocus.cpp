#include "widgets/EnterMovesFocus.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

#include <functional>

namespace torvm::ui {

namespace {

bool isEnter(QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !(key->modifiers() & ~Qt::KeypadModifier);
}

// Swallows Enter on the watched object and runs the action in its place.
class EnterFilter : public QObject {
public:
    EnterFilter(QObject* parent, std::function<void()> action)
        : QObject(parent)
        , m_action(std::move(action))
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (!isEnter(event))
            return false;
        m_action();
        return true;
    }

private:
    std::function<void()> m_action;
};

} // namespace

void enterMovesFocus(QWidget* field)
{
    field->installEventFilter(new EnterFilter(field, [field] {
        // A real Tab, so that a scroll area around the fields brings the next one into view.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &tab);
    }));
}

void enterPresses(QPushButton* button)
{
    // A dialog makes its first auto-default button the default when it is shown.
    button->setAutoDefault(false);
    button->installEventFilter(new EnterFilter(button, [button] { button->click(); }));
}

} // namespace torvm::ui
