#include "exchange/Calendar.h"

#include "db/Tables.h"
#include "document/TorvmDoc.h"

#include <QCryptographicHash>
#include <QIODevice>

#include <algorithm>
#include <array>
#include <map>
#include <set>

namespace torvm {

namespace {

const QString kSection = QStringLiteral("Kalender");
const QString kDurationKey = QStringLiteral("Dauer");

struct Club {
    QString name;
    QString address;
};

QString joined(const QStringList& parts, const QString& separator)
{
    QStringList kept;
    for (const QString& part : parts) {
        if (!part.trimmed().isEmpty())
            kept << part.trimmed();
    }
    return kept.join(separator);
}

std::optional<std::map<int, Club>> readClubs(CTorvmDoc& doc, QString* error)
{
    CVereinTable clubs(doc.GetDatabase(), &doc);
    if (!clubs.Open() || !clubs.Select(nullptr, {}, R"("Vereinsnummer")")) {
        *error = clubs.GetLastError().text;
        return std::nullopt;
    }
    std::map<int, Club> result;
    for (; !clubs.IsEOF(); clubs.MoveNext()) {
        const QString town = joined({clubs.m_PLZ, clubs.m_Ort}, QStringLiteral(" "));
        result[clubs.m_Vereinsnummer] = {clubs.m_Name,
                                         joined({clubs.m_Name, clubs.m_Strasse, town}, QStringLiteral(", "))};
    }
    return result;
}

using PlanRounds = std::map<int, std::pair<DateTime, std::array<std::array<std::int32_t, kPairingsPerRound>, 2>>>;

std::optional<PlanRounds> readPlan(CTorvmDoc& doc, int plan, QString* error)
{
    PlanRounds rounds;
    if (plan < 0 || plan >= kPlanCount)
        return rounds;
    CPlanTable plans(doc.GetDatabase(), &doc);
    if (!plans.Open() ||
        !plans.Select(R"("PlanID" BETWEEN ? AND ?)",
                      {std::int64_t{planKey(plan, 0)}, std::int64_t{planKey(plan, kRoundsPerPlan - 1)}},
                      R"("PlanID")")) {
        *error = plans.GetLastError().text;
        return std::nullopt;
    }
    for (; !plans.IsEOF(); plans.MoveNext())
        rounds[static_cast<int>(plans.m_PlanID - planKey(plan, 0))] = {plans.m_Datum1, {plans.m_A, plans.m_B}};
    return rounds;
}

// Stays the same as long as the competition keeps its title, so that a calendar subscribed to
// last month's file recognises this month's events.
QString competitionKey(const QString& title)
{
    return QString::fromLatin1(QCryptographicHash::hash(title.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

QByteArray utcStamp(const QDateTime& stamp)
{
    return stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
}

QByteArray localStamp(const QDateTime& local)
{
    return local.toString(QStringLiteral("yyyyMMdd'T'HHmmss")).toLatin1();
}

// Rising with every export, so each one is a newer revision than the last.
qint64 revision(const QDateTime& stamp)
{
    const QDateTime base(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC);
    return std::max<qint64>(0, base.secsTo(stamp.toUTC()) / 60);
}

constexpr auto kTimeZone = "BEGIN:VTIMEZONE\r\n"
                           "TZID:Europe/Berlin\r\n"
                           "BEGIN:DAYLIGHT\r\n"
                           "TZOFFSETFROM:+0100\r\n"
                           "TZOFFSETTO:+0200\r\n"
                           "TZNAME:CEST\r\n"
                           "DTSTART:19700329T020000\r\n"
                           "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\n"
                           "END:DAYLIGHT\r\n"
                           "BEGIN:STANDARD\r\n"
                           "TZOFFSETFROM:+0200\r\n"
                           "TZOFFSETTO:+0100\r\n"
                           "TZNAME:CET\r\n"
                           "DTSTART:19701025T030000\r\n"
                           "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\n"
                           "END:STANDARD\r\n"
                           "END:VTIMEZONE\r\n";

} // namespace

int loadEventMinutes(CTorvmDoc& doc)
{
    CProfileTable profile(doc.GetDatabase(), &doc);
    const int minutes = profile.GetInt(kSection, kDurationKey, kDefaultEventMinutes);
    return minutes >= kMinEventMinutes && minutes <= kMaxEventMinutes ? minutes : kDefaultEventMinutes;
}

bool storeEventMinutes(CTorvmDoc& doc, int minutes)
{
    if (loadEventMinutes(doc) == minutes)
        return true;
    CProfileTable profile(doc.GetDatabase(), &doc);
    return profile.WriteInt(kSection, kDurationKey, minutes);
}

FixtureCalendar FixtureCalendar::ofGroup(int group) const
{
    FixtureCalendar part{ok, error, title, groupNames, {}};
    for (const FixtureEvent& e : events) {
        if (e.group == group)
            part.events.push_back(e);
    }
    return part;
}

FixtureCalendar FixtureCalendar::ofClub(int club) const
{
    FixtureCalendar part{ok, error, title, groupNames, {}};
    for (const FixtureEvent& e : events) {
        if (e.homeClub == club || e.guestClub == club)
            part.events.push_back(e);
    }
    return part;
}

int FixtureCalendar::undatedRounds() const
{
    std::set<std::pair<int, int>> rounds;
    for (const FixtureEvent& e : events) {
        if (!e.start.isValid())
            rounds.insert({e.group, e.round});
    }
    return static_cast<int>(rounds.size());
}

int FixtureCalendar::datedEvents() const
{
    return static_cast<int>(
        std::count_if(events.begin(), events.end(), [](const FixtureEvent& e) { return e.start.isValid(); }));
}

FixtureCalendar collectFixtureCalendar(CTorvmDoc& doc)
{
    FixtureCalendar calendar;
    calendar.title = doc.CompetitionTitle();
    const auto clubs = readClubs(doc, &calendar.error);
    if (!clubs)
        return calendar;
    CGruppeTable groups(doc.GetDatabase(), &doc);
    if (!groups.Open() || !groups.Select(nullptr, {}, R"("ID")")) {
        calendar.error = groups.GetLastError().text;
        return calendar;
    }
    const QString key = competitionKey(calendar.title);
    std::map<int, PlanRounds> plans;
    std::set<int> seen;
    for (; !groups.IsEOF(); groups.MoveNext()) {
        // A group without a sound number of its own has no stable identity to name its events by.
        if (!isValidResultKey(groups.m_ID, 0, 0, 0) || !seen.insert(groups.m_ID).second)
            continue;
        calendar.groupNames[groups.m_ID] = groups.m_Name;
        auto plan = plans.find(groups.m_Plan);
        if (plan == plans.end()) {
            auto rounds = readPlan(doc, groups.m_Plan, &calendar.error);
            if (!rounds)
                return calendar;
            plan = plans.emplace(groups.m_Plan, std::move(*rounds)).first;
        }
        const auto team = [&](int slot) {
            const auto club = clubs->find(groups.m_Verein[slot - 1]);
            return (club == clubs->end() ? QString() : club->second.name) + QLatin1Char(' ') + groups.m_VNr[slot - 1];
        };
        for (const auto& [round, row] : plan->second) {
            for (int k = 0; k < kPairingsPerRound; ++k) {
                const int a = row.second[0][k];
                const int b = row.second[1][k];
                if (!groups.SlotUsed(a) || !groups.SlotUsed(b))
                    continue;
                FixtureEvent e;
                e.group = groups.m_ID;
                e.round = round;
                e.pairing = k;
                e.homeClub = groups.m_Verein[a - 1];
                e.guestClub = groups.m_Verein[b - 1];
                e.start = row.first;
                e.summary =
                    team(a) + QStringLiteral(" – ") + team(b) + QStringLiteral(" (") + groups.m_Name + QLatin1Char(')');
                if (const auto home = clubs->find(e.homeClub); home != clubs->end())
                    e.location = home->second.address;
                e.description = QStringLiteral("Gruppe: %1\n%2. Durchgang").arg(groups.m_Name).arg(round + 1);
                e.uid = QStringLiteral("%1-g%2-d%3-p%4@torvm.velmarik.de")
                            .arg(key)
                            .arg(groups.m_ID + 1)
                            .arg(round + 1)
                            .arg(k + 1);
                calendar.events.push_back(std::move(e));
            }
        }
    }
    calendar.ok = true;
    return calendar;
}

std::vector<CalendarClub> clubsWithTeams(CTorvmDoc& doc)
{
    QString error;
    const auto clubs = readClubs(doc, &error);
    CGruppeTable groups(doc.GetDatabase(), &doc);
    if (!clubs || !groups.Open() || !groups.Select(nullptr, {}, R"("ID")"))
        return {};
    std::set<int> fielding;
    for (; !groups.IsEOF(); groups.MoveNext()) {
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (groups.SlotUsed(slot))
                fielding.insert(groups.m_Verein[slot - 1]);
        }
    }
    std::vector<CalendarClub> result;
    for (const int number : fielding) {
        const auto club = clubs->find(number);
        result.push_back({number, club == clubs->end() ? QString() : club->second.name});
    }
    return result;
}

QString calendarName(const QString& title, const QString& part)
{
    return joined({title, part}, QStringLiteral(" – "));
}

QString icalText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u';':
            out += QLatin1String("\\;");
            break;
        case u',':
            out += QLatin1String("\\,");
            break;
        case u'\r':
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                break;
            out += QLatin1String("\\n");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        default:
            if (c.unicode() >= 0x20 && c.unicode() != 0x7f)
                out += c;
        }
    }
    return out;
}

