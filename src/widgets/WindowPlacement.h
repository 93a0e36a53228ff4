#pragma once

#include <QString>

class QDialog;
class QScrollArea;
class QWidget;

namespace torvm::ui {

// The three placement rules applied to real windows, and the store on close. Every dialog with a
// stored position calls one place...() when it opens and storeWindowRect() when it closes
// (also after "Abbrechen").
// A size the user gave the dialog is restored, never below what its fields need.
void placeFixedDialog(QWidget* window, const QString& section);
// The width of a dialog that scrolls its content up and down: wanted, or wider when the system's
// font makes the content wider, so nothing is ever cut off at the side.
int scrollDialogWidth(const QScrollArea* scroll, int wanted);
// The height of such a dialog that shows its whole content, or as much as fits on the screen
// (nine tenths of its free height): computed from the fonts, so it holds at any text size.
int scrollDialogHeight(const QScrollArea* scroll);
// A size the user gave the dialog before wins over width and height, as long as it fits.
void placeSizedDialog(QWidget* window, const QString& section, int width, int height);
void placeMainWindow(QWidget* window, const QString& section);
void storeWindowRect(const QWidget* window, const QString& section);
// Stores the dialog's rectangle whenever it finishes, with "OK" as well as "Abbrechen" or Escape.
void storeRectOnFinish(QDialog* dialog, const QString& section);

} // namespace torvm::ui
