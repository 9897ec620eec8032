#include "platform/rtl/sysutils.h"

#include <limits>

namespace {

bool parseInt(const String& text, int& value)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == n)
        return false;
    long long v = 0;
    const long long limit = negative ? -static_cast<long long>(std::numeric_limits<int>::min())
                                     : std::numeric_limits<int>::max();
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
        if (v > limit)
            return false;
    }
    value = static_cast<int>(negative ? -v : v);
    return true;
}

} // namespace

int StrToInt(const String& text)
{
    int value = 0;
    if (!parseInt(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

int StrToIntDef(const String& text, int fallback)
{
    int value = 0;
    return parseInt(text, value) ? value : fallback;
}

String IntToStr(int value)
{
    return String::number(value);
}

String TrimRight(const String& text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].unicode() <= 32)
        --end;
    return text.left(end);
}

AnsiString TrimRight(const AnsiString& text)
{
    const std::string& b = text.bytes();
    std::size_t end = b.size();
    while (end > 0 && static_cast<unsigned char>(b[end - 1]) <= 32)
        --end;
    return AnsiString(b.substr(0, end));
}

String AddSentence(const String& text, const String& sentence)
{
    if (text.endsWith(u'.') && sentence.startsWith(u'.'))
        return text + sentence.mid(1);
    return text + sentence;
}
