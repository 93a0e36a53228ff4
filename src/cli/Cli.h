#pragma once

#include <QStringList>
#include <QTextStream>

namespace torvm {

// torvm-cli: exit 0 on success, 1 on wrong usage, 2 on a file or database error (the German text
// of the matching dialog message on err).
enum CliExit { kCliOk = 0, kCliUsage = 1, kCliFileError = 2 };

// args without the program name.
int runCli(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace torvm
