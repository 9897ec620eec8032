#pragma once

#include "platform/report/frx_dbdataset.h"
#include "platform/report/prepared_report.h"
#include "platform/report/report_template.h"

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

// A report: one page template, the data links it knows, and the pages of its last run.
class TfrxReport {
public:
    TfrxReportOptions ReportOptions;
    TfrxPrintOptions PrintOptions;
    ReportPage Page;

    // The links whose user names the template's texts and bands refer to; not owned.
    void AddDataSet(TfrxDBDataset* link);
    const std::vector<TfrxDBDataset*>& DataSets() const { return links_; }

    // Builds the pages. With clearLastReport the pages of an earlier run are discarded first,
    // otherwise the new ones are appended. Links that are closed are opened for the run.
    // Raises EReportError for a faulty template or a value it cannot show; no page is kept
    // then.
    bool PrepareReport(bool clearLastReport = true);
    const PreparedReport& PreparedPages() const { return prepared_; }

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
    PreparedReport prepared_;
};
