#include "masterdata/ClassAssignment.h"

#include "db/Backup.h"
#include "db/Tables.h"
#include "document/TorvmDoc.h"

namespace torvm {

namespace {

bool genderFits(int geschlecht, int anrede)
{
    switch (geschlecht) {
    case 0:
        return true;
    case 1:
        return anrede == 1;
    case 2:
        return anrede == 2;
    default:
        return false; // typed text instead of a list entry: no division the program can check
    }
}

} // namespace

int assignedClass(const CKlassenTabelle& classes, const ClassCandidate& who)
{
    if (!who.birthday.isValid())
        return who.klasse;
    for (int k = 1; k <= classes.Count(); ++k) {
        const QDate von = classes.Von(k).date();
        const QDate bis = classes.Bis(k).date();
        if (von.isValid() && bis.isValid() && von <= who.birthday && who.birthday <= bis &&
            genderFits(classes.Geschlecht(k), who.anrede))
            return k;
    }
    return who.klasse;
}

QString ClassAssignment::summary() const
{
    if (moves.empty())
        return QStringLiteral("Keine Teilnehmer wechseln die Klasse.");
    QStringList lines;
    for (const auto& [klasse, count] : moves) {
        const QString name =
            classes.Name(klasse).isEmpty() ? QStringLiteral("Klasse %1").arg(klasse) : classes.Name(klasse);
        lines << QStringLiteral("%1 Teilnehmer in %2").arg(count).arg(name);
    }
    return lines.join(QLatin1Char('\n'));
}

std::optional<ClassAssignment> planClassAssignment(CTorvmDoc& doc, QString* error)
{
    ClassAssignment plan;
    if (!plan.classes.Load(doc))
        return std::nullopt; // shown by the class table
    CRSTeilnehmer people(doc.GetDatabase(), &doc);
    if (!people.Select(nullptr, {}, R"("Paßnummer")")) {
        *error = people.GetLastError().text;
        return std::nullopt;
    }
    for (; !people.IsEOF(); people.MoveNext()) {
        const ClassCandidate who{people.m_Geburtstag.date(), people.m_Anrede, people.m_Klasse};
        const int klasse = assignedClass(plan.classes, who);
        if (klasse == people.m_Klasse)
            continue;
        plan.changes.emplace_back(people.m_Passnummer, klasse);
        ++plan.moves[klasse];
    }
    return plan;
}

bool applyClassAssignment(CTorvmDoc& doc, const ClassAssignment& assignment, QString* error)
{
    if (doc.GetDatabase() && !assignment.changes.empty() && !backupBeforeChange(*doc.GetDatabase(), error))
        return false;
    CTeilnehmerTable people(doc.GetDatabase(), &doc);
    if (people.SaveClasses(assignment.changes))
        return true;
    *error = doc.GetDatabase() ? doc.GetDatabase()->lastError().text : QString();
    return false;
}

} // namespace torvm
