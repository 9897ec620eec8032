#pragma once

#include "platform/rtl/ansistring.h"
#include "platform/rtl/exception.h"

// Reads a signed 32-bit whole number: an optional sign followed by decimal digits and
// nothing else. Anything else raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const String& text);
// As StrToInt, but returns fallback where StrToInt would raise.
int StrToIntDef(const String& text, int fallback);
String IntToStr(int value);

// Remove every trailing character with a code up to 32 (blanks and control characters).
String TrimRight(const String& text);
AnsiString TrimRight(const AnsiString& text);

// The text followed by a sentence that begins with a full stop, with one full stop between
// them: the sentence's own is left out when the text ends in one.
String AddSentence(const String& text, const String& sentence);
