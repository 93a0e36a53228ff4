#pragma once

#include <QByteArray>
#include <QStringList>
#include <QStringView>

namespace torvm {

// Text files for the desktop world: Windows-1252 bytes. A character the code page lacks becomes
// "?", as the system's own conversion writes it.
QByteArray toWindows1252(QStringView text);

// Windows-1252 bytes as text; the five bytes the code page leaves undefined stand for themselves.
QString fromWindows1252(QByteArrayView bytes);

// The words of text (split at blanks and line ends) holding a character the code page lacks, each
// once, in the order they first appear: what a reader should be told would lose characters.
QStringList wordsOutsideWindows1252(QStringView text);

} // namespace torvm
