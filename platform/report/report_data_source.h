#pragma once

#include "platform/rtl/ansistring.h"

// The rows a report reads, one current row at a time. A query component is adapted to it.
class ReportDataSource {
public:
    virtual ~ReportDataSource() = default;

    virtual void First() = 0;
    virtual void Next() = 0;
    virtual bool Eof() = 0;
    // The current row's value as text: empty for NULL, for a field the source does not have
    // and when there is no current row.
    virtual String FieldAsString(const String& name) = 0;
    // The number of rows, or -1 when the source cannot tell.
    virtual int RecordCount() { return -1; }
};
