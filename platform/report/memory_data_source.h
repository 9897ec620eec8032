#pragma once

#include "platform/report/report_data_source.h"

#include <QHash>

#include <vector>

// Rows held in memory; a field missing from a row is NULL.
class MemoryDataSource : public ReportDataSource {
public:
    using Row = QHash<String, String>;

    void AddRow(const Row& row);
    void Clear();
    int RowCount() const { return static_cast<int>(rows_.size()); }

    void First() override;
    void Next() override;
    bool Eof() override;
    String FieldAsString(const String& name) override;
    int RecordCount() override { return RowCount(); }

private:
    std::vector<Row> rows_;
    std::size_t current_ = 0;
};
