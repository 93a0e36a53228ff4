#include "exchange/ResultForm.h"

#include "db/Backup.h"
#include "db/Database.h"
#include "db/SafeFile.h"
#include "db/Tables.h"
#include "output/Windows1252.h"

#include <QFile>
#include <QHash>
#include <QIODevice>
#include <QStringDecoder>

#include <algorithm>
#include <map>
#include <optional>

namespace torvm {

namespace {

// Far above what a form needs; anything wider or longer is not a form and would only cost memory.
constexpr int kMaxColumns = 64;
constexpr qsizetype kMaxFieldChars = 500;
// Beyond this many malformed lines the list only counts the rest.
constexpr int kMaxReportedLines = 20;

enum Column { Gruppe, Durchgang, Begegnung, Seite, Mannschaft, Zeile, Passnummer, Name, Ringe, Ersatz, Wertung };
constexpr std::array kHeadings{"Gruppe",    "Durchgang", "Begegnung", "Seite",  "Mannschaft", "Zeile",
                               "Paßnummer", "Name",      "Ringe",     "Ersatz", "Wertung"};
constexpr std::array kRequired{Gruppe, Durchgang, Begegnung, Seite, Zeile, Passnummer, Ringe};

int teamSizeOf(const CGruppeTable& group)
{
    return std::clamp<int>(group.IsFieldNull(&group.m_Anzahl) ? 4 : group.m_Anzahl, 0, kShooterRows);
}

QString scoringText(int scoring)
{
    switch (scoring) {
    case kIndividual:
        return QStringLiteral("ES");
    case kOutOfContest:
        return QStringLiteral("AK");
    default:
        return {};
    }
}

// A spreadsheet program would run a cell that starts like a formula; the apostrophe makes it text.
QString guarded(const QString& text)
{
    static const QString starts = QStringLiteral("=+-@");
    return !text.isEmpty() && starts.contains(text.front()) ? QLatin1Char('\'') + text : text;
}

QString unguarded(const QString& text)
{
    static const QString starts = QStringLiteral("=+-@");
    return text.size() > 1 && text.front() == QLatin1Char('\'') && starts.contains(text.at(1)) ? text.mid(1) : text;
}

QString csvField(const QString& text)
{
    static const QString special = QStringLiteral(";\"\r\n");
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return special.contains(c); }) && text.trimmed() == text)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

struct LineUp {
    std::array<std::int32_t, kShooterRows> participant{};
    std::array<std::uint8_t, kShooterRows> scoring{};
    std::array<bool, kShooterRows> substitute{};
};

// The team's shooters of this round, or else of the latest round before it that names any.
LineUp latestLineUp(CWettkampfTable& results, int group, int round, int slot, int teamSize)
{
    for (int r = round; r >= 0; --r) {
        LineUp lineUp;
        bool any = false;
        if (!results.SelectTeamRows(group, r, slot))
            continue;
        for (; !results.IsEOF(); results.MoveNext()) {
            const int row = results.m_ID % 100;
            if (row < 1 || row > teamSize || results.IsFieldNull(&results.m_TNr) || results.m_TNr == 0)
                continue;
            any = true;
            lineUp.participant[row - 1] = results.m_TNr;
            // Who starts only for the individual ranking keeps doing so; a substitute is one round's.
            if (results.m_Wertung == kIndividual || results.m_Wertung == kOutOfContest)
                lineUp.scoring[row - 1] = static_cast<std::uint8_t>(results.m_Wertung);
            lineUp.substitute[row - 1] = r == round && results.m_Ersatz == 1;
        }
        if (any)
            return lineUp;
    }
    return {};
}

// UTF-8 when the bytes are valid UTF-8 (with or without the byte order mark), else Windows-1252,
// which is what spreadsheet programs in German settings save as "CSV".
QString decodeForm(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return fromWindows1252(bytes);
}

struct Record {
    int line = 0;
    QStringList fields;
};

