#include "widgets/WindowPlacement.h"

#include "db/Placement.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

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

int scrollDialogWidth(const QScrollArea* scroll, int wanted)
{
    const int content = scroll->widget() ? scroll->widget()->minimumSizeHint().width() : 0;
    return std::max(wanted, content + scroll->verticalScrollBar()->sizeHint().width() + 2);
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
    // The placement moves the frame to (x, y) and gives the inside the stored size, so the same
    // two are stored; the frame's own size would make the window grow by its title bar on
    // every start.
    storeRect(section, QRect(window->pos(), window->size()));
}

void storeRectOnFinish(QDialog* dialog, const QString& section)
{
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, section] { storeWindowRect(dialog, section); });
}

} // namespace torvm::ui
