#include "exchange/ResultsImport.h"

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

bool inRound(std::int64_t id, int round)
{
    return id >= 0 && id / 10000 % 100 == round;
}

std::optional<SourceRows> readSqliteRows(const QString& path, int round, bool* tenths, QString* error)
{
    DbError dbError;
    const auto db = Database::open(path, Database::Mode::ReadOnly, &dbError);
    if (!db) {
        *error = dbError.text;
        return std::nullopt;
    }
    if (!checkCompetitionFile(*db, error))
        return std::nullopt;
    *tenths = competitionRules(db.get(), nullptr).tenths;
    CRSWettkampf source(db.get(), nullptr);
    if (!source.Open() || !source.Select(R"(("ID" / 10000) % 100 = ?)", {std::int64_t{round}})) {
        *error = source.GetLastError().text;
        return std::nullopt;
    }
    SourceRows rows;
    for (; !source.IsEOF(); source.MoveNext()) {
        if (source.m_ID != kNullLong)
            rows.emplace(source.m_ID, source.SaveBuffer());
    }
    return rows;
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

std::optional<SourceRows> readJetRows(const QString& path, int round, QString* error)
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
    }
    SourceRows rows;
    for (const JetRow& jetRow : table.rows) {
        const SqlValue id = jetValue(jetRow[at.front()]);
        const auto* key = std::get_if<std::int64_t>(&id);
        if (!key || !inRound(*key, round))
            continue;
        CRecordset::Row row;
        row.reserve(at.size());
        for (const int c : at)
            row.push_back(jetValue(jetRow[c]));
        rows.emplace(static_cast<std::int32_t>(*key), std::move(row));
    }
    return rows;
}

// tenths tells whether the source scores tenths; files of the Access versions never did.
std::optional<SourceRows> readSourceRows(const QString& path, int round, bool* tenths, QString* error)
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
    const std::optional<SourceRows> source = readSourceRows(sourcePath, round, &sourceTenths, &result.error);
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
        const auto found = source->find(resultKey(group, round, slot, row));
        if (found == source->end())
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

} // namespace torvm
