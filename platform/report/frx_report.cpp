#include "platform/report/frx_report.h"

#include "platform/report/frx_pdf_export.h"
#include "platform/report/page_builder.h"
#include "platform/report/page_layout.h"
#include "platform/report/report_progress.h"
#include "platform/report/report_renderer.h"
#include "platform/rtl/exception.h"

#include <QApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScopeGuard>

#include <algorithm>

void TfrxReport::AddDataSet(TfrxDBDataset* link)
{
    if (link && std::find(links_.begin(), links_.end(), link) == links_.end())
        links_.push_back(link);
}

bool TfrxReport::PrepareReport(bool clearLastReport)
{
    all_.reset();
    if (clearLastReport)
        pages_.Clear();
    std::unique_ptr<ReportProgress> progress;
    if (ShowProgress)
        progress = std::make_unique<ReportProgress>(
            ReportOptions.Name.isEmpty() ? QStringLiteral("Bericht") : ReportOptions.Name,
            QStringLiteral("Der Bericht wird erstellt ..."), 0, ReportOwnerWindow());
    bool done = false;
    // A run that fails or is stopped keeps no page.
    const auto keepNone = qScopeGuard([&] {
        if (!done)
            pages_.Clear();
    });
    done = PageBuilder(Page, links_, Today())
               .Build(pages_.Count(), [&](PreparedPage& page, const PageBuilder::Progress& p) {
                   pages_.Add(page);
                   if (!progress)
                       return true;
                   // The rows tell how far it is, where their number is known.
                   progress->SetMaximum(p.Total);
                   return progress->Step(
                       p.Rows, QStringLiteral("Seite %1 wird erstellt ...").arg(pages_.Count()));
               });
    return done;
}

const PreparedReport& TfrxReport::PreparedPages() const
{
    if (!all_) {
        all_ = std::make_unique<PreparedReport>();
        for (int i = 0; i < pages_.Count(); ++i)
            all_->Pages.push_back(pages_.Page(i));
    }
    return *all_;
}

bool TfrxReport::Print()
{
    if (pages_.Count() == 0)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    if (!PrintOptions.Printer.isEmpty())
        printer.setPrinterName(PrintOptions.Printer);
    printer.setDocName(ReportOptions.Name);
    printer.setFullPage(true);
    printer.setPageLayout(PageLayout(pages_.Page(0)));
    printer.setCopyCount(std::max(1, PrintOptions.Copies));
    printer.setCollateCopies(PrintOptions.Collate);
    if (PrintOptions.ShowDialog) {
        QPrintDialog dialog(&printer, ReportOwnerWindow());
        dialog.setWindowTitle(QStringLiteral("Drucken"));
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        dialog.setMinMax(1, pages_.Count());
        if (dialog.exec() != QDialog::Accepted)
            return false;
    }
    PrintTo(printer);
    return true;
}

void TfrxReport::PrintTo(QPrinter& printer) const
{
    std::vector<int> pages;
    const QPageRanges ranges = printer.pageRanges();
    for (int i = 0; i < pages_.Count(); ++i)
        if (printer.printRange() != QPrinter::PageRange || ranges.isEmpty() ||
            ranges.contains(i + 1))
            pages.push_back(i);
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(pages.begin(), pages.end());
    if (pages.empty())
        return;

    // Where the printer cannot make the copies itself, the pages are sent once per copy.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    std::vector<int> sequence;
    if (printer.collateCopies()) {
        for (int c = 0; c < copies; ++c)
            sequence.insert(sequence.end(), pages.begin(), pages.end());
    } else {
        for (int page : pages)
            sequence.insert(sequence.end(), copies, page);
    }

    printer.setFullPage(true);
    printer.setPageLayout(PageLayout(pages_.Page(sequence.front())));
    QPainter painter;
    if (!painter.begin(&printer))
        throw EReportError(QStringLiteral("The report '%1' cannot be printed on '%2'")
                               .arg(ReportOptions.Name, printer.printerName().isEmpty()
                                                            ? printer.outputFileName()
                                                            : printer.printerName()));
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        const PreparedPage page = pages_.Page(sequence[i]);
        if (i > 0) {
            const QPageLayout layout = PageLayout(page);
            if (!layout.isEquivalentTo(printer.pageLayout()))
                printer.setPageLayout(layout);
            printer.newPage();
        }
        ReportRenderer::DrawPage(painter, page);
    }
    painter.end();
}

bool TfrxReport::Export(TfrxPDFExport* filter)
{
    if (!filter)
        throw EReportError(
            QStringLiteral("No export filter for the report '%1'").arg(ReportOptions.Name));
    return filter->Export(pages_, ReportOptions.Name);
}
