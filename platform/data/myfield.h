#pragma once

#include "platform/rtl/datetime.h"
#include "platform/rtl/stringlist.h"

#include <mysql.h>

// The value of one field in the current row of a data set. A NULL value, and every field
// of a result without rows, reads as 0 or the empty text.
class TField {
public:
    TField(const char* data, unsigned long length, enum_field_types type)
        : data_(data), length_(length), type_(type)
    {
    }

    bool IsNull() const { return data_ == nullptr; }
    AnsiString AsAnsiString() const;
    // Dates and times read as the program writes them (dd.mm.yyyy hh:mm:ss).
    String AsString() const;
    // Raises EConvertError for a text that is no whole number.
    int AsInteger() const;
    double AsFloat() const;
    // Date columns are read as they stand; a text is read as day.month.year.
    TDateTime AsDateTime() const;
    // Appends AsString to the list: as the field's own bytes where they are that text, so
    // the list keeps them packed.
    void AddTo(TStringList& list) const
    {
        if (!data_)
            list.AddBytes("", 0);
        else if (isTemporal())
            list.Add(AsString());
        else
            list.AddBytes(data_, length_);
    }

private:
    bool isTemporal() const
    {
        switch (type_) {
        case MYSQL_TYPE_DATE:
        case MYSQL_TYPE_NEWDATE:
        case MYSQL_TYPE_DATETIME:
        case MYSQL_TYPE_DATETIME2:
        case MYSQL_TYPE_TIMESTAMP:
        case MYSQL_TYPE_TIMESTAMP2:
            return true;
        default:
            return false;
        }
    }
    TDateTime temporal() const;

    const char* data_;
    unsigned long length_;
    enum_field_types type_;
};
