#include "masterdata/KlassenTabelle.h"

#include "db/Messages.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"

namespace torvm {

bool CKlassenTabelle::Load(CTorvmDoc& doc)
{
    m_entries.fill(ClassEntry{});
    m_count = 0;
    CKlasseTable table(doc.GetDatabase(), &doc);
    if (!table.OpenTable())
        return false;
    if (!table.Select(nullptr, {}, R"("KlasseID")")) {
        showDatabaseError(table.GetLastError().text);
        return false;
    }
    if (table.IsEOF())
        return true;
    table.MoveNext(); // the entry for "no class"
    for (; !table.IsEOF() && m_count < kClassCount; table.MoveNext()) {
        ClassEntry& entry = m_entries[++m_count];
        entry.id = table.m_KlasseID;
        entry.name = table.m_Name;
        entry.von = table.m_von;
        entry.bis = table.m_bis;
        entry.geschlecht = table.m_Geschlecht;
    }
    return true;
}

const ClassEntry& CKlassenTabelle::Entry(int index) const
{
    static const ClassEntry none;
    return index >= 1 && index <= m_count ? m_entries[index] : none;
}

} // namespace torvm
