#include "app/ui/EnterMovesFocus.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace torvm::ui {

namespace {

class EnterFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->modifiers() & ~Qt::KeypadModifier)
            return false;
        // A real Tab, so that a scroll area around the fields brings the next one into view.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(watched, &tab);
        return true;
    }
};

} // namespace

void enterMovesFocus(QWidget* field)
{
    field->installEventFilter(new EnterFilter(field));
}

} // namespace torvm::ui
