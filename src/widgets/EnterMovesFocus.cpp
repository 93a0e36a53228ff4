#include "widgets/EnterMovesFocus.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace torvm::ui {

namespace {

bool isEnter(QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !(key->modifiers() & ~Qt::KeypadModifier);
}

class EnterFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!isEnter(event))
            return false;
        // A real Tab, so that a scroll area around the fields brings the next one into view.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(watched, &tab);
        return true;
    }
};

class PressFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!isEnter(event))
            return false;
        static_cast<QPushButton*>(watched)->click();
        return true;
    }
};

} // namespace

void enterMovesFocus(QWidget* field)
{
    field->installEventFilter(new EnterFilter(field));
}

void enterPresses(QPushButton* button)
{
    // A dialog makes its first auto-default button the default when it is shown.
    button->setAutoDefault(false);
    button->installEventFilter(new PressFilter(button));
}

} // namespace torvm::ui
