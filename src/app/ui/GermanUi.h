#pragma once

class QCoreApplication;

namespace torvm::ui {

// Qt's own dialogs (files, printing, message box buttons) speak German and numbers and dates
// follow German rules, whatever language the desktop runs in. false when Qt's German
// translation is not installed; the program then runs with Qt's English texts.
bool installGermanUi(QCoreApplication& app);

} // namespace torvm::ui
