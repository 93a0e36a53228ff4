#include "output/TextExport.h"

#include "app/TorvmDoc.h"
#include "db/Messages.h"
#include "db/Settings.h"
#include "db/Tables.h"
#include "masterdata/KlassenTabelle.h"
#include "output/OutputPages.h"
#include "output/Standings.h"
#include "output/Windows1252.h"

#include <QIODevice>

#include <algorithm>
#include <unordered_map>

namespace torvm {

namespace {

constexpr auto kProduct = "Velmarik Wettkampfverwaltung";
constexpr auto kDurchgang = "Durchgang";
constexpr int kLastRound = kRoundsPerPlan - 1;

// Collects lines ended the way the text file wants them.
class Lines {
public:
    void add(const QString& line = {}) { m_text += line + QStringLiteral("\r\n"); }
    QString take() { return std::move(m_text); }

private:
    QString m_text;
};

std::optional<int> countRows(CRecordset& table)
{
    if (!table.Open()) {
        showDatabaseError(table.GetLastError().text);
        return std::nullopt;
    }
    const int count = table.CountRows();
    if (count < 0) {
        showDatabaseError(table.GetLastError().text);
        return std::nullopt;
    }
    return count;
}

// --------------------------------------------------------------------------- fixture schedule

QString pairingSlots(int a, int b)
{
    return QString::asprintf("%d  ", a) + QStringLiteral(" - ") + QString::asprintf("  %d", b);
}

std::optional<QString> terminText(CTorvmDoc& doc, const OutputSettings& settings)
{
    Lines out;
    CPlanTable plans(doc.GetDatabase(), &doc);
    if (!plans.OpenTable())
        return std::nullopt;
    for (int p = 0; p < kPlanCount; ++p) {
        if (!settings.plans[p])
            continue;
        out.add(plans.PlanName(p) + QStringLiteral(" - Terminplan"));
        out.add();
        // Two halves of k positions each; a round without pairings keeps its position but gets
        // no number.
        const int k = (plans.CountPlayedRounds(p) + 1) / 2;
        int n = 0;
        for (int h = 0; h < 2; ++h) {
            for (int i = 0; i < k; ++i) {
                if (plans.SelectRound(p, h * k + i) || !plans.RoundHasPairing())
                    continue;
                const DateTime& d = plans.m_Datum1;
                out.add(QString::asprintf("%d:  %2d.%02d.%04d %2d:%02d", ++n, d.day(), d.month(), d.year(), d.hour(),
                                          d.minute()));
                for (int j = 0; j < kPairingsPerRound; ++j) {
                    if (plans.m_A[j] != 0 && plans.m_B[j] != 0)
                        out.add(pairingSlots(plans.m_A[j], plans.m_B[j]));
                }
                out.add();
            }
        }
        out.add();
    }
    return out.take();
}

// ------------------------------------------------------------------------------- group sheets

std::optional<QString> gruppeText(CTorvmDoc& doc, const OutputSettings& settings)
{
    Lines out;
    CGruppeTable groups(doc.GetDatabase(), &doc);
    CPlanTable plans(doc.GetDatabase(), &doc);
    if (!groups.OpenTable() || !plans.OpenTable())
        return std::nullopt;
    out.add();
    for (const int id : outputGroups(doc, settings)) {
        groups.LoadGroup(id);
        std::array<QString, kSlotCount + 1> names;
        out.add(groups.m_Name);
        out.add();
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            if (!groups.SlotUsed(slot))
                continue;
            names[slot] = groups.TeamName(slot);
            out.add(names[slot] + QLatin1Char('\t') + groups.CaptainAddress(slot) + QLatin1Char('\t') +
                    groups.CaptainPhone(slot));
        }
        out.add();
        for (int r = 0; r < kRoundsPerPlan; ++r) {
            if (plans.SelectRound(groups.m_Plan, r) || !plans.RoundHasPairing())
                continue;
            const DateTime& d = plans.m_Datum1;
            out.add(QString::asprintf("%d.%02d.%04d", d.day(), d.month(), d.year()));
            for (int k = 0; k < kPairingsPerRound; ++k) {
                const int a = plans.m_A[k];
                const int b = plans.m_B[k];
                if (groups.SlotUsed(a) && groups.SlotUsed(b))
                    out.add(names[a] + QStringLiteral(" - ") + names[b]);
            }
            out.add();
        }
        out.add();
    }
    return out.take();
}

// ------------------------------------------------------------------------------ league tables

std::optional<QString> tabelleText(CTorvmDoc& doc, const OutputSettings& settings)
{
    Lines out;
    out.add();
    out.add(QString::asprintf("%d.", settings.round + 1) + QLatin1String(kDurchgang));
    out.add();
    for (const int id : outputGroups(doc, settings)) {
        const LeagueTable t = ComputeLeagueTable(doc.GetDatabase(), &doc, id, settings.round);
        if (!t.ok)
            return std::nullopt;
        out.add(t.name);
        out.add();
        if (settings.ergebnis) {
            for (const RoundPairing& p : t.pairings) {
                QString line = t.teamNames[p.slotA] + QStringLiteral(" - ") + t.teamNames[p.slotB] + QLatin1Char('\t') +
                               QString::asprintf("%lld - %lld", static_cast<long long>(p.ringsA),
                                                 static_cast<long long>(p.ringsB));
                if (p.remark != 0)
                    line += QLatin1Char('\t') + remarkMarker(p.remark);
                out.add(line);
            }
        }
        if (!t.remarks.isEmpty()) {
            out.add();
            for (int n = 1; n <= t.remarks.size(); ++n)
                out.add(remarkMarker(n) + QStringLiteral(" - ") + t.remarks[n - 1]);
            out.add();
        }
        if (settings.ergebnis)
            out.add();
        if (settings.tabelle) {
            const CTabellenStand& s = t.stand;
            for (const StandingRow& row : t.rows) {
                const int slot = row.slot;
                out.add((row.rank != 0 ? QString::asprintf("%2d. ", row.rank) : QStringLiteral("    ")) +
                        t.teamNames[slot] + QLatin1Char('\t') + QString::asprintf("%3d", s.Kaempfe[slot]) +
                        QLatin1Char('\t') + QString::asprintf("%3d : %3d", s.Pluspunkte[slot], s.Minuspunkte[slot]) +
                        QLatin1Char('\t') + QString::asprintf("%6lld", static_cast<long long>(s.Ringe[slot])));
            }
            out.add();
        }
    }
    return out.take();
}

// ------------------------------------------------------------------------- individual ranking

std::optional<QString> einzelText(CTorvmDoc& doc, const OutputSettings& settings)
{
    const IndividualRanking ranking = ComputeRanking(doc, settings.round, settings.platz, settings.klasse);
    if (!ranking.ok)
        return std::nullopt;
    Lines out;
    out.add();
    out.add(QString::asprintf("Einzelwertung / %d. ", settings.round + 1) + QLatin1String(kDurchgang));
    for (const RankingClass& cls : ranking.classes) {
        out.add();
        out.add(cls.name);
        for (const RankingRow& row : cls.rows) {
            out.add((row.rank != 0 ? QString::asprintf("%3d.\t", row.rank) : QStringLiteral("\t")) + row.name +
                    QLatin1Char('\t') + row.team + QString::asprintf("\t%6lld", static_cast<long long>(row.rings)));
        }
    }
    return out.take();
}

// ------------------------------------------------------------------------ clubs, participants

std::optional<QString> vereinText(CTorvmDoc& doc)
{
    Lines out;
    out.add();
    out.add(QStringLiteral("Vereine"));
    out.add();
    CVereinTable clubs(doc.GetDatabase(), &doc);
    if (!clubs.OpenTable())
        return std::nullopt;
    if (!clubs.Select(nullptr, {}, R"("Vereinsnummer")")) {
        showDatabaseError(clubs.GetLastError().text);
        return std::nullopt;
    }
    for (; !clubs.IsEOF(); clubs.MoveNext())
        out.add(QString::asprintf("%ld\t", static_cast<long>(clubs.m_Vereinsnummer)) + clubs.m_Name);
    return out.take();
}

QString birthDateText(const DateTime& d)
{
    return d.day() >= 1 && d.month() >= 1 ? QString::asprintf("%02d.%02d.%04d", d.day(), d.month(), d.year())
                                          : QString();
}

std::optional<QString> teilnehmerText(CTorvmDoc& doc, const OutputSettings& settings)
{
    Lines out;
    out.add();
    out.add(QStringLiteral("Teilnehmerliste"));
    out.add();
    Database* db = doc.GetDatabase();
    CTeilnehmerTable people(db, &doc);
    CVereinTable clubs(db, &doc);
    if (!people.OpenTable() || !clubs.OpenTable())
        return std::nullopt;
    // The clubs once, instead of one lookup per participant.
    std::unordered_map<std::int32_t, QString> clubNames;
    if (!clubs.Select(nullptr)) {
        showDatabaseError(clubs.GetLastError().text);
        return std::nullopt;
    }
    for (; !clubs.IsEOF(); clubs.MoveNext())
        clubNames.emplace(clubs.m_Vereinsnummer, clubs.m_Name);
    CKlassenTabelle classes;
    classes.Load(doc);
    if (!people.Select(nullptr, {}, settings.sort == 1 ? R"("Name", "Vorname", "Paßnummer")" : R"("Paßnummer")")) {
        showDatabaseError(people.GetLastError().text);
        return std::nullopt;
    }
    for (; !people.IsEOF(); people.MoveNext()) {
        const auto club = clubNames.find(people.m_Verein);
        out.add(QString::asprintf("%ld\t", static_cast<long>(people.m_Passnummer)) +
                participantDisplayName(people.m_Titel, people.m_Name, people.m_Vorname, people.m_Zusatz) +
                QLatin1Char('\t') + (club != clubNames.end() ? club->second : QString()) + QLatin1Char('\t') +
                birthDateText(people.m_Geburtstag) + QLatin1Char('\t') + classes.Name(people.m_Klasse));
    }
    return out.take();
}

} // namespace

