#include "output/PrintJob.h"

#include "document/TorvmDoc.h"
#include "output/OutputPages.h"

#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace torvm {

namespace {

constexpr int kPdfResolution = 600; // dots per inch

} // namespace

PrintJob::PrintJob(CTorvmDoc& doc, const OutputSettings& settings)
{
    for (int i = 0; i < kOutputCount; ++i) {
        const auto output = static_cast<Output>(i);
        if (!settings.chosen(output))
            continue;
        m_pages[i] = makeOutputPages(doc, settings, output);
        m_counts[i] = m_pages[i]->pageCount();
    }
}

PrintJob::~PrintJob() = default;

int PrintJob::totalPages() const
{
    int total = 0;
    for (const int count : m_counts)
        total += count;
    return total;
}

std::optional<PageLocation> PrintJob::locate(int n) const
{
    if (n < 1)
        return std::nullopt;
    int before = 0;
    for (int i = 0; i < kOutputCount; ++i) {
        if (n <= before + m_counts[i])
            return PageLocation{static_cast<Output>(i), n - before};
        before += m_counts[i];
    }
    return std::nullopt;
}

bool PrintJob::paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const
{
    const auto where = locate(n);
    if (!where)
        return true;
    drawPageFrame(painter, fonts, page,
                  QStringLiteral("Seite %1 von %2, gedruckt am %3")
                      .arg(n)
                      .arg(totalPages())
                      .arg(m_printDate.toString(QStringLiteral("dd.MM.yyyy"))));
    return m_pages[static_cast<int>(where->output)]->paintPage(painter, fonts, page, where->page);
}

bool writePdf(const PrintJob& job, QIODevice& device, const QString& title)
{
    QPdfWriter writer(&device);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Velmarik Wettkampfverwaltung"));
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                     QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    const PrintFonts fonts(writer);
    const QRect page(0, 0, writer.width(), writer.height());
    bool ok = true;
    for (int n = 1; n <= job.totalPages(); ++n) {
        if (n > 1 && !writer.newPage())
            ok = false;
        if (!job.paintPage(painter, fonts, page, n))
            ok = false;
    }
    return painter.end() && ok;
}

} // namespace torvm
