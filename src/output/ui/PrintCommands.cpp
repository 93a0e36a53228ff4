#include "output/ui/PrintCommands.h"

#include "db/SafeFile.h"
#include "document/TorvmDoc.h"
#include "exchange/Spreadsheet.h"
#include "output/PrintJob.h"
#include "output/TextExport.h"
#include "output/Windows1252.h"
#include "output/ui/AusgabeSheet.h"
#include "widgets/OutputNotifier.h"
#include "widgets/Prompt.h"
#include "widgets/WaitCursor.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>

#include <algorithm>
#include <array>

namespace torvm::ui {

namespace {

// Pages from ... to of the job on the printer; the progress window lets the user stop between
// pages.
void printPages(const PrintJob& job, QPrinter& printer, int from, int to, QWidget* parent, bool showProgress)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const PrintFonts fonts(printer);
    const QRect page(0, 0, printer.width(), printer.height());
    std::unique_ptr<QProgressDialog> progress;
    if (showProgress) {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("Drucken ..."), QStringLiteral("Abbrechen"),
                                                     from - 1, to, parent);
        progress->setWindowModality(Qt::WindowModal);
    }
    for (int n = from; n <= to; ++n) {
        if (progress) {
            progress->setValue(n - 1);
            if (progress->wasCanceled()) {
                printer.abort();
                return;
            }
        }
        if (n > from)
            printer.newPage();
        job.paintPage(painter, fonts, page, n);
    }
    painter.end();
}

// Beside the competition file, with its name.
QString proposedName(const CTorvmDoc& doc, const QString& suffix)
{
    const QFileInfo file(doc.path());
    return file.completeBaseName().isEmpty() ? QString() : safeFileName(file.completeBaseName()) + suffix;
}

// Writes the file through `write` and replaces the old one only when everything went well.
// false after a failure, which has been shown.
bool writeFile(QWidget* parent, const QString& path, const std::function<bool(QIODevice&)>& write)
{
    QString error;
    bool ok = false;
    {
        const WaitCursor wait;
        ok = writeFileSafely(path, write, &error);
    }
    if (!ok)
        message(parent, MessageIcon::Exclamation, error);
    return ok;
}

// The save dialog for an output file of `kind` ("PDF", "Text" or "Excel"), proposed beside the
// competition.
QString askSavePath(CTorvmDoc& doc, QWidget* parent, const QString& title, const QString& kind)
{
    const QString suffix = kind == QLatin1String("PDF")     ? QStringLiteral("pdf")
                           : kind == QLatin1String("Excel") ? QStringLiteral("xlsx")
                                                            : QStringLiteral("txt");
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.title = title;
    request.lastFolder = FileRequest::LastFolder::Exports;
    request.proposed = proposedName(doc, QLatin1Char('.') + suffix);
    request.defaultFolder = QFileInfo(doc.path()).absolutePath();
    request.filter = QStringLiteral("%1 Dateien (*.%2)|*.%2|Alle Dateien (*.*)|*.*||").arg(kind, suffix);
    request.defaultSuffix = suffix;
    return fileName(parent, request);
}

// What the user must choose when the sheet's choices give no page at all; empty when they give one.
QString missingOutput(CTorvmDoc& doc, const OutputSettings& settings)
{
    static constexpr std::array<const char*, kOutputCount> kNames{
        "Terminplan", "Gruppen",       "Tabelle",          "Einzelwertung",         "Vereine",
        "Teilnehmer", "Gesamtwertung", "Wettkampfbericht", "Ausstehende Ergebnisse"};
    QStringList empty;
    for (int i = 0; i < kOutputCount; ++i) {
        const auto output = static_cast<Output>(i);
        if (!settings.chosen(output))
            continue;
        if (outputPageCount(doc, settings, output) > 0)
            return {};
        QString name = QString::fromUtf8(kNames[static_cast<std::size_t>(i)]);
        if (output == Output::Termin &&
            std::none_of(settings.plans.begin(), settings.plans.end(), [](bool p) { return p; }))
            name += QStringLiteral(" (kein Wettkampfplan gewählt)");
        empty << name;
    }
    if (empty.isEmpty())
        return QStringLiteral("Bitte wählen Sie mindestens eine Ausgabe.");
    return QStringLiteral("Die gewählten Ausgaben enthalten nichts, was sich ausgeben ließe: %1.\nBitte wählen Sie "
                          "eine andere Ausgabe, einen anderen Durchgang oder andere Gruppen.")
        .arg(empty.join(QStringLiteral(", ")));
}

// The sheet until its choices give a page or the user cancels: a choice that gives nothing is
// named, and the sheet comes back with everything chosen still there.
bool runSheet(AusgabeSheet& sheet, CTorvmDoc& doc)
{
    while (sheet.exec() == QDialog::Accepted) {
        const QString missing = missingOutput(doc, sheet.settings());
        if (missing.isEmpty())
            return true;
        message(sheet.parentWidget(), MessageIcon::Exclamation, missing);
    }
    return false;
}

} // namespace

