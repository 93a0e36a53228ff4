#include "masterdata/ClassDivision.h"

#include "db/Messages.h"
#include "db/Tables.h"

#include <utility>

namespace torvm {

namespace {

bool isEditedId(std::int32_t id)
{
    return id >= 1 && id <= kClassCount;
}

} // namespace

bool loadClassRows(CKlasseTable& table, ClassRows& rows)
{
    rows.fill(ClassRow{});
    if (!table.Select(nullptr, {}, R"("KlasseID")")) {
        showDatabaseError(table.GetLastError().text);
        return false;
    }
    for (; !table.IsEOF(); table.MoveNext()) {
        if (!isEditedId(table.m_KlasseID))
            continue;
        ClassRow& row = rows[table.m_KlasseID];
        row.present = true;
        row.name = table.m_Name;
        row.von = table.m_von;
        row.bis = table.m_bis;
        row.geschlecht = table.m_Geschlecht;
    }
    return true;
}

bool storeClassRows(CKlasseTable& table, const ClassRows& rows)
{
    Database* db = table.GetDatabase();
    if (!db) {
        showDatabaseError(table.GetLastError().text);
        return false;
    }
    Transaction tx(*db);
    if (!tx.active()) {
        showDatabaseError(db->lastError().text);
        return false;
    }
    if (!table.Select(nullptr, {}, R"("KlasseID")")) {
        showDatabaseError(table.GetLastError().text);
        return false;
    }
    for (; !table.IsEOF(); table.MoveNext()) {
        if (!isEditedId(table.m_KlasseID))
            continue;
        const ClassRow& row = rows[table.m_KlasseID];
        table.Edit();
        table.m_Name = row.name;
        table.m_von = row.von;
        table.m_bis = row.bis;
        if (row.von.isValid() && row.bis.isValid() && row.bis.isBefore(row.von))
            std::swap(table.m_von, table.m_bis);
        table.m_Geschlecht = row.geschlecht;
        if (!table.Update()) {
            showDatabaseError(table.GetLastError().text);
            return false;
        }
    }
    if (!tx.commit()) {
        showDatabaseError(db->lastError().text);
        return false;
    }
    return true;
}

} // namespace torvm