std::vector<int> outputGroups(CTorvmDoc& doc, const OutputSettings& settings)
{
    if (settings.groups)
        return *settings.groups;
    // The groups as they exist, by [ID]: a gap in the numbering neither repeats nor drops one.
    std::vector<int> ids;
    CGruppeTable groups(doc.GetDatabase(), &doc);
    for (const ComboItem& item : groups.GroupComboItems())
        ids.push_back(item.data);
    return ids;
}

QString outputKey(Output output)
{
    static const std::array<QString, kOutputCount> keys{QStringLiteral("Termin"),  QStringLiteral("Gruppe"),
                                                        QStringLiteral("Tabelle"), QStringLiteral("Einzel"),
                                                        QStringLiteral("Verein"),  QStringLiteral("Teilnehmer")};
    return keys[static_cast<int>(output)];
}

OutputSettings loadOutputSettings(CTorvmDoc& doc, const OutputOverrides& overrides)
{
    OutputSettings s;
    CProfileTable profile(doc.GetDatabase(), &doc);
    const auto all = QStringLiteral("VMPrintAll");
    s.round = std::clamp(profile.GetInt(all, QStringLiteral("Durchgang"), 0), 0, kLastRound);
    for (int i = 0; i < kOutputCount; ++i)
        s.outputs[i] = profile.GetInt(all, outputKey(static_cast<Output>(i)), 0) != 0;
    for (int p = 0; p < kPlanCount; ++p)
        s.plans[p] = profileInt(QStringLiteral("VMPrintTermin"), QStringLiteral("Plan%1").arg(p + 1), 0) != 0;
    s.ergebnis = profile.GetInt(QStringLiteral("PrintTabelle"), QStringLiteral("Ergebnis"), 1) != 0;
    s.tabelle = profile.GetInt(QStringLiteral("PrintTabelle"), QStringLiteral("Tabelle"), 1) != 0;
    s.platz =
        std::clamp(profile.GetInt(QStringLiteral("PrintEinzel"), QStringLiteral("Platz"), kDefaultPlatz), 0, kMaxPlatz);
    const int klasse = profile.GetInt(QStringLiteral("PrintEinzel"), QStringLiteral("Klasse"), 1);
    s.klasse = klasse >= 0 && klasse <= 2 ? static_cast<RankingClassMode>(klasse) : RankingClassMode::Group;
    s.sort = profile.GetInt(QStringLiteral("PrintTeilnehmer"), QStringLiteral("Sort"), 0) == 1 ? 1 : 0;

    if (overrides.round)
        s.round = std::clamp(*overrides.round, 0, kLastRound);
    if (overrides.outputs)
        s.outputs = *overrides.outputs;
    if (overrides.plans)
        s.plans = *overrides.plans;
    if (overrides.groups)
        s.groups = overrides.groups;
    if (overrides.ergebnis)
        s.ergebnis = *overrides.ergebnis;
    if (overrides.tabelle)
        s.tabelle = *overrides.tabelle;
    if (overrides.platz)
        s.platz = std::clamp(*overrides.platz, 0, kMaxPlatz);
    if (overrides.klasse)
        s.klasse = *overrides.klasse;
    if (overrides.sort)
        s.sort = *overrides.sort;
    return s;
}

