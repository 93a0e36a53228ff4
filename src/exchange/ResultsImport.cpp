#include "exchange/ResultsImport.h"

#include "db/Backup.h"
#include "db/CompetitionFile.h"
#include "db/Database.h"
#include "db/SafeFile.h"
#include "db/Tables.h"
#include "exchange/JetFile.h"
#include "results/CompetitionRules.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace torvm {

namespace {

using SourceRows = std::unordered_map<std::int32_t, CRecordset::Row>;

struct Source {
    SourceRows rows;
    int skipped = 0;
};

bool inRound(std::int64_t id, int round)
{
    return id >= 0 && id / 10000 % 100 == round;
}

// The highest key a group number can give (group 2146, round, slot and row 99).
constexpr std::int64_t kHighestKey = 2146999999;

// The rows of the round whose key and Durchgang agree; all others of the file are counted.
constexpr auto kUsableKey = R"(typeof("ID") = 'integer' AND "ID" BETWEEN 0 AND 2146999999)";

std::optional<Source> readSqliteRows(const QString& path, int round, bool* tenths, QString* error)
{
    // Opened as every competition is: a save cut short there is rolled back first.
    const auto db = openCompetition(path, error, Access::ReadOnly);
    if (!db)
        return std::nullopt;
    const std::string inThisRound = std::string(kUsableKey) + R"( AND ("ID" / 10000) % 100 = ?1)";
    Source result;
    Statement skipped = db->prepare(R"(SELECT count(*) FROM "Wettkampf" WHERE NOT ()" + std::string(kUsableKey) +
                                    ") OR (" + inThisRound + R"( AND "Durchgang" IS NOT ?1))");
    skipped.bind(1, std::int64_t{round});
    if (!skipped.next()) {
        *error = db->lastError().text;
        return std::nullopt;
    }
    result.skipped = int(skipped.int64(0));
    *tenths = competitionRules(db.get(), nullptr).tenths;
    CRSWettkampf source(db.get(), nullptr);
    const std::string where = inThisRound + R"( AND "Durchgang" = ?1)";
    if (!source.Open() || !source.Select(where.c_str(), {std::int64_t{round}})) {
        *error = source.GetLastError().text;
        return std::nullopt;
    }
    for (; !source.IsEOF(); source.MoveNext())
        result.rows.emplace(source.m_ID, source.SaveBuffer());
    return result;
}

SqlValue jetValue(const JetValue& v)
{
    switch (v.kind) {
    case JetValue::Kind::Integer:
        return std::int64_t{v.integer};
    case JetValue::Kind::Real:
        return static_cast<std::int64_t>(v.real);
    case JetValue::Kind::Text:
        return v.text;
    case JetValue::Kind::True:
        return std::int64_t{1};
    case JetValue::Kind::False:
        return std::int64_t{0};
    default:
        return {};
    }
}

std::optional<Source> readJetRows(const QString& path, int round, QString* error)
{
    std::vector<JetTable> tables;
    if (!readJetTables(path, {QStringLiteral("Wettkampf")}, &tables, error))
        return std::nullopt;
    if (tables.empty()) {
        *error = QStringLiteral("Die Tabelle Wettkampf fehlt in der Datei %1.").arg(QFileInfo(path).fileName());
        return std::nullopt;
    }
    const JetTable& table = tables.front();
    // A result row lost to damage would leave a team's old rings standing: nothing is taken over.
    if (table.report.unreadable || table.report.rowsUnreadable > 0) {
        *error = QStringLiteral("Die Datei %1 ist beschädigt: %2 Zeilen der Tabelle Wettkampf konnten nicht gelesen "
                                "werden. Es wurde nichts übernommen.")
                     .arg(QFileInfo(path).fileName())
                     .arg(table.report.rowsUnreadable);
        return std::nullopt;
    }
    CRSWettkampf layout(nullptr, nullptr);
    std::vector<int> at;
    for (const std::string& column : layout.Columns()) {
        at.push_back(table.column(QString::fromStdString(column)));
        if (at.back() < 0) {
            *error =
                QStringLiteral("In der Tabelle Wettkampf fehlt die Spalte %1.").arg(QString::fromStdString(column));
            return std::nullopt;
        }
        // A damaged type byte would have the reader decode the column as something else.
        const JetType type = table.columns[std::size_t(at.back())].type;
        const bool fits = column == "Text" ? type == JetType::Text || type == JetType::Memo
                                           : type == JetType::Long || type == JetType::Short || type == JetType::Byte ||
                                                 type == JetType::Bool;
        if (!fits) {
            *error = QStringLiteral("Die Datei %1 ist beschädigt: die Spalte %2 der Tabelle Wettkampf hat einen "
                                    "unerwarteten Typ. Es wurde nichts übernommen.")
                         .arg(QFileInfo(path).fileName(), QString::fromStdString(column));
            return std::nullopt;
        }
    }
    // The file's order decides which of two rows under one key counts: the first, as a unique
    // index would have kept it.
    Source result;
    const int durchgang =
        int(std::find(layout.Columns().begin(), layout.Columns().end(), "Durchgang") - layout.Columns().begin());
    for (const JetRow& jetRow : table.rows) {
        const SqlValue id = jetValue(jetRow[at.front()]);
        const auto* key = std::get_if<std::int64_t>(&id);
        if (!key || *key < 0 || *key > kHighestKey) {
            ++result.skipped;
            continue;
        }
        if (!inRound(*key, round))
            continue;
        const SqlValue roundOfRow = jetValue(jetRow[at.at(durchgang)]);
        if (roundOfRow != SqlValue{std::int64_t{round}} || result.rows.contains(std::int32_t(*key))) {
            ++result.skipped;
            continue;
        }
        CRecordset::Row row;
        row.reserve(at.size());
        for (const int c : at)
            row.push_back(jetValue(jetRow[c]));
        result.rows.emplace(static_cast<std::int32_t>(*key), std::move(row));
    }
    return result;
}

// tenths tells whether the source scores tenths; files of the Access versions never did.
std::optional<Source> readSourceRows(const QString& path, int round, bool* tenths, QString* error)
{
    *tenths = false;
    if (!pathExists(path)) {
        *error = QStringLiteral("Die Datei %1 wurde nicht gefunden.").arg(displayPath(path));
        return std::nullopt;
    }
    if (const QString problem = inputFileProblem(path); !problem.isEmpty()) {
        *error = problem;
        return std::nullopt;
    }
    switch (sniffFile(path)) {
    case FileKind::Jet:
        return readJetRows(path, round, error);
    case FileKind::Sqlite:
        return readSqliteRows(path, round, tenths, error);
    default:
        *error = QStringLiteral("Die Datei %1 ist keine Wettkampfdatei.").arg(path);
        return std::nullopt;
    }
}

} // namespace

