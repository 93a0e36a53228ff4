#include "output/OutputPages.h"

#include "db/Messages.h"
#include "document/TorvmDoc.h"
#include "output/MatchReport.h"
#include "output/Standings.h"
#include "results/CompetitionRules.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

namespace torvm {

namespace {

constexpr auto kDurchgang = "Durchgang";
constexpr int kBodyLines = 50;
constexpr int kDenseLines = 75;
// A half has at most k = 10 positions, 4 rows of blocks of at most 12 lines: it always fits the
// grid of the medium font.
static_assert(((kRoundsPerPlan / 2) / 3 + 1) * (kPairingsPerRound + 2) < kBodyLines);
constexpr int kClubLines = 52;
constexpr int kParticipantLines = 77;

QString clubNumberText(const ClubRow& club)
{
    return QString::asprintf("%ld   ", static_cast<long>(club.number));
}

// The fixed gaps beside the columns were made for a printer of 300 dots per inch; on other
// devices they keep the same size on paper.
int gap(const QPainter& painter, int units)
{
    return units * painter.device()->logicalDpiX() / 300;
}

// The class of a ranking that page n (from 1) belongs to, and which of its pages it is; none
// past the last page.
template <typename Class, typename PageCount>
std::pair<const Class*, int> classOfPage(const std::vector<Class>& classes, int n, PageCount pagesOf)
{
    for (const Class& c : classes) {
        if (n < 1)
            break;
        const int pages = pagesOf(c);
        if (n <= pages)
            return {&c, n};
        n -= pages;
    }
    return {nullptr, 0};
}

// "Einzelwertung - Jugend / …"; shooters of no class get no class name.
template <typename Class> QString rankingTitle(const QString& kind, const Class& cls, const QString& rounds)
{
    QString title = kind;
    if (cls.index != 0)
        title += QStringLiteral(" - ") + cls.name;
    return title + QStringLiteral(" / ") + rounds;
}

} // namespace

// ------------------------------------------------------------------------------ league tables

TabellePage::TabellePage(CTorvmDoc& doc, const OutputSettings& settings)
    : m_doc(doc)
    , m_groups(outputGroups(doc, settings.groups))
    , m_round(settings.round)
    , m_ergebnis(settings.ergebnis)
    , m_tabelle(settings.tabelle)
{
}

// At most 10 pairings, 10 remarks, the headings, 20 rows and 3 empty lines: a table always fits
// the 49 lines of one page.
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
    const int pageRight = g.left + g.width;
    int m = 1;
    const auto top = [&] { return g.lineTop(m, kBodyLines); };

