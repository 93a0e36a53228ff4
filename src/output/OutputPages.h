#pragma once

#include "output/PrintPage.h"
#include "output/Ranking.h"
#include "output/TextExport.h"

#include <vector>

namespace torvm {

class CTorvmDoc;

// League tables: one page per group of the output's group list.
class TabellePage : public PagePainter {
public:
    TabellePage(CTorvmDoc& doc, const OutputSettings& settings);
    int pageCount() const override { return static_cast<int>(m_groups.size()); }
    bool paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const override;

private:
    CTorvmDoc& m_doc;
    std::vector<int> m_groups;
    int m_round;
    bool m_ergebnis;
    bool m_tabelle;
};

// Rows of a ranking class on one page, and the grid of lines they use.
struct RankingLayout {
    bool smallFont = false; // footer font on the denser grid
    int lines = 50;
    int rowsPerPage() const { return lines - 1; }
    int pages(const RankingClass& cls) const;
};
RankingLayout rankingLayout(const RankingClass& cls);

// Pages of an individual ranking: every class with a counted result, a long class continued on
// further pages.
int rankingPageCount(const IndividualRanking& ranking);

// Individual ranking: the ranking is taken once, when the output is set up for a run.
class EinzelPage : public PagePainter {
public:
    EinzelPage(CTorvmDoc& doc, const OutputSettings& settings);
    int pageCount() const override { return rankingPageCount(m_ranking); }
    bool paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const override;

private:
    CTorvmDoc& m_doc;
    IndividualRanking m_ranking;
};

} // namespace torvm
