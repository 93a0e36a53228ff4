// The modern style of the web site: plain HTML5 in UTF-8 that reads on a phone as on a desktop.
#include "exchange/WebExport.h"

#include "db/Messages.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "exchange/Calendar.h"
#include "output/Ranking.h"
#include "output/Standings.h"
#include "output/TextExport.h"
#include "results/CompetitionRules.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>

namespace torvm {

namespace {

constexpr auto kStylesheet = R"(*, *::before, *::after { box-sizing: border-box; }
html { -webkit-text-size-adjust: 100%; text-size-adjust: 100%; }
body { margin: 0; font-family: "Liberation Sans", Arial, Helvetica, sans-serif; line-height: 1.45;
       color: #1b1b1b; background: #fff; }
header, main, footer { max-width: 64rem; margin: 0 auto; padding: 0 1rem; }
header { border-bottom: 3px solid #1d4f91; padding-bottom: .5rem; }
.veranstalter { margin: .75rem 0 0; color: #555; }
h1 { font-size: 1.5rem; margin: .25rem 0 .5rem; color: #1d4f91; }
h2 { font-size: 1.25rem; margin: 1.5rem 0 .5rem; }
h3 { font-size: 1.05rem; margin: 1.25rem 0 .25rem; }
h1, h2, h3, p, li { overflow-wrap: anywhere; }
nav ul { list-style: none; margin: 0; padding: 0; display: flex; flex-wrap: wrap; gap: .25rem 1rem; }
a { color: #1d4f91; }
.tabelle { overflow-x: auto; max-width: 100%; }
table { border-collapse: collapse; min-width: 100%; }
th, td { padding: .3rem .5rem; text-align: left; border-bottom: 1px solid #ddd; white-space: nowrap;
         vertical-align: top; }
td.name { white-space: normal; overflow-wrap: anywhere; min-width: 5rem; }
th { background: #eef2f8; }
.zahl { text-align: right; font-variant-numeric: tabular-nums; }
.mitte { text-align: center; }
.fussnoten { font-size: .9rem; color: #444; }
footer { margin-top: 2rem; padding: .75rem 1rem; border-top: 1px solid #ccc; font-size: .85rem; color: #555; }
@media (max-width: 30rem) {
  header, main, footer { padding: 0 .5rem; }
  th, td { padding: .3rem .25rem; }
  .neben { display: none; }
}
@media print {
  nav { display: none; }
  body { font-size: 10pt; }
  header, main, footer { max-width: none; padding: 0; }
  .tabelle { overflow: visible; }
  th, td { white-space: normal; }
  a { color: inherit; text-decoration: none; }
  section { break-inside: avoid; }
}
)";

QByteArray number(long long value)
{
    return QByteArray::number(value);
}

QByteArray dateText(const DateTime& date)
{
    return date.isValid() ? date.formatDate().toUtf8() : QByteArray();
}

// "3. Durchgang", with " – 26.09.2025" when the round has a date.
QByteArray roundTitle(int round, const DateTime& date)
{
    QByteArray text = number(round + 1) + ". Durchgang";
    if (date.isValid())
        text += " \xE2\x80\x93 " + dateText(date);
    return text;
}

QByteArray dayText(const QDate& date)
{
    return QString::asprintf("%02d.%02d.%04d", date.day(), date.month(), date.year()).toLatin1();
}

QByteArray cell(const QByteArray& content, const char* cls = nullptr)
{
    return cls ? QByteArray("<td class=\"") + cls + "\">" + content + "</td>" : "<td>" + content + "</td>";
}

// Each heading with the class of its column ("zahl", "zahl neben", or none).
QByteArray headings(std::initializer_list<std::pair<const char*, const char*>> columns)
{
    QByteArray row = "<thead><tr>";
    for (const auto& [text, cls] : columns)
        row += cls ? QByteArray("<th class=\"") + cls + "\">" + text + "</th>" : QByteArray("<th>") + text + "</th>";
    return row + "</tr></thead>\n";
}

QByteArray scrollTable(const QByteArray& head, const QByteArray& rows)
{
    return "<div class=\"tabelle\"><table>\n" + head + "<tbody>\n" + rows + "</tbody></table></div>\n";
}

QByteArray classHeading(const QString& name, const char* fallback)
{
    return "<h3>" + (name.isEmpty() ? QByteArray(fallback) : html5Text(name)) + "</h3>\n";
}

// The heading of the shooters without a class: all of them when no class follows.
const char* noClassHeading(std::size_t classes)
{
    return classes > 1 ? "ohne Klasse" : "Alle Schützen";
}

QString groupFile(int id)
{
    return QStringLiteral("gruppe%1.html").arg(id + 1);
}

QString groupCalendarFile(int id)
{
    return QStringLiteral("gruppe%1.ics").arg(id + 1);
}

QString clubCalendarFile(int club)
{
    return QStringLiteral("verein%1.ics").arg(club);
}

QByteArray calendarBytes(const FixtureCalendar& calendar, const QString& name, int minutes)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeCalendar(buffer, calendar, name, minutes, QDateTime::currentDateTimeUtc());
    return bytes;
}

} // namespace

WebStyle loadWebStyle(CTorvmDoc& doc)
{
    CProfileTable profile(doc.GetDatabase(), &doc);
    return profile.GetInt(QStringLiteral("Web"), QStringLiteral("Stil"), 0) == 1 ? WebStyle::Modern : WebStyle::Classic;
}

bool storeWebStyle(CTorvmDoc& doc, WebStyle style)
{
    if (loadWebStyle(doc) == style)
        return true;
    CProfileTable profile(doc.GetDatabase(), &doc);
    return profile.WriteInt(QStringLiteral("Web"), QStringLiteral("Stil"), style == WebStyle::Modern ? 1 : 0);
}

// "3.", nothing for a shared place, "AK" for a starter out of competition.
QByteArray rankText(int rank, bool outOfContest)
{
    if (outOfContest)
        return kOutOfContestLabel;
    return rank != 0 ? number(rank) + '.' : QByteArray();
}

QByteArray html5Text(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        case u'\'':
            out += QLatin1String("&#39;");
            break;
        default:
            if ((c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n')) ||
                (c.unicode() >= 0x7f && c.unicode() < 0xa0))
                break;
            out += c;
        }
    }
    return out.toUtf8(); // a lone surrogate becomes the replacement character
}

QByteArray CWebExport::modernPage(const QString& title, const QByteArray& body) const
{
    const QByteArray competition = html5Text(m_doc.CompetitionTitle());
    QByteArray pageTitle = html5Text(title);
    if (!competition.isEmpty())
        pageTitle += (pageTitle.isEmpty() ? "" : " \xE2\x80\x93 ") + competition;
    if (pageTitle.isEmpty())
        pageTitle = "Wettkampf";
    const QByteArray organiser = html5Text(m_organiserText);
    QByteArray page = "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
                      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
                      pageTitle + "</title>\n<link rel=\"stylesheet\" href=\"style.css\">\n</head>\n<body>\n<header>\n";
    if (!organiser.isEmpty())
        page += "<p class=\"veranstalter\">" + organiser + "</p>\n";
    page += "<h1>" + (competition.isEmpty() ? QByteArray("Wettkampf") : competition) +
            "</h1>\n<nav><ul><li><a href=\"index.html\">Übersicht</a></li>" +
            QByteArray(m_options.einzel ? "<li><a href=\"einzel.html\">Einzelwertung</a></li>" : "") +
            "<li><a href=\"gesamt.html\">Gesamtwertung</a></li></ul></nav>\n</header>\n<main>\n" + body +
            "</main>\n<footer>Stand: " + dayText(m_today) +
            " \xC2\xB7 Velmarik Wettkampfverwaltung</footer>\n</body>\n</html>\n";
    return page;
}

std::optional<QByteArray> CWebExport::modernGroupPage(CGruppeTable& groups)
{
    const int round = m_options.round;
    const LeagueTable t = ComputeLeagueTable(m_doc.GetDatabase(), &m_doc, groups.m_ID, round);
    const auto* plan = planRounds(groups.m_Plan);
    if (!t.ok || plan == nullptr)
        return std::nullopt;
    std::array<QByteArray, kSlotCount + 1> names;
    for (int slot = 1; slot <= kSlotCount; ++slot)
        names[slot] = html5Text(t.teamNames[slot]);

    QByteArray body = "<h2>" + html5Text(t.name) + "</h2>\n";
    if (m_options.termin)
        body += "<p><a href=\"" + groupCalendarFile(groups.m_ID).toUtf8() + "\">Termine als Kalender</a></p>\n";
    if (m_options.tabelle) {
        body += "<section>\n<h3>Tabelle nach dem " + number(round + 1) + ". Durchgang</h3>\n";
        QByteArray rows;
        const CTabellenStand& s = t.stand;
        for (const StandingRow& row : t.rows) {
            const int slot = row.slot;
            // On a phone the number of matches gives way: place, team, points and rings stay.
            rows += "<tr>" + cell(row.rank != 0 ? number(row.rank) + '.' : QByteArray(), "zahl") +
                    cell(names[slot], "name") + cell(number(s.Kaempfe[slot]), "zahl neben") +
                    cell(number(s.Pluspunkte[slot]) + "&nbsp;:&nbsp;" + number(s.Minuspunkte[slot]), "zahl") +
                    cell(ringText(s.Ringe[slot], t.tenths).toUtf8(), "zahl") + "</tr>\n";
        }
        body += scrollTable(headings({{"Platz", "zahl"},
                                      {"Mannschaft", nullptr},
                                      {"Kämpfe", "zahl neben"},
                                      {"Punkte", "zahl"},
                                      {"Ringe", "zahl"}}),
                            rows);
        if (!t.tieBreakLine.isEmpty())
            body += "<p>" + html5Text(t.tieBreakLine) + "</p>\n";
        body += "</section>\n<section>\n<h3>Ergebnisse</h3>\n";
        for (std::size_t r = 0; r < t.rounds.size(); ++r) {
            const RoundResults& results = t.rounds[r];
            if (results.pairings.empty())
                continue;
            body += "<h4>" + roundTitle(static_cast<int>(r), results.date) + "</h4>\n";
            QByteArray pairings;
            for (const RoundPairing& p : results.pairings) {
                const bool shot = p.ringsA != 0 || p.ringsB != 0 || p.absentA || p.absentB;
                QByteArray score = shot ? html5Text(pairingRingText(p.ringsA, p.absentA, t.tenths)) + "&nbsp;:&nbsp;" +
                                              html5Text(pairingRingText(p.ringsB, p.absentB, t.tenths))
                                        : "\xE2\x80\x93";
                if (p.remark != 0)
                    score += "&nbsp;" + QByteArray(p.remark, '*');
                pairings += "<tr>" + cell(names[p.slotA], "name") + cell("\xE2\x80\x93", "mitte") +
                            cell(names[p.slotB], "name") + cell(score, "zahl") + "</tr>\n";
            }
            body += scrollTable({}, pairings);
            if (!results.remarks.isEmpty()) {
                body += "<ul class=\"fussnoten\">\n";
                for (qsizetype i = 0; i < results.remarks.size(); ++i)
                    body += "<li>" + QByteArray(static_cast<int>(i) + 1, '*') + ' ' + html5Text(results.remarks[i]) +
                            "</li>\n";
                body += "</ul>\n";
            }
        }
        body += "</section>\n";
    }
    if (m_options.termin) {
        QByteArray coming;
        for (const auto& [r, planRound] : *plan) {
            if (r <= round)
                continue;
            QByteArray rows;
            for (int k = 0; k < kPairingsPerRound; ++k) {
                const int a = planRound.a[k];
                const int b = planRound.b[k];
                if (groups.SlotUsed(a) && groups.SlotUsed(b))
                    rows += "<tr>" + cell(names[a], "name") + cell("\xE2\x80\x93", "mitte") + cell(names[b], "name") +
                            "</tr>\n";
            }
            if (!rows.isEmpty())
                coming += "<h4>" + roundTitle(r, planRound.date) + "</h4>\n" + scrollTable({}, rows);
        }
        body += "<section>\n<h3>Kommende Begegnungen</h3>\n" +
                (coming.isEmpty() ? QByteArray("<p>Keine weiteren Begegnungen.</p>\n") : coming) + "</section>\n";
    }
    return modernPage(t.name, body);
}

std::optional<QByteArray> CWebExport::modernRankingPage(const OutputSettings& settings)
{
    const IndividualRanking ranking = ComputeRanking(m_doc, m_options.round, settings.platz, settings.klasse);
    if (!ranking.ok)
        return std::nullopt;
    QByteArray body = "<h2>Einzelwertung " + number(m_options.round + 1) + ". Durchgang</h2>\n";
    if (ranking.classes.empty())
        body += "<p>Noch keine Ergebnisse.</p>\n";
    for (const RankingClass& cls : ranking.classes) {
        QByteArray rows;
        for (const RankingRow& row : cls.rows)
            rows += "<tr>" + cell(rankText(row.rank, row.outOfContest), "zahl") + cell(html5Text(row.name), "name") +
                    cell(html5Text(row.team), "name") + cell(html5Text(row.ringsText()), "zahl") + "</tr>\n";
        body +=
            "<section>\n" + classHeading(cls.name, noClassHeading(ranking.classes.size())) +
            scrollTable(headings({{"Platz", "zahl"}, {"Name", nullptr}, {"Mannschaft", nullptr}, {"Ringe", "zahl"}}),
                        rows) +
            "</section>\n";
    }
    return modernPage(QStringLiteral("Einzelwertung"), body);
}

std::optional<QByteArray> CWebExport::modernSeasonPage(const OutputSettings& settings)
{
    const SeasonRanking ranking = ComputeSeasonRanking(m_doc, m_options.round, settings.mindestens, settings.klasse);
    if (!ranking.ok)
        return std::nullopt;
    QByteArray body = "<h2>Gesamtwertung " + html5Text(seasonRoundsText(m_options.round)) + "</h2>\n<p>" +
                      html5Text(seasonRuleText(settings.mindestens)) + "</p>\n";
    if (ranking.classes.empty())
        body += "<p>Noch keine Ergebnisse.</p>\n";
    for (const SeasonClass& cls : ranking.classes) {
        QByteArray rows;
        for (const SeasonRow& row : cls.rows)
            rows += "<tr>" + cell(rankText(row.rank, row.outOfContest), "zahl") + cell(html5Text(row.name), "name") +
                    cell(html5Text(row.team), "name neben") + cell(number(row.rounds), "zahl neben") +
                    cell(row.totalText().toUtf8(), "zahl neben") + cell(row.average().toUtf8(), "zahl") +
                    cell(row.bestText().toUtf8(), "zahl neben") + "</tr>\n";
        body += "<section>\n" + classHeading(cls.name, noClassHeading(ranking.classes.size())) +
                scrollTable(headings({{"Platz", "zahl"},
                                      {"Name", nullptr},
                                      {"Mannschaft", "neben"},
                                      {"Durchgänge", "zahl neben"},
                                      {"Ringe", "zahl neben"},
                                      {"Schnitt", "zahl"},
                                      {"Bester", "zahl neben"}}),
                            rows) +
                "</section>\n";
    }
    return modernPage(QStringLiteral("Gesamtwertung"), body);
}

WebExportResult::Status CWebExport::buildModernSite()
{
    using Status = WebExportResult::Status;
    if (!stage(QStringLiteral("style.css"), kStylesheet))
        return Status::Failed;
    if (m_progress.started)
        m_progress.started();

    // The fixtures as calendars to subscribe to, per group and per club, beside the pages.
    FixtureCalendar calendar;
    const int minutes = loadEventMinutes(m_doc);
    if (m_options.termin) {
        calendar = collectFixtureCalendar(m_doc);
        if (!calendar.ok) {
            showDatabaseError(calendar.error);
            return Status::Failed;
        }
    }

    Status status = Status::Complete;
    QByteArray links;
    const Walk walk = forEachGroup(status, [&](CGruppeTable& groups) {
        const QString name = groupFile(groups.m_ID);
        const auto page = modernGroupPage(groups);
        if (!page || !stage(name, *page))
            return false;
        if (m_options.termin &&
            !stage(groupCalendarFile(groups.m_ID),
                   calendarBytes(calendar.ofGroup(groups.m_ID), calendarName(calendar.title, groups.m_Name), minutes)))
            return false;
        links += "<li><a href=\"" + name.toUtf8() + "\">" + html5Text(groups.m_Name) + "</a></li>\n";
        return true;
    });
    if (walk == Walk::Failed)
        return Status::Failed;
    const OutputSettings settings = loadOutputSettings(m_doc);
    if (m_options.einzel) {
        const auto page = modernRankingPage(settings);
        if (!page || !stage(QStringLiteral("einzel.html"), *page))
            return Status::Failed;
    }
    if (const auto page = modernSeasonPage(settings); !page || !stage(QStringLiteral("gesamt.html"), *page))
        return Status::Failed;

    QByteArray body = "<h2>Gruppen</h2>\n";
    body += links.isEmpty() ? QByteArray("<p>Noch keine Gruppen.</p>\n") : "<ul>\n" + links + "</ul>\n";
    if (m_options.termin && walk == Walk::Done) {
        QByteArray clubLinks;
        for (const CalendarClub& club : clubsWithTeams(m_doc)) {
            const QString file = clubCalendarFile(club.number);
            if (!stage(file,
                       calendarBytes(calendar.ofClub(club.number), calendarName(calendar.title, club.name), minutes)))
                return Status::Failed;
            clubLinks += "<li><a href=\"" + file.toUtf8() + "\">" + html5Text(club.name) + "</a></li>\n";
        }
        if (!clubLinks.isEmpty())
            body += "<h2>Termine als Kalender</h2>\n<ul>\n" + clubLinks + "</ul>\n";
    }
    body += "<h2>Wertungen</h2>\n<ul>\n";
    if (m_options.einzel)
        body += "<li><a href=\"einzel.html\">Einzelwertung " + number(m_options.round + 1) + ". Durchgang</a></li>\n";
    body += "<li><a href=\"gesamt.html\">Gesamtwertung " + html5Text(seasonRoundsText(m_options.round)) +
            "</a></li>\n</ul>\n<p>Letzte Aktualisierung: " + dayText(m_today) + "</p>\n";
    if (!stage(QStringLiteral("index.html"), modernPage(QString(), body)))
        return Status::Failed;
    if (m_cancelled && status == Status::Complete)
        return Status::Cancelled;
    return status;
}

} // namespace torvm
