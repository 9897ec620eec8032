#pragma once

// The report side of the data module: the two templates as data and the adapter through
// which a report reads the rows of a query.
#include "platform/data/myquery.h"
#include "platform/report/report_data_source.h"
#include "platform/report/report_template.h"

namespace store {

// The user name of both reports' data links.
extern const char* const reportDataSet;

// The inventory list: page "Infentar" with title, header, one data band per row and the
// page footer.
ReportPage infentarPage();
// The loan receipt: page "Page1", built once per row of its data link, with the EAN-8 bar
// code of the key (the key as a text where it has more than seven digits).
ReportPage quitungPage();

// A query's rows as a report reads them. The query is not owned; it is opened and closed
// by whoever runs the report.
class QueryRows : public ReportDataSource {
public:
    explicit QueryRows(TMyQuery* query) : query_(query) {}

    void First() override { query_->First(); }
    void Next() override { query_->Next(); }
    bool Eof() override { return query_->Eof(); }
    // Empty for NULL, for a field the result lacks and past the last row.
    String FieldAsString(const String& name) override;
    int RecordCount() override { return query_->RecordCount(); }

private:
    TMyQuery* query_;
};

} // namespace store
