#pragma once

#include "app/ui/TorvmApp.h"

namespace torvm::ui {

// "Drucken", "Seitenansicht" and "Als PDF speichern" of a competition window: the sheet
// "Ausgabe", then the print dialog, the preview or the PDF file of the chosen pages.
void printCompetition(CTorvmApp& app, CTorvmView& view, PrintMode mode);

// The chosen pages into a PDF file the user names. Nothing is left behind when writing fails.
void savePdf(CTorvmDoc& doc, QWidget* parent);

// "Speichern unter": the text file of the chosen outputs, the file asked for first.
void saveTextExport(CTorvmDoc& doc, QWidget* parent);

// Hands printing and preview of every competition window to printCompetition.
void registerPrinting(CTorvmApp& app);

} // namespace torvm::ui
