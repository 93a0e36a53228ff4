#pragma once

class QPrinter;
class QWidget;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

enum class PrintMode { Print, Preview, Pdf };

// "Drucken", "Seitenansicht" and "Als PDF speichern" of a competition window: the sheet
// "Ausgabe", then the print dialog, the preview or the PDF file of the chosen pages on printer.
void printCompetition(QPrinter& printer, CTorvmDoc& doc, QWidget* parent, PrintMode mode);

// The chosen pages into a PDF file the user names. Nothing is left behind when writing fails.
void savePdf(CTorvmDoc& doc, QWidget* parent);

// "Speichern unter": the text file of the chosen outputs, the file asked for first.
void saveTextExport(CTorvmDoc& doc, QWidget* parent);

} // namespace torvm::ui
