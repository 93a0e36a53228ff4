#include "masterdata/ParticipantRecord.h"

#include "db/Tables.h"

namespace torvm {

bool loadParticipant(CTeilnehmerTable& table, int number, ParticipantFields& fields)
{
    if (table.SelectParticipant(number))
        return false;
    fields.name = table.m_Name;
    fields.vorname = table.m_Vorname;
    fields.anrede = table.m_Anrede;
    fields.titel = table.m_Titel;
    fields.zusatz = table.m_Zusatz;
    fields.klasse = table.m_Klasse;
    fields.geburtstag = table.m_Geburtstag;
    // A member imported without a club holds Null there.
    fields.verein = table.NumberOrNone(table.m_Verein);
    return true;
}

bool storeParticipant(CTeilnehmerTable& table, int number, const ParticipantFields& fields)
{
    if (!table.Select(R"("Paßnummer" = ?)", {std::int64_t{number}}))
        return false;
    if (table.IsEOF())
        table.AddNew();
    else
        table.Edit();
    table.m_Passnummer = number;
    table.m_Name = fields.name;
    table.m_Vorname = fields.vorname;
    table.m_Anrede = fields.anrede;
    table.m_Titel = fields.titel;
    table.m_Zusatz = fields.zusatz;
    table.m_Klasse = fields.klasse;
    table.m_Geburtstag = fields.geburtstag;
    table.SetNumberOrNone(table.m_Verein, fields.verein);
    return table.Update();
}

StepTarget stepTarget(CTeilnehmerTable& table, int current, bool forward)
{
    if (current == 0 || table.SelectParticipant(current))
        return {StepTarget::Kind::Unstored, 0};
    const std::optional<int> next = table.NeighbourPassNumber(current, forward);
    if (!next)
        return {StepTarget::Kind::Edge, 0};
    return {StepTarget::Kind::Record, *next};
}

} // namespace torvm
