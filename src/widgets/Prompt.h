#pragma once

#include "db/Messages.h"

#include <QString>

class QWidget;

namespace torvm::ui {

// Every message box, file dialog and beep of the program passes through here. Tests install a
// Prompter that answers in advance and records what was asked; the program shows real dialogs.
// SaveAnywayCorrect: "Trotzdem speichern" answers Yes, "Korrigieren" (the default) answers No.
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, SaveAnywayCorrect };
enum class Reply { Ok, Cancel, Yes, No };

// The program's name as every window caption carries it.
inline constexpr auto kProgramName = "Velmarik Wettkampfverwaltung";

struct FileRequest {
    enum class Kind { Open, Save, Folder } kind = Kind::Open; // Folder: an existing folder, no filter
    // Which kind of file: each kind's dialog starts in the folder last used for it.
    enum class LastFolder { None, Competitions, Exports, Imports } lastFolder = LastFolder::None;
    QString title;
    QString proposed;      // initial file name or folder; a bare name goes into the kind's last folder
    QString defaultFolder; // for a bare name while no folder of the kind is remembered yet
    QString filter;        // in the "Text (*.txt)|*.txt|Alle Dateien (*.*)|*.*||" form of the resources
    QString defaultSuffix; // appended when the user types none
    bool confirmOverwrite = true;
};

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Reply message(QWidget* parent, MessageIcon icon, const QString& text, Buttons buttons) = 0;
    // Empty string = cancelled. The request arrives with the kind's last folder already applied.
    virtual QString fileName(QWidget* parent, const FileRequest& request) = 0;
    virtual void beep() = 0;
};

// nullptr restores the real dialogs. Returns the previous prompter.
Prompter* setPrompter(Prompter* prompter);

Reply message(QWidget* parent, MessageIcon icon, const QString& text, Buttons buttons = Buttons::Ok);
QString fileName(QWidget* parent, const FileRequest& request);
// Where the dialog for request starts: its proposal, inside the last folder of its kind when the
// proposal names no folder.
QString startingPoint(const FileRequest& request);
void beep();

// "A|a|B|b||" filter strings as the resources spell them, in Qt's ";;" form.
QString qtFilter(const QString& resourceFilter);

// Routes the messages that torvm_core shows (database errors) into message boxes.
void installCoreMessageHandler();

} // namespace torvm::ui
