#pragma once

namespace torvm::ui {

class CTorvmApp;
class DocumentCommands;

// Plugs every dialog that exists into the competition commands. The program does this once at
// start; tests of the shell can leave it out and see the commands disabled.
void registerDialogs(DocumentCommands& commands);

// Hands printing, preview and the PDF file of every competition window to the output sheet.
void registerPrinting(CTorvmApp& app);

} // namespace torvm::ui
