#pragma once

#include "platform/rtl/ansistring.h"
#include "platform/rtl/exception.h"

#include <QStringList>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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
//
// Lines read from the database may go in as their code page 1252 bytes (AddBytes): they are
// kept packed, one after the other in a block that copies of the list share, and become
// Strings only when a String is asked for: the first such access (operator[], lines(),
// Text(), IndexOf, ...) turns all of them into Strings at once. Line() and Count() leave
// them packed, for readers such as a grid that look at a few lines of a long list. Like the
// windows, a list belongs to one thread: even its const accessors may change how it holds
// its lines.
class TStringList {
public:
    TStringList() = default;
    TStringList(const TStringList&) = default;
    TStringList& operator=(const TStringList&) = default;
    // The list moved from is left empty.
    TStringList(TStringList&& other) noexcept { *this = std::move(other); }
    TStringList& operator=(TStringList&& other) noexcept
    {
        lines_ = std::exchange(other.lines_, {});
        packed_ = std::exchange(other.packed_, nullptr);
        packedCount_ = std::exchange(other.packedCount_, 0);
        return *this;
    }

    int Add(const String& line);
    // A line made for the list goes in without a copy.
    int Add(String&& line);
    // A line given as code page 1252 bytes; NUL bytes are part of the line.
    int AddBytes(const char* bytes, std::size_t length)
    {
        // Most lines go at the end of a block of the list's own that has room for them.
        if (ownsPacked() && packed_->fits(length)) {
            packed_->append(bytes, length);
            return static_cast<int>(lines_.size()) + packedCount_++;
        }
        return addBytes(bytes, length);
    }
    void Insert(int index, const String& line);
    void Delete(int index);
    void Clear();
    int Count() const { return static_cast<int>(lines_.size()) + packedCount_; }
    int IndexOf(const String& line) const;

    // Raise EListError for an index outside the list.
    const String& operator[](int index) const;
    String& operator[](int index);
    // A copy of the line, made without turning the other lines into Strings.
    String Line(int index) const;

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

    const QStringList& lines() const;

private:
    // The packed lines, which copies of the list share. Lines are only ever added at the end,
    // by the one list that holds all of them; a list that holds fewer (a copy that lost
    // lines) goes on in a copy of its own. Memory comes in blocks of at most 64 KiB that
    // stay where they are, as those of a fetched result do: those the result lets go of as
    // it is read serve the lists built from it.
    struct Packed {
        // The lines' bytes: each line lies whole in one block. Counting the bytes of all
        // lines one after the other, block k begins with byte firsts[k].
        std::vector<char*> blocks;
        std::vector<std::uint32_t> firsts;
        // Where line i ends, so counted: entry i % indexBlock of index block i / indexBlock.
        std::vector<std::uint32_t*> index;
        std::size_t count = 0;
        std::uint32_t size = 0;
        // The room left in the last block and in the last index block.
        char* next = nullptr;
        std::size_t room = 0;
        std::uint32_t* slot = nullptr;
        std::size_t spare = 0;

        static constexpr std::size_t indexBlock = 16384;

        Packed() = default;
        Packed(const Packed&) = delete;
        Packed& operator=(const Packed&) = delete;
        ~Packed();

        bool fits(std::size_t length) const
        {
            return length <= room && spare && length <= UINT32_MAX - size;
        }
        // Where it fits.
        void append(const char* data, std::size_t length)
        {
            std::memcpy(next, data, length);
            next += length;
            room -= length;
            size += static_cast<std::uint32_t>(length);
            *slot++ = size;
            --spare;
            ++count;
        }
        // Makes room first; false, adding nothing, past 4 GiB of bytes.
        bool add(const char* data, std::size_t length);
        std::uint32_t end(std::size_t line) const
        {
            return index[line / indexBlock][line % indexBlock];
        }
        std::uint32_t start(std::size_t line) const { return line ? end(line - 1) : 0; }
        const char* bytes(std::size_t line) const;
        String text(std::size_t line) const;
    };

    int addBytes(const char* bytes, std::size_t length);
    void checkIndex(int index) const;
    // Turns the packed lines into Strings at the end of lines_.
    void unpack() const;
    // Whether this list alone holds packed_, and all of its lines: then it may append to it.
    bool ownsPacked() const
    {
        return packed_ && packed_.use_count() == 1 &&
               packed_->count == static_cast<std::size_t>(packedCount_);
    }
    // The packed lines as this list's own, for appending to them.
    Packed& ownPacked();

    // The lines as Strings, then the packed ones: the first packedCount_ lines of packed_.
    mutable QStringList lines_;
    mutable std::shared_ptr<Packed> packed_;
    mutable int packedCount_ = 0;
};
