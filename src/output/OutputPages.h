#pragma once

#include "output/MissingResults.h"
#include "output/OutputRows.h"
#include "output/PrintPage.h"
#include "output/Ranking.h"
#include "output/TextExport.h"

#include <array>
#include <memory>
#include <utility>
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

// Where the rounds of a fixture schedule sit on paper: every round a block of lines in one of
// three columns, the blocks of a half in rows, the second half below the first. A half that does
// not fit below the first goes on a page of its own; one that does not fit a page at all goes on
// in further pages, a row of blocks never split.
struct ScheduleLayout {
    int lines = 50;        // grid of the body, in the medium font
    int linesPerBlock = 3; // label, pairings and one spare line
    int halfLines = 0;     // lines of one half
    int pages = 1;
    // Page (from 0) and grid line (from 0) of the label of the round at `position` of `half`.
    struct Place {
        int page = 0;
        int line = 0;
    };
    Place place(int half, int position) const;

    std::vector<int> pageStart;              // first line of every page, counted over both halves
    std::array<std::vector<int>, 2> rowPage; // page of every row of blocks of each half
};
ScheduleLayout scheduleLayout(const FixtureSchedule& schedule);

// Fixture schedules: the chosen plans in plan order, each on one page or more.
class TerminPage : public PagePainter {
public:
    TerminPage(CTorvmDoc& doc, const OutputSettings& settings);
    int pageCount() const override;
    bool paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const override;

private:
    CTorvmDoc& m_doc;
    bool m_ok = true;
    std::vector<FixtureSchedule> m_schedules;
    std::vector<ScheduleLayout> m_layouts;
};

// One line of a group sheet on paper.
struct SheetLine {
    enum class Kind { Empty, Team, Pairing };
    Kind kind = Kind::Empty;
    // Team: name, captain's address, phone. Pairing: the date (first line of a round only), the
    // two teams.
    QString first;
    QString second;
    QString third;
};
inline constexpr int kSheetLinesPerPage = 49;
// The pages of one group sheet: teams, an empty line, then the rounds; a round is never split
// over two pages, and a continuation page does not begin with an empty line.
std::vector<std::vector<SheetLine>> sheetPages(const GroupSheet& sheet);

// Group sheets: every group of the list, a long one continued on further pages.
class GruppePage : public PagePainter {
public:
    GruppePage(CTorvmDoc& doc, const OutputSettings& settings);
    int pageCount() const override { return static_cast<int>(m_pages.size()); }
    bool paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const override;

private:
    CTorvmDoc& m_doc;
    bool m_ok = true;
    // Every printed page: the group's name and its lines.
    std::vector<std::pair<QString, std::vector<SheetLine>>> m_pages;
};

// Season ranking: every class with a ranked shooter under a line of column headings, a long class
// continued on further pages.
class GesamtPage : public PagePainter {
public:
    GesamtPage(CTorvmDoc& doc, const OutputSettings& settings);
    int pageCount() const override;
    bool paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const override;

private:
    CTorvmDoc& m_doc;
    SeasonRanking m_ranking;
    int m_mindestens;
};

inline constexpr int kClubsPerColumn = 50;
inline constexpr int kClubsPerPage = 2 * kClubsPerColumn;
inline constexpr int kParticipantsPerPage = 75;

// Club list: two columns of 50 clubs a page.
class VereinPage : public PagePainter {
public:
    explicit VereinPage(CTorvmDoc& doc);
    int pageCount() const override;
    bool paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const override;

private:
    CTorvmDoc& m_doc;
    bool m_ok = true;
    std::vector<ClubRow> m_rows;
};

// Participant list: 75 participants a page in the chosen order.
class TeilnehmerPage : public PagePainter {
public:
    TeilnehmerPage(CTorvmDoc& doc, const OutputSettings& settings);
    int pageCount() const override;
    bool paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const override;

private:
    CTorvmDoc& m_doc;
    bool m_ok = true;
    std::vector<ParticipantRow> m_rows;
};

// One line of the missing results on paper.
struct MissingLine {
    enum class Kind { Empty, Group, Home, Guest };
    Kind kind = Kind::Empty;
    std::size_t pairing = 0; // Home, Guest: index into the list; Group: its first pairing
    bool continued = false;  // Group: the group goes on from the page before
};
inline constexpr int kMissingLinesPerPage = 48;
// The pages of the missing results: a heading per group, each pairing on two lines (home team,
// guest team) that stay together; a group going on over a page break is named again on top.
std::vector<std::vector<MissingLine>> missingPages(const std::vector<MissingPairing>& missing);

// Missing results: the pairings before the reference day without a result, with the captains to
// call; one page saying that nothing is missing when nothing is.
class AusstehendPage : public PagePainter {
public:
    AusstehendPage(CTorvmDoc& doc, const OutputSettings& settings);
    int pageCount() const override { return static_cast<int>(m_pages.size()); }
    bool paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const override;

private:
    CTorvmDoc& m_doc;
    bool m_ok = true;
    QDate m_reference;
    std::vector<MissingPairing> m_missing;
    std::vector<std::vector<MissingLine>> m_pages;
};

// The printed pages of one output for a run, with everything they show read now.
std::unique_ptr<PagePainter> makeOutputPages(CTorvmDoc& doc, const OutputSettings& settings, Output output);

} // namespace torvm
