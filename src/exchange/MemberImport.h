#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace torvm {

class Database;

// Feedback for a long import: progress after each stored member, and a cancel request that is
// asked before each row and, while an Access file is read, every few hundred rows read (so a
// caller that dispatches window events in it keeps its window alive). Both may be empty.
struct MemberImportProgress {
    std::function<void(int membersStored, std::int32_t passNumber)> report;
    std::function<bool()> cancelled;
};

struct MemberImportOptions {
    // Take over the readable rows of a damaged source; otherwise it imports nothing.
    bool skipUnreadable = false;
};

struct MemberImportResult {
    bool ok = false;        // false: error holds the text to show after "Fehler: \n"
    bool cancelled = false; // stopped on request; what was stored before stays stored
    bool damaged = false;   // refused for unreadable rows; skipUnreadable would take the rest
    int members = 0;        // member rows stored (a member with two stored rows counts twice)
    int clubs = 0;          // clubs whose name was stored
    int badPassNumbers = 0; // rows skipped: pass number missing, not whole or outside 1 ... 2^31-1
    int unreadableRows = 0; // rows the reader could not decode (skipped, or the reason for refusing)
    QString error;
    // "… übernommen. Übersprungen: …", for the end of every import.
    QString summary() const;
};

// Takes shooters and their clubs over from the association's membership database (an Access
// file, or a SQLite file with the same two tables) into the competition db under their own
// numbers. Existing participants keep their class; existing clubs get only their name replaced.
// Writes are committed in batches, so a cancel or an error keeps everything stored before it.
MemberImportResult importMembers(Database& db, const QString& sourcePath, const MemberImportProgress& progress = {},
                                 const MemberImportOptions& options = {});

} // namespace torvm
