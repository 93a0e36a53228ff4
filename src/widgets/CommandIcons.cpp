#include "widgets/CommandIcons.h"

#include "widgets/CommandIds.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace torvm::ui {

namespace {

// Every picture is drawn on a 16 x 15 grid, the size of the toolbar buttons.
using Drawing = std::function<void(QPainter&)>;

QPixmap render(const Drawing& draw, int scale, QSize grid = QSize(16, 15))
{
    QPixmap pixmap(grid * scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    draw(p);
    return pixmap;
}

QIcon iconFrom(const Drawing& draw, QSize grid = QSize(16, 15))
{
    QIcon icon;
    for (int scale : {1, 2, 3})
        icon.addPixmap(render(draw, scale, grid));
    return icon;
}

const QColor kOutline(40, 40, 40);

QPen outline(qreal width = 1.0)
{
    return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void page(QPainter& p, QRectF r)
{
    QPainterPath path;
    const qreal fold = 3.5;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(outline());
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawPolyline(QPolygonF{QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                             QPointF(r.right(), r.top() + fold)});
}

void textLines(QPainter& p, QRectF r, int count)
{
    p.setPen(QPen(QColor(90, 90, 160), 1.0));
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + 2.5 * i;
        p.drawLine(QPointF(r.left(), y), QPointF(r.right() - (i % 2) * 2, y));
    }
}

void person(QPainter& p, QPointF head, qreal size, const QColor& shirt)
{
    p.setPen(outline(0.8));
    p.setBrush(shirt);
    QPainterPath body;
    body.moveTo(head.x() - size * 1.1, head.y() + size * 2.6);
    body.quadTo(head.x() - size * 1.1, head.y() + size * 0.9, head.x(), head.y() + size * 0.9);
    body.quadTo(head.x() + size * 1.1, head.y() + size * 0.9, head.x() + size * 1.1, head.y() + size * 2.6);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(QColor(250, 210, 170));
    p.drawEllipse(head, size * 0.7, size * 0.7);
}

void drawNew(QPainter& p)
{
    page(p, QRectF(3.5, 0.5, 10, 14));
}

void drawOpen(QPainter& p)
{
    p.setPen(outline());
    p.setBrush(QColor(230, 190, 70));
    p.drawPolygon(QPolygonF{QPointF(0.5, 3.5), QPointF(5, 3.5), QPointF(6.5, 5), QPointF(13, 5), QPointF(13, 13.5),
                            QPointF(0.5, 13.5)});
    p.setBrush(QColor(250, 220, 110));
    p.drawPolygon(QPolygonF{QPointF(3, 7.5), QPointF(15.5, 7.5), QPointF(13, 13.5), QPointF(0.5, 13.5)});
}

void drawTextExport(QPainter& p)
{
    page(p, QRectF(1.5, 0.5, 10, 14));
    textLines(p, QRectF(3.5, 4.5, 6, 8), 4);
    // A disk in front: the results land in a file.
    p.setPen(outline(0.8));
    p.setBrush(QColor(60, 90, 170));
    p.drawRect(QRectF(8.5, 7.5, 7, 7));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(10, 7.5, 4, 2.5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(10, 11.5, 4, 3));
}

void drawWeb(QPainter& p)
{
    const QPointF c(8, 7.5);
    p.setPen(outline());
    p.setBrush(QColor(90, 150, 220));
    p.drawEllipse(c, 6.8, 6.8);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(230, 240, 255), 0.9));
    p.drawEllipse(c, 2.8, 6.6);
    p.drawLine(QPointF(1.4, 7.5), QPointF(14.6, 7.5));
    p.drawLine(QPointF(8, 0.8), QPointF(8, 14.2));
    p.drawLine(QPointF(2.5, 4), QPointF(13.5, 4));
    p.drawLine(QPointF(2.5, 11), QPointF(13.5, 11));
}

void drawPrint(QPainter& p)
{
    p.setPen(outline(0.9));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 0.5, 8, 6));
    p.setBrush(QColor(170, 170, 170));
    p.drawRoundedRect(QRectF(0.5, 5.5, 15, 6.5), 1, 1);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 10, 8, 4.5));
    p.setPen(QPen(QColor(60, 160, 60), 1.2));
    p.drawPoint(QPointF(13, 7.5));
}

