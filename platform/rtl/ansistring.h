#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <string>

// The UTF-16 text of windows and components.
using String = QString;

// 8-bit text in Windows code page 1252, the code page of the catalogue's latin1 tables.
// Bytes go in and out unchanged; conversion to and from String maps code page 1252.
class AnsiString {
public:
    AnsiString() = default;
    AnsiString(const char* bytes);
    AnsiString(const char* bytes, std::size_t length);
    AnsiString(std::string bytes);
    // Characters outside code page 1252 become '?'.
    AnsiString(const String& text);

    // Number of bytes.
    int Length() const { return static_cast<int>(bytes_.size()); }
    bool IsEmpty() const { return bytes_.empty(); }
    const char* c_str() const { return bytes_.c_str(); }
    const char* data() const { return bytes_.data(); }
    const std::string& bytes() const { return bytes_; }

    // Exact conversion to UTF-16.
    String toString() const;

    AnsiString& operator+=(const AnsiString& other);
    friend AnsiString operator+(AnsiString a, const AnsiString& b) { return a += b; }
    friend bool operator==(const AnsiString& a, const AnsiString& b)
    {
        return a.bytes_ == b.bytes_;
    }
    friend bool operator!=(const AnsiString& a, const AnsiString& b)
    {
        return a.bytes_ != b.bytes_;
    }
    friend bool operator<(const AnsiString& a, const AnsiString& b) { return a.bytes_ < b.bytes_; }

private:
    std::string bytes_;
};

// The code page 1252 byte of a character, for callers that work byte-wise; false where the
// character has none.
bool unicodeToCp1252(char32_t code, unsigned char& byte);
// Bytes in code page 1252 as UTF-16 text.
String Cp1252Text(const char* bytes, std::size_t length);
// The characters of the text that code page 1252 cannot hold, each once, in the order in which
// they first appear; a surrogate pair is one character, a lone surrogate one of its own.
QStringList NotInCp1252(const String& text);
