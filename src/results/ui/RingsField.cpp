#include "results/ui/RingsField.h"

#include "db/Messages.h"
#include "results/CompetitionRules.h"
#include "widgets/Prompt.h"

#include <QLineEdit>

#include <limits>

namespace torvm::ui {

QString withoutParentheses(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('(')) && trimmed.endsWith(QLatin1Char(')')))
        return trimmed.mid(1, trimmed.size() - 2).trimmed();
    return trimmed;
}

std::optional<int> readRingsField(QWidget* dialog, QLineEdit* edit, bool tenths, int max)
{
    const QString typed = withoutParentheses(edit->text());
    QString refusal;
    if (tenths) {
        const std::optional<std::int32_t> rings = parseRings(typed, true);
        if (rings && *rings <= max)
            return *rings;
        refusal = QStringLiteral("Geben Sie bitte eine Ringzahl zwischen %1 und %2 mit höchstens einer "
                                 "Nachkommastelle ein, zum Beispiel 97,3.")
                      .arg(ringText(0, true), ringText(max, true));
    } else {
        // As every whole-number field of the program: a minus sign is a number out of range.
        bool ok = false;
        const qint64 value = typed.toLongLong(&ok);
        if (ok && value >= 0 && value <= max)
            return static_cast<int>(value);
        const bool fits = ok && value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
        refusal = fits ? QString::fromUtf8(kStrIntegerRange).arg(0).arg(max) : QString::fromUtf8(kStrIntegerOnly);
    }
    message(dialog, MessageIcon::Exclamation, refusal);
    edit->setFocus();
    edit->selectAll();
    return std::nullopt;
}

} // namespace torvm::ui
