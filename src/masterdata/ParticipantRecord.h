#pragma once

#include "db/DateTime.h"

#include <QString>

namespace torvm {

class CTeilnehmerTable;

// The columns the participant editor shows. Address, registration date and bank columns are not
// among them: an edited participant keeps them, a new one starts without.
struct ParticipantFields {
    QString name;
    QString vorname;
    int anrede = 0;
    QString titel;
    QString zusatz;
    int klasse = 0;
    DateTime geburtstag;
    int verein = 0;

    // A participant without surname and first name is not worth a record of its own.
    bool hasName() const { return !name.isEmpty() || !vorname.isEmpty(); }
};

// The participant under number from an open table; false (fields untouched) when there is none.
bool loadParticipant(CTeilnehmerTable& table, int number, ParticipantFields& fields);

// Adds the participant or edits it in place.
bool storeParticipant(CTeilnehmerTable& table, int number, const ParticipantFields& fields);

// Where "<" or ">" leads from the participant shown.
struct StepTarget {
    enum class Kind {
        Unstored, // the shown participant has no record: show a new one with the next free number
        Edge,     // no participant before (<) or after (>) it
        Record    // show the participant with number
    } kind = Kind::Unstored;
    int number = 0;
};
StepTarget stepTarget(CTeilnehmerTable& table, int current, bool forward);

} // namespace torvm
