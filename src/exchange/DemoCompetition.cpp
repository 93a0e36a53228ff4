#include "exchange/DemoCompetition.h"

#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "fixtures/PlanSchedule.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <vector>

namespace torvm {

namespace {

const QStringList kClubKinds{QStringLiteral("SG"),
                             QStringLiteral("SV"),
                             QStringLiteral("FSG"),
                             QStringLiteral("KSV"),
                             QStringLiteral("Kgl. priv. FSG"),
                             QStringLiteral("Schützenverein"),
                             QStringLiteral("Schützengesellschaft")};
const QStringList kClubEmblems{
    QStringLiteral("Edelweiß"),  QStringLiteral("Tell"),       QStringLiteral("Hubertus"),
    QStringLiteral("Alpenrose"), QStringLiteral("Enzian"),     QStringLiteral("Diana"),
    QStringLiteral("Frohsinn"),  QStringLiteral("Eichenlaub"), QStringLiteral("Almrausch"),
    QStringLiteral("Immergrün"), QStringLiteral("Waldeslust"), QStringLiteral("Gemütlichkeit")};
const QStringList kPlaces{
    QStringLiteral("Altenbach"),    QStringLiteral("Oberhausen"),   QStringLiteral("Mühldorf"),
    QStringLiteral("Kirchheim"),    QStringLiteral("Großweil"),     QStringLiteral("Unterföhring"),
    QStringLiteral("Bärnau"),       QStringLiteral("Straßkirchen"), QStringLiteral("Eichstätt"),
    QStringLiteral("Hohenwart"),    QStringLiteral("Lindach"),      QStringLiteral("Tüßling"),
    QStringLiteral("Reichersdorf"), QStringLiteral("Weißenfeld"),   QStringLiteral("Pöring"),
    QStringLiteral("Aschau"),       QStringLiteral("Grünthal"),     QStringLiteral("Halsbach"),
    QStringLiteral("Schönberg"),    QStringLiteral("Egglkofen"),    QStringLiteral("Buchbach"),
    QStringLiteral("Öd"),           QStringLiteral("Neumarkt"),     QStringLiteral("Taufkirchen"),
    QStringLiteral("Vilsbiburg"),   QStringLiteral("Gars"),         QStringLiteral("Haag"),
    QStringLiteral("Rechtmehring"), QStringLiteral("Maitenbeth"),   QStringLiteral("Jettenbach")};
const QStringList kSurnames{
    QStringLiteral("Huber"),     QStringLiteral("Maier"),     QStringLiteral("Müller"),  QStringLiteral("Schmid"),
    QStringLiteral("Bauer"),     QStringLiteral("Wimmer"),    QStringLiteral("Gruber"),  QStringLiteral("Obermaier"),
    QStringLiteral("Straßer"),   QStringLiteral("Weiß"),      QStringLiteral("Brandl"),  QStringLiteral("Fischer"),
    QStringLiteral("Hofbauer"),  QStringLiteral("Kreuzer"),   QStringLiteral("Lechner"), QStringLiteral("Pöllmann"),
    QStringLiteral("Reiter"),    QStringLiteral("Schäffler"), QStringLiteral("Stöckl"),  QStringLiteral("Wagner"),
    QStringLiteral("Zehentner"), QStringLiteral("Aigner"),    QStringLiteral("Empl"),    QStringLiteral("Götz"),
    QStringLiteral("Hölzl"),     QStringLiteral("Kößler"),    QStringLiteral("Mößner"),  QStringLiteral("Sedlmeier")};
const QStringList kMaleNames{QStringLiteral("Josef"),     QStringLiteral("Georg"),  QStringLiteral("Michael"),
                             QStringLiteral("Andreas"),   QStringLiteral("Thomas"), QStringLiteral("Stefan"),
                             QStringLiteral("Florian"),   QStringLiteral("Johann"), QStringLiteral("Markus"),
                             QStringLiteral("Jürgen"),    QStringLiteral("Lukas"),  QStringLiteral("Maximilian"),
                             QStringLiteral("Sebastian"), QStringLiteral("Franz")};
const QStringList kFemaleNames{QStringLiteral("Maria"),     QStringLiteral("Anna"),      QStringLiteral("Theresa"),
                               QStringLiteral("Katharina"), QStringLiteral("Monika"),    QStringLiteral("Sabine"),
                               QStringLiteral("Johanna"),   QStringLiteral("Bärbel"),    QStringLiteral("Lena"),
                               QStringLiteral("Veronika"),  QStringLiteral("Franziska"), QStringLiteral("Jörgine")};
const QStringList kStreets{QStringLiteral("Hauptstraße"),   QStringLiteral("Kirchweg"),
                           QStringLiteral("Schulstraße"),   QStringLiteral("Am Anger"),
                           QStringLiteral("Bahnhofstraße"), QStringLiteral("Mühlgasse")};
const QStringList kReasons{QStringLiteral("Ergebnismeldung verspätet"),
                           QStringLiteral("Mannschaftsführer nicht anwesend"),
                           QStringLiteral("Wertung nach Einspruch geändert")};

// Classes of the template: 1 Schützen, 2 Damen, 3 Alters, 4 Damenalters, 5 Senioren, 6 Junioren, 7 Jugend.
constexpr int kSeasonYear = 2024;

struct Group {
    const char* name;
    int teams;
    int plan;
};
constexpr std::array<Group, kDemoGroups> kGroups{{{"Gauoberliga", 8, 0}, {"Gauliga", 10, 1}, {"Kreisliga Nord", 6, 2}}};

constexpr int kClubs = 30;
constexpr int kClubsWithTeam = 20; // clubs 0 ... 19 field a first team
constexpr int kSecondTeams = 4;    // clubs 0 ... 3 a second one

class Builder {
public:
    Builder(CTorvmDoc& doc, std::uint32_t seed)
        : m_doc(doc)
        , m_db(doc.GetDatabase())
        , m_rng(seed)
    {
    }

