#pragma once

#include "platform/report/frx_dbdataset.h"
#include "platform/report/prepared_report.h"
#include "platform/rtl/datetime.h"

#include <functional>
#include <unordered_map>
#include <vector>

// Builds the pages of one template from its data links, one page after the other.
//
// Bands: the title once at the top of the first page; the header once, directly above the
// first data row; one master data band per row in the source's order, moved whole to the next
// page when it does not fit above the page footer; the page footer at the bottom of every page.
// A page with a main data set is built like that once per row of it.
class PageBuilder {
public:
    PageBuilder(const ReportPage& page, const std::vector<TfrxDBDataset*>& links, TDateTime date);

    struct Progress {
        int Rows = 0;   // rows of the master data band placed so far
        int Total = -1; // rows that band has; -1 when its source cannot tell
    };
    // Takes each page once it is complete but for the number of pages, which its texts with
    // [TotalPages#] hold in pieces; it may move the page's content away. Returning false ends
    // the build.
    using PageSink = std::function<bool(PreparedPage& page, const Progress& progress)>;

    // Builds the pages, numbering them after pagesBefore pages of earlier runs. Returns false
    // when the sink ended the build. Raises EReportError for a faulty template (an unknown
    // expression or data set, two bands of one kind) or a bar code it cannot encode.
    bool Build(int pagesBefore, const PageSink& sink);

private:
    // A text of the template taken apart once: literal pieces and expressions.
    struct Piece {
        enum Kind { Literal, Date, PageNumber, TotalPages, Field } kind = Literal;
        String text; // the literal, or the field's name
        ReportDataSource* source = nullptr;
    };
    using Pieces = std::vector<Piece>;

    void check() const;
    bool run();
    void newPage();
    bool finishPage();
    void place(const ReportBand& band, double top);
    double limit() const;
    PreparedItem prepare(const ReportObject& object, double left, double top, int band,
                         const String& where);
    Pieces parse(const String& text, const String& where) const;
    QStringList evaluate(const Pieces& pieces) const;
    ReportDataSource* source(const String& userName, const String& where) const;

    const ReportPage& page_;
    const std::vector<TfrxDBDataset*>& links_;
    String date_;
    const ReportBand* title_ = nullptr;
    const ReportBand* header_ = nullptr;
    const ReportBand* data_ = nullptr;
    const ReportBand* footer_ = nullptr;
    // The texts of the template's objects, each taken apart when it is first shown.
    std::unordered_map<const ReportObject*, Pieces> pieces_;

    const PageSink* sink_ = nullptr;
    PreparedPage current_;
    int number_ = 0; // of the page under construction, from 1
    Progress progress_;
    double y_ = 0.0;
};
