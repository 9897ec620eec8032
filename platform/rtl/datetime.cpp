#include "platform/rtl/datetime.h"

#include <QStringList>

#include <cmath>

namespace {

const qint64 kEpochJulian = QDate(1899, 12, 30).toJulianDay();
const double kMsPerDay = 86400000.0;
const double kFarDays = 1e15;

bool readNumber(const QString& part, int maxDigits, int& value)
{
    if (part.isEmpty() || part.size() > maxDigits)
        return false;
    value = 0;
    for (QChar c : part) {
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c.unicode() - u'0');
    }
    return true;
}

bool parseDate(const QString& text, double& days)
{
    const QStringList parts = text.split(u'.');
    if (parts.size() != 2 && parts.size() != 3)
        return false;
    int day, month, year;
    if (!readNumber(parts[0], 2, day) || !readNumber(parts[1], 2, month))
        return false;
    if (parts.size() == 2) {
        year = QDate::currentDate().year();
    } else {
        if (!readNumber(parts[2], 4, year))
            return false;
        if (parts[2].size() <= 2) {
            const int now = QDate::currentDate().year();
            year += now / 100 * 100;
            if (year < now - 50)
                year += 100;
            else if (year > now + 49)
                year -= 100;
        }
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return false;
    days = static_cast<double>(date.toJulianDay() - kEpochJulian);
    return true;
}

bool parseTime(const QString& text, double& fraction)
{
    const QStringList parts = text.split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    int h, m, s = 0;
    if (!readNumber(parts[0], 2, h) || !readNumber(parts[1], 2, m))
        return false;
    if (parts.size() == 3 && !readNumber(parts[2], 2, s))
        return false;
    if (h > 23 || m > 59 || s > 59)
        return false;
    fraction = (h * 3600 + m * 60 + s) / 86400.0;
    return true;
}

} // namespace

TDateTime EncodeDate(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (!date.isValid())
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return TDateTime(static_cast<double>(date.toJulianDay() - kEpochJulian));
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        throw EConvertError(QStringLiteral("Invalid argument to time encode"));
    return TDateTime(((hour * 60 + minute) * 60 + second) * 1000.0 / kMsPerDay + msec / kMsPerDay);
}

QDate ToQDate(TDateTime value)
{
    // Beyond this the day is not even a whole number that fits the Julian day count; QDate
    // itself refuses days outside its own range.
    const double day = std::trunc(value.Val);
    if (!std::isfinite(day) || std::fabs(day) > kFarDays)
        return QDate();
    return QDate::fromJulianDay(kEpochJulian + static_cast<qint64>(day));
}

QDateTime ToQDateTime(TDateTime value)
{
    if (!ToQDate(value).isValid())
        return QDateTime();
    const double fraction = std::fabs(value.Val - std::trunc(value.Val));
    qint64 ms = std::llround(fraction * kMsPerDay);
    QDate date = ToQDate(value);
    if (ms >= static_cast<qint64>(kMsPerDay)) { // rounding up to the next midnight
        ms = 0;
        date = date.addDays(value.Val < 0 ? -1 : 1);
    }
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

TDateTime FromQDate(const QDate& date)
{
    return TDateTime(static_cast<double>(date.toJulianDay() - kEpochJulian));
}

TDateTime FromQDateTime(const QDateTime& moment)
{
    const double day = static_cast<double>(moment.date().toJulianDay() - kEpochJulian);
    const double fraction = moment.time().msecsSinceStartOfDay() / kMsPerDay;
    return TDateTime(day < 0 ? day - fraction : day + fraction);
}

TDateTime DateOf(TDateTime value)
{
    return TDateTime(std::trunc(value.Val));
}

TDateTime Today()
{
    return FromQDate(QDate::currentDate());
}

TDateTime Now()
{
    return FromQDateTime(QDateTime::currentDateTime());
}

String DateToStr(TDateTime value)
{
    return ToQDate(value).toString(QStringLiteral("dd.MM.yyyy"));
}

String TimeToStr(TDateTime value)
{
    return ToQDateTime(value).time().toString(QStringLiteral("HH:mm:ss"));
}

String DateTimeToStr(TDateTime value)
{
    const QDateTime moment = ToQDateTime(value);
    if (moment.time().msecsSinceStartOfDay() == 0)
        return DateToStr(value);
    return moment.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

bool TryStrToDate(const String& text, TDateTime& value)
{
    double days;
    if (!parseDate(text.trimmed(), days))
        return false;
    value = TDateTime(days);
    return true;
}

bool TryStrToDateTime(const String& text, TDateTime& value)
{
    const QString t = text.trimmed();
    const qsizetype blank = t.indexOf(u' ');
    double days;
    double fraction = 0.0;
    if (!parseDate(blank < 0 ? t : t.left(blank), days))
        return false;
    if (blank >= 0 && !parseTime(t.mid(blank + 1).trimmed(), fraction))
        return false;
    value = TDateTime(days < 0 ? days - fraction : days + fraction);
    return true;
}

TDateTime StrToDate(const String& text)
{
    TDateTime value;
    if (!TryStrToDate(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
    return value;
}

TDateTime StrToDateTime(const String& text)
{
    TDateTime value;
    if (!TryStrToDateTime(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(text));
    return value;
}
