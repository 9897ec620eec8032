#include "platform/data/myfield.h"

#include "platform/rtl/sysutils.h"

#include <cmath>
#include <cstdint>
#include <cstring>

bool TField::isTemporal() const
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

namespace {

// Whether any of the bytes lies in 0x80..0x9F, where code page 1252 differs from latin1;
// eight bytes at a time.
bool hasCp1252Specials(const unsigned char* p, std::size_t n)
{
    const std::uint64_t ones = 0x0101010101010101ull;
    const std::uint64_t highs = 0x8080808080808080ull;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, 8);
        // A byte of x is zero exactly where the byte of w is 0x80..0x9F.
        const std::uint64_t x = (w & 0xE0E0E0E0E0E0E0E0ull) ^ highs;
        if ((x - ones) & ~x & highs)
            return true;
    }
    for (; i < n; ++i)
        if ((p[i] & 0xE0) == 0x80)
            return true;
    return false;
}

} // namespace

String Cp1252Text(const char* bytes, std::size_t length)
{
    // Code page 1252 is latin1 but for 0x80..0x9F: convert fast, then mend those bytes, which
    // few texts hold.
    String text = QString::fromLatin1(bytes, static_cast<qsizetype>(length));
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    if (hasCp1252Specials(p, length)) {
        QChar* out = text.data();
        for (std::size_t i = 0; i < length; ++i)
            if ((p[i] & 0xE0) == 0x80)
                out[i] = QChar(cp1252ToUnicode(p[i]));
    }
    return text;
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
