#pragma once

class QPrinter;
class QWidget;

namespace torvm {
class CTorvmDoc;
class PrintJob;
} // namespace torvm

namespace torvm::ui {

enum class PrintMode { Print, Preview, Pdf };

// "Drucken", "Seitenansicht" and "Als PDF speichern" of a competition window: the sheet
// "Ausgabe", then the print dialog, the preview or the PDF file of the chosen pages on printer.
void printCompetition(QPrinter& printer, CTorvmDoc& doc, QWidget* parent, PrintMode mode);

// The print dialog for the pages of job, then the pages chosen there, with a way to stop between them.
void printJob(QPrinter& printer, const CTorvmDoc& doc, const PrintJob& job, QWidget* parent);

// The save commands ask for the outputs first and the file after, so a cancelled file dialog
// is the only step repeated. A file written completely is announced to the main window
// (reportOutputWritten); nothing is left behind when writing fails.

// The chosen pages into a PDF file the user names.
void savePdf(CTorvmDoc& doc, QWidget* parent);

// "Speichern unter": the text file of the chosen outputs in the character set chosen on the sheet.
void saveTextExport(CTorvmDoc& doc, QWidget* parent);

// "Als Tabelle speichern": the chosen outputs as worksheets of a spreadsheet file (xlsx).
void saveSpreadsheet(CTorvmDoc& doc, QWidget* parent);

} // namespace torvm::ui
