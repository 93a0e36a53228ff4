#pragma once

#include <QStringList>
#include <QTextStream>

namespace torvm {

// torvm-cli demo FILE [--seed N]
int cmdDemo(const QStringList& args, QTextStream& out, QTextStream& err);
// torvm-cli export-text FILE OUT [--round N] [--outputs LIST] [--plans LIST] [--groups LIST]
//   [--ergebnis 0|1] [--tabelle 0|1] [--platz N] [--klasse 0|1|2] [--sort 0|1]
int cmdExportText(const QStringList& args, QTextStream& out, QTextStream& err);
// torvm-cli export-xlsx FILE OUT.xlsx [the options of export-text]
int cmdExportXlsx(const QStringList& args, QTextStream& out, QTextStream& err);
// torvm-cli print-pdf FILE OUT.pdf [the options of export-text]; needs a QGuiApplication.
int cmdPrintPdf(const QStringList& args, QTextStream& out, QTextStream& err);
// torvm-cli web-export FILE DIR [--round N] [--termin 0|1] [--tabelle 0|1] [--einzel 0|1]
//   [--organiser TEXT]
int cmdWebExport(const QStringList& args, QTextStream& out, QTextStream& err);
// torvm-cli publish FILE URL [--style classic|modern] [--round N] [--password-stdin]
//   [--accept-host-key FINGERPRINT] [--key FILE]
int cmdPublish(const QStringList& args, QTextStream& out, QTextStream& err);
// torvm-cli calendar FILE OUT.ics [--group G] [--club N] [--duration MINUTES]
int cmdCalendar(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace torvm
