#pragma once

// Command ids of the menus, the toolbar and the accelerators. The numbers are the ones the
// program has always used, so the help pages and older notes about it stay valid.
namespace torvm::ui::cmd {

inline constexpr int Teilnehmer = 32771;
inline constexpr int Verein = 32772;
inline constexpr int Wettbewerb = 32773;
inline constexpr int Klasse = 32774;
inline constexpr int Plan = 32775;
inline constexpr int Gruppe = 32776;
inline constexpr int Ergebnis = 32777;
inline constexpr int TeilnehmerImport = 32786;
inline constexpr int WebExport = 32790;
inline constexpr int SpeichernUnter = 32793;
inline constexpr int ErgebnisImport = 32795;
inline constexpr int AlsPdfSpeichern = 32800; // added here; not one of the long-standing ids
inline constexpr int KlassenZuordnen = 32801;
inline constexpr int VereinListe = 32802;
inline constexpr int TeilnehmerListe = 32803;
inline constexpr int GruppenListe = 32804;
inline constexpr int Wertungsregeln = 32805;
inline constexpr int SicherungWiederherstellen = 32806;
inline constexpr int NeueSaison = 32807;
inline constexpr int AusstehendeErgebnisse = 32808;
inline constexpr int KalenderExport = 32820;
inline constexpr int AlsTabelleSpeichern = 32821;
inline constexpr int WebVeroeffentlichen = 32822;
inline constexpr int ErgebnisVorlage = 32830;
inline constexpr int ErgebnisseEinlesen = 32831;

inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileClose = 57602;
inline constexpr int FilePrintSetup = 57606;
inline constexpr int FilePrint = 57607;
inline constexpr int FilePrintPreview = 57609;
inline constexpr int FileMruFirst = 57616;
inline constexpr int EditCopy = 57634;
inline constexpr int EditCut = 57635;
inline constexpr int EditPaste = 57637;
inline constexpr int EditUndo = 57643;
inline constexpr int WindowNew = 57648;
inline constexpr int WindowArrange = 57649;
inline constexpr int WindowCascade = 57650;
inline constexpr int WindowTile = 57651;
inline constexpr int AppAbout = 57664;
inline constexpr int AppExit = 57665;
inline constexpr int HelpFinder = 57667;
inline constexpr int ViewToolbar = 59392;
inline constexpr int ViewStatusBar = 59393;

} // namespace torvm::ui::cmd
