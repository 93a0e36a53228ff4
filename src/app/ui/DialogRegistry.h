#pragma once

namespace torvm::ui {

class DocumentCommands;

// Plugs every dialog that exists into the competition commands. The program does this once at
// start; tests of the shell can leave it out and see the commands disabled.
void registerDialogs(DocumentCommands& commands);

} // namespace torvm::ui
