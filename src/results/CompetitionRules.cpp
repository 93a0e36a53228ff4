#include "results/CompetitionRules.h"

#include "db/Tables.h"
#include "document/TorvmDoc.h"

namespace torvm {

int highestSingleResult(Database* db, CTorvmDoc* doc)
{
    CProfileTable settings(db, doc);
    const int rings = settings.GetInt(QString::fromLatin1(kEntrySection), QString::fromLatin1(kHighestResultKey),
                                      kDefaultHighestResult);
    // A damaged value must neither question every result nor switch the check off unasked.
    return rings >= 0 && rings <= kMaxRings ? rings : kDefaultHighestResult;
}

bool setHighestSingleResult(Database* db, CTorvmDoc* doc, int rings)
{
    CProfileTable settings(db, doc);
    return settings.WriteInt(QString::fromLatin1(kEntrySection), QString::fromLatin1(kHighestResultKey), rings);
}

} // namespace torvm
