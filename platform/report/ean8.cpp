#include "platform/report/ean8.h"

#include "platform/rtl/exception.h"

namespace {

// Left-hand (odd parity) patterns; the right-hand ones are their complements.
const char* const leftCodes[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                                   "0110001", "0101111", "0111011", "0110111", "0001011"};

bool allDigits(const String& text)
{
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

String Ean8::Digits(const String& text)
{
    if (text.isEmpty())
        throw EReportError(QStringLiteral("EAN-8 bar code without content"));
    if (!allDigits(text))
        throw EReportError(
            QStringLiteral("'%1' is not a valid EAN-8 code: only digits are allowed").arg(text));
    if (text.size() > 7)
        throw EReportError(
            QStringLiteral("'%1' is not a valid EAN-8 code: more than 7 digits").arg(text));
    String digits = text.rightJustified(7, QLatin1Char('0'));
    // Weights 3 and 1 alternating from the left; the check digit completes a multiple of ten.
    int sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += (digits[i].unicode() - '0') * (i % 2 == 0 ? 3 : 1);
    digits += QChar(u'0' + (10 - sum % 10) % 10);
    return digits;
}

bool Ean8::TooLong(const String& text)
{
    return text.size() > 7 && allDigits(text);
}

std::array<bool, Ean8::Modules> Ean8::Encode(const String& digits)
{
    if (digits.size() != 8 || !allDigits(digits))
        throw EReportError(
            QStringLiteral("'%1' is not a valid EAN-8 code: 8 digits expected").arg(digits));
    std::array<bool, Modules> m{};
    int at = 0;
    auto put = [&](const char* bits, bool invert) {
        for (const char* b = bits; *b; ++b)
            m[at++] = (*b == '1') != invert;
    };
    put("101", false);
    for (int i = 0; i < 4; ++i)
        put(leftCodes[digits[i].unicode() - '0'], false);
    put("01010", false);
    for (int i = 4; i < 8; ++i)
        put(leftCodes[digits[i].unicode() - '0'], true);
    put("101", false);
    return m;
}

bool Ean8::IsGuard(int module)
{
    return module < 3 || (module >= 31 && module < 36) || module >= 64;
}
