#include "db/Placement.h"

#include "db/Settings.h"

#include <QSettings>

#include <algorithm>

namespace torvm {

QPoint fixedDialogPosition(const QSize& screen, const QSize& dialog, const StoredRect& stored)
{
    int x = stored.x.value_or(screen.width() / 2 - 200);
    int y = stored.y.value_or(screen.height() / 2 - 200);
    x = std::max(x, 0);
    y = std::max(y, 0);
    x = std::min(x, screen.width() - dialog.width());
    y = std::min(y, screen.height() - dialog.height());
    return {x, y};
}

QRect sizedDialogGeometry(const QSize& screen, const QSize& wanted, const StoredRect& stored)
{
    int x = stored.x.value_or(screen.width() / 2 - wanted.width() / 2);
    int y = stored.y.value_or(screen.height() / 2 - wanted.height() / 2);
    x = std::max(x, 0);
    y = std::max(y, 0);
    if (x + wanted.width() > screen.width())
        x = screen.width() - wanted.width() - 1;
    if (y + wanted.height() > screen.height())
        y = screen.height() - wanted.height() - 1;
    return {QPoint(x, y), wanted};
}

QRect mainWindowGeometry(const QSize& screen, const StoredRect& stored)
{
    int x = stored.x.value_or(screen.width() / 2 - 320);
    int y = stored.y.value_or(screen.height() / 2 - 220);
    int right = stored.xend.value_or(screen.width() / 2 + 320);
    int bottom = stored.yend.value_or(screen.height() / 2 + 220);
    x = std::max(x, 0);
    y = std::max(y, 0);
    if (right > screen.width())
        right = screen.width() - 1;
    if (bottom > screen.height())
        bottom = screen.height() - 1;
    return {x, y, right - x, bottom - y};
}

QRect firstStartGeometry(const QRect& available)
{
    const QSize size(available.width() * 4 / 5, available.height() * 4 / 5);
    return {available.topLeft() +
                QPoint((available.width() - size.width()) / 2, (available.height() - size.height()) / 2),
            size};
}

bool isEmpty(const StoredRect& stored)
{
    return !stored.x && !stored.y && !stored.xend && !stored.yend;
}

StoredRect loadStoredRect(const QString& section)
{
    QSettings settings(QStringLiteral("Velmarik"), QStringLiteral("torvm"));
    settings.beginGroup(section);
    StoredRect rect;
    auto read = [&settings](const char* key) -> std::optional<int> {
        bool ok = false;
        const int v = settings.value(QLatin1String(key)).toInt(&ok);
        return ok ? std::optional<int>(v) : std::nullopt;
    };
    rect.x = read("x");
    rect.y = read("y");
    rect.xend = read("xend");
    rect.yend = read("yend");
    return rect;
}

void storeRect(const QString& section, const QRect& frame)
{
    writeProfileInt(section, QStringLiteral("x"), frame.left());
    writeProfileInt(section, QStringLiteral("y"), frame.top());
    writeProfileInt(section, QStringLiteral("xend"), frame.left() + frame.width());
    writeProfileInt(section, QStringLiteral("yend"), frame.top() + frame.height());
}

} // namespace torvm
