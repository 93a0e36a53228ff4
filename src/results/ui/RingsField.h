#pragma once

#include <QString>

#include <optional>

class QLineEdit;
class QWidget;

namespace torvm::ui {

// A result shown in parentheses does not count for its team; the parentheses are no part of
// what is typed.
QString withoutParentheses(const QString& text);

// The rings typed into edit as stored (whole rings "973"; with tenths "97,3", "97.3" or "97" for
// 97,0), between 0 and max; nothing after the message for text that is no such value (whole rings
// get the standard messages), the edit then has the focus with its text selected.
std::optional<int> readRingsField(QWidget* dialog, QLineEdit* edit, bool tenths, int max);

} // namespace torvm::ui
