#include "output/OutputPages.h"

#include "app/TorvmDoc.h"
#include "output/Standings.h"

#include <QPaintDevice>
#include <QPainter>

namespace torvm {

namespace {

constexpr auto kDurchgang = "Durchgang";
constexpr int kBodyLines = 50;
constexpr int kDenseLines = 75;

// The fixed gaps beside the columns were made for a printer of 300 dots per inch; on other
// devices they keep the same size on paper.
int gap(const QPainter& painter, int units)
{
    return units * painter.device()->logicalDpiX() / 300;
}

} // namespace

// ------------------------------------------------------------------------------ league tables

TabellePage::TabellePage(CTorvmDoc& doc, const OutputSettings& settings)
    : m_doc(doc)
    , m_groups(outputGroups(doc, settings))
    , m_round(settings.round)
    , m_ergebnis(settings.ergebnis)
    , m_tabelle(settings.tabelle)
{
}

// At most 10 pairings, 10 remarks, 20 rows and 3 empty lines: a table always fits the 49 lines of
// one page.
bool TabellePage::paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const
{
    if (n < 1 || n > pageCount())
        return true;
    const FontGuard guard(painter);
    const LeagueTable t = ComputeLeagueTable(m_doc.GetDatabase(), &m_doc, m_groups[n - 1], m_round);
    const PageGeometry g(page);
    drawPageHeader(painter, fonts, g, m_doc.CompetitionTitle(),
                   t.name + QStringLiteral(" / ") + QString::asprintf("%d.", m_round + 1) + QLatin1String(kDurchgang));

    const int x0 = g.left + g.width / 16;
    const int w = 14 * g.width / 16;
    const int g30 = gap(painter, 30);
    const int g20 = gap(painter, 20);
    int m = 1;
    const auto top = [&] { return g.lineTop(m, kBodyLines); };

    if (m_ergebnis) {
        const int names = x0 + w / 3;
        const int rings = x0 + 5 * (w / 6);
        for (const RoundPairing& p : t.pairings) {
            drawTextAt(painter, names - g30, top(), t.teamNames[p.slotA], TextAlign::Right);
            drawTextAt(painter, names, top(), QStringLiteral("-"), TextAlign::Center);
            drawTextAt(painter, names + g30, top(), t.teamNames[p.slotB], TextAlign::Left);
            drawTextAt(painter, rings - g30, top(), QString::number(p.ringsA), TextAlign::Right);
            drawTextAt(painter, rings, top(), QStringLiteral("-"), TextAlign::Center);
            QString right = QString::number(p.ringsB);
            if (p.remark != 0)
                right += remarkMarker(p.remark);
            drawTextAt(painter, rings + g30, top(), right, TextAlign::Left);
            ++m;
        }
    }
    if (!t.remarks.isEmpty()) {
        ++m;
        for (int r = 1; r <= t.remarks.size(); ++r) {
            drawTextAt(painter, x0 + w / 3, top(), remarkMarker(r), TextAlign::Right);
            drawTextAt(painter, x0 + w / 3 + g30, top(), t.remarks[r - 1], TextAlign::Left);
            ++m;
        }
        ++m;
    }
    if (m_ergebnis)
        ++m;
    if (m_tabelle) {
        const int column = w / 12;
        const CTabellenStand& s = t.stand;
        for (const StandingRow& row : t.rows) {
            const int slot = row.slot;
            if (row.rank != 0)
                drawTextAt(painter, x0 + 3 * column - g20, top(), QString::asprintf("%d. ", row.rank),
                           TextAlign::Right);
            drawTextAt(painter, x0 + 3 * column, top(), t.teamNames[slot], TextAlign::Left);
            drawTextAt(painter, x0 + 8 * column, top(), QString::number(s.Kaempfe[slot]), TextAlign::Left);
            drawTextAt(painter, x0 + 9 * column, top(),
                       QString::asprintf("%2d : %2d", s.Pluspunkte[slot], s.Minuspunkte[slot]), TextAlign::Left);
            drawTextAt(painter, x0 + 11 * column, top(), QString::number(s.Ringe[slot]), TextAlign::Right);
            ++m;
        }
    }
    return t.ok;
}

// ------------------------------------------------------------------------- individual ranking

int RankingLayout::pages(const RankingClass& cls) const
{
    const int rows = static_cast<int>(cls.rows.size());
    return rows == 0 ? 1 : (rows + rowsPerPage() - 1) / rowsPerPage();
}

RankingLayout rankingLayout(const RankingClass& cls)
{
    RankingLayout layout;
    if (cls.counted > kBodyLines) {
        layout.smallFont = true;
        layout.lines = kDenseLines;
    }
    return layout;
}

int rankingPageCount(const IndividualRanking& ranking)
{
    int pages = 0;
    for (const RankingClass& cls : ranking.classes)
        pages += rankingLayout(cls).pages(cls);
    return pages;
}

EinzelPage::EinzelPage(CTorvmDoc& doc, const OutputSettings& settings)
    : m_doc(doc)
    , m_ranking(ComputeRanking(doc, settings.round, settings.platz, settings.klasse))
{
}

bool EinzelPage::paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const
{
    // The class the page belongs to, and which of its pages it is.
    const RankingClass* cls = nullptr;
    int part = n;
    for (const RankingClass& c : m_ranking.classes) {
        const int pages = rankingLayout(c).pages(c);
        if (part <= pages) {
            cls = &c;
            break;
        }
        part -= pages;
    }
    if (n < 1 || cls == nullptr)
        return m_ranking.ok;

    const FontGuard guard(painter);
    const PageGeometry g(page);
    QString title = QStringLiteral("Einzelwertung");
    if (cls->index != 0)
        title += QStringLiteral(" - ") + cls->name;
    title += QString::asprintf(" / %d. ", m_ranking.round + 1) + QLatin1String(kDurchgang);
    drawPageHeader(painter, fonts, g, m_doc.CompetitionTitle(), title);

    const RankingLayout layout = rankingLayout(*cls);
    painter.setFont(layout.smallFont ? fonts.footer : fonts.medium);
    const int x0 = g.left + g.width / 16;
    const int v = 14 * g.width / 16;
    const int first = (part - 1) * layout.rowsPerPage();
    const int last = std::min(first + layout.rowsPerPage(), static_cast<int>(cls->rows.size()));
    for (int i = first; i < last; ++i) {
        const RankingRow& row = cls->rows[static_cast<std::size_t>(i)];
        const int top = g.lineTop(i - first + 1, layout.lines);
        if (row.rank != 0)
            drawTextAt(painter, x0 + v / 4, top, QString::asprintf("%d.", row.rank), TextAlign::Right);
        drawTextAt(painter, x0 + v / 4, top, row.titled ? row.name : QLatin1Char(' ') + row.name, TextAlign::Left);
        drawTextAt(painter, x0 + v / 2, top, QLatin1Char(' ') + row.team, TextAlign::Left);
        drawTextAt(painter, x0 + 3 * (v / 4) + v / 20, top, QString::number(row.rings), TextAlign::Right);
    }
    return m_ranking.ok;
}

} // namespace torvm
