#include "masterdata/ui/NumberField.h"

#include "widgets/Prompt.h"

#include <QLineEdit>

#include <limits>

namespace torvm::ui {

std::optional<int> readNumberField(QWidget* dialog, QLineEdit* edit, qint64 min, qint64 max)
{
    bool ok = false;
    const qint64 value = edit->text().trimmed().toLongLong(&ok);
    const bool fitsInt = ok && value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
    QString refusal;
    if (!fitsInt)
        refusal = QString::fromUtf8(kStrIntegerOnly);
    else if (value < min || value > max)
        refusal = QString::fromUtf8(kStrIntegerRange).arg(min).arg(max);
    if (refusal.isEmpty())
        return static_cast<int>(value);
    message(dialog, MessageIcon::Exclamation, refusal);
    edit->setFocus();
    edit->selectAll();
    return std::nullopt;
}

} // namespace torvm::ui
