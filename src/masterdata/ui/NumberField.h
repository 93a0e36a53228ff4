#pragma once

#include <QtGlobal>

#include <optional>

class QLineEdit;
class QWidget;

namespace torvm::ui {

// The whole number typed into edit, or nothing after the standard message for text that is no
// whole number or lies outside min ... max; the edit then has the focus with its text selected.
std::optional<int> readNumberField(QWidget* dialog, QLineEdit* edit, qint64 min, qint64 max);

} // namespace torvm::ui
