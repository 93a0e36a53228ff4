#include "output/PrintPage.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace torvm {

namespace {

// Left and right of every footer.
constexpr auto kFooterLeft = "Velmarik Wettkampfverwaltung";
constexpr auto kFooterRight = "Velmarik Software";

// The text, or as much of it as leaves one blank of `room` free, ended by "…".
QString fitText(const QFontMetrics& metrics, const QString& text, int room)
{
    const int blank = metrics.horizontalAdvance(QLatin1Char(' '));
    if (metrics.horizontalAdvance(text) + blank <= room)
        return text;
    return metrics.elidedText(text, Qt::ElideRight, std::max(0, room - blank));
}

} // namespace

QFont printFont(int cellHeight)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    // Arial's cell (ascent plus descent) is 2288/2048 of its em; Qt sizes fonts by the em.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(cellHeight * 2048.0 / 2288.0))));
    return font;
}

PrintFonts::PrintFonts(QPaintDevice& device)
{
    const int b = 89 * device.height() / 100;
    large = printFont(b / 45);
    medium = printFont(b / 60);
    footer = printFont(b / 75);
    small = printFont(b / 100);
    const QFontMetrics mediumMetrics(medium, &device);
    lineHeight = mediumMetrics.height() + mediumMetrics.leading();
    footerCharWidth = QFontMetrics(footer, &device).averageCharWidth();
}

void drawTextAt(QPainter& painter, int x, int top, const QString& original, TextAlign align, std::optional<int> limit)
{
    const QFontMetrics metrics = painter.fontMetrics();
    // A centred text is bounded on both sides alike.
    const int room = limit ? std::abs(*limit - x) * (align == TextAlign::Center ? 2 : 1) : 0;
    const QString text = limit ? fitText(metrics, original, room) : original;
    const int width = metrics.horizontalAdvance(text);
    int left = x;
    if (align == TextAlign::Right)
        left = x - width;
    else if (align == TextAlign::Center)
        left = x - width / 2;
    painter.drawText(left, top + metrics.ascent(), text);
}

void drawTeamName(QPainter& painter, int x, int top, const QString& team, int limit)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const int room = limit - x - metrics.horizontalAdvance(QLatin1Char(' '));
    QString text = team;
    const qsizetype lastBlank = team.lastIndexOf(QLatin1Char(' '));
    if (metrics.horizontalAdvance(team) > room && lastBlank > 0 && team.size() - lastBlank <= 4) {
        const QString number = team.mid(lastBlank);
        text = metrics.elidedText(team.left(lastBlank), Qt::ElideRight,
                                  std::max(0, room - metrics.horizontalAdvance(number))) +
               number;
    } else if (metrics.horizontalAdvance(team) > room) {
        text = metrics.elidedText(team, Qt::ElideRight, std::max(0, room));
    }
    painter.drawText(x, top + metrics.ascent(), text);
}

int columnWidth(const QPainter& painter, const std::vector<QString>& texts, int most)
{
    const QFontMetrics metrics = painter.fontMetrics();
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    return std::min(widest + metrics.horizontalAdvance(QLatin1Char(' ')), most);
}

int rightAlignedStart(const QPainter& painter, int x, const QString& text)
{
    return x - painter.fontMetrics().horizontalAdvance(text);
}

PageGeometry::PageGeometry(const QRect& page)
    : left(page.left())
    , top(page.top())
    , width(page.width())
    , height(page.height())
    , headerHeight(8 * page.height() / 100)
    , bodyTop(top + headerHeight)
    , bodyHeight(height - 3 * height / 100 - headerHeight)
{
}

void drawPageHeader(QPainter& painter, const PrintFonts& fonts, const PageGeometry& g, const QString& competition,
                    const QString& titleLine)
{
    const int t = g.headerHeight;
    const int y = g.top + 9 * t / 10;
    painter.drawLine(g.left, y, g.left + g.width, y);
    painter.setFont(fonts.large);
    drawTextAt(painter, g.left + g.width / 2, g.top + t / 2 - fonts.lineHeight, competition, TextAlign::Center, g.left);
    painter.setFont(fonts.medium);
    drawTextAt(painter, g.left + g.width / 2, g.top + 8 * t / 10 - fonts.lineHeight, titleLine, TextAlign::Center,
               g.left);
}

void drawPageFrame(QPainter& painter, const PrintFonts& fonts, const QRect& page, const QString& centre)
{
    const FontGuard guard(painter);
    const int left = page.left();
    const int right = page.left() + page.width();
    const int bottom = page.top() + page.height();
    const int m = 3 * page.height() / 100;
    const int y = bottom - m;
    painter.setFont(fonts.footer);
    painter.drawLine(left, y, right, y);
    const int top = y + 4 * m / 7;
    drawTextAt(painter, left + fonts.footerCharWidth, top, QLatin1String(kFooterLeft), TextAlign::Left);
    drawTextAt(painter, right - fonts.footerCharWidth, top, QLatin1String(kFooterRight), TextAlign::Right);
    drawTextAt(painter, (left + right) / 2, top, centre, TextAlign::Center);
}

FontGuard::FontGuard(QPainter& painter)
    : m_painter(painter)
    , m_font(painter.font())
{
}

FontGuard::~FontGuard()
{
    m_painter.setFont(m_font);
}

} // namespace torvm
