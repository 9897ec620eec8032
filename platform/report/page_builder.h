#pragma once

#include "platform/report/frx_dbdataset.h"
#include "platform/report/prepared_report.h"
#include "platform/rtl/datetime.h"

#include <vector>

// Builds the pages of one template from its data links.
//
// Bands: the title once at the top of the first page; the header once, directly above the
// first data row; one master data band per row in the source's order, moved whole to the next
// page when it does not fit above the page footer; the page footer at the bottom of every page.
// A page with a main data set is built like that once per row of it.
class PageBuilder {
public:
    PageBuilder(const ReportPage& page, const std::vector<TfrxDBDataset*>& links, TDateTime date);

    // Appends the pages to report, numbering them after the pages it already holds, and fills
    // in the number of pages on all of them. Raises EReportError for a faulty template (an
    // unknown expression or data set, two bands of one kind) or a bar code it cannot encode.
    void Build(PreparedReport& report);

private:
    void check() const;
    void run();
    void newPage();
    void finishPage();
    void place(const ReportBand& band, double top);
    double limit() const;
    PreparedItem prepare(const ReportObject& object, double left, double top, int band);
    QStringList evaluate(const String& text, const String& where);
    String expression(const String& expr, const String& where);
    ReportDataSource* source(const String& userName, const String& where) const;

    const ReportPage& page_;
    const std::vector<TfrxDBDataset*>& links_;
    String date_;
    const ReportBand* title_ = nullptr;
    const ReportBand* header_ = nullptr;
    const ReportBand* data_ = nullptr;
    const ReportBand* footer_ = nullptr;

    std::vector<PreparedPage>* pages_ = nullptr;
    double y_ = 0.0;
};
