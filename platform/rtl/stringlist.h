#pragma once

#include "platform/rtl/ansistring.h"
#include "platform/rtl/exception.h"

#include <QStringList>

#include <string>
#include <utility>

// A growable byte buffer with a position, as the report and BLOB code hand data around.
class TMemoryStream {
public:
    void Clear()
    {
        bytes_.clear();
        Position = 0;
    }
    void Write(const char* data, std::size_t count);
    std::size_t Size() const { return bytes_.size(); }
    const std::string& Bytes() const { return bytes_; }

    std::size_t Position = 0;

private:
    std::string bytes_;
};

// An ordered list of text lines.
class TStringList {
public:
    TStringList() = default;

    int Add(const String& line);
    // A line made for the list goes in without a copy.
    int Add(String&& line)
    {
        lines_.append(std::move(line));
        return Count() - 1;
    }
    void Insert(int index, const String& line);
    void Delete(int index);
    void Clear() { lines_.clear(); }
    int Count() const { return static_cast<int>(lines_.size()); }
    // Room for that many lines, so that adding up to them moves none.
    void SetCapacity(int capacity) { lines_.reserve(capacity); }
    int IndexOf(const String& line) const { return static_cast<int>(lines_.indexOf(line)); }

    // Raise EListError for an index outside the list.
    const String& operator[](int index) const;
    String& operator[](int index);

    // Every line followed by CR LF.
    String Text() const;
    // Splits at CR LF, LF or CR; a final line break adds no empty line.
    void SetText(const String& text);

    // Files are code page 1252 with CR LF, as the system writes them; a file that starts
    // with a UTF-8 or UTF-16 byte-order mark is read in that encoding. Failures raise
    // EFileError.
    void LoadFromFile(const String& fileName);
    void SaveToFile(const String& fileName) const;
    // Appends the lines to the stream in code page 1252, each followed by CR LF.
    void SaveToStream(TMemoryStream& stream) const;

    const QStringList& lines() const { return lines_; }

private:
    void checkIndex(int index) const;

    QStringList lines_;
};
