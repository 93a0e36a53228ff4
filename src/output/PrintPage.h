#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include <optional>
#include <vector>

class QPainter;
class QPaintDevice;

namespace torvm {

// The four fonts of the printed pages, sized from the height of the device's printable area, and
// the two metrics the page header and footer place their text by.
struct PrintFonts {
    QFont large;             // competition title
    QFont medium;            // title line of an output, body of most outputs
    QFont footer;            // footer, long lists
    QFont small;             // very long lists
    int lineHeight = 0;      // medium font: height plus external leading
    int footerCharWidth = 0; // medium width of a footer character

    explicit PrintFonts(QPaintDevice& device);
};

// "Arial" of the given cell height (ascent plus descent) in device pixels.
QFont printFont(int cellHeight);

enum class TextAlign { Left, Center, Right };

// Draws one line of text with its top (not its baseline) at `top`, placed relative to `x`. With a
// `limit` (the start of the next column for left-aligned text, the end of the previous one for
// right-aligned text, either side for centred text) a text that would come closer to it than one
// blank is shortened with "…".
void drawTextAt(QPainter& painter, int x, int top, const QString& text, TextAlign align,
                std::optional<int> limit = std::nullopt);

// A team name drawn left-aligned at x up to limit (one blank kept free): when it does not fit it
// is shortened in the middle, so that the team number at its end stays ("KSV Immergrün Bu… 2").
void drawTeamName(QPainter& painter, int x, int top, const QString& team, int limit);

// How far a column of texts reaches from its left edge in the painter's font, with one blank
// after the widest, but never further than most.
int columnWidth(const QPainter& painter, const std::vector<QString>& texts, int most);

// Left edge of a text right-aligned at `x` in the painter's font.
int rightAlignedStart(const QPainter& painter, int x, const QString& text);

// The parts of the page every output shares: header and the grid of body lines.
struct PageGeometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int headerHeight = 0; // t: 8 % of the height
    int bodyTop = 0;
    int bodyHeight = 0;

    explicit PageGeometry(const QRect& page);
    // Top of body line m (from 1) on a grid of `lines` lines.
    int lineTop(int m, int lines) const { return bodyTop + m * bodyHeight / lines; }
};

// The competition title and the output's title line above a rule; leaves the medium font set.
void drawPageHeader(QPainter& painter, const PrintFonts& fonts, const PageGeometry& g, const QString& competition,
                    const QString& titleLine);

// Rule and footer line at the bottom of every page; centre goes into the middle of the footer.
void drawPageFrame(QPainter& painter, const PrintFonts& fonts, const QRect& page, const QString& centre);

// One output's printed pages. Pages are counted from 1 within the output.
class PagePainter {
public:
    virtual ~PagePainter() = default;
    virtual int pageCount() const = 0;
    // false after a database error (already shown); the page then shows what was read.
    virtual bool paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const = 0;
};

// Restores the painter's font when the page is done, whatever path the drawing took.
class FontGuard {
public:
    explicit FontGuard(QPainter& painter);
    ~FontGuard();
    FontGuard(const FontGuard&) = delete;
    FontGuard& operator=(const FontGuard&) = delete;

private:
    QPainter& m_painter;
    QFont m_font;
};

} // namespace torvm