    bool run(QString* error);

private:
    struct Shooter {
        int number = 0;
        int skill = 0; // mean rings
    };
    struct Team {
        int club = 0;
        QString designation;
        std::vector<Shooter> roster;
    };

    int pick(int n) { return static_cast<int>(m_rng() % static_cast<std::uint32_t>(n)); }
    template <typename List> const auto& choose(const List& list) { return list.at(pick(list.size())); }
    bool fail(const QString& text, QString* error)
    {
        if (error)
            *error = text;
        return false;
    }

    bool writeClubs();
    bool writeShooters();
    bool writePlans(QString* error);
    bool writeGroups();
    bool writeResults();
    bool writeSettings();

    QString clubName(int club) const { return m_clubNames[club]; }
    int clubNumber(int club) const { return 108001 + club * 3; }
    QString phone()
    {
        const int area = 8600 + pick(99);
        return QStringLiteral("0%1 %2").arg(area).arg(10000 + pick(89999));
    }
    QString street(int houses)
    {
        const QString name = choose(kStreets);
        return name + QLatin1Char(' ') + QString::number(1 + pick(houses));
    }
    // Every draw in its own statement: the order of draws, and so the competition, is fixed.
    DateTime randomDate(int year)
    {
        const int month = 1 + pick(12);
        return DateTime::fromParts(year, month, 1 + pick(28));
    }

