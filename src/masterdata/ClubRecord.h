#pragma once

#include <QString>

namespace torvm {

class CVereinTable;

// What the club editor shows of a club. [PLZ2] is not among it: the editor never touches it.
struct ClubFields {
    QString name;
    QString sortieren;
    QString empfaenger;
    QString strasse;
    QString plz;
    QString ort;
    QString land;
    int entfernung = 0;
    // [Meistbeteiligung] reduced to "was it 0": a new club and any non-zero value give false, so the
    // editor writes 1 for them and keeps a stored 0.
    bool meistbeteiligungZero = false;
};

// The club under number from an open table; a missing club (or one that cannot be read) gives
// empty fields, as for a new club.
ClubFields loadClub(CVereinTable& table, int number);

// Adds the club or edits it in place; columns the editor does not show keep their values.
bool storeClub(CVereinTable& table, int number, const ClubFields& fields);

} // namespace torvm
