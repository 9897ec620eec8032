#include "platform/report/memory_data_source.h"

void MemoryDataSource::AddRow(const Row& row)
{
    rows_.push_back(row);
}

void MemoryDataSource::Clear()
{
    rows_.clear();
    current_ = 0;
}

void MemoryDataSource::First()
{
    current_ = 0;
}

void MemoryDataSource::Next()
{
    if (current_ < rows_.size())
        ++current_;
}

bool MemoryDataSource::Eof()
{
    return current_ >= rows_.size();
}

String MemoryDataSource::FieldAsString(const String& name)
{
    if (current_ >= rows_.size())
        return String();
    return rows_[current_].value(name);
}
