#pragma once

#include "db/DateTime.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

class QIODevice;

namespace torvm {

class CTorvmDoc;
class Database;

// A team of a pairing still waiting for its result, with the captain to call.
struct MissingSide {
    QString team;
    QString captain;
    QString phone;
};

// A pairing whose round lies before the reference date and that has no result yet: no shooter row
// with rings and no side marked as not appeared.
struct MissingPairing {
    int group = 0; // 0-based
    QString groupName;
    int round = 0; // 0-based
    DateTime date;
    MissingSide a, b;
    int pairing = 0; // 0-based position in the round's plan row, as the result entry counts it
};

// A group's name, or "Gruppe N" (group 0-based) for a group without one.
QString groupTitle(int group, const QString& name);

// Every missing result of the competition, by group, round and pairing; none (error says why) on a
// database error.
std::optional<std::vector<MissingPairing>> missingResults(Database* db, CTorvmDoc* doc, const QDate& reference,
                                                          QString* error);

// The list as lines of text, a heading per group; what the window shows, copies and prints and what
// torvm-cli missing writes.
QString missingResultsText(const std::vector<MissingPairing>& missing, const QDate& reference);

} // namespace torvm
