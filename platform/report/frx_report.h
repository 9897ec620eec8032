#pragma once

#include "platform/report/frx_dbdataset.h"
#include "platform/report/page_cache.h"
#include "platform/report/prepared_report.h"
#include "platform/report/report_template.h"

#include <memory>
#include <vector>

class QPrinter;
class TfrxPDFExport;

struct TfrxReportOptions {
    // The title of the print job and of an exported PDF whose filter gives none.
    String Name;
};

struct TfrxPrintOptions {
    // Show the print dialog first.
    bool ShowDialog = true;
    // Empty: the system's default printer.
    String Printer;
    int Copies = 1;
    bool Collate = true;
};

// A report: one page template, the data links it knows, and the pages of its last run. The
// pages are kept packed (PageCache) and are printed and exported one at a time, so a report of
// thousands of pages needs little more memory than one of a few.
class TfrxReport {
public:
    TfrxReportOptions ReportOptions;
    TfrxPrintOptions PrintOptions;
    ReportPage Page;
    // A progress window while the pages are built, with a button that stops the building.
    bool ShowProgress = true;

    // The links whose user names the template's texts and bands refer to; not owned.
    void AddDataSet(TfrxDBDataset* link);

    // Builds the pages. With clearLastReport the pages of an earlier run are discarded first,
    // otherwise the new ones are appended. Links that are closed are opened for the run.
    // Raises EReportError for a faulty template or a value it cannot show; no page is kept
    // then. Returns false, keeping no page, when the building was stopped in its progress
    // window.
    bool PrepareReport(bool clearLastReport = true);
    // The pages of the last run, handed out one at a time.
    const PageSource& PreviewPages() const { return pages_; }
    // The same pages, all in memory at once: for looking at small reports.
    const PreparedReport& PreparedPages() const;

    // Shows the print dialog (default printer, one copy, collated, job title = the report's
    // name) and prints the built pages on OK. Cancel, or a report without pages, prints
    // nothing and returns false.
    bool Print();
    // Prints the built pages on a printer that is set up already, honouring its page range,
    // copies and page order.
    void PrintTo(QPrinter& printer) const;
    // Exports the built pages through the filter with its dialogs; false when cancelled.
    bool Export(TfrxPDFExport* filter);

private:
    std::vector<TfrxDBDataset*> links_;
    PageCache pages_;
    mutable std::unique_ptr<PreparedReport> all_;
};
