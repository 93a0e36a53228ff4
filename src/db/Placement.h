#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

namespace torvm {

// Where a window opens, from its stored rectangle (or none) and the screen size. Pure functions,
// so the rules are tested without a screen.
struct StoredRect {
    std::optional<int> x, y, xend, yend;
};

// Fixed-size dialogs: stored top-left, default 200 pixels up-left of the screen centre, kept
// fully on the screen (flush with the right and bottom edges when it would stick out).
QPoint fixedDialogPosition(const QSize& screen, const QSize& dialog, const StoredRect& stored);
// Dialogs whose size the caller sets: default centred; one pixel inside when sticking out.
QRect sizedDialogGeometry(const QSize& screen, const QSize& wanted, const StoredRect& stored);
// The main window: default 640 x 440 centred; right and bottom cut to the screen.
QRect mainWindowGeometry(const QSize& screen, const StoredRect& stored);
// The main window of a first start, before anything is stored: four fifths of the screen's
// available area (without panels and docks) each way, centred in it.
QRect firstStartGeometry(const QRect& available);
bool isEmpty(const StoredRect& stored);

// Reads "x", "y", "xend", "yend" of a settings section.
StoredRect loadStoredRect(const QString& section);
// Writes a window rectangle (left, top, right, bottom) under section.
void storeRect(const QString& section, const QRect& frame);

} // namespace torvm
