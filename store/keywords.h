#pragma once

#include "platform/rtl/ansistring.h"

#include <vector>

// The keywords of one medium as the catalogue keeps them. The keyword table admits each word
// once per medium, compared as the server's default collation for latin1 compares: without
// regard to letter case, to trailing blanks and to most accents (see same_keyword).

// The longest keyword the catalogue keeps, in bytes of its code page.
constexpr int keyword_limit = 50;

// Whether the catalogue takes the two keywords for the same word: byte by byte as the server's
// latin1_swedish_ci collation weighs them, trailing blanks ignored. Besides letter case it
// makes the accented forms of A, C, E, I, N, O and U equal to the plain letter, Ü and Ý equal
// to Y, Ð to D and Æ to Ä; Å, Ä, Ö, Ø, Þ, ß and the letters beyond latin1 (Š, Œ, Ž, Ÿ) are
// letters of their own. (The server weighs Å, Ä and Ö as the brackets [ \ ].)
bool same_keyword(const AnsiString& a, const AnsiString& b);

// The set of keywords that the lines of the keyword field stand for, in the order of the
// lines: each line without its trailing blanks and control characters, empty lines dropped,
// and of lines that the catalogue takes for the same word only the first.
std::vector<AnsiString> keyword_set(const std::vector<AnsiString>& lines);

// Raises Exception with a German message that names the first keyword longer than
// keyword_limit bytes.
void check_keyword_lengths(const std::vector<AnsiString>& keywords);
