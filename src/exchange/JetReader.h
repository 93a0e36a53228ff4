#pragma once

#include <QString>
#include <QStringList>

namespace torvm {

// Reads a Jet file with the reading library in this very process and writes the frame stream of
// JetStream.h to fd. Only the reading child (torvm-cli jet-dump) calls this: a damaged file can
// hang or crash the library, which JetFile contains by running it there. Returns the exit code.
int dumpJetFile(const QString& path, const QStringList& tables, int fd);

} // namespace torvm
