#pragma once

#include "masterdata/KlassenTabelle.h"

#include <QDate>
#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace torvm {

// What a participant's class is decided from.
struct ClassCandidate {
    QDate birthday; // invalid: none known
    int anrede = 0; // 1 = "Herr" (male), 2 = "Frau" (female), else unknown
    int klasse = 0; // the class held now
};

// The first class in class order whose "von" ... "bis" holds the birthday and whose gender fits
// ("ohne Unterteilung" fits everybody, "männlich" only "Herr", "weiblich" only "Frau"); the
// class held now when there is no birthday or no class fits.
int assignedClass(const CKlassenTabelle& classes, const ClassCandidate& who);

// The participants whose class changes, and how many move into each class.
struct ClassAssignment {
    std::vector<std::pair<std::int32_t, int>> changes; // [Paßnummer], new class position
    std::map<int, int> moves;                          // class position -> participants moving there
    CKlassenTabelle classes;

    // "12 Teilnehmer in Schützenklasse" per class, one a line; a line of its own when none move.
    QString summary() const;
};

// Reads classes and participants; none on a database error, with its text in *error unless it
// has been shown already (*error then empty).
std::optional<ClassAssignment> planClassAssignment(CTorvmDoc& doc, QString* error);
// Writes the changes in one transaction: all or nothing. false with the engine's text in *error.
bool applyClassAssignment(CTorvmDoc& doc, const ClassAssignment& assignment, QString* error);

} // namespace torvm
