#pragma once

#include "platform/rtl/ansistring.h"

#include <array>

// EAN-8 symbols. The eight digits are encoded as they stand: the eighth takes the place of the
// check digit and is not computed.
class Ean8 {
public:
    static constexpr int Modules = 67;
    // 1/96 inch in mm.
    static constexpr double ModuleWidth = 25.4 / 96.0;
    static constexpr double Width = Modules * ModuleWidth;

    // The text filled with zeros on the left to eight digits. Anything else (more than eight
    // characters, a character that is no digit, an empty text) raises EReportError.
    static String Digits(const String& text);
    // The modules from the left, true for a bar; raises as Digits for a text that is not
    // exactly eight digits.
    static std::array<bool, Modules> Encode(const String& digits);
    // The start, centre and end guards, whose bars reach down between the digits.
    static bool IsGuard(int module);
};
