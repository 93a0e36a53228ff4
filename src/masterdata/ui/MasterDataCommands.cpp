#include "masterdata/ui/MasterDataCommands.h"

#include "app/TorvmDoc.h"
#include "app/ui/Prompt.h"
#include "masterdata/ui/KlasseDlg.h"
#include "masterdata/ui/TeilnehmerDlg.h"
#include "masterdata/ui/VereinDlg.h"

namespace torvm::ui {

namespace {

template <typename Dialog> void runDialog(QWidget* parent, CTorvmDoc& doc)
{
    if (!doc.IsOpen()) {
        message(parent, MessageIcon::Exclamation, QString::fromUtf8(kStrNoCompetition));
        return;
    }
    Dialog dialog(doc, parent);
    dialog.exec();
}

} // namespace

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

} // namespace torvm::ui
