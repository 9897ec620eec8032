#include "platform/report/frx_report.h"

#include "platform/report/frx_pdf_export.h"
#include "platform/report/page_builder.h"
#include "platform/report/page_layout.h"
#include "platform/report/report_renderer.h"
#include "platform/rtl/exception.h"

#include <QApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>

void TfrxReport::AddDataSet(TfrxDBDataset* link)
{
    if (link && std::find(links_.begin(), links_.end(), link) == links_.end())
        links_.push_back(link);
}

bool TfrxReport::PrepareReport(bool clearLastReport)
{
    PreparedReport next = clearLastReport ? PreparedReport() : prepared_;
    prepared_ = PreparedReport();
    PageBuilder(Page, links_, Today()).Build(next);
    prepared_ = std::move(next);
    return true;
}

bool TfrxReport::Print()
{
    if (prepared_.Pages.empty())
        return false;
    QPrinter printer(QPrinter::HighResolution);
    if (!PrintOptions.Printer.isEmpty())
        printer.setPrinterName(PrintOptions.Printer);
    printer.setDocName(ReportOptions.Name);
    printer.setFullPage(true);
    printer.setPageLayout(PageLayout(prepared_.Pages.front()));
    printer.setCopyCount(std::max(1, PrintOptions.Copies));
    printer.setCollateCopies(PrintOptions.Collate);
    if (PrintOptions.ShowDialog) {
        QPrintDialog dialog(&printer, QApplication::activeWindow());
        dialog.setWindowTitle(QStringLiteral("Drucken"));
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        dialog.setMinMax(1, prepared_.Count());
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
    for (int i = 0; i < prepared_.Count(); ++i)
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
    printer.setPageLayout(PageLayout(prepared_.Pages[sequence.front()]));
    QPainter painter;
    if (!painter.begin(&printer))
        throw EReportError(QStringLiteral("The report '%1' cannot be printed on '%2'")
                               .arg(ReportOptions.Name, printer.printerName().isEmpty()
                                                            ? printer.outputFileName()
                                                            : printer.printerName()));
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        const PreparedPage& page = prepared_.Pages[sequence[i]];
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
    return filter->Export(prepared_, ReportOptions.Name);
}
