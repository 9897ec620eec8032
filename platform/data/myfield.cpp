#include "platform/data/myfield.h"

#include "platform/rtl/sysutils.h"

#include <cmath>

// "YYYY-MM-DD[ HH:MM:SS[.ffffff]]" as the server sends it; the zero date reads as 0.
TDateTime TField::temporal() const
{
    const QString text = QString::fromLatin1(data_, static_cast<qsizetype>(length_));
    const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return TDateTime(0.0);
    QTime time(0, 0);
    if (text.size() >= 19)
        time = QTime::fromString(text.mid(11, 8), QStringLiteral("HH:mm:ss"));
    return FromQDateTime(QDateTime(date, time.isValid() ? time : QTime(0, 0)));
}

AnsiString TField::AsAnsiString() const
{
    if (!data_)
        return AnsiString();
    if (isTemporal())
        return AnsiString(AsString());
    return AnsiString(data_, length_);
}

String TField::AsString() const
{
    if (!data_)
        return String();
    if (isTemporal())
        return DateTimeToStr(temporal());
    return Cp1252Text(data_, length_);
}

int TField::AsInteger() const
{
    if (!data_)
        return 0;
    switch (type_) {
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
        return static_cast<int>(std::lround(AsFloat()));
    default:
        return StrToInt(AnsiString(data_, length_).toString());
    }
}

double TField::AsFloat() const
{
    if (!data_)
        return 0.0;
    if (isTemporal())
        return temporal().Val;
    bool ok = false;
    const double v = QString::fromLatin1(data_, static_cast<qsizetype>(length_)).toDouble(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value")
                                .arg(AnsiString(data_, length_).toString()));
    return v;
}

TDateTime TField::AsDateTime() const
{
    if (!data_)
        return TDateTime(0.0);
    if (isTemporal())
        return temporal();
    return StrToDateTime(AnsiString(data_, length_).toString());
}
