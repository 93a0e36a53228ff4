#include "results/CompetitionRules.h"

#include "db/Tables.h"
#include "document/TorvmDoc.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <limits>

namespace torvm {

namespace {

QString rulesKey(const char* key)
{
    return QString::fromLatin1(key);
}

QString rulesSection()
{
    return QString::fromLatin1(kRulesSection);
}

QString bestCountKey(int groupId)
{
    return QString::fromLatin1(kBestCountKey) + QString::number(groupId);
}

// Refused values name the reason; the rules that reach the file are always ones it can hold.
QString invalidRules(const CompetitionRules& rules)
{
    if (rules.tieBreaks.empty() || rules.tieBreaks.size() > kMaxTieBreaks)
        return QStringLiteral("Bei Punktgleichheit gelten ein bis drei Kriterien.");
    for (std::size_t i = 0; i < rules.tieBreaks.size(); ++i) {
        if (std::count(rules.tieBreaks.begin(), rules.tieBreaks.end(), rules.tieBreaks[i]) > 1)
            return QStringLiteral("Das Kriterium \"%1\" ist mehrfach gewählt.").arg(tieBreakText(rules.tieBreaks[i]));
    }
    if (rules.substituteLimit < 0 || rules.substituteLimit > kMaxSubstituteLimit)
        return QStringLiteral("Die Ersatzeinsätze je Schütze müssen zwischen 0 und %1 liegen.")
            .arg(kMaxSubstituteLimit);
    return {};
}

QString databaseError(Database* db)
{
    return QStringLiteral("Die Wertungsregeln konnten nicht gespeichert werden: %1").arg(db->lastError().text);
}

// The stored highest single result; -1 when none is stored.
int storedHighest(CProfileTable& settings)
{
    return settings.GetInt(QString::fromLatin1(kEntrySection), QString::fromLatin1(kHighestResultKey), -1);
}

bool switchTenths(Database* db, CTorvmDoc* doc, bool on, QString* error)
{
    CWettkampfTable results(db, doc);
    const std::optional<RingSurvey> survey = results.SurveyRings();
    if (!survey) {
        *error = databaseError(db);
        return false;
    }
    if (!on && survey->anyTenth) {
        *error = QStringLiteral("Die Zehntelwertung kann nicht ausgeschaltet werden: gespeicherte Ergebnisse haben "
                                "Zehntel (z. B. %1). Bitte diese Ergebnisse zuerst auf ganze Ringe ändern.")
                     .arg(ringText(survey->firstTenth, true));
        return false;
    }
    if (on && survey->largest > std::numeric_limits<std::int32_t>::max() / 10) {
        *error = QStringLiteral("Die Zehntelwertung kann nicht eingeschaltet werden: das Ergebnis %1 ist zu groß.")
                     .arg(survey->largest);
        return false;
    }
    if (!results.ScaleRings(on)) {
        *error = databaseError(db);
        return false;
    }
    CProfileTable settings(db, doc);
    const int highest = storedHighest(settings);
    if (highest > 0) {
        // Rounded up when switching off: a limit of 327,5 must not question a 327.
        const int scaled = on ? std::min(highest * 10, kMaxRings) : (highest + 9) / 10;
        if (!setHighestSingleResult(db, doc, scaled)) {
            *error = databaseError(db);
            return false;
        }
    }
    return true;
}

} // namespace

int highestSingleResult(Database* db, CTorvmDoc* doc)
{
    CProfileTable settings(db, doc);
    const int rings = storedHighest(settings);
    // A whole-ring default would question every tenths result; tenths leagues set their own.
    if (rings < 0)
        return competitionRules(db, doc).tenths ? 0 : kDefaultHighestResult;
    // A damaged value must neither question every result nor switch the check off unasked.
    return rings <= kMaxRings ? rings : kDefaultHighestResult;
}

bool setHighestSingleResult(Database* db, CTorvmDoc* doc, int rings)
{
    CProfileTable settings(db, doc);
    return settings.WriteInt(QString::fromLatin1(kEntrySection), QString::fromLatin1(kHighestResultKey), rings);
}

CompetitionRules competitionRules(Database* db, CTorvmDoc* doc)
{
    CProfileTable settings(db, doc);
    CompetitionRules rules;
    rules.tenths = settings.GetInt(rulesSection(), rulesKey(kTenthsKey), 0) == 1;
    // A chain damaged by another tool falls back to the default rather than to nothing.
    if (const auto chain = parseTieBreaks(settings.GetString(rulesSection(), rulesKey(kTieBreakKey), {})))
        rules.tieBreaks = *chain;
    const int limit = settings.GetInt(rulesSection(), rulesKey(kSubstituteLimitKey), 0);
    rules.substituteLimit = limit >= 0 && limit <= kMaxSubstituteLimit ? limit : 0;
    return rules;
}

bool setCompetitionRules(Database* db, CTorvmDoc* doc, const CompetitionRules& rules, QString* error)
{
    QString ignored;
    QString& reason = error ? *error : ignored;
    reason = invalidRules(rules);
    if (!reason.isEmpty())
        return false;
    if (!db || db->isReadOnly()) {
        reason = QStringLiteral("Die Wettkampfdatei ist schreibgeschützt; die Wertungsregeln bleiben unverändert.");
        return false;
    }
    Transaction tx(*db);
    if (!tx.active()) {
        reason = databaseError(db);
        return false;
    }
    const CompetitionRules before = competitionRules(db, doc);
    if (before.tenths != rules.tenths && !switchTenths(db, doc, rules.tenths, &reason))
        return false;
    CProfileTable settings(db, doc);
    if (!settings.WriteInt(rulesSection(), rulesKey(kTenthsKey), rules.tenths ? 1 : 0) ||
        !settings.WriteString(rulesSection(), rulesKey(kTieBreakKey), tieBreakKeywords(rules.tieBreaks)) ||
        !settings.WriteInt(rulesSection(), rulesKey(kSubstituteLimitKey), rules.substituteLimit) || !tx.commit()) {
        reason = databaseError(db);
        return false;
    }
    return true;
}

int groupBestCount(Database* db, CTorvmDoc* doc, int groupId)
{
    CProfileTable settings(db, doc);
    const int best = settings.GetInt(rulesSection(), bestCountKey(groupId), 0);
    return best >= 0 && best <= kMaxBestCount ? best : 0;
}

bool setGroupBestCount(Database* db, CTorvmDoc* doc, int groupId, int best, QString* error)
{
    QString ignored;
    QString& reason = error ? *error : ignored;
    if (best < 0 || best > kMaxBestCount) {
        reason = QStringLiteral("Die Anzahl der gewerteten Schützen muss zwischen 0 (alle) und %1 liegen.")
                     .arg(kMaxBestCount);
        return false;
    }
    if (!db || db->isReadOnly()) {
        reason = QStringLiteral("Die Wettkampfdatei ist schreibgeschützt; die Wertungsregeln bleiben unverändert.");
        return false;
    }
    CProfileTable settings(db, doc);
    if (!settings.WriteInt(rulesSection(), bestCountKey(groupId), best)) {
        reason = databaseError(db);
        return false;
    }
    return true;
}

namespace {

struct TieBreakName {
    TieBreak criterion;
    const char* keyword;
    const char* text;
    const char* sentence;
};

const std::array<TieBreakName, 4>& tieBreakNames()
{
    static const std::array<TieBreakName, 4> names{{
        {TieBreak::Rings, "ringe", "Ringe", "Die Mannschaft mit mehr Ringen aus allen Wettkämpfen steht vorn."},
        {TieBreak::Direct, "direkt", "Direkter Vergleich",
         "Die Mannschaft mit mehr Punkten aus den Wettkämpfen der punktgleichen Mannschaften gegeneinander steht "
         "vorn."},
        {TieBreak::DirectRings, "direkt-ringe", "Direkter Vergleich Ringe",
         "Die Mannschaft mit mehr Ringen aus den Wettkämpfen der punktgleichen Mannschaften gegeneinander steht "
         "vorn."},
        {TieBreak::BestTeam, "bestes", "Bestes Mannschaftsergebnis",
         "Die Mannschaft mit dem höchsten Ergebnis in einem einzelnen Wettkampf steht vorn."},
    }};
    return names;
}

const TieBreakName& nameOf(TieBreak criterion)
{
    return tieBreakNames()[static_cast<std::size_t>(criterion)];
}

} // namespace

QString tieBreakKeyword(TieBreak criterion)
{
    return QString::fromLatin1(nameOf(criterion).keyword);
}

std::optional<TieBreak> tieBreakFromKeyword(const QString& keyword)
{
    for (const TieBreakName& name : tieBreakNames()) {
        if (keyword.trimmed() == QLatin1String(name.keyword))
            return name.criterion;
    }
    return std::nullopt;
}

QString tieBreakKeywords(const std::vector<TieBreak>& chain)
{
    QStringList words;
    for (const TieBreak criterion : chain)
        words << tieBreakKeyword(criterion);
    return words.join(QLatin1Char(','));
}

std::optional<std::vector<TieBreak>> parseTieBreaks(const QString& list)
{
    std::vector<TieBreak> chain;
    for (const QString& word : list.split(QLatin1Char(','))) {
        const auto criterion = tieBreakFromKeyword(word);
        if (!criterion || std::find(chain.begin(), chain.end(), *criterion) != chain.end())
            return std::nullopt;
        chain.push_back(*criterion);
    }
    if (chain.size() > kMaxTieBreaks)
        return std::nullopt;
    return chain;
}

QString tieBreakText(TieBreak criterion)
{
    return QString::fromUtf8(nameOf(criterion).text);
}

QString tieBreakSentence(TieBreak criterion)
{
    return QString::fromUtf8(nameOf(criterion).sentence);
}

QString tieBreakLine(const std::vector<TieBreak>& chain)
{
    if (chain == CompetitionRules{}.tieBreaks)
        return {};
    QStringList texts;
    for (const TieBreak criterion : chain)
        texts << tieBreakText(criterion);
    return QStringLiteral("Bei Punktgleichheit: ") + texts.join(QStringLiteral(", "));
}

QString ringText(std::int64_t stored, bool tenths)
{
    if (!tenths)
        return QString::number(stored);
    const std::uint64_t magnitude = stored < 0 ? 0 - static_cast<std::uint64_t>(stored) : stored;
    return QStringLiteral("%1%2,%3")
        .arg(stored < 0 ? QStringLiteral("-") : QString())
        .arg(magnitude / 10)
        .arg(magnitude % 10);
}

std::optional<std::int32_t> parseRings(const QString& typed, bool tenths)
{
    static const QRegularExpression whole(QStringLiteral("^[0-9]{1,9}$"));
    static const QRegularExpression decimal(QStringLiteral("^([0-9]{1,8})(?:[.,]([0-9]))?$"));
    const QString text = typed.trimmed();
    if (!tenths)
        return whole.match(text).hasMatch() ? std::optional<std::int32_t>(text.toInt()) : std::nullopt;
    const QRegularExpressionMatch m = decimal.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt() * 10 + (m.captured(2).isEmpty() ? 0 : m.captured(2).toInt());
}

} // namespace torvm
