#pragma once

class QWidget;

namespace torvm {
class CTorvmDoc;
}

namespace torvm::ui {

// The competition window's master-data commands "Teilnehmer", "Verein" and "Klasse". Without an
// open competition each shows "Noch kein Wettkampf geöffnet" instead.
void runTeilnehmerCommand(QWidget* parent, CTorvmDoc& doc);
void runVereinCommand(QWidget* parent, CTorvmDoc& doc);
void runKlasseCommand(QWidget* parent, CTorvmDoc& doc);
// "Klassen zuordnen": every participant gets the class that birthday and salutation give; the
// moves are shown and confirmed before anything is written.
void runKlassenZuordnenCommand(QWidget* parent, CTorvmDoc& doc);

} // namespace torvm::ui
