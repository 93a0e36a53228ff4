#include "output/ui/PrintCommands.h"

#include "document/TorvmDoc.h"
#include "output/PrintJob.h"
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
#include <QSaveFile>

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
    return file.completeBaseName().isEmpty() ? QString() : file.dir().filePath(file.completeBaseName() + suffix);
}

void cannotCreate(QWidget* parent, const QString& path)
{
    message(parent, MessageIcon::Exclamation,
            QStringLiteral("Die Datei \"%1\" kann nicht angelegt werden.\nPrüfen Sie, ob der Ordner vorhanden ist "
                           "und Sie darin schreiben dürfen.")
                .arg(QDir::toNativeSeparators(path)));
}

// Writes the file through `write` and replaces the old one only when everything went well.
// false after a failure, which has been shown.
template <typename Write> bool writeFile(QWidget* parent, const QString& path, Write write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        cannotCreate(parent, path);
        return false;
    }
    bool ok = false;
    {
        const WaitCursor wait;
        ok = write(file);
    }
    if (!ok) {
        file.cancelWriting();
        message(parent, MessageIcon::Exclamation,
                QStringLiteral("Das Schreiben der Datei \"%1\" ist fehlgeschlagen; die Datei wurde nicht angelegt.")
                    .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (!file.commit()) {
        cannotCreate(parent, path);
        return false;
    }
    return true;
}

// The save dialog for an output file of `kind` ("PDF" or "Text"), proposed beside the competition.
QString askSavePath(CTorvmDoc& doc, QWidget* parent, const QString& title, const QString& kind)
{
    const QString suffix = kind == QLatin1String("PDF") ? QStringLiteral("pdf") : QStringLiteral("txt");
    FileRequest request;
    request.kind = FileRequest::Kind::Save;
    request.title = title;
    request.proposed = proposedName(doc, QLatin1Char('.') + suffix);
    request.filter = QStringLiteral("%1 Dateien (*.%2)|*.%2|Alle Dateien (*.*)|*.*||").arg(kind, suffix);
    request.defaultSuffix = suffix;
    return fileName(parent, request);
}

} // namespace

void savePdf(CTorvmDoc& doc, QWidget* parent)
{
    AusgabeSheet sheet(doc, parent);
    if (sheet.exec() != QDialog::Accepted)
        return;
    const PrintJob job(doc, sheet.settings());
    if (job.totalPages() == 0)
        return;
    const QString path = askSavePath(doc, parent, QStringLiteral("Als PDF speichern"), QStringLiteral("PDF"));
    if (path.isEmpty())
        return;
    if (writeFile(parent, path, [&](QIODevice& file) { return writePdf(job, file, doc.CompetitionTitle()); }))
        reportOutputWritten(path);
}

void saveTextExport(CTorvmDoc& doc, QWidget* parent)
{
    AusgabeSheet sheet(doc, parent, AusgabeSheet::Use::TextFile);
    if (sheet.exec() != QDialog::Accepted || totalPageCount(doc, sheet.settings()) == 0)
        return;
    const QString path =
        askSavePath(doc, parent, QStringLiteral("Ergebnisse und Tabellen speichern unter"), QStringLiteral("Text"));
    if (path.isEmpty())
        return;
    if (writeFile(parent, path,
                  [&](QIODevice& file) { return writeTextExport(doc, sheet.settings(), file, sheet.encoding()); }))
        reportOutputWritten(path);
}

void printCompetition(QPrinter& printer, CTorvmDoc& doc, QWidget* parent, PrintMode mode)
{
    if (mode == PrintMode::Pdf) {
        savePdf(doc, parent);
        return;
    }
    AusgabeSheet sheet(doc, parent);
    if (sheet.exec() != QDialog::Accepted)
        return;
    const PrintJob job(doc, sheet.settings());
    const int total = job.totalPages();
    if (total == 0)
        return;

    printer.setDocName(doc.CompetitionTitle());
    if (mode == PrintMode::Preview) {
        QPrintPreviewDialog preview(&printer, parent);
        QObject::connect(
            &preview, &QPrintPreviewDialog::paintRequested, &preview,
            [&job, parent, total](QPrinter* target) { printPages(job, *target, 1, total, parent, false); });
        preview.exec();
        return;
    }
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
