#pragma once

#include "platform/rtl/datetime.h"

#include <QDateEdit>

// A date field with a calendar drop-down, shown as dd.MM.yyyy, read and written as TDateTime.
class TDateTimePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit TDateTimePicker(QWidget* parent = nullptr);

    // The day shown, without a time of day.
    TDateTime GetDate() const;
    // Shows the day of value; the time of day is dropped. A day outside the field's range
    // raises Exception and leaves the field as it was.
    void SetDate(TDateTime value);
};
