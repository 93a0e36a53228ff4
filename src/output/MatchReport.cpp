#include "output/MatchReport.h"

#include "db/Database.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "results/PairingEntry.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <utility>

namespace torvm {

namespace {

constexpr int kBodyLines = 50;
constexpr int kDenseLines = 75;

// The latest round up to `round` in which the team's shooter rows hold rings; none when it never
// shot. -1 on a database error.
int latestRoundWithRings(Database& db, int group, int round, int slot)
{
    Statement st = db.prepare(R"(SELECT MAX("ID" / 10000 % 100) FROM "Wettkampf" WHERE "ID" BETWEEN ? AND ?
        AND "ID" / 100 % 100 = ? AND "ID" % 100 BETWEEN 1 AND ? AND "Ergebnis" <> 0)");
    st.bind(1, std::int64_t{resultKey(group, 0, 0, 0)});
    st.bind(2, std::int64_t{resultKey(group, round, kSlotCount, kSummaryRow)});
    st.bind(3, std::int64_t{slot});
    st.bind(4, std::int64_t{kShooterRows});
    if (!st.next())
        return st.failed() ? -1 : kRoundsPerPlan;
    return st.isNull(0) ? kRoundsPerPlan : static_cast<int>(st.int64(0));
}

// The team's line-up of its latest round with rings in rows 1 ... size; false on a database error.
bool fillRows(Database& db, int group, int round, int slot, std::vector<ReportShooter>& rows)
{
    const int latest = latestRoundWithRings(db, group, round, slot);
    if (latest < 0)
        return false;
    if (latest >= kRoundsPerPlan)
        return true;
    Statement st = db.prepare(R"(SELECT w."ID" % 100, w."TNr", t."Name", t."Vorname" FROM "Wettkampf" w
        LEFT JOIN "Teilnehmer" t ON t."Paßnummer" = w."TNr" WHERE w."ID" BETWEEN ? AND ? AND w."TNr" <> 0)");
    st.bind(1, std::int64_t{resultKey(group, latest, slot, 1)});
    st.bind(2, std::int64_t{resultKey(group, latest, slot, static_cast<int>(rows.size()))});
    while (st.next()) {
        const auto row = static_cast<std::size_t>(st.int64(0) - 1);
        const auto number = static_cast<std::int32_t>(st.int64(1));
        rows[row] = {number, (st.text(2) + QLatin1Char(' ') + st.text(3)).trimmed()};
    }
    return !st.failed();
}

QString roundDateText(const DateTime& date)
{
    if (!date.isValid())
        return QStringLiteral("Termin:");
    QString text = QStringLiteral("Termin: ") + date.formatDate();
    if (date.hour() != 0 || date.minute() != 0)
        text += QString::asprintf(", %02d:%02d Uhr", date.hour(), date.minute());
    return text;
}

// Information and a blank line, each team's table with its heading lines, total and a blank
// line, three lines of remarks and four of signatures.
int reportLines(const MatchReport& report)
{
    return 2 + 2 * (static_cast<int>(report.a.rows.size()) + 5) + 3 + 4;
}

} // namespace

std::optional<std::vector<MatchReport>> matchReports(Database* db, CTorvmDoc* doc, const std::vector<int>& groups,
                                                     int round, QString* error)
{
    std::vector<MatchReport> reports;
    CGruppeTable group(db, doc);
    CPlanTable plans(db, doc);
    if (!plans.Open()) {
        *error = db->lastError().text;
        return std::nullopt;
    }
    for (const int id : groups) {
        if (!group.LoadGroup(id) || !isValidPlanRound(group.m_Plan, round) || plans.SelectRound(group.m_Plan, round))
            continue;
        // A team size the entry would not accept still gets a row to write in.
        const int size = std::clamp<int>(group.IsFieldNull(&group.m_Anzahl) ? 4 : group.m_Anzahl, 1, kShooterRows);
        const auto team = [&](int slot, ReportTeam& side) {
            side = {group.TeamName(slot), group.m_MFuehrer[static_cast<std::size_t>(slot - 1)],
                    group.CaptainPhone(slot), std::vector<ReportShooter>(static_cast<std::size_t>(size))};
            return fillRows(*db, id, round, slot, side.rows);
        };
        for (int k = 0; k < kPairingsPerRound; ++k) {
            const int a = plans.m_A[static_cast<std::size_t>(k)];
            const int b = plans.m_B[static_cast<std::size_t>(k)];
            if (!group.SlotUsed(a) || !group.SlotUsed(b))
                continue;
            MatchReport report{group.m_Name, round, plans.m_Datum1, {}, {}};
            if (!team(a, report.a) || !team(b, report.b)) {
                *error = db->lastError().text;
                return std::nullopt;
            }
            reports.push_back(std::move(report));
        }
    }
    return reports;
}

BerichtPage::BerichtPage(CTorvmDoc& doc, const std::vector<int>& groups, int round, int series)
    : m_doc(doc)
    , m_series(std::clamp(series, 1, kMaxSeries))
{
    QString error;
    auto reports = matchReports(doc.GetDatabase(), &doc, groups, round, &error);
    m_ok = reports.has_value();
    if (reports)
        m_reports = std::move(*reports);
}

namespace {

// Where the columns of a team's table begin; the last ends at the right edge of the body.
struct ReportColumns {
    int number; // row number
    int pass;   // pass number
    int name;   // name
    int series; // first series
    int width;  // of one series
    int total;  // team's and shooter's total
    int right;

