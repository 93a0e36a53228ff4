#include "app/ui/DialogRegistry.h"

#include "app/ui/DocumentCommands.h"
#include "app/ui/TorvmApp.h"
#include "app/ui/TorvmView.h"
#include "exchange/ui/ErgImportDlg.h"
#include "exchange/ui/ErgebnisDateiDlg.h"
#include "exchange/ui/KalenderDlg.h"
#include "exchange/ui/PublishDlg.h"
#include "exchange/ui/TeilnehmerImport.h"
#include "exchange/ui/WebDlg.h"
#include "fixtures/ui/GruppeDlg.h"
#include "fixtures/ui/GruppenListeDlg.h"
#include "fixtures/ui/PlanAuswahlDlg.h"
#include "masterdata/ui/ListenDlg.h"
#include "masterdata/ui/MasterDataCommands.h"
#include "masterdata/ui/WettbewerbDlg.h"
#include "output/ui/AusstehendDlg.h"
#include "output/ui/PrintCommands.h"
#include "results/ui/RegelnDlg.h"
#include "results/ui/WettkampfDlg.h"
#include "widgets/CommandIds.h"

namespace torvm::ui {

void registerDialogs(DocumentCommands& commands)
{
    commands.setOpener(cmd::Plan, [](CTorvmDoc& doc, QWidget* parent) { runPlanCommand(parent, doc); });
    commands.setOpener(cmd::Teilnehmer, [](CTorvmDoc& doc, QWidget* parent) { runTeilnehmerCommand(parent, doc); });
    commands.setOpener(cmd::Verein, [](CTorvmDoc& doc, QWidget* parent) { runVereinCommand(parent, doc); });
    // The class division has always run without the open check; its dialog checks by itself, so
    // it no longer reaches for a file that is not there.
    commands.setOpener(cmd::Klasse, [](CTorvmDoc& doc, QWidget* parent) { runKlasseCommand(parent, doc); });
    commands.setOpener(cmd::Gruppe, [](CTorvmDoc& doc, QWidget* parent) { runGruppeCommand(parent, doc); });
    commands.setOpener(cmd::Ergebnis, [](CTorvmDoc& doc, QWidget* parent) { runErgebnisCommand(parent, doc); });
    commands.setPairingOpener(
        [](CTorvmDoc& doc, QWidget* parent, const EntryPosition& at) { runErgebnisCommand(parent, doc, at); });
    commands.setOpener(cmd::Wettbewerb, [](CTorvmDoc& doc, QWidget* parent) { runWettbewerbCommand(parent, doc); });
    commands.setOpener(cmd::Wertungsregeln, [](CTorvmDoc& doc, QWidget* parent) { runRegelnCommand(parent, doc); });
    commands.setOpener(cmd::AusstehendeErgebnisse,
                       [](CTorvmDoc& doc, QWidget* parent) { runAusstehendCommand(parent, doc); });
    commands.setOpener(cmd::SpeichernUnter, [](CTorvmDoc& doc, QWidget* parent) { saveTextExport(doc, parent); });
    commands.setOpener(cmd::AlsTabelleSpeichern, [](CTorvmDoc& doc, QWidget* parent) { saveSpreadsheet(doc, parent); });
    commands.setOpener(cmd::WebExport, [](CTorvmDoc& doc, QWidget* parent) { runWebExport(parent, doc); });
    commands.setOpener(cmd::WebVeroeffentlichen, [](CTorvmDoc& doc, QWidget* parent) { runPublish(parent, doc); });
    commands.setOpener(cmd::KalenderExport, [](CTorvmDoc& doc, QWidget* parent) { runCalendarExport(parent, doc); });
    commands.setOpener(cmd::TeilnehmerImport,
                       [](CTorvmDoc& doc, QWidget* parent) { runTeilnehmerImport(parent, doc); });
    commands.setOpener(cmd::ErgebnisImport, [](CTorvmDoc& doc, QWidget* parent) { runErgebnisImport(parent, doc); });
    commands.setOpener(cmd::ErgebnisVorlage, [](CTorvmDoc& doc, QWidget* parent) { runResultFormExport(parent, doc); });
    commands.setOpener(cmd::ErgebnisseEinlesen,
                       [](CTorvmDoc& doc, QWidget* parent) { runResultFormImport(parent, doc); });
    commands.setOpener(cmd::KlassenZuordnen,
                       [](CTorvmDoc& doc, QWidget* parent) { runKlassenZuordnenCommand(parent, doc); });
    commands.setOpener(cmd::VereinListe,
                       [](CTorvmDoc& doc, QWidget* parent) { runListCommand(parent, doc, MasterList::Clubs); });
    commands.setOpener(cmd::TeilnehmerListe,
                       [](CTorvmDoc& doc, QWidget* parent) { runListCommand(parent, doc, MasterList::Participants); });
    commands.setOpener(cmd::GruppenListe, [](CTorvmDoc& doc, QWidget* parent) { runGruppenListeCommand(parent, doc); });
}

void registerPrinting(CTorvmApp& app)
{
    app.setPrintHandler([&app](CTorvmView& view, PrintMode mode) {
        if (CTorvmDoc* doc = view.GetDocument())
            printCompetition(app.printer(), *doc, &view, mode);
    });
}

} // namespace torvm::ui
