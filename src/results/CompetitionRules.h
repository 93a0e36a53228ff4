#pragma once

namespace torvm {

class CTorvmDoc;
class Database;

// The competition's scoring rules, kept in its settings table so that a file carries its league's
// rules to every computer it is opened on.

// The bound of every ring field of the entry.
inline constexpr int kMaxRings = 10000;

// The competition's highest single result: rings above it are questioned when a pairing is saved.
// 0 turns the check off.
inline constexpr auto kEntrySection = "Ergebnis";
inline constexpr auto kHighestResultKey = "HoechstesEinzelergebnis";
inline constexpr int kDefaultHighestResult = 400;
int highestSingleResult(Database* db, CTorvmDoc* doc);
bool setHighestSingleResult(Database* db, CTorvmDoc* doc, int rings);

} // namespace torvm