    if (m_ergebnis) {
        const int names = x0 + w / 3;
        const int rings = x0 + 5 * (w / 6);
        for (const RoundPairing& p : t.pairings) {
            const QString ringsA = pairingRingText(p.ringsA, p.absentA, t.tenths);
            drawTextAt(painter, names - g30, top(), t.teamNames[p.slotA], TextAlign::Right, g.left);
            drawTextAt(painter, names, top(), QStringLiteral("-"), TextAlign::Center);
            drawTextAt(painter, names + g30, top(), t.teamNames[p.slotB], TextAlign::Left,
                       rightAlignedStart(painter, rings - g30, ringsA));
            drawTextAt(painter, rings - g30, top(), ringsA, TextAlign::Right);
            drawTextAt(painter, rings, top(), QStringLiteral("-"), TextAlign::Center);
            QString right = pairingRingText(p.ringsB, p.absentB, t.tenths);
            if (p.remark != 0)
                right += remarkMarker(p.remark);
            drawTextAt(painter, rings + g30, top(), right, TextAlign::Left, pageRight);
            ++m;
        }
    }
    if (!t.remarks.isEmpty()) {
        ++m;
        for (int r = 1; r <= t.remarks.size(); ++r) {
            drawTextAt(painter, x0 + w / 3, top(), remarkMarker(r), TextAlign::Right);
            drawTextAt(painter, x0 + w / 3 + g30, top(), t.remarks[r - 1], TextAlign::Left, pageRight);
            ++m;
        }
        ++m;
    }
    if (m_ergebnis)
        ++m;
    if (m_tabelle) {
        const int column = w / 12;
        const CTabellenStand& s = t.stand;
        // The column headings of the web page, over the columns they name.
        drawTextAt(painter, x0 + 3 * column - g20, top(), QStringLiteral("Platz"), TextAlign::Right, g.left);
        drawTextAt(painter, x0 + 3 * column, top(), QStringLiteral("Mannschaft"), TextAlign::Left, x0 + 8 * column);
        drawTextAt(painter, x0 + 8 * column, top(), QStringLiteral("Kämpfe"), TextAlign::Left, x0 + 9 * column);
        drawTextAt(painter, x0 + 9 * column, top(), QStringLiteral("Punkte"), TextAlign::Left,
                   rightAlignedStart(painter, x0 + 11 * column, QStringLiteral("Ringe")));
        drawTextAt(painter, x0 + 11 * column, top(), QStringLiteral("Ringe"), TextAlign::Right);
        ++m;
        for (const StandingRow& row : t.rows) {
            const int slot = row.slot;
            const QString ringe = ringText(s.Ringe[slot], t.tenths);
            if (row.rank != 0)
                drawTextAt(painter, x0 + 3 * column - g20, top(), QString::asprintf("%d. ", row.rank), TextAlign::Right,
                           g.left);
            drawTextAt(painter, x0 + 3 * column, top(), t.teamNames[slot], TextAlign::Left, x0 + 8 * column);
            drawTextAt(painter, x0 + 8 * column, top(), QString::number(s.Kaempfe[slot]), TextAlign::Left,
                       x0 + 9 * column);
            drawTextAt(painter, x0 + 9 * column, top(),
                       QString::asprintf("%2lld : %2lld", static_cast<long long>(s.Pluspunkte[slot]),
                                         static_cast<long long>(s.Minuspunkte[slot])),
                       TextAlign::Left, rightAlignedStart(painter, x0 + 11 * column, ringe));
            drawTextAt(painter, x0 + 11 * column, top(), ringe, TextAlign::Right);
            ++m;
        }
        if (!t.tieBreakLine.isEmpty())
            drawTextAt(painter, x0 + 3 * column, top(), t.tieBreakLine, TextAlign::Left, pageRight);
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
    const auto [cls, part] =
        classOfPage(m_ranking.classes, n, [](const RankingClass& c) { return rankingLayout(c).pages(c); });
    if (cls == nullptr)
        return m_ranking.ok;

    const FontGuard guard(painter);
    const PageGeometry g(page);
    drawPageHeader(painter, fonts, g, m_doc.CompetitionTitle(),
                   rankingTitle(QStringLiteral("Einzelwertung"), *cls,
                                QString::asprintf("%d. ", m_ranking.round + 1) + QLatin1String(kDurchgang)));

    const RankingLayout layout = rankingLayout(*cls);
    painter.setFont(layout.smallFont ? fonts.footer : fonts.medium);
    const int x0 = g.left + g.width / 16;
    const int v = 14 * g.width / 16;
    const int first = (part - 1) * layout.rowsPerPage();
    const int last = std::min(first + layout.rowsPerPage(), static_cast<int>(cls->rows.size()));
    const auto shownName = [](const RankingRow& row) { return row.titled ? row.name : QLatin1Char(' ') + row.name; };
    // Rank, name, team and rings across the whole line: the names take what the longest of the
    // page needs (at most a third of the line), the team names all the rest up to the rings.
    const int nameX = x0 + v / 12;
    std::vector<QString> names;
    for (int i = first; i < last; ++i)
        names.push_back(shownName(cls->rows[static_cast<std::size_t>(i)]));
    const int teamX = nameX + columnWidth(painter, names, 4 * (v / 12));
    for (int i = first; i < last; ++i) {
        const RankingRow& row = cls->rows[static_cast<std::size_t>(i)];
        const int top = g.lineTop(i - first + 1, layout.lines);
        const QString rings = row.ringsText();
        const int ringsX = x0 + v;
        if (row.outOfContest)
            drawTextAt(painter, nameX, top, QLatin1String(kOutOfContestLabel), TextAlign::Right, g.left);
        else if (row.rank != 0)
            drawTextAt(painter, nameX, top, QString::asprintf("%d.", row.rank), TextAlign::Right, g.left);
        drawTextAt(painter, nameX, top, shownName(row), TextAlign::Left, teamX);
        drawTeamName(painter, teamX, top, QLatin1Char(' ') + row.team, rightAlignedStart(painter, ringsX, rings));
        drawTextAt(painter, ringsX, top, rings, TextAlign::Right);
    }
    return m_ranking.ok;
}

// ----------------------------------------------------------------------------- season ranking

namespace {

// Rows of a season class on one page: the first line holds the column headings.
RankingLayout seasonLayout(const SeasonClass& cls)
{
    RankingLayout layout;
    if (static_cast<int>(cls.rows.size()) > kBodyLines - 2) {
        layout.smallFont = true;
        layout.lines = kDenseLines;
    }
    return layout;
}

int seasonPages(const SeasonClass& cls)
{
    const int perPage = seasonLayout(cls).rowsPerPage() - 1;
    return (static_cast<int>(cls.rows.size()) + perPage - 1) / perPage;
}

} // namespace

GesamtPage::GesamtPage(CTorvmDoc& doc, const OutputSettings& settings)
    : m_doc(doc)
    , m_ranking(ComputeSeasonRanking(doc, settings.round, settings.mindestens, settings.klasse))
    , m_mindestens(settings.mindestens)
{
}

int GesamtPage::pageCount() const
{
    int pages = 0;
    for (const SeasonClass& cls : m_ranking.classes)
        pages += seasonPages(cls);
    return pages;
}

bool GesamtPage::paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const
{
    const auto [cls, part] = classOfPage(m_ranking.classes, n, seasonPages);
    if (cls == nullptr)
        return m_ranking.ok;

    const FontGuard guard(painter);
    const PageGeometry g(page);
    drawPageHeader(painter, fonts, g, m_doc.CompetitionTitle(),
                   rankingTitle(QStringLiteral("Gesamtwertung"), *cls, seasonRoundsText(m_ranking.lastRound)) +
                       QStringLiteral(", ") + seasonRuleText(m_mindestens));

    const RankingLayout layout = seasonLayout(*cls);
    painter.setFont(layout.smallFont ? fonts.footer : fonts.medium);
    const int x0 = g.left + g.width / 16;
    const int v = 14 * g.width / 16;
    const int perPage = layout.rowsPerPage() - 1;
    const int first = (part - 1) * perPage;
    const int last = std::min(first + perPage, static_cast<int>(cls->rows.size()));
    const auto shownName = [](const SeasonRow& row) { return row.titled ? row.name : QLatin1Char(' ') + row.name; };
    // Rank, name, team, then four right-aligned numbers. The names take what the longest of the
    // page needs (at most a third of the line), the team names the rest.
    const int nameX = x0 + v / 12;
    std::vector<QString> names{QStringLiteral(" Name")};
    for (int i = first; i < last; ++i)
        names.push_back(shownName(cls->rows[static_cast<std::size_t>(i)]));
    const int teamX = nameX + columnWidth(painter, names, 4 * (v / 12));
    const std::array<int, 4> numberX{x0 + 17 * (v / 24), x0 + 19 * (v / 24), x0 + 43 * (v / 48), x0 + v};
    const auto drawRow = [&](int top, const QString& rank, const QString& name, const QString& team,
                             const std::array<QString, 4>& numbers) {
        drawTextAt(painter, nameX, top, rank, TextAlign::Right, g.left);
        drawTextAt(painter, nameX, top, name, TextAlign::Left, teamX);
        drawTeamName(painter, teamX, top, team, rightAlignedStart(painter, numberX[0], numbers[0]));
        for (std::size_t i = 0; i < numbers.size(); ++i)
            drawTextAt(painter, numberX[i], top, numbers[i], TextAlign::Right, i == 0 ? teamX : numberX[i - 1]);
    };
    drawRow(g.lineTop(1, layout.lines), QString(), QStringLiteral(" Name"), QStringLiteral(" Mannschaft"),
            {QStringLiteral("DG"), QStringLiteral("Ringe"), QStringLiteral("Schnitt"), QStringLiteral("Bester")});
    for (int i = first; i < last; ++i) {
        const SeasonRow& row = cls->rows[static_cast<std::size_t>(i)];
        const QString rank = row.outOfContest ? QString::fromLatin1(kOutOfContestLabel)
                             : row.rank != 0  ? QString::asprintf("%d.", row.rank)
                                              : QString();
        drawRow(g.lineTop(i - first + 2, layout.lines), rank, shownName(row), QLatin1Char(' ') + row.team,
                {QString::number(row.rounds), row.totalText(), row.average(), row.bestText()});
    }
    return m_ranking.ok;
}

// --------------------------------------------------------------------------- fixture schedule

ScheduleLayout::Place ScheduleLayout::place(int half, int position) const
{
    const int row = position / 3;
    const int page = rowPage[half][static_cast<std::size_t>(row)];
    return {page, half * halfLines + row * linesPerBlock - pageStart[static_cast<std::size_t>(page)]};
}

ScheduleLayout scheduleLayout(const FixtureSchedule& schedule)
{
    ScheduleLayout l;
    const int k = schedule.k;
    std::size_t most = 0;
    for (const ScheduleRound& round : schedule.rounds)
        most = std::max(most, round.pairings.size());
    // A half of a double round robin has k = N - 1 rounds of N / 2 pairings; a round with more
    // pairings gets a taller block instead of running into the one below.
    l.linesPerBlock = std::max(k / 2 + 3, static_cast<int>(most) + 2);
    const int rows = k / 3 + 1;
    l.halfLines = rows * l.linesPerBlock;
    std::array<std::vector<bool>, 2> used{std::vector<bool>(static_cast<std::size_t>(rows)),
                                          std::vector<bool>(static_cast<std::size_t>(rows))};
    for (const ScheduleRound& round : schedule.rounds)
        used[round.half][static_cast<std::size_t>(round.position / 3)] = true;

    l.pageStart = {0};
    bool pageHasRows = false;
    // Starts the current page at `line` when what ends at line + extent does not fit it.
    const auto fit = [&l, &pageHasRows](int line, int extent) {
        if (line - l.pageStart.back() + extent <= l.lines)
            return;
        if (pageHasRows) {
            l.pageStart.push_back(line);
            pageHasRows = false;
        } else {
            l.pageStart.back() = line;
        }
    };
    for (int h = 0; h < 2; ++h) {
        l.rowPage[h].assign(static_cast<std::size_t>(rows), 0);
        int last = -1;
        for (int b = 0; b < rows; ++b) {
            if (used[h][static_cast<std::size_t>(b)])
                last = b;
        }
        if (last < 0)
            continue;
        const int halfStart = h * l.halfLines;
        // The last line of a block is its spare line, which may fall on the edge of the body.
        fit(halfStart, last * l.linesPerBlock + l.linesPerBlock - 1);
        for (int b = 0; b <= last; ++b) {
            if (used[h][static_cast<std::size_t>(b)]) {
                fit(halfStart + b * l.linesPerBlock, l.linesPerBlock - 1);
                pageHasRows = true;
            }
            l.rowPage[h][static_cast<std::size_t>(b)] = static_cast<int>(l.pageStart.size()) - 1;
        }
    }
    l.pages = static_cast<int>(l.pageStart.size());
    return l;
}

TerminPage::TerminPage(CTorvmDoc& doc, const OutputSettings& settings)
    : m_doc(doc)
{
    auto schedules = fixtureSchedules(doc, settings.plans);
    m_ok = schedules.has_value();
    if (!schedules)
        return;
    m_schedules = std::move(*schedules);
    for (const FixtureSchedule& schedule : m_schedules)
        m_layouts.push_back(scheduleLayout(schedule));
}

int TerminPage::pageCount() const
{
    int pages = 0;
    for (const ScheduleLayout& layout : m_layouts)
        pages += layout.pages;
    return pages;
}

bool TerminPage::paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const
{
    std::size_t index = 0;
    int part = n;
    while (index < m_layouts.size() && part > m_layouts[index].pages)
        part -= m_layouts[index++].pages;
    if (n < 1 || index == m_layouts.size())
        return m_ok;
    const FixtureSchedule& schedule = m_schedules[index];
    const ScheduleLayout& layout = m_layouts[index];

    const FontGuard guard(painter);
    const PageGeometry g(page);
    drawPageHeader(painter, fonts, g, m_doc.CompetitionTitle(), schedule.name + QStringLiteral(" - Terminplan"));
    const int x0 = g.left + g.width / 16;
    const int area = 14 * g.width / 16;
    const int step = g.bodyHeight / layout.lines;
    for (const ScheduleRound& round : schedule.rounds) {
        const ScheduleLayout::Place where = layout.place(round.half, round.position);
        if (where.page != part - 1)
            continue;
        const int x = x0 + (round.position % 3) * (area / 3);
        const int y = g.bodyTop + where.line * g.bodyHeight / layout.lines;
        drawTextAt(painter, x, y, printedScheduleLabel(round), TextAlign::Left, x + area / 3);
        const int middle = x + area / 6;
        int top = y;
        for (const auto& [a, b] : round.pairings) {
            top += step;
            drawTextAt(painter, middle, top, QString::asprintf("%d  ", a), TextAlign::Right);
            drawTextAt(painter, middle, top, QStringLiteral("-"), TextAlign::Center);
            drawTextAt(painter, middle, top, QString::asprintf("  %d", b), TextAlign::Left);
        }
    }
    return m_ok;
}

// ------------------------------------------------------------------------------- group sheets

std::vector<std::vector<SheetLine>> sheetPages(const GroupSheet& sheet)
{
    std::vector<std::vector<SheetLine>> pages(1);
    const auto add = [&pages](std::vector<SheetLine> block) {
        // Trailing empty lines need no room on the page.
        std::size_t needed = block.size();
        while (needed > 0 && block[needed - 1].kind == SheetLine::Kind::Empty)
            --needed;
        if (!pages.back().empty() && pages.back().size() + needed > kSheetLinesPerPage)
            pages.emplace_back();
        for (SheetLine& line : block) {
            if (pages.back().size() == kSheetLinesPerPage)
                pages.emplace_back();
            if (pages.back().empty() && line.kind == SheetLine::Kind::Empty)
                continue;
            pages.back().push_back(std::move(line));
        }
    };
    for (const GroupTeam& team : sheet.teams)
        add({{SheetLine::Kind::Team, team.name, team.address, team.phone}});
    add({SheetLine{}});
    for (const GroupRound& round : sheet.rounds) {
        std::vector<SheetLine> block;
        const QString date = printedRoundDate(round.date);
        for (const auto& [a, b] : round.pairings)
            block.push_back({SheetLine::Kind::Pairing, block.empty() ? date : QString(), a, b});
        if (block.empty())
            block.push_back({SheetLine::Kind::Pairing, date, QString(), QString()});
        block.emplace_back();
        add(std::move(block));
    }
    return pages;
}

GruppePage::GruppePage(CTorvmDoc& doc, const OutputSettings& settings)
    : m_doc(doc)
{
    const auto sheets = groupSheets(doc, outputGroups(doc, settings.sheetGroups));
    m_ok = sheets.has_value();
    if (!sheets)
        return;
    for (const GroupSheet& sheet : *sheets) {
        for (std::vector<SheetLine>& lines : sheetPages(sheet))
            m_pages.emplace_back(sheet.name, std::move(lines));
    }
}

bool GruppePage::paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const
{
    if (n < 1 || n > pageCount())
        return m_ok;
    const auto& [name, lines] = m_pages[static_cast<std::size_t>(n - 1)];
    const FontGuard guard(painter);
    const PageGeometry g(page);
    drawPageHeader(painter, fonts, g, m_doc.CompetitionTitle(), name);
    const int x0 = g.left + g.width / 16;
    const int w = 14 * g.width / 16;
    const int middle = x0 + w / 2;
    const int g20 = gap(painter, 20);
    const int pageRight = g.left + g.width;
    int m = 1;
    for (const SheetLine& line : lines) {
        const int top = g.lineTop(m++, kBodyLines);
        switch (line.kind) {
        case SheetLine::Kind::Empty:
            break;
        case SheetLine::Kind::Team:
            drawTextAt(painter, x0, top, line.first, TextAlign::Left, x0 + w / 3);
            drawTextAt(painter, x0 + w / 3, top, line.second, TextAlign::Left,
                       rightAlignedStart(painter, x0 + w, line.third));
            drawTextAt(painter, x0 + w, top, line.third, TextAlign::Right, x0 + w / 3);
            break;
        case SheetLine::Kind::Pairing:
            drawTextAt(painter, x0, top, line.first, TextAlign::Left, middle - g20);
            if (!line.second.isEmpty() || !line.third.isEmpty()) {
                const int dateEnd = x0 + painter.fontMetrics().horizontalAdvance(line.first);
                drawTextAt(painter, middle - g20, top, line.second, TextAlign::Right,
                           line.first.isEmpty() ? g.left : dateEnd);
                drawTextAt(painter, middle, top, QStringLiteral("-"), TextAlign::Center);
                drawTextAt(painter, middle + g20, top, line.third, TextAlign::Left, pageRight);
            }
            break;
        }
    }
    return m_ok;
}

// ------------------------------------------------------------------------ clubs, participants

VereinPage::VereinPage(CTorvmDoc& doc)
    : m_doc(doc)
{
    auto rows = clubRows(doc);
    m_ok = rows.has_value();
    if (rows)
        m_rows = std::move(*rows);
}

int VereinPage::pageCount() const
{
    return (static_cast<int>(m_rows.size()) + kClubsPerPage - 1) / kClubsPerPage;
}

bool VereinPage::paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const
{
    if (n < 1 || n > pageCount())
        return m_ok;
    const FontGuard guard(painter);
    const PageGeometry g(page);
    drawPageHeader(painter, fonts, g, m_doc.CompetitionTitle(), QStringLiteral("Vereine"));
    const int x0 = g.left + g.width / 16;
    const int w = 14 * g.width / 16;
    const std::size_t first = static_cast<std::size_t>(n - 1) * kClubsPerPage;
    const std::size_t last = std::min(first + kClubsPerPage, m_rows.size());
    for (std::size_t i = first; i < last; ++i) {
        const int column = static_cast<int>(i - first) / kClubsPerColumn;
        const int m = static_cast<int>(i - first) % kClubsPerColumn + 1;
        const int x = x0 + column * (w / 2) + w / 10;
        const int top = g.lineTop(m, kClubLines);
        // The name of the first column ends before the number beside it in the second.
        int limit = g.left + g.width;
        if (const std::size_t beside = i + kClubsPerColumn; column == 0 && beside < last)
            limit = rightAlignedStart(painter, x + w / 2, clubNumberText(m_rows[beside]));
        drawTextAt(painter, x, top, clubNumberText(m_rows[i]), TextAlign::Right, g.left);
        drawTextAt(painter, x, top, m_rows[i].name, TextAlign::Left, limit);
    }
    return m_ok;
}

TeilnehmerPage::TeilnehmerPage(CTorvmDoc& doc, const OutputSettings& settings)
    : m_doc(doc)
{
    auto rows = participantRows(doc, settings.sort);
    m_ok = rows.has_value();
    if (rows)
        m_rows = std::move(*rows);
}

int TeilnehmerPage::pageCount() const
{
    return (static_cast<int>(m_rows.size()) + kParticipantsPerPage - 1) / kParticipantsPerPage;
}

bool TeilnehmerPage::paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const
{
    if (n < 1 || n > pageCount())
        return m_ok;
    const FontGuard guard(painter);
    const PageGeometry g(page);
    drawPageHeader(painter, fonts, g, m_doc.CompetitionTitle(), QStringLiteral("Teilnehmerliste"));
    painter.setFont(fonts.footer);
    const int x0 = g.left + g.width / 16;
    const int w = 14 * g.width / 16;
    const std::size_t first = static_cast<std::size_t>(n - 1) * kParticipantsPerPage;
    const std::size_t last = std::min(first + kParticipantsPerPage, m_rows.size());
    for (std::size_t i = first; i < last; ++i) {
        const ParticipantRow& row = m_rows[i];
        const int top = g.lineTop(static_cast<int>(i - first) + 1, kParticipantLines);
        const int dateX = x0 + 2 * (w / 3) - w / 50;
        const int classX = x0 + 2 * (w / 3) + w / 10;
        drawTextAt(painter, x0 + w / 10, top, QString::asprintf("%ld   ", static_cast<long>(row.number)),
                   TextAlign::Right, g.left);
        drawTextAt(painter, x0 + w / 10, top, row.titled ? row.name : QLatin1Char(' ') + row.name, TextAlign::Left,
                   x0 + w / 3);
        drawTextAt(painter, x0 + w / 3, top, row.club, TextAlign::Left, row.birthDate.isEmpty() ? classX : dateX);
        drawTextAt(painter, dateX, top, row.birthDate, TextAlign::Left, classX);
        if (!row.className.isEmpty())
            drawTextAt(painter, classX, top, row.className, TextAlign::Left, g.left + g.width);
    }
    return m_ok;
}

// ---------------------------------------------------------------------------- missing results

std::vector<std::vector<MissingLine>> missingPages(const std::vector<MissingPairing>& missing)
{
    using Kind = MissingLine::Kind;
    std::vector<std::vector<MissingLine>> pages(1);
    for (std::size_t i = 0; i < missing.size(); ++i) {
        const bool first = i == 0 || missing[i].group != missing[i - 1].group;
        std::vector<MissingLine> block;
        if (first && !pages.back().empty())
            block.push_back({Kind::Empty, i, false});
        if (first)
            block.push_back({Kind::Group, i, false});
        block.push_back({Kind::Home, i, false});
        block.push_back({Kind::Guest, i, false});
        if (static_cast<int>(pages.back().size() + block.size()) > kMissingLinesPerPage) {
            pages.emplace_back();
            if (block.front().kind == Kind::Empty)
                block.erase(block.begin());
            if (block.front().kind != Kind::Group)
                block.insert(block.begin(), {Kind::Group, i, true});
        }
        pages.back().insert(pages.back().end(), block.begin(), block.end());
    }
    return pages;
}

AusstehendPage::AusstehendPage(CTorvmDoc& doc, const OutputSettings& settings)
    : m_doc(doc)
    , m_reference(settings.reference)
{
    QString error;
    auto missing = missingResults(doc.GetDatabase(), &doc, m_reference, &error);
    m_ok = missing.has_value();
    if (!missing)
        showDatabaseError(error);
    else
        m_missing = std::move(*missing);
    m_pages = missingPages(m_missing);
}

bool AusstehendPage::paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const
{
    if (n < 1 || n > pageCount())
        return m_ok;
    const FontGuard guard(painter);
    const PageGeometry g(page);
    const QString day = m_reference.toString(QStringLiteral("dd.MM.yyyy"));
    drawPageHeader(painter, fonts, g, m_doc.CompetitionTitle(),
                   QStringLiteral("Ausstehende Ergebnisse vor dem %1").arg(day));
    const int x0 = g.left + g.width / 16;
    const int w = 14 * g.width / 16;
    const int right = g.left + g.width;
    if (m_missing.empty()) {
        drawTextAt(painter, x0, g.lineTop(1, kBodyLines),
                   QStringLiteral("Keine ausstehenden Ergebnisse vor dem %1.").arg(day), TextAlign::Left, right);
        return m_ok;
    }
    const int roundX = x0 + 5 * w / 100; // right edge of the round number
    const int dateX = x0 + 7 * w / 100;
    const int teamX = x0 + 22 * w / 100;
    const int captainX = x0 + 55 * w / 100;
    const int phoneX = x0 + 79 * w / 100;
    const int headTop = g.lineTop(1, kBodyLines);
    drawTextAt(painter, roundX, headTop, QStringLiteral("Dg."), TextAlign::Right, g.left);
    drawTextAt(painter, dateX, headTop, QStringLiteral("Datum"), TextAlign::Left, teamX);
    drawTextAt(painter, teamX, headTop, QStringLiteral("Mannschaft"), TextAlign::Left, captainX);
    drawTextAt(painter, captainX, headTop, QStringLiteral("Mannschaftsführer"), TextAlign::Left, phoneX);
    drawTextAt(painter, phoneX, headTop, QStringLiteral("Telefon"), TextAlign::Left, right);
    const std::vector<MissingLine>& lines = m_pages[static_cast<std::size_t>(n - 1)];
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const MissingLine& line = lines[i];
        const MissingPairing& p = m_missing[line.pairing];
        const int top = g.lineTop(static_cast<int>(i) + 2, kBodyLines);
        switch (line.kind) {
        case MissingLine::Kind::Empty:
            break;
        case MissingLine::Kind::Group: {
            QString name = groupTitle(p.group, p.groupName);
            if (line.continued)
                name += QStringLiteral(" (Fortsetzung)");
            drawTextAt(painter, x0, top, name, TextAlign::Left, right);
            break;
        }
        case MissingLine::Kind::Home:
        case MissingLine::Kind::Guest: {
            const bool home = line.kind == MissingLine::Kind::Home;
            if (home) {
                drawTextAt(painter, roundX, top, QStringLiteral("%1.").arg(p.round + 1), TextAlign::Right, g.left);
                drawTextAt(painter, dateX, top, p.date.date().toString(QStringLiteral("dd.MM.yyyy")), TextAlign::Left,
                           teamX);
            }
            const MissingSide& side = home ? p.a : p.b;
            drawTeamName(painter, teamX, top, side.team, captainX);
            drawTextAt(painter, captainX, top, side.captain, TextAlign::Left, phoneX);
            drawTextAt(painter, phoneX, top, side.phone, TextAlign::Left, right);
            break;
        }
        }
    }
    return m_ok;
}

// --------------------------------------------------------------------------------- every output

std::unique_ptr<PagePainter> makeOutputPages(CTorvmDoc& doc, const OutputSettings& settings, Output output)
{
    switch (output) {
    case Output::Termin:
        return std::make_unique<TerminPage>(doc, settings);
    case Output::Gruppe:
        return std::make_unique<GruppePage>(doc, settings);
    case Output::Tabelle:
        return std::make_unique<TabellePage>(doc, settings);
    case Output::Einzel:
        return std::make_unique<EinzelPage>(doc, settings);
    case Output::Verein:
        return std::make_unique<VereinPage>(doc);
    case Output::Teilnehmer:
        return std::make_unique<TeilnehmerPage>(doc, settings);
    case Output::Gesamt:
        return std::make_unique<GesamtPage>(doc, settings);
    case Output::Bericht:
        return std::make_unique<BerichtPage>(doc, outputGroups(doc, settings.reportGroups), settings.round,
                                             settings.series);
    case Output::Ausstehend:
        return std::make_unique<AusstehendPage>(doc, settings);
    }
    return nullptr;
}

} // namespace torvm
