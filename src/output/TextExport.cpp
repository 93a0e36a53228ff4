#include "output/TextExport.h"

#include "db/Messages.h"
#include "db/Settings.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"
#include "output/MissingResults.h"
#include "output/OutputPages.h"
#include "output/OutputRows.h"
#include "output/Standings.h"
#include "output/Windows1252.h"
#include "results/CompetitionRules.h"

#include <QIODevice>

#include <algorithm>

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

// --------------------------------------------------------------------------- fixture schedule

std::optional<QString> terminText(CTorvmDoc& doc, const OutputSettings& settings)
{
    const auto schedules = fixtureSchedules(doc, settings.plans);
    if (!schedules)
        return std::nullopt;
    Lines out;
    for (const FixtureSchedule& schedule : *schedules) {
        out.add(schedule.name + QStringLiteral(" - Terminplan"));
        out.add();
        for (const ScheduleRound& round : schedule.rounds) {
            out.add(scheduleLabel(round));
            for (const auto& [a, b] : round.pairings)
                out.add(QString::asprintf("%d  ", a) + QStringLiteral(" - ") + QString::asprintf("  %d", b));
            out.add();
        }
        out.add();
    }
    return out.take();
}

// ------------------------------------------------------------------------------- group sheets

std::optional<QString> gruppeText(CTorvmDoc& doc, const OutputSettings& settings)
{
    const auto sheets = groupSheets(doc, outputGroups(doc, settings.sheetGroups));
    if (!sheets)
        return std::nullopt;
    Lines out;
    out.add();
    for (const GroupSheet& sheet : *sheets) {
        out.add(sheet.name);
        out.add();
        for (const GroupTeam& team : sheet.teams)
            out.add(team.name + QLatin1Char('\t') + team.address + QLatin1Char('\t') + team.phone);
        out.add();
        for (const GroupRound& round : sheet.rounds) {
            out.add(groupRoundDate(round.date));
            for (const auto& [a, b] : round.pairings)
                out.add(a + QStringLiteral(" - ") + b);
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
    for (const int id : outputGroups(doc, settings.groups)) {
        const LeagueTable t = ComputeLeagueTable(doc.GetDatabase(), &doc, id, settings.round);
        if (!t.ok)
            return std::nullopt;
        out.add(t.name);
        out.add();
        if (settings.ergebnis) {
            for (const RoundPairing& p : t.pairings) {
                QString line = t.teamNames[p.slotA] + QStringLiteral(" - ") + t.teamNames[p.slotB] + QLatin1Char('\t') +
                               pairingRingText(p.ringsA, p.absentA, t.tenths) + QStringLiteral(" - ") +
                               pairingRingText(p.ringsB, p.absentB, t.tenths);
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
                        QLatin1Char('\t') +
                        QString::asprintf("%3lld : %3lld", static_cast<long long>(s.Pluspunkte[slot]),
                                          static_cast<long long>(s.Minuspunkte[slot])) +
                        QLatin1Char('\t') + ringText(s.Ringe[slot], t.tenths).rightJustified(6));
            }
            if (!t.tieBreakLine.isEmpty())
                out.add(t.tieBreakLine);
            out.add();
        }
    }
    return out.take();
}

// ------------------------------------------------------------------------- individual ranking

// "  1.\t", "\t" for a shared place, " AK\t" for a starter out of competition.
QString rankColumn(int rank, bool outOfContest)
{
    if (outOfContest)
        return QStringLiteral(" %1\t").arg(QLatin1String(kOutOfContestLabel));
    return rank != 0 ? QString::asprintf("%3d.\t", rank) : QStringLiteral("\t");
}

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
            out.add(rankColumn(row.rank, row.outOfContest) + row.name + QLatin1Char('\t') + row.team +
                    QLatin1Char('\t') + row.ringsText().rightJustified(6));
        }
    }
    return out.take();
}

// ------------------------------------------------------------------------ clubs, participants

std::optional<QString> vereinText(CTorvmDoc& doc)
{
    const auto clubs = clubRows(doc);
    if (!clubs)
        return std::nullopt;
    Lines out;
    out.add();
    out.add(QStringLiteral("Vereine"));
    out.add();
    for (const ClubRow& club : *clubs)
        out.add(QString::asprintf("%ld\t", static_cast<long>(club.number)) + club.name);
    return out.take();
}

std::optional<QString> ausstehendText(CTorvmDoc& doc, const OutputSettings& settings)
{
    QString error;
    const auto missing = missingResults(doc.GetDatabase(), &doc, settings.reference, &error);
    if (!missing) {
        showDatabaseError(error);
        return std::nullopt;
    }
    Lines out;
    out.add();
    for (const QString& line : missingResultsText(*missing, settings.reference).chopped(1).split(QLatin1Char('\n')))
        out.add(line);
    return out.take();
}

std::optional<QString> teilnehmerText(CTorvmDoc& doc, const OutputSettings& settings)
{
    const auto people = participantRows(doc, settings.sort);
    if (!people)
        return std::nullopt;
    Lines out;
    out.add();
    out.add(QStringLiteral("Teilnehmerliste"));
    out.add();
    for (const ParticipantRow& p : *people) {
        out.add(QString::asprintf("%ld\t", static_cast<long>(p.number)) + p.name + QLatin1Char('\t') + p.club +
                QLatin1Char('\t') + p.birthDate + QLatin1Char('\t') + p.className);
    }
    return out.take();
}

// ------------------------------------------------------------------------------ season ranking