// The separator the heading line uses most: ";", tab or ",".
QChar separatorOf(const QString& text)
{
    const QStringView head = QStringView(text).left(text.indexOf(QLatin1Char('\n')));
    QChar best = QLatin1Char(';');
    qsizetype most = head.count(best);
    for (const QChar c : {QLatin1Char('\t'), QLatin1Char(',')}) {
        if (head.count(c) > most) {
            most = head.count(c);
            best = c;
        }
    }
    return best;
}

bool splitRecords(const QString& text, QChar separator, std::vector<Record>* records, QString* error)
{
    Record record{1, {}};
    QString field;
    bool quoted = false;
    int line = 1;
    const auto endField = [&] {
        if (record.fields.size() >= kMaxColumns) {
            *error = QStringLiteral("Zeile %1 hat mehr als %2 Spalten; das ist keine Ergebnisvorlage.")
                         .arg(record.line)
                         .arg(kMaxColumns);
            return false;
        }
        record.fields.append(field.trimmed());
        field.clear();
        return true;
    };
    const auto endRecord = [&] {
        if (!endField())
            return false;
        if (std::any_of(record.fields.begin(), record.fields.end(), [](const QString& f) { return !f.isEmpty(); }))
            records->push_back(std::move(record));
        record = Record{line, {}};
        return true;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (field.size() > kMaxFieldChars) {
            *error = QStringLiteral("Zeile %1 enthält ein Feld mit mehr als %2 Zeichen; das ist keine "
                                    "Ergebnisvorlage.")
                         .arg(line)
                         .arg(kMaxFieldChars);
            return false;
        }
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field.append(c);
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                line += c == QLatin1Char('\n');
                field.append(c);
            }
        } else if (c == QLatin1Char('"') && field.trimmed().isEmpty()) {
            field.clear();
            quoted = true;
        } else if (c == separator) {
            if (!endField())
                return false;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            ++line;
            if (!endRecord())
                return false;
        } else {
            field.append(c);
        }
    }
    if (quoted) {
        *error = QStringLiteral("Zeile %1: ein Anführungszeichen wird nicht geschlossen.").arg(record.line);
        return false;
    }
    return endRecord();
}

// "Paßnummer", "Passnummer", "PASSNUMMER": the column, or -1 for a heading of no interest.
int columnOf(const QString& heading)
{
    const QString key = heading.toCaseFolded().replace(QStringLiteral("ß"), QStringLiteral("ss"));
    for (std::size_t c = 0; c < kHeadings.size(); ++c) {
        if (QString::fromUtf8(kHeadings[c]).toCaseFolded().replace(QStringLiteral("ß"), QStringLiteral("ss")) == key)
            return int(c);
    }
    return -1;
}

struct GroupInfo {
    int id = 0;
    int teamSize = 0;
};

struct FormRow {
    int line = 0;
    std::int32_t participant = 0;
    std::int32_t rings = 0;
    bool substitute = false;
    std::uint8_t scoring = kTeamShooter;
};

struct PairingLines {
    int firstLine = 0;
    bool anyRings = false;
    std::array<std::map<int, FormRow>, 2> rows; // by 0-based row
};

std::optional<int> wholeNumber(const QString& text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= low && value <= high ? std::optional<int>(value) : std::nullopt;
}

std::optional<bool> substituteOf(const QString& text)
{
    const QString t = text.toCaseFolded();
    if (t.isEmpty() || t == QLatin1String("0") || t == QLatin1String("nein"))
        return false;
    if (t == QLatin1String("1") || t == QLatin1String("x") || t == QLatin1String("ja"))
        return true;
    return std::nullopt;
}

std::optional<std::uint8_t> scoringOf(const QString& text)
{
    const QString t = text.toCaseFolded();
    if (t.isEmpty() || t == QLatin1String("0") || t == QLatin1String("-") || t == QStringLiteral("–"))
        return kTeamShooter;
    if (t == QLatin1String("1") || t == QLatin1String("es"))
        return kIndividual;
    if (t == QLatin1String("2") || t == QLatin1String("ak"))
        return kOutOfContest;
    return std::nullopt;
}

