#pragma once

#include <QByteArray>
#include <QStringView>

namespace torvm {

// Text files for the desktop world: Windows-1252 bytes. A character the code page lacks becomes
// "?", as the system's own conversion writes it.
QByteArray toWindows1252(QStringView text);

} // namespace torvm