void savePdf(CTorvmDoc& doc, QWidget* parent)
{
    AusgabeSheet sheet(doc, parent);
    if (!runSheet(sheet, doc))
        return;
    const PrintJob job(doc, sheet.settings());
    if (job.totalPages() == 0)
        return;
    const QString path = askSavePath(doc, parent, QStringLiteral("Als PDF speichern"), QStringLiteral("PDF"));
    if (path.isEmpty())
        return;
    // Counted and painted again inside one read: the file shows one state of the competition,
    // whatever changed while the dialog was open.
    const bool written = writeFile(parent, path, [&](QIODevice& file) {
        const Transaction view(*doc.GetDatabase(), Transaction::Kind::Read);
        const PrintJob current(doc, sheet.settings());
        return writePdf(current, file, doc.CompetitionTitle());
    });
    if (written)
        reportOutputWritten(path);
}

void saveTextExport(CTorvmDoc& doc, QWidget* parent)
{
    AusgabeSheet sheet(doc, parent, AusgabeSheet::Use::TextFile);
    if (!runSheet(sheet, doc))
        return;
    const QString path =
        askSavePath(doc, parent, QStringLiteral("Ergebnisse und Tabellen speichern unter"), QStringLiteral("Text"));
    if (path.isEmpty())
        return;
    const std::optional<QString> content = textExportContent(doc, sheet.settings());
    if (!content)
        return;
    TextEncoding encoding = sheet.encoding();
    if (encoding == TextEncoding::Windows1252) {
        if (const QStringList lost = wordsOutsideWindows1252(*content); !lost.isEmpty()) {
            const Reply reply = message(
                parent, MessageIcon::Question,
                QStringLiteral("Diese Namen enthalten Zeichen, die der Zeichensatz Windows-1252 nicht kennt; sie "
                               "würden als \"?\" geschrieben:\n\n%1\n\nDie Datei stattdessen in UTF-8 speichern, "
                               "damit sie erhalten bleiben?")
                    .arg(lost.join(QStringLiteral(", "))),
                Buttons::YesNoCancel);
            if (reply == Reply::Cancel)
                return;
            if (reply == Reply::Yes)
                encoding = TextEncoding::Utf8;
        }
    }
    const QByteArray bytes = encodedText(*content, encoding);
    if (writeFile(parent, path, [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); }))
        reportOutputWritten(path);
}

void saveSpreadsheet(CTorvmDoc& doc, QWidget* parent)
{
    AusgabeSheet sheet(doc, parent);
    if (sheet.exec() != QDialog::Accepted || totalPageCount(doc, sheet.settings()) == 0)
        return;
    const QString path = askSavePath(doc, parent, QStringLiteral("Als Tabelle speichern"), QStringLiteral("Excel"));
    if (path.isEmpty())
        return;
    std::optional<std::vector<SheetTable>> tables;
    QString error;
    bool written = false;
    {
        const WaitCursor wait;
        tables = spreadsheetTables(doc, sheet.settings());
        if (tables)
            written = writeFileSafely(
                path, [&](QIODevice& file) { return writeSpreadsheet(file, *tables, &error); }, &error);
    }
    // A database error has been shown already.
    if (!tables)
        return;
    if (!written) {
        message(parent, MessageIcon::Exclamation, error);
        return;
    }
    reportOutputWritten(path);
}

void printCompetition(QPrinter& printer, CTorvmDoc& doc, QWidget* parent, PrintMode mode)
{
    if (mode == PrintMode::Pdf) {
        savePdf(doc, parent);
        return;
    }
    AusgabeSheet sheet(doc, parent);
    if (!runSheet(sheet, doc))
        return;
    const PrintJob job(doc, sheet.settings());
    if (job.totalPages() == 0)
        return;
    if (mode == PrintMode::Preview) {
        printer.setDocName(safeFileName(doc.CompetitionTitle()));
        QPrintPreviewDialog preview(&printer, parent);
        const int total = job.totalPages();
        QObject::connect(
            &preview, &QPrintPreviewDialog::paintRequested, &preview,
            [&job, parent, total](QPrinter* target) { printPages(job, *target, 1, total, parent, false); });
        preview.exec();
        return;
    }
    printJob(printer, doc, job, parent);
}

void printJob(QPrinter& printer, const CTorvmDoc& doc, const PrintJob& job, QWidget* parent)
{
    const int total = job.totalPages();
    // The print dialog proposes the document name as the name of a PDF file: a "/" in the title
    // would lead it into a folder that does not exist.
    printer.setDocName(safeFileName(doc.CompetitionTitle()));
    printer.setFromTo(0, 0);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, total);
    if (dialog.exec() != QDialog::Accepted)
        return;
    int from = 1;
    int to = total;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(total, printer.toPage());
    }
    printPages(job, printer, from, to, parent, true);
}

} // namespace torvm::ui