int outputPageCount(CTorvmDoc& doc, const OutputSettings& settings, Output output)
{
    if (!settings.chosen(output))
        return 0;
    switch (output) {
    case Output::Termin:
        return static_cast<int>(std::count(settings.plans.begin(), settings.plans.end(), true));
    case Output::Gruppe:
    case Output::Tabelle:
        return static_cast<int>(outputGroups(doc, settings).size());
    case Output::Einzel:
        return rankingPageCount(ComputeRanking(doc, settings.round, settings.platz, settings.klasse));
    case Output::Verein: {
        CVereinTable clubs(doc.GetDatabase(), &doc);
        return (countRows(clubs).value_or(0) + 99) / 100;
    }
    case Output::Teilnehmer: {
        CTeilnehmerTable people(doc.GetDatabase(), &doc);
        return (countRows(people).value_or(0) + 74) / 75;
    }
    }
    return 0;
}

int totalPageCount(CTorvmDoc& doc, const OutputSettings& settings)
{
    int pages = 0;
    for (int i = 0; i < kOutputCount; ++i)
        pages += outputPageCount(doc, settings, static_cast<Output>(i));
    return pages;
}

std::optional<QString> sectionText(CTorvmDoc& doc, const OutputSettings& settings, Output output)
{
    switch (output) {
    case Output::Termin:
        return terminText(doc, settings);
    case Output::Gruppe:
        return gruppeText(doc, settings);
    case Output::Tabelle:
        return tabelleText(doc, settings);
    case Output::Einzel:
        return einzelText(doc, settings);
    case Output::Verein:
        return vereinText(doc);
    case Output::Teilnehmer:
        return teilnehmerText(doc, settings);
    }
    return std::nullopt;
}

bool writeTextExport(CTorvmDoc& doc, const OutputSettings& settings, QIODevice& device)
{
    QString text =
        QLatin1String(kProduct) + QStringLiteral("\r\n\r\n") + doc.CompetitionTitle() + QStringLiteral("\r\n\r\n");
    for (int i = 0; i < kOutputCount; ++i) {
        const auto output = static_cast<Output>(i);
        if (!settings.chosen(output))
            continue;
        const std::optional<QString> section = sectionText(doc, settings, output);
        if (!section)
            return false;
        text += *section;
    }
    const QByteArray bytes = toWindows1252(text);
    return device.write(bytes) == bytes.size();
}

} // namespace torvm
