#include "platform/rtl/ansistring.h"

#include <cstdint>
#include <cstring>
#include <unordered_set>
#include <utility>

namespace {

// 0x80..0x9F of code page 1252. The five bytes that the code page leaves unassigned map to
// the C1 control of the same value, as Windows and the server's latin1 both do.
const char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

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

// The character at p, a surrogate pair taken whole; p moves past it.
char32_t nextCharacter(const char16_t*& p, const char16_t* end)
{
    char32_t code = *p++;
    if (code >= 0xD800 && code < 0xDC00 && p < end && *p >= 0xDC00 && *p < 0xE000)
        code = 0x10000 + ((code - 0xD800) << 10) + (*p++ - 0xDC00);
    return code;
}

} // namespace

bool unicodeToCp1252(char32_t code, unsigned char& byte)
{
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        byte = static_cast<unsigned char>(code);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == code) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

AnsiString::AnsiString(const char* bytes) : bytes_(bytes ? bytes : "") {}

AnsiString::AnsiString(const char* bytes, std::size_t length) : bytes_(bytes, length) {}

AnsiString::AnsiString(std::string bytes) : bytes_(std::move(bytes)) {}

AnsiString::AnsiString(const String& text)
{
    bytes_.reserve(static_cast<std::size_t>(text.size()));
    const char16_t* p = reinterpret_cast<const char16_t*>(text.utf16());
    const char16_t* end = p + text.size();
    while (p < end) {
        // A surrogate pair is one character and becomes one '?'.
        const char32_t code = nextCharacter(p, end);
        unsigned char byte;
        bytes_.push_back(unicodeToCp1252(code, byte) ? static_cast<char>(byte) : '?');
    }
}

QStringList NotInCp1252(const String& text)
{
    QStringList missing;
    std::unordered_set<char32_t> seen;
    const char16_t* p = reinterpret_cast<const char16_t*>(text.utf16());
    const char16_t* end = p + text.size();
    while (p < end) {
        const char16_t* start = p;
        const char32_t code = nextCharacter(p, end);
        unsigned char byte;
        if (unicodeToCp1252(code, byte))
            continue;
        if (seen.insert(code).second)
            missing << String(reinterpret_cast<const QChar*>(start), p - start);
    }
    return missing;
}

String Cp1252Text(const char* bytes, std::size_t length)
{
    // Code page 1252 is latin1 but for 0x80..0x9F: convert fast, then mend those bytes, which
    // few texts hold.
    String text = String::fromLatin1(bytes, static_cast<qsizetype>(length));
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    if (hasCp1252Specials(p, length)) {
        QChar* out = text.data();
        for (std::size_t i = 0; i < length; ++i)
            if ((p[i] & 0xE0) == 0x80)
                out[i] = QChar(kHigh[p[i] - 0x80]);
    }
    return text;
}

String AnsiString::toString() const
{
    return Cp1252Text(bytes_.data(), bytes_.size());
}

AnsiString& AnsiString::operator+=(const AnsiString& other)
{
    bytes_ += other.bytes_;
    return *this;
}
