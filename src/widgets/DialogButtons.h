#pragma once

class QBoxLayout;
class QDialog;
class QLineEdit;
class QPushButton;
class QWidget;

namespace torvm::ui {

// A push button with an object name for tests. Enter on the button presses it, as Space does;
// it never becomes the automatic default, so Enter in a field does not press whichever button
// last had the focus.
QPushButton* makeButton(QWidget* parent, const char* text, const char* objectName);
QPushButton* addButton(QBoxLayout* row, QWidget* parent, const char* text, const char* objectName);

// A field the user cannot change looks like it: the window's colour instead of a white field.
void showReadOnly(QLineEdit* field);

// The closing row of a dialog: "OK" (the default) and "Abbrechen", right-aligned, wired to
// accept() and reject().
void addOkCancelRow(QDialog* dialog, QBoxLayout* layout);

// Whether an editor may close on Esc without saving: at once without changes; with changes only
// after "Änderungen speichern" was answered "Nein". "Ja" saves through the dialog's accept(),
// "Abbrechen" keeps it open.
bool mayDropChanges(QDialog* dialog, bool modified);

} // namespace torvm::ui
