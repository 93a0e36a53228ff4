#include "masterdata/ui/MasterDataCommands.h"

#include "masterdata/ui/KlasseDlg.h"
#include "masterdata/ui/TeilnehmerDlg.h"
#include "masterdata/ui/VereinDlg.h"
#include "widgets/RunDialog.h"

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

} // namespace torvm::ui
