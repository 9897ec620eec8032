#include "store/keywords.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/sysutils.h"

#include <array>
#include <string>
#include <unordered_set>
#include <utility>

namespace {

// The weight that the server's latin1_swedish_ci collation gives each byte: bytes of equal
// weight compare equal. Every byte weighs itself but for the lower-case letters, which weigh
// as their capitals, and the groups below, whose first byte is the weight of the others.
const std::array<unsigned char, 256>& weights()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b)
            t[b] = static_cast<unsigned char>(b >= 'a' && b <= 'z' ? b - 'a' + 'A' : b);
        const char* const groups[] = {
            "A\xC0\xC1\xC2\xC3\xE0\xE1\xE2\xE3", // À Á Â Ã à á â ã
            "C\xC7\xE7",                         // Ç ç
            "D\xD0\xF0",                         // Ð ð
            "E\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB", // È É Ê Ë è é ê ë
            "I\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF", // Ì Í Î Ï ì í î ï
            "N\xD1\xF1",                         // Ñ ñ
            "O\xD2\xD3\xD4\xD5\xF2\xF3\xF4\xF5", // Ò Ó Ô Õ ò ó ô õ
            "U\xD9\xDA\xDB\xF9\xFA\xFB",         // Ù Ú Û ù ú û
            "Y\xDC\xDD\xFC\xFD",                 // Ü Ý ü ý
            "[\xC5\xE5",                         // Å å
            "\\\xC4\xC6\xE4\xE6",                // Ä Æ ä æ
            "]\xD6\xF6",                         // Ö ö
            "\xD8\xF8",                          // Ø ø
            "\xDE\xFE",                          // Þ þ
        };
        for (const char* group : groups)
            for (const char* b = group + 1; *b; ++b)
                t[static_cast<unsigned char>(*b)] = static_cast<unsigned char>(group[0]);
        return t;
    }();
    return table;
}

// The word as the collation compares it: the weights of its bytes, trailing blanks left out.
std::string key(const AnsiString& word)
{
    const std::string& bytes = word.bytes();
    std::size_t n = bytes.size();
    while (n > 0 && bytes[n - 1] == ' ')
        --n;
    const auto& w = weights();
    std::string out(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<char>(w[static_cast<unsigned char>(bytes[i])]);
    return out;
}

} // namespace

bool same_keyword(const AnsiString& a, const AnsiString& b)
{
    return key(a) == key(b);
}

std::vector<AnsiString> keyword_set(const std::vector<AnsiString>& lines)
{
    std::vector<AnsiString> set;
    std::unordered_set<std::string> keys;
    for (const AnsiString& line : lines) {
        AnsiString word = TrimRight(line);
        if (!word.IsEmpty() && keys.insert(key(word)).second)
            set.push_back(std::move(word));
    }
    return set;
}

void check_keyword_lengths(const std::vector<AnsiString>& keywords)
{
    for (const AnsiString& word : keywords)
        if (word.Length() > keyword_limit)
            throw Exception(QString::fromUtf8("Das Stichwort „%1“ ist %2 Zeichen lang. Ein "
                                              "Stichwort kann höchstens %3 Zeichen lang sein; "
                                              "bitte kürzen Sie es.")
                                .arg(word.toString(), QString::number(word.Length()),
                                     QString::number(keyword_limit)));
}
