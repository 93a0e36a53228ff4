#include "app/ui/WindowPlacement.h"

#include "db/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace torvm::ui {

namespace {

QSize screenSize(const QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

} // namespace

void placeFixedDialog(QWidget* window, const QString& section)
{
    const QSize size = window->frameGeometry().size().expandedTo(window->sizeHint());
    window->move(fixedDialogPosition(screenSize(window), size, loadStoredRect(section)));
}

void placeSizedDialog(QWidget* window, const QString& section, int width, int height)
{
    const QRect rect = sizedDialogGeometry(screenSize(window), QSize(width, height), loadStoredRect(section));
    window->move(rect.topLeft());
    window->resize(rect.size());
}

void placeMainWindow(QWidget* window, const QString& section)
{
    const QRect rect = mainWindowGeometry(screenSize(window), loadStoredRect(section));
    window->move(rect.topLeft());
    window->resize(rect.size());
}

void storeWindowRect(const QWidget* window, const QString& section)
{
    storeRect(section, window->frameGeometry());
}

} // namespace torvm::ui
