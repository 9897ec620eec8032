#pragma once

// Small helpers the tests share: the message of a call that fails, and 8-bit text shown
// byte by byte.
#include "platform/rtl/ansistring.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exception.h"

#include <QByteArrayList>
#include <QString>

#include <functional>
#include <vector>

namespace testdb {

// The message of the Exception that the call raises, or "<no error>".
inline QString failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Exception& e) {
        return e.Message;
    }
    return QStringLiteral("<no error>");
}

inline AnsiString bytes(const QByteArray& b)
{
    return AnsiString(b.constData(), static_cast<std::size_t>(b.size()));
}

inline std::vector<AnsiString> list(const QByteArrayList& lines)
{
    std::vector<AnsiString> out;
    for (const QByteArray& line : lines)
        out.push_back(bytes(line));
    return out;
}

// Control and 8-bit bytes as \xHH, so that a failure shows every byte.
inline QString show(const AnsiString& a)
{
    QString out;
    for (unsigned char c : a.bytes()) {
        if (c >= 0x20 && c < 0x7F && c != '\\')
            out += QChar(c);
        else
            out += QStringLiteral("\\x%1").arg(c, 2, 16, QChar(u'0'));
    }
    return out;
}

inline QString show(const std::vector<AnsiString>& v)
{
    QString out = QString::number(v.size()) + u':';
    for (const AnsiString& a : v)
        out += u'[' + show(a) + u']';
    return out;
}

inline QString show(const QByteArrayList& v)
{
    return show(list(v));
}

// The day count with every digit.
inline QString show(TDateTime d)
{
    return QString::number(d.Val, 'g', 17);
}

} // namespace testdb
