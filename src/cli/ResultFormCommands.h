#pragma once

#include <QStringList>
#include <QTextStream>

namespace torvm {

// torvm-cli result-form FILE OUT.csv --round N [--groups LIST]
int cmdResultForm(const QStringList& args, QTextStream& out, QTextStream& err);
// torvm-cli import-csv FILE IN.csv [--trotzdem]: stores only when no warning remains or --trotzdem
// is given; exit code 2 on refusal
int cmdImportCsv(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace torvm