class LineErrors {
public:
    void add(int line, const QString& text)
    {
        if (m_count++ < kMaxReportedLines)
            m_text += QStringLiteral("\nZeile %1: %2").arg(line).arg(text);
    }
    bool any() const { return m_count > 0; }
    QString text() const
    {
        QString all = QStringLiteral("Die Datei enthält fehlerhafte Zeilen; es wurde nichts gespeichert.") + m_text;
        if (m_count > kMaxReportedLines)
            all += QStringLiteral("\n… und %1 weitere fehlerhafte Zeilen.").arg(m_count - kMaxReportedLines);
        return all;
    }

private:
    int m_count = 0;
    QString m_text;
};

bool sameRows(const PairingSide& a, const PairingSide& b, int teamSize)
{
    for (int n = 0; n < teamSize; ++n) {
        if (a.participant[n] != b.participant[n] || a.rings[n] != b.rings[n] || a.substitute[n] != b.substitute[n] ||
            a.scoring[n] != b.scoring[n])
            return false;
    }
    return true;
}

} // namespace

bool writeResultForm(Database& db, QIODevice& out, int round, const std::vector<int>& groups, QString* error)
{
    CGruppeTable group(&db, nullptr);
    CPlanTable plan(&db, nullptr);
    CWettkampfTable results(&db, nullptr);
    CTeilnehmerTable people(&db, nullptr);
    for (CRecordset* rs : std::initializer_list<CRecordset*>{&group, &plan, &results, &people}) {
        if (!rs->Open()) {
            *error = rs->GetLastError().text;
            return false;
        }
    }
    const Transaction view(db, Transaction::Kind::Read);
    if (!group.Select(nullptr, {}, R"("ID")")) {
        *error = group.GetLastError().text;
        return false;
    }
    QString text;
    QStringList heading;
    for (const char* h : kHeadings)
        heading.append(QString::fromUtf8(h));
    text += heading.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    for (; !group.IsEOF(); group.MoveNext()) {
        if (!groups.empty() && std::find(groups.begin(), groups.end(), group.m_ID) == groups.end())
            continue;
        if (plan.SelectRound(group.m_Plan, round))
            continue;
        const int teamSize = teamSizeOf(group);
        for (int k = 0; k < kPairingsPerRound; ++k) {
            const std::array teams{plan.m_A[k], plan.m_B[k]};
            if (std::any_of(teams.begin(), teams.end(), [&](int s) { return s == 0 || !group.SlotUsed(s); }))
                continue;
            for (int s = 0; s < 2; ++s) {
                const LineUp lineUp = latestLineUp(results, group.m_ID, round, teams[s], teamSize);
                const QString team = group.TeamName(teams[s]);
                for (int n = 0; n < teamSize; ++n) {
                    const std::int32_t number = lineUp.participant[n];
                    QString name;
                    if (number != 0 && !people.SelectParticipant(number))
                        name = people.m_Name + QLatin1Char(' ') + people.m_Vorname;
                    const QStringList fields{csvField(guarded(group.m_Name)),
                                             QString::number(round + 1),
                                             QString::number(k + 1),
                                             s == 0 ? QStringLiteral("A") : QStringLiteral("B"),
                                             csvField(guarded(team)),
                                             QString::number(n + 1),
                                             number != 0 ? QString::number(number) : QString(),
                                             csvField(guarded(name)),
                                             QString(),
                                             lineUp.substitute[n] ? QStringLiteral("1") : QString(),
                                             scoringText(lineUp.scoring[n])};
                    text += fields.join(QLatin1Char(';')) + QStringLiteral("\r\n");
                }
            }
        }
    }
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    if (out.write(bytes) != bytes.size()) {
        *error = QStringLiteral("Die Ergebnisvorlage konnte nicht geschrieben werden: %1").arg(out.errorString());
        return false;
    }
    return true;
}

