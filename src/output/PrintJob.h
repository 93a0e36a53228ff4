#pragma once

#include "output/PrintPage.h"
#include "output/TextExport.h"

#include <QDate>

#include <array>
#include <memory>
#include <optional>

class QIODevice;

namespace torvm {

class CTorvmDoc;

// Where an overall page number lands: the output and its own page number (from 1).
struct PageLocation {
    Output output = Output::Termin;
    int page = 0;
};

// One print run over the chosen outputs: numbers the pages across all of them in the fixed
// order, draws the frame of every page and hands the page to the output that owns it.
class PrintJob {
public:
    PrintJob(CTorvmDoc& doc, const OutputSettings& settings);
    ~PrintJob();
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    int pageCount(Output output) const { return m_counts[static_cast<int>(output)]; }
    int totalPages() const;
    // none for a page number outside 1 ... totalPages()
    std::optional<PageLocation> locate(int n) const;

    // The date every footer names ("gedruckt am"); today unless set.
    void setPrintDate(const QDate& date) { m_printDate = date; }

    // Frame and content of overall page n. false after a database error (already shown).
    bool paintPage(QPainter& painter, const PrintFonts& fonts, const QRect& page, int n) const;

private:
    std::array<std::unique_ptr<PagePainter>, kOutputCount> m_pages;
    std::array<int, kOutputCount> m_counts{};
    QDate m_printDate = QDate::currentDate();
};

// Every page of the job as an A4 PDF into `device`. false after a database error or when the
// device cannot take the document.
bool writePdf(const PrintJob& job, QIODevice& device, const QString& title);

} // namespace torvm