    ReportColumns(int x0, int w, int seriesCount)
        : number(x0)
        , pass(x0 + w / 16)
        , name(pass + w / 7)
        , series(x0 + w - w / 10 - seriesCount * (w / 11))
        , width(w / 11)
        , total(x0 + w - w / 10)
        , right(x0 + w)
    {
    }
};

} // namespace

void BerichtPage::paintTeam(QPainter& painter, const ReportTeam& team, int& line, int lines, const QRect& page) const
{
    const PageGeometry g(page);
    const int x0 = g.left + g.width / 16;
    const int w = 14 * g.width / 16;
    const ReportColumns c(x0, w, m_series);
    const auto top = [&](int m) { return g.lineTop(m, lines); };
    const int blank = painter.fontMetrics().horizontalAdvance(QLatin1Char(' '));

    drawTeamName(painter, x0, top(line), team.team, c.right);
    ++line;
    const QString phone = QStringLiteral("Tel.: ") + team.phone;
    const int split = x0 + 2 * (w / 3);
    drawTextAt(painter, x0, top(line), QStringLiteral("Mannschaftsführer: ") + team.captain, TextAlign::Left, split);
    drawTextAt(painter, c.right, top(line), phone, TextAlign::Right, split);
    ++line;

    const int tableTop = top(line);
    const auto centred = [&](int left, int right, const QString& text, int m) {
        drawTextAt(painter, (left + right) / 2, top(m), text, TextAlign::Center, left);
    };
    drawTextAt(painter, c.number + blank, top(line), QStringLiteral("Nr."), TextAlign::Left, c.pass);
    drawTextAt(painter, c.pass + blank, top(line), QStringLiteral("Paßnummer"), TextAlign::Left, c.name);
    drawTextAt(painter, c.name + blank, top(line), QStringLiteral("Name"), TextAlign::Left, c.series);
    for (int s = 0; s < m_series; ++s) {
        const int left = c.series + s * c.width;
        centred(left, left + c.width, QStringLiteral("Serie %1").arg(s + 1), line);
    }
    centred(c.total, c.right, QStringLiteral("Gesamt"), line);
    ++line;
    for (std::size_t r = 0; r < team.rows.size(); ++r, ++line) {
        painter.drawLine(c.number, top(line), c.right, top(line));
        const ReportShooter& shooter = team.rows[r];
        drawTextAt(painter, c.pass - blank, top(line), QString::asprintf("%zu.", r + 1), TextAlign::Right, c.number);
        if (shooter.number != 0)
            drawTextAt(painter, c.name - blank, top(line), QString::number(shooter.number), TextAlign::Right, c.pass);
        drawTextAt(painter, c.name + blank, top(line), shooter.name, TextAlign::Left, c.series);
    }
    const int tableBottom = top(line);
    painter.drawLine(c.number, tableBottom, c.right, tableBottom);
    painter.drawLine(c.number, tableTop, c.right, tableTop);
    for (const int x : {c.number, c.pass, c.name, c.total, c.right})
        painter.drawLine(x, tableTop, x, tableBottom);
    for (int s = 0; s < m_series; ++s)
        painter.drawLine(c.series + s * c.width, tableTop, c.series + s * c.width, tableBottom);
    // The team's total in a box below the shooters' totals.
    drawTextAt(painter, c.total - blank, top(line), QStringLiteral("Mannschaftsergebnis"), TextAlign::Right, c.name);
    painter.drawRect(c.total, tableBottom, c.right - c.total, top(line + 1) - tableBottom);
    line += 2;
}

bool BerichtPage::paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const
{
    if (n < 1 || n > pageCount())
        return m_ok;
    const MatchReport& report = m_reports[static_cast<std::size_t>(n - 1)];
    const FontGuard guard(painter);
    const PageGeometry g(page);
    drawPageHeader(painter, fonts, g, m_doc.CompetitionTitle(),
                   QStringLiteral("Wettkampfbericht / %1. Durchgang").arg(report.round + 1));
    // Up to 15 shooters a team the form keeps the body font; larger teams get the denser grid.
    const bool dense = reportLines(report) >= kBodyLines;
    const int lines = dense ? kDenseLines : kBodyLines;
    if (dense)
        painter.setFont(fonts.footer);
    const int x0 = g.left + g.width / 16;
    const int w = 14 * g.width / 16;
    const int middle = x0 + w / 2;
    const auto top = [&](int m) { return g.lineTop(m, lines); };

    int line = 1;
    drawTextAt(painter, x0, top(line), QStringLiteral("Gruppe: ") + report.groupName, TextAlign::Left, middle);
    drawTextAt(painter, x0 + w, top(line), roundDateText(report.date), TextAlign::Right, middle);
    line += 2;
    paintTeam(painter, report.a, line, lines, page);
    paintTeam(painter, report.b, line, lines, page);

    drawTextAt(painter, x0, top(line), QStringLiteral("Bemerkungen:"), TextAlign::Left, x0 + w);
    for (int m = line + 2; m <= line + 3; ++m)
        painter.drawLine(x0, top(m), x0 + w, top(m));
    line += 5;
    // Room to sign above each line; below it who signs.
    const int gapWidth = w / 12;
    const std::array<std::pair<int, const ReportTeam*>, 2> signers{
        {{x0, &report.a}, {middle + gapWidth / 2, &report.b}}};
    for (const auto& [left, team] : signers) {
        const int right = left + w / 2 - gapWidth / 2;
        painter.drawLine(left, top(line), right, top(line));
        drawTextAt(painter, left, top(line), QStringLiteral("Mannschaftsführer"), TextAlign::Left, right);
        drawTeamName(painter, left, top(line + 1), team->team, right);
    }
    return m_ok;
}

} // namespace torvm