QByteArray icalFold(const QByteArray& line)
{
    QByteArray out;
    qsizetype pos = 0;
    qsizetype room = 75;
    while (line.size() - pos > room) {
        qsizetype cut = pos + room;
        while (cut > pos && (static_cast<unsigned char>(line.at(cut)) & 0xC0) == 0x80)
            --cut;
        out += line.mid(pos, cut - pos) + "\r\n ";
        pos = cut;
        room = 74; // the leading blank counts
    }
    return out + line.mid(pos) + "\r\n";
}

bool writeCalendar(QIODevice& out, const FixtureCalendar& calendar, const QString& name, int minutes,
                   const QDateTime& stamp)
{
    QByteArray bytes;
    const auto line = [&bytes](const QByteArray& content) { bytes += icalFold(content); };
    const auto text = [&line](const char* property, const QString& value) {
        line(QByteArray(property) + ':' + icalText(value).toUtf8());
    };
    line("BEGIN:VCALENDAR");
    line("VERSION:2.0");
    line("PRODID:-//Velmarik//Wettkampfverwaltung " TORVM_VERSION "//DE");
    line("CALSCALE:GREGORIAN");
    line("METHOD:PUBLISH");
    text("X-WR-CALNAME", name);
    line("X-WR-TIMEZONE:Europe/Berlin");
    bytes += kTimeZone;
    const QByteArray dtstamp = utcStamp(stamp);
    const QByteArray sequence = QByteArray::number(revision(stamp));
    for (const FixtureEvent& e : calendar.events) {
        if (!e.start.isValid())
            continue;
        // Wall-clock times of the zone: the end is the start plus the duration as the clock shows it.
        const QDateTime start(e.start.date(), QTime(e.start.hour(), e.start.minute(), e.start.second()), Qt::UTC);
        line("BEGIN:VEVENT");
        text("UID", e.uid);
        line("DTSTAMP:" + dtstamp);
        line("LAST-MODIFIED:" + dtstamp);
        line("SEQUENCE:" + sequence);
        line("DTSTART;TZID=Europe/Berlin:" + localStamp(start));
        line("DTEND;TZID=Europe/Berlin:" + localStamp(start.addSecs(qint64{minutes} * 60)));
        text("SUMMARY", e.summary);
        if (!e.location.isEmpty())
            text("LOCATION", e.location);
        text("DESCRIPTION", e.description);
        line("END:VEVENT");
    }
    line("END:VCALENDAR");
    return out.write(bytes) == bytes.size();
}

} // namespace torvm
