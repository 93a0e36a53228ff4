#include "app/ui/DialogRegistry.h"

#include "app/ui/CommandIds.h"
#include "app/ui/DocumentCommands.h"
#include "fixtures/ui/PlanAuswahlDlg.h"

namespace torvm::ui {

void registerDialogs(DocumentCommands& commands)
{
    commands.setOpener(cmd::Plan, [](CTorvmDoc& doc, QWidget* parent) { runPlanCommand(parent, doc); });
}

} // namespace torvm::ui
