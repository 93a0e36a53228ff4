#pragma once

#include <QString>

#include <functional>

namespace torvm {

// Texts of the string table that several layers need.
inline constexpr auto kStrFehler = "Fehler";                              // string 136
inline constexpr auto kStrNoCompetition = "Noch kein Wettkampf geöffnet"; // string 137
inline constexpr auto kStrIntegerOnly = "Geben Sie bitte eine ganze Zahl ein.";
inline constexpr auto kStrIntegerRange = "Geben Sie bitte eine ganze Zahl zwischen %1 und %2 ein.";
inline constexpr auto kStrSaveChanges = "Änderungen speichern";

enum class MessageIcon { None, Information, Exclamation, Question, Stop };

// Below the widgets nothing may open a window, yet several table operations must show a database
// error the moment it happens and then carry on. They hand the text to this sink; the desktop
// program routes it into a message box, torvm-cli to stderr, tests into a list they inspect.
using MessageHandler = std::function<void(MessageIcon, const QString&)>;

// Installs a handler and returns the previous one (so a scope can restore it).
MessageHandler setMessageHandler(MessageHandler handler);
void showMessage(MessageIcon icon, const QString& text);

// A count with its noun in the number it needs: "1 Ergebniszeile", "3 Ergebniszeilen".
QString counted(long long count, const char* one, const char* many);

// "Fehler" + ": \n" + the engine's text, the form every database failure is shown in.
QString databaseErrorText(const QString& engineText);
void showDatabaseError(const QString& engineText);

} // namespace torvm