ResultsImportResult importResults(Database& db, const QString& sourcePath, int round)
{
    ResultsImportResult result;
    if (round < 0 || round >= kRoundsPerPlan) {
        result.error = QStringLiteral("Ungültiger Durchgang %1.").arg(round + 1);
        return result;
    }
    bool sourceTenths = false;
    const std::optional<Source> source = readSourceRows(sourcePath, round, &sourceTenths, &result.error);
    if (!source)
        return result;
    // Rings of 973 mean 97,3 in one file and 973 in the other: taken over they would be wrong.
    if (sourceTenths != competitionRules(&db, nullptr).tenths) {
        result.error = QStringLiteral("Die Datei %1 wertet %2, dieser Wettkampf %3. Es wurde nichts übernommen.")
                           .arg(QFileInfo(sourcePath).fileName(),
                                sourceTenths ? QStringLiteral("mit Zehnteln") : QStringLiteral("ganze Ringe"),
                                sourceTenths ? QStringLiteral("ganze Ringe") : QStringLiteral("mit Zehnteln"));
        return result;
    }
    result.rowsSkipped = source->skipped;

    CGruppeTable groups(&db, nullptr);
    CPlanTable plan(&db, nullptr);
    CWettkampfTable target(&db, nullptr);
    for (CRecordset* rs :
         {static_cast<CRecordset*>(&groups), static_cast<CRecordset*>(&plan), static_cast<CRecordset*>(&target)}) {
        if (!rs->Open()) {
            result.error = rs->GetLastError().text;
            return result;
        }
    }
    if (!groups.Select(nullptr, {}, R"("ID")")) {
        result.error = groups.GetLastError().text;
        return result;
    }

    if (!backupBeforeChange(db, &result.error))
        return result;
    Transaction transaction(db);
    if (!transaction.active()) {
        result.error = db.lastError().text;
        return result;
    }
    CRSWettkampf buffer(nullptr, nullptr);
    // false on a write error, which ends the import with nothing changed.
    const auto copy = [&](int group, int slot, int row) {
        if (!isValidResultKey(group, round, slot, row))
            return true;
        const auto found = source->rows.find(resultKey(group, round, slot, row));
        if (found == source->rows.end())
            return true;
        buffer.RestoreBuffer(found->second);
        target.CopyResultRow(buffer);
        if (target.GetLastError()) {
            result.error = target.GetLastError().text;
            return false;
        }
        ++result.rowsCopied;
        return true;
    };

    for (; !groups.IsEOF(); groups.MoveNext()) {
        const int group = groups.m_ID;
        if (plan.SelectRound(groups.m_Plan, round)) {
            if (plan.GetLastError()) {
                result.error = plan.GetLastError().text;
                return result;
            }
            continue;
        }
        // A Null team size reads as its marker; no team has more than 20 shooter rows.
        const int teamSize = std::clamp<int>(groups.m_Anzahl, 0, kSlotCount);
        for (int k = 0; k < kPairingsPerRound; ++k) {
            const int a = plan.m_A[k];
            const int b = plan.m_B[k];
            if (a == 0 || b == 0 || !groups.SlotUsed(a) || !groups.SlotUsed(b))
                continue;
            for (int n = 1; n <= teamSize; ++n) {
                if (!copy(group, a, n) || !copy(group, b, n))
                    return result;
            }
            if (!copy(group, a, kSummaryRow) || !copy(group, b, kSummaryRow))
                return result;
        }
    }
    if (!transaction.commit()) {
        result.error = db.lastError().text;
        result.rowsCopied = 0;
        return result;
    }
    result.ok = true;
    return result;
}

QString ResultsImportResult::skippedNote() const
{
    if (rowsSkipped == 0)
        return {};
    return QStringLiteral(" %1 Zeilen der Quelle wurden übersprungen: ihr Schlüssel oder ihr Durchgang liegt außerhalb "
                          "des gültigen Bereichs, oder ihr Schlüssel kommt doppelt vor.")
        .arg(rowsSkipped);
}

} // namespace torvm
