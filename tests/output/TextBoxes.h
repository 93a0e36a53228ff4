#pragma once

#include "output/PrintJob.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QTextItem>

#include <algorithm>
#include <vector>

namespace torvm::test {

// Where a piece of text landed on a page.
struct TextBox {
    QRectF box; // advance width by ascent plus descent
    QString text;
};

// A printer-like page (A4 at 300 dots per inch) that keeps the box of every text drawn on it
// instead of pixels, so tests can ask whether two texts share any room.
class TextBoxPage : public QPaintDevice {
public:
    TextBoxPage() = default;
    QPaintEngine* paintEngine() const override { return &m_engine; }
    const std::vector<TextBox>& boxes() const { return m_engine.boxes; }
    void clear() { m_engine.boxes.clear(); }
    static constexpr int kWidth = 2480;
    static constexpr int kHeight = 3508;

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return kWidth;
        case PdmHeight:
            return kHeight;
        case PdmWidthMM:
            return 210;
        case PdmHeightMM:
            return 297;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 300;
        case PdmNumColors:
            return 0xffffff;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    class Engine : public QPaintEngine {
    public:
        Engine()
            : QPaintEngine(QPaintEngine::AllFeatures)
        {
        }
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        // Rules and frames are no text; the defaults would call each other for ever.
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawLines(const QLineF*, int) override {}
        void drawRects(const QRectF*, int) override {}
        // Blanks at either end only keep texts apart: the box is that of the rest.
        void drawTextItem(const QPointF& p, const QTextItem& item) override
        {
            const QString text = item.text();
            const QString trimmed = text.trimmed();
            if (trimmed.isEmpty())
                return;
            const QFontMetricsF metrics(item.font(), paintDevice());
            const double lead = metrics.horizontalAdvance(text.left(text.indexOf(trimmed.front())));
            const double width = item.width() * metrics.horizontalAdvance(trimmed) / metrics.horizontalAdvance(text);
            boxes.push_back({QRectF(p.x() + lead, p.y() - item.ascent(), width, item.ascent() + item.descent()), text});
        }
        Type type() const override { return QPaintEngine::User; }
        std::vector<TextBox> boxes;
    };
    mutable Engine m_engine;
};

// Pairs of texts of which one runs into the other: side by side more than a pixel of rounding,
// one above the other more than half a line. The lines of the dense lists are as far apart as
// their font is tall, so ascent and descent of neighbouring lines may share a pixel or two.
inline std::vector<std::pair<TextBox, TextBox>> overlappingTexts(const std::vector<TextBox>& boxes)
{
    std::vector<std::pair<TextBox, TextBox>> found;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            const QRectF shared = boxes[i].box.intersected(boxes[j].box);
            const double height = std::min(boxes[i].box.height(), boxes[j].box.height());
            if (shared.width() > 1.0 && shared.height() > height / 2)
                found.emplace_back(boxes[i], boxes[j]);
        }
    }
    return found;
}

// Draws overall page n of job onto page, over what it holds; false after a database error.
inline bool paintJobPage(const PrintJob& job, TextBoxPage& page, int n)
{
    QPainter painter(&page);
    return job.paintPage(painter, PrintFonts(page), QRect(0, 0, page.width(), page.height()), n);
}

} // namespace torvm::test
