#pragma once

#include "db/DateTime.h"

#include <QChar>
#include <QString>

namespace torvm {

// Which digits a masked field refuses while they are typed, so that no impossible day, month,
// hour or minute can be started. The rules look at one position and the digit typed before it.
enum class MaskRange { None, Date, Time };

// True when digit may stand at position pos of a field whose text so far is typed.
bool maskDigitAllowed(MaskRange range, int pos, QChar digit, const QString& typed);

// Date fields: "00.00.0000" with "__.__.____"; time fields: "00:00" with "__:__".
inline constexpr auto kDateMask = "00.00.0000";
inline constexpr auto kDateTemplate = "__.__.____";
inline constexpr auto kTimeMask = "00:00";
inline constexpr auto kTimeTemplate = "__:__";

// A field that must hold a value shows a missing one as these texts, and reads them back as values.
inline constexpr auto kEmptyDateText = "01.01.1998";
inline constexpr auto kEmptyTimeText = "12:00";
// A date field that may stay empty (a birthday, a class bound) shows blanks where the digits go.
inline constexpr auto kBlankDateText = "  .  .    ";

// Day.month.year of value, or the empty date text when value is not valid or is the zero of the
// serial date scale (30.12.1899 00:00).
QString dateFieldText(const DateTime& value);
// The same for a field that may stay empty: the blank date text instead of the empty date text.
QString optionalDateFieldText(const DateTime& value);
// Hours:minutes of value, or the empty time text under the same rule.
QString timeFieldText(const DateTime& value);

// The field texts read back; a text that names no calendar day or clock time gives an invalid value.
// A date text without a single digit is no date at all: a Null value.
DateTime parseDateField(const QString& text);
// A bare time lies on day zero of the serial scale (30.12.1899), as times without a date always have.
DateTime parseTimeField(const QString& text);

} // namespace torvm
