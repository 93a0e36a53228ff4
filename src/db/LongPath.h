#pragma once

#include <QByteArray>
#include <QString>

namespace torvm {

// The engine's own file layer names a file by its full path of at most 512 bytes; the system takes
// paths of up to 4095. For a file whose full path is beyond the engine's limit this gives the name
// of a file layer that hands the engine a short alias of the same file; nullptr (the engine's own)
// for every other path. Where the system itself refuses the path, *problem gets the reason in a
// German sentence.
const char* engineFileLayerFor(const QByteArray& native, QString* problem);

} // namespace torvm