    CTorvmDoc& m_doc;
    Database* m_db;
    std::mt19937 m_rng;
    QStringList m_clubNames;
    std::vector<Team> m_teams; // in the order the groups take them
    std::vector<std::vector<int>> m_groupTeams;
    int m_nextNumber = 1001;
};

bool Builder::writeClubs()
{
    QStringList places = kPlaces;
    std::shuffle(places.begin(), places.end(), m_rng);
    CVereinTable clubs(m_db, &m_doc);
    if (!clubs.OpenTable())
        return false;
    for (int c = 0; c < kClubs; ++c) {
        const QString kind = choose(kClubKinds);
        const QString name = kind + QLatin1Char(' ') + choose(kClubEmblems) + QLatin1Char(' ') + places[c];
        m_clubNames.append(name);
        clubs.AddNew();
        clubs.m_Vereinsnummer = clubNumber(c);
        clubs.m_Name = name;
        clubs.m_Sortieren = places[c];
        clubs.m_Ort = places[c];
        clubs.m_PLZ = QString::number(84000 + pick(999));
        clubs.m_Strasse = street(40);
        if (!clubs.Update())
            return false;
    }
    return true;
}

bool Builder::writeShooters()
{
    CTeilnehmerTable people(m_db, &m_doc);
    if (!people.OpenTable())
        return false;
    const auto addShooter = [&](int club) -> std::optional<Shooter> {
        const bool female = pick(3) == 0;
        const int age = 14 + pick(60);
        people.AddNew();
        people.m_Passnummer = m_nextNumber++;
        people.m_Name = choose(kSurnames);
        people.m_Vorname = female ? choose(kFemaleNames) : choose(kMaleNames);
        people.m_Anrede = female ? 2 : 1;
        if (pick(25) == 0)
            people.m_Titel = QStringLiteral("Dr.");
        if (pick(20) == 0)
            people.m_Zusatz = age > 45 ? QStringLiteral("sen.") : QStringLiteral("jun.");
        people.m_Verein = clubNumber(club);
        people.m_Ort = m_clubNames[club].section(QLatin1Char(' '), -1);
        people.m_Strasse = street(60);
        people.m_PLZ = QString::number(84000 + pick(999));
        people.m_Geburtstag = randomDate(kSeasonYear - age);
        people.m_Anmeldetag = randomDate(kSeasonYear - pick(age - 10));
        if (age < 18)
            people.m_Klasse = 7;
        else if (age < 21)
            people.m_Klasse = 6;
        else if (age > 65)
            people.m_Klasse = 5;
        else if (age > 45)
            people.m_Klasse = female ? 4 : 3;
        else
            people.m_Klasse = female ? 2 : 1;
        if (!people.Update())
            return std::nullopt;
        // Young and old shoot a little lower on average; everybody stays within 330 ... 395.
        const int skill = 372 - (age < 18 || age > 65 ? 10 : 0) + pick(17) - 8;
        return Shooter{people.m_Passnummer, skill};
    };

    for (int c = 0; c < kClubs; ++c) {
        const int teams = c < kSecondTeams ? 2 : (c < kClubsWithTeam ? 1 : 0);
        for (int t = 0; t < std::max(teams, 1); ++t) {
            // A team of four with one to three substitutes; clubs without a team have members who
            // shoot for the individual ranking only.
            const int members = teams == 0 ? 5 + pick(4) : 5 + pick(3);
            Team team{c, QString::number(t + 1), {}};
            for (int m = 0; m < members; ++m) {
                const auto shooter = addShooter(c);
                if (!shooter)
                    return false;
                team.roster.push_back(*shooter);
            }
            if (teams > 0)
                m_teams.push_back(std::move(team));
        }
    }
    return true;
}

bool Builder::writePlans(QString* error)
{
    CPlanTable plans(m_db, &m_doc);
    if (!plans.OpenTable())
        return false;
    for (const Group& g : kGroups) {
        ScheduleRequest request;
        request.teams = g.teams;
        request.kind = RoundRobinKind::Double;
        request.firstRound = DateTime::fromParts(kSeasonYear, 9, 27 + g.plan, 19, 30);
        request.intervalDays = 7;
        const QString name = QStringLiteral("Doppelrunde %1 Mannschaften").arg(g.teams);
        if (!writeSchedule(plans, g.plan, name, request, error))
            return false;
    }
    return true;
}

bool Builder::writeGroups()
{
    // The second teams play in the lowest group, every group mixes the others at random.
    std::vector<int> firsts;
    std::vector<int> seconds;
    for (int i = 0; i < static_cast<int>(m_teams.size()); ++i)
        (m_teams[i].designation == QLatin1String("1") ? firsts : seconds).push_back(i);
    std::shuffle(firsts.begin(), firsts.end(), m_rng);
    CGruppeTable groups(m_db, &m_doc);
    if (!groups.OpenTable())
        return false;
    std::size_t next = 0;
    for (int id = 0; id < kDemoGroups; ++id) {
        const Group& g = kGroups[id];
        std::vector<int> members;
        if (id == kDemoGroups - 1)
            members = seconds;
        while (static_cast<int>(members.size()) < g.teams && next < firsts.size())
            members.push_back(firsts[next++]);
        groups.LoadGroup(id);
        groups.m_Name = QString::fromUtf8(g.name);
        groups.m_Anzahl = 4;
        groups.m_Plan = g.plan;
        groups.m_Klasse = 0;
        for (int s = 0; s < static_cast<int>(members.size()); ++s) {
            const Team& team = m_teams[members[s]];
            groups.m_Verein[s] = clubNumber(team.club);
            groups.m_VNr[s] = team.designation;
            const QString first = choose(kMaleNames);
            groups.m_MFuehrer[s] = first + QLatin1Char(' ') + choose(kSurnames);
            groups.m_PLZ[s] = QString::number(84000 + pick(999));
            groups.m_Ort[s] = clubName(team.club).section(QLatin1Char(' '), -1);
            groups.m_Strasse[s] = street(40);
            groups.m_Telefon[s] = phone();
        }
        if (!groups.SaveGroup(id))
            return false;
        m_groupTeams.push_back(std::move(members));
    }
    return true;
}

bool Builder::writeResults()
{
    CPlanTable plans(m_db, &m_doc);
    CWettkampfTable results(m_db, &m_doc);
    if (!plans.OpenTable() || !results.OpenTable())
        return false;
    // Which team gets an adjustment: group, round, pairing position, side.
    struct Adjustment {
        int group, round, pairing, side, points;
        QString reason;
    };
    std::vector<Adjustment> adjustments;
    for (int i = 0; i < static_cast<int>(kReasons.size()); ++i)
        adjustments.push_back(
            {i, pick(kDemoRoundsShot), pick(kGroups[i].teams / 2), pick(2), i == 2 ? 2 : -1 - pick(2), kReasons[i]});

    for (int id = 0; id < kDemoGroups; ++id) {
        for (int r = 0; r < kDemoRoundsShot; ++r) {
            if (plans.SelectRound(kGroups[id].plan, r))
                continue;
            for (int k = 0; k < kPairingsPerRound; ++k) {
                const std::array<int, 2> teams{plans.m_A[k], plans.m_B[k]};
                if (teams[0] == 0 || teams[1] == 0)
                    continue;
                for (int side = 0; side < 2; ++side) {
                    const int slot = teams[side];
                    std::vector<Shooter> roster = m_teams[m_groupTeams[id][slot - 1]].roster;
                    std::shuffle(roster.begin() + 3, roster.end(), m_rng); // the fourth place rotates
                    for (int row = 1; row <= 4; ++row) {
                        const Shooter& s = roster[row - 1];
                        const int rings = std::clamp(s.skill + pick(19) - 9, 330, 395);
                        if (!results.SaveResult(s.number, rings, id, r, slot, row))
                            return false;
                    }
                    int points = 0;
                    QString reason;
                    for (const Adjustment& a : adjustments) {
                        if (a.group == id && a.round == r && a.pairing == k && a.side == side) {
                            points = a.points;
                            reason = a.reason;
                        }
                    }
                    if (!results.SavePoints(points, reason, id, r, slot, kSummaryRow))
                        return false;
                }
            }
        }
    }
    return true;
}

bool Builder::writeSettings()
{
    CProfileTable profile(m_db, &m_doc);
    const auto all = QStringLiteral("VMPrintAll");
    return profile.WriteInt(all, QStringLiteral("Tabelle"), 1) && profile.WriteInt(all, QStringLiteral("Einzel"), 1) &&
           profile.WriteInt(all, QStringLiteral("Durchgang"), kDemoRoundsShot - 1) &&
           profile.WriteInt(QStringLiteral("PrintTabelle"), QStringLiteral("Ergebnis"), 1) &&
           profile.WriteInt(QStringLiteral("PrintTabelle"), QStringLiteral("Tabelle"), 1) &&
           profile.WriteInt(QStringLiteral("PrintEinzel"), QStringLiteral("Platz"), 10) &&
           profile.WriteInt(QStringLiteral("PrintEinzel"), QStringLiteral("Klasse"), 0);
}

bool Builder::run(QString* error)
{
    if (!m_db)
        return fail(QStringLiteral("Keine Wettkampfdatei geöffnet."), error);
    Transaction tx(*m_db);
    if (!tx.active())
        return fail(m_db->lastError().text, error);
    QString scheduleError;
    const bool ok = writeClubs() && writeShooters() && writePlans(&scheduleError) && writeGroups() && writeResults() &&
                    writeSettings();
    if (!ok)
        return fail(scheduleError.isEmpty() ? m_db->lastError().text : scheduleError, error);
    CRSWettbewerb title(m_db, &m_doc);
    title.SetTitle(QStringLiteral("Rundenwettkampf Luftgewehr %1/%2 - Schützengau Velmarik")
                       .arg(kSeasonYear)
                       .arg(kSeasonYear + 1));
    if (!tx.commit())
        return fail(m_db->lastError().text, error);
    m_doc.UpdateTitle();
    return true;
}

} // namespace

bool fillDemoCompetition(CTorvmDoc& doc, std::uint32_t seed, QString* error)
{
    return Builder(doc, seed).run(error);
}

} // namespace torvm
