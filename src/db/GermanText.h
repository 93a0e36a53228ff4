#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace torvm {

// German order for names as German readers expect it (DIN 5007, variant 1): case is ignored, "ä",
// "ö", "ü" count as "a", "o", "u", "ß" as "ss", and any other letter with a mark as its base
// letter; only texts equal in that form are told apart by their exact characters.

// The form two texts are compared and searched in, appended to out (UTF-16 code units).
void appendGermanFolded(QStringView text, std::vector<char16_t>& out);
QString germanFolded(QStringView text);

// <0, 0, >0 as a sorts before, together with or after b.
int compareGerman(QStringView a, QStringView b);
inline bool germanLess(QStringView a, QStringView b)
{
    return compareGerman(a, b) < 0;
}

// The name of the collation every connection knows: ORDER BY "Name" COLLATE DEUTSCH.
inline constexpr auto kGermanCollation = "DEUTSCH";

// A name search as the user types it: every word of search must begin some part of name (parts
// are split at blanks and hyphens), in the German form: "weiss" finds "Weiß",
// "Bauer Mark" finds "Bauer Markus". An empty search finds every name.
bool nameMatches(QStringView name, QStringView search);

} // namespace torvm
