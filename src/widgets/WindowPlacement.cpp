#include "widgets/WindowPlacement.h"

#include "db/Placement.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace torvm::ui {

namespace {

QSize screenSize(const QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

QRect availableArea(const QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// What the user made of the window last time, fitted between its needs and the screen.
std::optional<QSize> storedSize(const QWidget* window, const StoredRect& stored)
{
    if (!stored.x || !stored.y || !stored.xend || !stored.yend)
        return std::nullopt;
    const QSize size(*stored.xend - *stored.x, *stored.yend - *stored.y);
    if (size.width() <= 0 || size.height() <= 0)
        return std::nullopt;
    return size.expandedTo(window->minimumSizeHint()).boundedTo(availableArea(window).size());
}

} // namespace

void placeFixedDialog(QWidget* window, const QString& section)
{
    const StoredRect stored = loadStoredRect(section);
    // Only a size the user made larger than the dialog's own is worth restoring.
    const QSize natural = window->sizeHint();
    if (const std::optional<QSize> size = storedSize(window, stored);
        size && natural.isValid() && window->minimumSize() != window->maximumSize() &&
        (size->width() > natural.width() || size->height() > natural.height()))
        window->resize(size->expandedTo(natural));
    const QSize size = window->frameGeometry().size().expandedTo(window->sizeHint());
    window->move(fixedDialogPosition(screenSize(window), size, stored));
}

int scrollDialogHeight(const QScrollArea* scroll)
{
    const QWidget* window = scroll->window();
    // Rows shown or hidden a moment ago count only once the layout has taken them in.
    if (scroll->widget() && scroll->widget()->layout())
        scroll->widget()->layout()->activate();
    const int content = scroll->widget() ? scroll->widget()->sizeHint().height() : 0;
    // Whatever the window holds besides the scrolled part keeps its own height.
    const int around = std::max(0, window->sizeHint().height() - scroll->sizeHint().height());
    const int wanted = content + around + 2 * scroll->frameWidth();
    return std::min(wanted, availableArea(window).height() * 9 / 10);
}

int scrollDialogWidth(const QScrollArea* scroll, int wanted)
{
    const int content = scroll->widget() ? scroll->widget()->minimumSizeHint().width() : 0;
    return std::max(wanted, content + scroll->verticalScrollBar()->sizeHint().width() + 2);
}

void placeSizedDialog(QWidget* window, const QString& section, int width, int height)
{
    const StoredRect stored = loadStoredRect(section);
    const QSize wanted = storedSize(window, stored).value_or(QSize(width, height));
    const QRect rect = sizedDialogGeometry(screenSize(window), wanted, stored);
    window->move(rect.topLeft());
    window->resize(rect.size());
}

void placeMainWindow(QWidget* window, const QString& section)
{
    const StoredRect stored = loadStoredRect(section);
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect rect = isEmpty(stored) && screen ? firstStartGeometry(screen->availableGeometry())
                                                 : mainWindowGeometry(screenSize(window), stored);
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