FormReading readResultFormFile(Database& db, const QString& path)
{
    FormReading reading;
    if (const QString problem = inputFileProblem(path); !problem.isEmpty()) {
        reading.error = problem;
        return reading;
    }
    QFile file;
    if (!openForReading(file, path)) {
        reading.error =
            QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2").arg(displayPath(path), file.errorString());
        return reading;
    }
    if (file.size() > kMaxFormBytes) {
        reading.error = QStringLiteral("Die Datei %1 ist mit %2 MB zu groß für eine Ergebnisvorlage (höchstens %3 MB).")
                            .arg(displayPath(path))
                            .arg(file.size() / (1024 * 1024))
                            .arg(kMaxFormBytes / (1024 * 1024));
        return reading;
    }
    const QByteArray bytes = file.read(kMaxFormBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        reading.error =
            QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2").arg(displayPath(path), file.errorString());
        return reading;
    }
    return readResultForm(db, bytes);
}

FormReading readResultForm(Database& db, const QByteArray& bytes)
{
    FormReading reading;
    if (bytes.size() > kMaxFormBytes) {
        reading.error = QStringLiteral("Die Datei ist zu groß für eine Ergebnisvorlage.");
        return reading;
    }
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0) {
        reading.error = QStringLiteral("Zeile %1 enthält ein Nullzeichen; das ist keine Textdatei. Es wurde nichts "
                                       "gespeichert.")
                            .arg(bytes.left(nul).count('\n') + 1);
        return reading;
    }
    const QString text = decodeForm(bytes);
    std::vector<Record> records;
    if (!splitRecords(text, separatorOf(text), &records, &reading.error))
        return reading;
    if (records.empty()) {
        reading.error = QStringLiteral("Die Datei ist leer.");
        return reading;
    }

    std::array<int, kHeadings.size()> at;
    at.fill(-1);
    const Record& head = records.front();
    for (qsizetype i = 0; i < head.fields.size(); ++i) {
        const int c = columnOf(head.fields.at(i));
        if (c < 0)
            continue;
        if (at[c] >= 0) {
            reading.error =
                QStringLiteral("Die Spalte %1 steht zweimal in der Überschrift.").arg(QString::fromUtf8(kHeadings[c]));
            return reading;
        }
        at[c] = int(i);
    }
    QStringList missing;
    for (const Column c : kRequired) {
        if (at[c] < 0)
            missing.append(QString::fromUtf8(kHeadings[c]));
    }
    if (!missing.isEmpty()) {
        reading.error = QStringLiteral("In der Überschrift (Zeile %1) fehlen die Spalten %2.")
                            .arg(head.line)
                            .arg(missing.join(QStringLiteral(", ")));
        return reading;
    }

    const Transaction view(db, Transaction::Kind::Read);
    reading.tenths = competitionRules(&db, nullptr).tenths;
    const int highest = highestSingleResult(&db, nullptr);
    QHash<QString, std::optional<GroupInfo>> groupsByName; // none: two groups share the name
    {
        CGruppeTable group(&db, nullptr);
        if (!group.Open() || !group.Select(nullptr, {}, R"("ID")")) {
            reading.error = group.GetLastError().text;
            return reading;
        }
        for (; !group.IsEOF(); group.MoveNext()) {
            const QString name = group.m_Name.trimmed();
            if (groupsByName.contains(name))
                groupsByName[name] = std::nullopt;
            else
                groupsByName.insert(name, GroupInfo{group.m_ID, teamSizeOf(group)});
        }
    }

    LineErrors errors;
    std::map<std::array<int, 3>, PairingLines> pairings;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const Record& record = records[r];
        const auto field = [&](Column c) { return at[c] < record.fields.size() ? record.fields.at(at[c]) : QString(); };
        if (record.fields.size() > head.fields.size()) {
            errors.add(record.line, QStringLiteral("mehr Felder (%1) als die Überschrift (%2).")
                                        .arg(record.fields.size())
                                        .arg(head.fields.size()));
            continue;
        }
        const QString groupName = unguarded(field(Gruppe));
        const auto groupIt = groupsByName.constFind(groupName);
        if (groupIt == groupsByName.cend()) {
            errors.add(record.line, QStringLiteral("die Gruppe „%1“ gibt es nicht.").arg(groupName));
            continue;
        }
        if (!*groupIt) {
            errors.add(record.line, QStringLiteral("mehrere Gruppen heißen „%1“.").arg(groupName));
            continue;
        }
        const GroupInfo group = **groupIt;
        const auto round = wholeNumber(field(Durchgang), 1, kRoundsPerPlan);
        const auto pairing = wholeNumber(field(Begegnung), 1, kPairingsPerRound);
        const QString sideText = field(Seite).toUpper();
        const auto row = wholeNumber(field(Zeile), 1, std::max(group.teamSize, 1));
        const auto participant =
            field(Passnummer).isEmpty() ? std::optional<int>(0) : wholeNumber(field(Passnummer), 1, 2147483647);
        const QString ringsText = field(Ringe);
        const auto rings = ringsText.isEmpty() ? std::optional<std::int32_t>(0) : parseRings(ringsText, reading.tenths);
        const auto substitute = substituteOf(at[Ersatz] >= 0 ? field(Ersatz) : QString());
        const auto scoring = scoringOf(at[Wertung] >= 0 ? field(Wertung) : QString());
        QString problem;
        if (!round)
            problem =
                QStringLiteral("Durchgang „%1“ ist keine Zahl von 1 bis %2.").arg(field(Durchgang)).arg(kRoundsPerPlan);
        else if (!pairing)
            problem = QStringLiteral("Begegnung „%1“ ist keine Zahl von 1 bis %2.")
                          .arg(field(Begegnung))
                          .arg(kPairingsPerRound);
        else if (sideText != QLatin1String("A") && sideText != QLatin1String("B"))
            problem = QStringLiteral("Seite „%1“ ist weder A noch B.").arg(field(Seite));
        else if (!row)
            problem = QStringLiteral("Zeile „%1“ ist keine Zahl von 1 bis %2 (Schützen je Mannschaft).")
                          .arg(field(Zeile))
                          .arg(group.teamSize);
        else if (!participant)
            problem = QStringLiteral("Paßnummer „%1“ ist keine gültige Nummer.").arg(field(Passnummer));
        else if (!rings || *rings > kMaxRings)
            problem = QStringLiteral("Ringe „%1“ sind kein Ergebnis%2.")
                          .arg(ringsText, reading.tenths ? QStringLiteral(" (etwa 97 oder 97,3)")
                                                         : QStringLiteral(" in ganzen Ringen"));
        else if (!substitute)
            problem = QStringLiteral("Ersatz „%1“ ist weder leer noch 1, x, ja, 0 oder nein.").arg(field(Ersatz));
        else if (!scoring)
            problem = QStringLiteral("Wertung „%1“ ist weder leer noch ES oder AK.").arg(field(Wertung));
        if (!problem.isEmpty()) {
            errors.add(record.line, problem);
            continue;
        }
        PairingLines& lines = pairings[{group.id, *round - 1, *pairing - 1}];
        if (lines.firstLine == 0)
            lines.firstLine = record.line;
        const int side = sideText == QLatin1String("A") ? 0 : 1;
        const auto [it, added] =
            lines.rows[side].emplace(*row - 1, FormRow{record.line, *participant, *rings, *substitute, *scoring});
        if (!added) {
            errors.add(record.line, QStringLiteral("Seite %1, Zeile %2 dieser Begegnung steht schon in Zeile %3.")
                                        .arg(sideText)
                                        .arg(*row)
                                        .arg(it->second.line));
            continue;
        }
        lines.anyRings = lines.anyRings || !ringsText.isEmpty();
    }
    if (errors.any()) {
        reading.error = errors.text();
        return reading;
    }

    std::vector<std::pair<int, const std::pair<const std::array<int, 3>, PairingLines>*>> order;
    for (const auto& entry : pairings) {
        if (entry.second.anyRings)
            order.emplace_back(entry.second.firstLine, &entry);
    }
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    PairingEntry entry(&db, nullptr);
    if (!entry.open()) {
        reading.error = db.lastError().text;
        return reading;
    }
    // (round, pass number) -> where the file first names the shooter
    std::map<std::pair<int, std::int32_t>, QString> named;
    for (const auto& [firstLine, item] : order) {
        const auto& [key, lines] = *item;
        entry.load(key[0], key[1], key[2]);
        if (!entry.conflict().isEmpty()) {
            errors.add(firstLine, entry.conflict());
            continue;
        }
        FormPairing pairing{key[0], key[1], key[2], entry.groupName(), {}, {}, {}};
        const std::array<PairingSide, 2> before{entry.side(0), entry.side(1)};
        for (int s = 0; s < 2; ++s) {
            PairingSide& side = entry.side(s);
            for (const auto& [row, value] : lines.rows[s]) {
                if (!side.hasTeam()) {
                    errors.add(value.line, QStringLiteral("in Begegnung %1 steht auf Seite %2 keine Mannschaft.")
                                               .arg(key[2] + 1)
                                               .arg(s == 0 ? 'A' : 'B'));
                    break;
                }
                side.participant[row] = value.participant;
                side.rings[row] = value.rings;
                side.substitute[row] = value.substitute;
                side.scoring[row] = value.scoring;
            }
        }
        for (const PairingWarning& warning : entry.check(highest))
            pairing.warnings.append(warning.text);
        for (int s = 0; s < 2; ++s) {
            const PairingSide& side = entry.side(s);
            for (int n = 0; n < entry.teamSize() && side.hasTeam(); ++n) {
                const std::int32_t number = side.participant[n];
                if (number == 0)
                    continue;
                const QString here = QStringLiteral("%1 (%2)").arg(side.team, entry.groupName());
                const auto [it, first] = named.emplace(std::pair{key[1], number}, here);
                if (!first && it->second != here) {
                    pairing.warnings.append(QStringLiteral("%1, Zeile %2: Die Paßnummer %3 steht in dieser Datei "
                                                           "auch bei %4.")
                                                .arg(side.team)
                                                .arg(n + 1)
                                                .arg(number)
                                                .arg(it->second));
                }
            }
        }
        const bool hadResults = std::any_of(before.begin(), before.end(), [](const PairingSide& s) {
            return std::any_of(s.rings.begin(), s.rings.end(), [](std::int32_t r) { return r != 0; });
        });
        if (hadResults && !(sameRows(before[0], entry.side(0), entry.teamSize()) &&
                            sameRows(before[1], entry.side(1), entry.teamSize()))) {
            pairing.warnings.append(
                QStringLiteral("Die Begegnung hat bereits andere Ergebnisse (%1 : %2); sie werden "
                               "ersetzt.")
                    .arg(ringText(before[0].total(), reading.tenths), ringText(before[1].total(), reading.tenths)));
        }
        pairing.sides = {entry.side(0), entry.side(1)};
        pairing.totals = {entry.countedTotal(0), entry.countedTotal(1)};
        reading.pairings.push_back(std::move(pairing));
    }
    if (errors.any()) {
        reading.error = errors.text();
        reading.pairings.clear();
        return reading;
    }
    reading.ok = true;
    return reading;
}

bool storeResultForm(Database& db, const std::vector<FormPairing>& pairings, QString* error)
{
    if (pairings.empty())
        return true;
    if (!backupBeforeChange(db, error))
        return false;
    PairingEntry entry(&db, nullptr);
    Transaction transaction(db);
    if (!transaction.active() || !entry.open()) {
        *error = db.lastError().text;
        return false;
    }
    for (const FormPairing& pairing : pairings) {
        entry.load(pairing.group, pairing.round, pairing.pairing);
        for (int s = 0; s < 2; ++s) {
            PairingSide& side = entry.side(s);
            const PairingSide& read = pairing.sides[s];
            side.participant = read.participant;
            side.rings = read.rings;
            side.substitute = read.substitute;
            side.scoring = read.scoring;
        }
        if (!entry.save()) {
            *error = entry.lastError().text;
            return false;
        }
    }
    if (!transaction.commit()) {
        *error = db.lastError().text;
        return false;
    }
    return true;
}

} // namespace torvm
