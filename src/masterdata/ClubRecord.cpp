#include "masterdata/ClubRecord.h"

#include "db/Tables.h"

namespace torvm {

ClubFields loadClub(CVereinTable& table, int number)
{
    if (table.SelectClub(number))
        return {};
    ClubFields fields;
    fields.name = table.m_Name;
    fields.sortieren = table.m_Sortieren;
    fields.empfaenger = table.m_Empfaenger;
    fields.strasse = table.m_Strasse;
    fields.plz = table.m_PLZ;
    fields.ort = table.m_Ort;
    fields.land = table.m_Land;
    // A Null distance would show as its marker; nobody entered it, so it shows as no distance.
    fields.entfernung = table.IsFieldNull(&table.m_Entfernung) ? 0 : table.m_Entfernung;
    fields.meistbeteiligungZero = table.m_Meistbeteiligung == 0;
    return fields;
}

bool storeClub(CVereinTable& table, int number, const ClubFields& fields)
{
    if (!table.Select(R"("Vereinsnummer" = ?)", {std::int64_t{number}}))
        return false;
    if (table.IsEOF())
        table.AddNew();
    else
        table.Edit();
    table.m_Vereinsnummer = number;
    table.m_Name = fields.name;
    table.m_Sortieren = fields.sortieren;
    table.m_Empfaenger = fields.empfaenger;
    table.m_Strasse = fields.strasse;
    table.m_PLZ = fields.plz;
    table.m_Ort = fields.ort;
    table.m_Land = fields.land;
    table.m_Entfernung = fields.entfernung;
    table.m_Meistbeteiligung = fields.meistbeteiligungZero ? 0 : 1;
    return table.Update();
}

} // namespace torvm
