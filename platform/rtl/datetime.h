#pragma once

#include "platform/rtl/ansistring.h"
#include "platform/rtl/exception.h"

#include <QDate>
#include <QDateTime>

// A moment as days since 1899-12-30; the fraction is the time of day. For negative values
// the whole part is the day and the fraction's absolute value the time, as on Windows.
struct TDateTime {
    TDateTime() = default;
    TDateTime(double value) : Val(value) {}
    operator double() const { return Val; }

    double Val = 0.0;
};

TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec = 0);
// The day without its time.
TDateTime DateOf(TDateTime value);

TDateTime Today();
TDateTime Now();

// Defined for every double: a value that names no day a QDate can hold (infinite, NaN, too
// far off) gives the invalid QDate or QDateTime, which DateToStr and its kin write as "".
QDate ToQDate(TDateTime value);
QDateTime ToQDateTime(TDateTime value);
TDateTime FromQDate(const QDate& date);
TDateTime FromQDateTime(const QDateTime& moment);

// The program's date settings, whatever the machine's locale says: day.month.year with "."
// (dd.mm.yyyy) and the 24-hour time hh:mm:ss.
String DateToStr(TDateTime value);
String TimeToStr(TDateTime value);
// Date and time; the time is left out when it is midnight.
String DateTimeToStr(TDateTime value);

// Read day.month.year ("1.2.2003", "01.02.2003", two-digit years in a window of fifty
// years around today, "d.m" for the current year). Raises EConvertError
// "'<text>' is not a valid date".
TDateTime StrToDate(const String& text);
// A date followed by an optional time "h:mm[:ss]". Raises EConvertError
// "'<text>' is not a valid date and time".
TDateTime StrToDateTime(const String& text);
bool TryStrToDate(const String& text, TDateTime& value);
bool TryStrToDateTime(const String& text, TDateTime& value);
