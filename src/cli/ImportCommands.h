#pragma once

#include <QStringList>
#include <QTextStream>

namespace torvm {

// torvm-cli import-members FILE SOURCE
int cmdImportMembers(const QStringList& args, QTextStream& out, QTextStream& err);
// torvm-cli import-results FILE SOURCE --round N
int cmdImportResults(const QStringList& args, QTextStream& out, QTextStream& err);
// torvm-cli assign-classes FILE: classes from birthday and salutation, with the counts on stdout
int cmdAssignClasses(const QStringList& args, QTextStream& out, QTextStream& err);
// torvm-cli rules FILE [--zehntel 0|1] [--gleichstand LIST] [--ersatz N] [--gruppe G --beste N]: prints the
// competition's scoring rules after storing the changes given, all in one transaction
int cmdRules(const QStringList& args, QTextStream& out, QTextStream& err);
// torvm-cli group-schedule FILE GROUP OUT
int cmdGroupSchedule(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace torvm
