#pragma once

class QPushButton;
class QWidget;

namespace torvm::ui {

// Enter in field moves on to the next field as Tab does, instead of reaching the dialog, which
// would close it. Entry dialogs with long columns of numbers are typed with the keypad, where
// Enter is the key under the thumb.
void enterMovesFocus(QWidget* field);

// Enter on button presses it, and no button of the dialog becomes its default: with the focus
// in a list or another control that leaves Enter alone, Enter then does nothing at all.
void enterPresses(QPushButton* button);

} // namespace torvm::ui
