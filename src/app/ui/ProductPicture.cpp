#include "app/ui/ProductPicture.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>

namespace torvm::ui {

QString productLine()
{
    return QStringLiteral("Wettkampfverwaltung Version ") + QStringLiteral(TORVM_VERSION);
}

void paintProductPicture(QPainter& painter, const QRect& rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(rect.topLeft(), rect.bottomLeft());
    sky.setColorAt(0.0, QColor(22, 66, 120));
    sky.setColorAt(0.65, QColor(60, 120, 170));
    sky.setColorAt(1.0, QColor(40, 110, 60));
    painter.fillRect(rect, sky);

    // A ring target on the left; its rings stand for the scores the program adds up.
    const int radius = rect.height() * 36 / 100;
    const QPointF centre(rect.left() + rect.height() * 0.48, rect.top() + rect.height() * 0.44);
    const int rings = 10;
    for (int i = 0; i < rings; ++i) {
        const qreal r = radius * qreal(rings - i) / rings;
        const bool black = i >= 4;
        painter.setPen(QPen(black ? QColor(235, 235, 235) : QColor(20, 20, 20), 1.0));
        painter.setBrush(black ? QColor(20, 20, 20) : QColor(245, 242, 230));
        painter.drawEllipse(centre, r, r);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(215, 40, 40));
    painter.drawEllipse(centre, radius / 14.0, radius / 14.0);

    QFont title(QStringLiteral("Arial"));
    title.setBold(true);
    title.setPixelSize(std::max(18, rect.height() / 7));
    painter.setFont(title);
    painter.setPen(QColor(255, 255, 255));
    const QRect titleRect(int(centre.x() + radius + 12), rect.top() + rect.height() / 5,
                          rect.right() - int(centre.x() + radius + 12) - 12, rect.height() / 2);
    painter.drawText(titleRect, Qt::AlignRight | Qt::AlignTop | Qt::TextWordWrap, QStringLiteral("Velmarik"));

    QFont line(QStringLiteral("Arial"));
    line.setBold(true);
    line.setPixelSize(16);
    painter.setFont(line);
    painter.setPen(QColor(255, 250, 210));
    painter.drawText(rect.adjusted(8, 8, -12, -10), Qt::AlignRight | Qt::AlignBottom, productLine());
    painter.restore();
}

QPixmap productPicture()
{
    QPixmap pixmap(400, 220);
    QPainter painter(&pixmap);
    paintProductPicture(painter, pixmap.rect());
    return pixmap;
}

} // namespace torvm::ui