void drawCut(QPainter& p)
{
    p.setPen(outline(1.1));
    p.drawLine(QPointF(5, 0.5), QPointF(10.5, 10));
    p.drawLine(QPointF(11, 0.5), QPointF(5.5, 10));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(4.5, 12), 2.3, 2.3);
    p.drawEllipse(QPointF(11.5, 12), 2.3, 2.3);
}

void drawCopy(QPainter& p)
{
    page(p, QRectF(0.5, 0.5, 9, 11));
    page(p, QRectF(6, 3.5, 9, 11));
}

void drawPaste(QPainter& p)
{
    p.setPen(outline());
    p.setBrush(QColor(180, 130, 70));
    p.drawRoundedRect(QRectF(0.5, 1.5, 11, 13), 1, 1);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(3.5, 0.5, 5, 2.5));
    page(p, QRectF(6.5, 5.5, 9, 9));
}

void drawParticipant(QPainter& p)
{
    person(p, QPointF(8, 4), 3.6, QColor(70, 120, 200));
}

void drawClub(QPainter& p)
{
    p.setPen(outline(1.2));
    p.drawLine(QPointF(3, 0.5), QPointF(3, 14.5));
    p.setPen(outline(0.8));
    p.setBrush(QColor(40, 140, 70));
    QPainterPath flag;
    flag.moveTo(3.5, 1);
    flag.quadTo(9, -0.5, 15, 2);
    flag.lineTo(15, 8.5);
    flag.quadTo(9, 6, 3.5, 7.5);
    flag.closeSubpath();
    p.drawPath(flag);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(9.2, 4.3), 1.6, 1.6);
}

void drawGroups(QPainter& p)
{
    person(p, QPointF(4, 3.5), 2.4, QColor(200, 80, 70));
    person(p, QPointF(12, 3.5), 2.4, QColor(70, 150, 80));
    person(p, QPointF(8, 6.5), 2.8, QColor(70, 120, 200));
}

void drawTarget(QPainter& p, QPointF c, qreal radius)
{
    p.setPen(QPen(kOutline, 0.6));
    const QColor rings[] = {Qt::white, Qt::white, Qt::black, Qt::black, QColor(230, 40, 40)};
    const int n = int(std::size(rings));
    for (int i = 0; i < n; ++i) {
        p.setBrush(rings[i]);
        if (i >= 2)
            p.setPen(QPen(Qt::white, 0.5));
        const qreal r = radius * (n - i) / n;
        p.drawEllipse(c, r, r);
    }
}

void drawResults(QPainter& p)
{
    drawTarget(p, QPointF(8, 7.5), 7);
}

void drawAbout(QPainter& p)
{
    p.setPen(outline());
    p.setBrush(QColor(250, 240, 170));
    p.drawEllipse(QPointF(8, 7.5), 6.8, 6.8);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(QColor(30, 60, 160));
    p.drawText(QRectF(0, 0, 16, 15), Qt::AlignCenter, QStringLiteral("?"));
}

} // namespace

QIcon commandIcon(int id)
{
    switch (id) {
    case cmd::FileNew:
        return iconFrom(drawNew);
    case cmd::FileOpen:
        return iconFrom(drawOpen);
    case cmd::SpeichernUnter:
        return iconFrom(drawTextExport);
    case cmd::WebExport:
        return iconFrom(drawWeb);
    case cmd::FilePrint:
        return iconFrom(drawPrint);
    case cmd::EditCut:
        return iconFrom(drawCut);
    case cmd::EditCopy:
        return iconFrom(drawCopy);
    case cmd::EditPaste:
        return iconFrom(drawPaste);
    case cmd::Teilnehmer:
        return iconFrom(drawParticipant);
    case cmd::Verein:
        return iconFrom(drawClub);
    case cmd::Gruppe:
        return iconFrom(drawGroups);
    case cmd::Ergebnis:
        return iconFrom(drawResults);
    case cmd::AppAbout:
    case cmd::HelpFinder:
        return iconFrom(drawAbout);
    default:
        return {};
    }
}

QImage applicationPicture(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    drawTarget(p, QPointF(8, 8), 7.8);
    return image;
}

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        const int scale = size / 16;
        icon.addPixmap(render([](QPainter& p) { drawTarget(p, QPointF(8, 8), 7.8); }, scale, QSize(16, 16)));
    }
    return icon;
}

} // namespace torvm::ui
