#pragma once

#include "db/DateTime.h"

#include <QString>

#include <array>

namespace torvm {

class CTorvmDoc;

inline constexpr int kClassCount = 20; // classes 1 ... 20; index 0 stands for "no class"

// One class as the outputs print it.
struct ClassEntry {
    int id = 0; // [KlasseID]
    QString name;
    DateTime von;
    DateTime bis;
    int geschlecht = 0;
};

// The class definitions as the lists and the ranking read them. A participant's or group's
// [Klasse] is a position in the [KlasseID] order, so the first record (no class) is skipped and the
// next 20 records become classes 1 to 20, whatever their [KlasseID] values are.
class CKlassenTabelle {
public:
    // Reads the table afresh; a database error is shown and leaves the classes read so far.
    bool Load(CTorvmDoc& doc);

    // Index 0 and indexes without a record give an empty entry.
    const ClassEntry& Entry(int index) const;
    QString Name(int index) const { return Entry(index).name; }
    DateTime Von(int index) const { return Entry(index).von; }
    DateTime Bis(int index) const { return Entry(index).bis; }
    int Geschlecht(int index) const { return Entry(index).geschlecht; }
    int Count() const { return m_count; } // classes read (0 ... 20)

private:
    std::array<ClassEntry, kClassCount + 1> m_entries{};
    int m_count = 0;
};

} // namespace torvm
