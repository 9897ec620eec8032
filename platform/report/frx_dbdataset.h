#pragma once

#include "platform/report/report_data_source.h"

// A report's data link: gives a data source a user name under which the report's texts refer
// to its fields ([<UserName>."<field>"]). It neither owns nor closes the source.
class TfrxDBDataset {
public:
    String UserName;
    ReportDataSource* DataSet = nullptr;

    // Puts the source on its first row. Raises EReportError without a source.
    void Open();
    void Close();
    bool Active() const { return active_; }

private:
    bool active_ = false;
};
