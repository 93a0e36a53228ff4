#include "output/ui/PrintCommands.h"

#include "app/TorvmDoc.h"
#include "app/ui/Prompt.h"
#include "app/ui/TorvmView.h"
#include "output/PrintJob.h"
#include "output/ui/AusgabeSheet.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>

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

} // namespace

void printCompetition(CTorvmApp& app, CTorvmView& view, PrintMode mode)
{
    CTorvmDoc* doc = view.GetDocument();
    if (doc == nullptr)
        return;
    AusgabeSheet sheet(*doc, &view);
    if (sheet.exec() != QDialog::Accepted)
        return;
    const PrintJob job(*doc, sheet.settings());
    if (!job.unprintable().empty()) {
        QStringList names;
        for (const Output output : job.unprintable())
            names.append(outputKey(output));
        message(&view, MessageIcon::Information,
                QStringLiteral("Für diese Ausgaben gibt es noch keine Druckseiten; sie werden ausgelassen: %1")
                    .arg(names.join(QStringLiteral(", "))));
    }
    const int total = job.totalPages();
    if (total == 0)
        return;

    QPrinter& printer = app.printer();
    printer.setDocName(doc->CompetitionTitle());
    if (mode == PrintMode::Preview) {
        QPrintPreviewDialog preview(&printer, &view);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&job, &view, total](QPrinter* target) { printPages(job, *target, 1, total, &view, false); });
        preview.exec();
        return;
    }
    printer.setFromTo(0, 0);
    QPrintDialog dialog(&printer, &view);
    dialog.setMinMax(1, total);
    if (dialog.exec() != QDialog::Accepted)
        return;
    int from = 1;
    int to = total;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(total, printer.toPage());
    }
    printPages(job, printer, from, to, &view, true);
}

void registerPrinting(CTorvmApp& app)
{
    app.setPrintHandler([&app](CTorvmView& view, PrintMode mode) { printCompetition(app, view, mode); });
}

} // namespace torvm::ui
