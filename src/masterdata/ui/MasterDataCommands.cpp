#include "masterdata/ui/MasterDataCommands.h"

#include "masterdata/ClassAssignment.h"
#include "masterdata/ui/KlasseDlg.h"
#include "masterdata/ui/TeilnehmerDlg.h"
#include "masterdata/ui/VereinDlg.h"
#include "widgets/RunDialog.h"
#include "widgets/WaitCursor.h"

namespace torvm::ui {

void runTeilnehmerCommand(QWidget* parent, CTorvmDoc& doc)
{
    runDialog<CTeilnehmerNrDlg>(parent, doc);
}

void runVereinCommand(QWidget* parent, CTorvmDoc& doc)
{
    runDialog<CVereinNrDlg>(parent, doc);
}

void runKlasseCommand(QWidget* parent, CTorvmDoc& doc)
{
    runDialog<CKlasseDlg>(parent, doc);
}

void runKlassenZuordnenCommand(QWidget* parent, CTorvmDoc& doc)
{
    if (!doc.IsOpen()) {
        message(parent, MessageIcon::Exclamation, QString::fromUtf8(kStrNoCompetition));
        return;
    }
    QString error;
    std::optional<ClassAssignment> plan;
    {
        WaitCursor wait;
        plan = planClassAssignment(doc, &error);
    }
    if (!plan) {
        if (!error.isEmpty())
            message(parent, MessageIcon::Exclamation, databaseErrorText(error));
        return;
    }
    if (plan->changes.empty()) {
        message(parent, MessageIcon::Information, plan->summary());
        return;
    }
    const QString question = QStringLiteral("Nach Geburtstag und Anrede wechseln die Klasse:\n\n%1\n\n"
                                            "Teilnehmer ohne Geburtstag oder ohne passende Klasse behalten "
                                            "ihre Klasse. Jetzt zuordnen?")
                                 .arg(plan->summary());
    if (message(parent, MessageIcon::Question, question, Buttons::YesNo) != Reply::Yes)
        return;
    bool written = false;
    {
        WaitCursor wait;
        written = applyClassAssignment(doc, *plan, &error);
    }
    if (!written) {
        message(parent, MessageIcon::Exclamation, databaseErrorText(error));
        return;
    }
    message(parent, MessageIcon::Information,
            QStringLiteral("Die Klassen wurden zugeordnet:\n\n%1").arg(plan->summary()));
}

} // namespace torvm::ui
