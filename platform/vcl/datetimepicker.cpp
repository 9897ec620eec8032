#include "platform/vcl/datetimepicker.h"

#include "platform/rtl/exception.h"

#include <cmath>

TDateTimePicker::TDateTimePicker(QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
}

TDateTime TDateTimePicker::GetDate() const
{
    return FromQDate(date());
}

void TDateTimePicker::SetDate(TDateTime value)
{
    // Compared as day counts first: a far-off value would not fit a QDate.
    const double day = std::trunc(value.Val);
    if (!std::isfinite(day) || day > FromQDate(maximumDate()).Val)
        throw Exception(
            QStringLiteral("Date exceeds maximum of %1").arg(DateToStr(FromQDate(maximumDate()))));
    if (day < FromQDate(minimumDate()).Val)
        throw Exception(QStringLiteral("Date is less than minimum of %1")
                            .arg(DateToStr(FromQDate(minimumDate()))));
    setDate(ToQDate(TDateTime(day)));
}
