#pragma once

class QWidget;

namespace torvm::ui {

// Enter in field moves on to the next field as Tab does, instead of reaching the dialog, which
// would close it. Entry dialogs with long columns of numbers are typed with the keypad, where
// Enter is the key under the thumb.
void enterMovesFocus(QWidget* field);

} // namespace torvm::ui