std::optional<QString> gesamtText(CTorvmDoc& doc, const OutputSettings& settings)
{
    const SeasonRanking ranking = ComputeSeasonRanking(doc, settings.round, settings.mindestens, settings.klasse);
    if (!ranking.ok)
        return std::nullopt;
    Lines out;
    out.add();
    out.add(QStringLiteral("Gesamtwertung / ") + seasonRoundsText(settings.round));
    for (const SeasonClass& cls : ranking.classes) {
        out.add();
        out.add(cls.name);
        for (const SeasonRow& row : cls.rows) {
            out.add(rankColumn(row.rank, row.outOfContest) + row.name + QLatin1Char('\t') + row.team +
                    QString::asprintf("\t%2d\t", row.rounds) + row.totalText().rightJustified(6) + QLatin1Char('\t') +
                    row.average().rightJustified(6) + QLatin1Char('\t') + row.bestText().rightJustified(6));
        }
    }
    return out.take();
}

} // namespace

QString seasonRoundsText(int lastRound)
{
    return lastRound == 0 ? QStringLiteral("1. Durchgang") : QStringLiteral("1. - %1. Durchgang").arg(lastRound + 1);
}

std::vector<int> outputGroups(CTorvmDoc& doc, const std::optional<std::vector<int>>& chosen)
{
    if (chosen)
        return *chosen;
    // The groups as they exist, by [ID]: a gap in the numbering neither repeats nor drops one.
    std::vector<int> ids;
    CGruppeTable groups(doc.GetDatabase(), &doc);
    for (const ComboItem& item : groups.GroupComboItems())
        ids.push_back(item.data);
    return ids;
}

QString outputKey(Output output)
{
    static const std::array<QString, kOutputCount> keys{
        QStringLiteral("Termin"), QStringLiteral("Gruppe"),  QStringLiteral("Tabelle"),
        QStringLiteral("Einzel"), QStringLiteral("Verein"),  QStringLiteral("Teilnehmer"),
        QStringLiteral("Gesamt"), QStringLiteral("Bericht"), QStringLiteral("Ausstehend")};
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
    s.mindestens =
        std::clamp(profile.GetInt(QStringLiteral("PrintGesamt"), QStringLiteral("Mindestens"), kDefaultMindestens), 1,
                   kRoundsPerPlan);
    s.series = std::clamp(profile.GetInt(QStringLiteral("PrintBericht"), QStringLiteral("Serien"), kDefaultSeries), 1,
                          kMaxSeries);

    if (overrides.round)
        s.round = std::clamp(*overrides.round, 0, kLastRound);
    if (overrides.outputs)
        s.outputs = *overrides.outputs;
    if (overrides.plans)
        s.plans = *overrides.plans;
    if (overrides.groups) {
        s.groups = overrides.groups;
        s.sheetGroups = overrides.groups;
        s.reportGroups = overrides.groups;
    }
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
    if (overrides.mindestens)
        s.mindestens = std::clamp(*overrides.mindestens, 1, kRoundsPerPlan);
    if (overrides.series)
        s.series = std::clamp(*overrides.series, 1, kMaxSeries);
    if (overrides.reference)
        s.reference = *overrides.reference;
    return s;
}

int outputPageCount(CTorvmDoc& doc, const OutputSettings& settings, Output output)
{
    if (!settings.chosen(output))
        return 0;
    return makeOutputPages(doc, settings, output)->pageCount();
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
    case Output::Gesamt:
        return gesamtText(doc, settings);
    case Output::Bericht:
        return QString();
    case Output::Ausstehend:
        return ausstehendText(doc, settings);
    }
    return std::nullopt;
}

TextEncoding loadTextEncoding(CTorvmDoc& doc)
{
    CProfileTable profile(doc.GetDatabase(), &doc);
    return profile.GetInt(QStringLiteral("Textexport"), QStringLiteral("Zeichensatz"), 0) == 1
               ? TextEncoding::Utf8
               : TextEncoding::Windows1252;
}

bool storeTextEncoding(CTorvmDoc& doc, TextEncoding encoding)
{
    if (loadTextEncoding(doc) == encoding)
        return true;
    CProfileTable profile(doc.GetDatabase(), &doc);
    return profile.WriteInt(QStringLiteral("Textexport"), QStringLiteral("Zeichensatz"),
                            encoding == TextEncoding::Utf8 ? 1 : 0);
}

std::optional<QString> textExportContent(CTorvmDoc& doc, const OutputSettings& settings)
{
    // One state of the competition in the whole file, even while an import writes.
    const Transaction view(*doc.GetDatabase(), Transaction::Kind::Read);
    QString text =
        QLatin1String(kProduct) + QStringLiteral("\r\n\r\n") + doc.CompetitionTitle() + QStringLiteral("\r\n\r\n");
    for (int i = 0; i < kOutputCount; ++i) {
        const auto output = static_cast<Output>(i);
        if (!settings.chosen(output))
            continue;
        const std::optional<QString> section = sectionText(doc, settings, output);
        if (!section)
            return std::nullopt;
        text += *section;
    }
    return text;
}

QByteArray encodedText(const QString& content, TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8 ? content.toUtf8() : toWindows1252(content);
}

bool writeTextExport(CTorvmDoc& doc, const OutputSettings& settings, QIODevice& device, TextEncoding encoding)
{
    const std::optional<QString> content = textExportContent(doc, settings);
    if (!content)
        return false;
    const QByteArray bytes = encodedText(*content, encoding);
    return device.write(bytes) == bytes.size();
}

} // namespace torvm
