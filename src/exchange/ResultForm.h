#pragma once

#include "results/PairingEntry.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class QIODevice;

namespace torvm {

class Database;

// The result form the official sends to the clubs and reads back filled in: a CSV file with one
// line per shooter row of every pairing of a round.

// Writes the form of round (0-based) for the given groups (0-based ids; empty: every group) into
// out: UTF-8 with byte order mark, ";" between the fields, pre-filled with each team's line-up of
// its latest round that has one, rings empty. false (the German reason in *error) when out refuses.
bool writeResultForm(Database& db, QIODevice& out, int round, const std::vector<int>& groups, QString* error);

// One pairing of a filled-in form, as it would be stored.
struct FormPairing {
    int group = 0; // 0-based ids and positions
    int round = 0;
    int pairing = 0;
    QString groupName;
    std::array<PairingSide, 2> sides;
    std::array<std::int64_t, 2> totals{}; // the counted totals, as the entry shows them
    QStringList warnings;                 // what the entry would question, in German
};

struct FormReading {
    bool ok = false; // false: error says why; nothing can be stored
    QString error;
    bool tenths = false; // the competition scores tenths
    // Every pairing with at least one ring value in the file, in the order of its first line.
    std::vector<FormPairing> pairings;
};

// Reads a filled-in form: headings in any order, ";", "," or tab, UTF-8 or Windows-1252, rings as
// "97", "97,3" or "97.3". Pairings whose lines carry no rings are left alone. Any malformed line
// refuses the whole file, its line number named.
FormReading readResultForm(Database& db, const QByteArray& bytes);
// As above from a file; files beyond kMaxFormBytes are refused before they are read.
FormReading readResultFormFile(Database& db, const QString& path);
inline constexpr qint64 kMaxFormBytes = 16 * 1024 * 1024;

// Stores the shooter rows of the pairings in one transaction, after a backup; all or nothing.
bool storeResultForm(Database& db, const std::vector<FormPairing>& pairings, QString* error);

} // namespace torvm
