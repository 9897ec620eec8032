#pragma once

#include "platform/rtl/ansistring.h"

#include <array>

// EAN-8 symbols: seven digits of content and the check digit computed from them.
class Ean8 {
public:
    static constexpr int Modules = 67;
    // 1/96 inch in mm.
    static constexpr double ModuleWidth = 25.4 / 96.0;
    static constexpr double Width = Modules * ModuleWidth;

    // The text filled with zeros on the left to seven digits, followed by its check digit.
    // Anything else (more than seven characters, a character that is no digit, an empty
    // text) raises EReportError.
    static String Digits(const String& text);
    // A text of digits, more than a symbol holds: it has no symbol.
    static bool TooLong(const String& text);
    // The modules from the left, true for a bar, of eight digits encoded as they stand (the
    // last in the check digit's place); raises EReportError for a text that is not exactly
    // eight digits.
    static std::array<bool, Modules> Encode(const String& digits);
    // The start, centre and end guards, whose bars reach down between the digits.
    static bool IsGuard(int module);
};
