#pragma once

#include "app/ui/TorvmApp.h"

namespace torvm::ui {

// "Drucken" and "Seitenansicht" of a competition window: the sheet "Ausgabe", then the print
// dialog or the preview of the chosen pages.
void printCompetition(CTorvmApp& app, CTorvmView& view, PrintMode mode);

// Hands printing and preview of every competition window to printCompetition.
void registerPrinting(CTorvmApp& app);

} // namespace torvm::ui
