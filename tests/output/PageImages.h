#pragma once

#include "output/PrintJob.h"
#include "output/PrintPage.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <algorithm>

#include <gtest/gtest.h>

namespace torvm::test {

// A4 at 150 dots per inch: large enough for every font to have several pixels.
constexpr int kPageWidth = 1240;
constexpr int kPageHeight = 1754;

inline QImage blankPage()
{
    QImage image(kPageWidth, kPageHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Page n of the job as an image; the painter's font is checked to be restored.
inline QImage paint(const PrintJob& job, int n)
{
    QImage image = blankPage();
    QPainter painter(&image);
    const PrintFonts fonts(image);
    const QFont before(QStringLiteral("Courier"), 7);
    painter.setFont(before);
    EXPECT_TRUE(job.paintPage(painter, fonts, image.rect(), n));
    EXPECT_EQ(painter.font(), before);
    return image;
}

// Does any dark pixel lie in the band of rows [top, bottom) and columns [left, right)?
inline bool inked(const QImage& image, int top, int bottom, int left = 0, int right = kPageWidth)
{
    for (int y = std::max(0, top); y < std::min(image.height(), bottom); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = std::max(0, left); x < std::min(image.width(), right); ++x) {
            if (qGray(line[x]) < 128)
                return true;
        }
    }
    return false;
}

} // namespace torvm::test
