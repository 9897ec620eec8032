#pragma once

#include "platform/data/myfield.h"

#include <cstdint>
#include <string>
#include <vector>

// Reads the texts of one field, row after row, as TField::AsString does, but hands out one
// shared string for a value that repeats, as the names of the locations, types and
// categories in a list of media do: no new string to make and no memory of its own for each.
// In a field whose values hardly repeat it soon stops looking.
class TFieldTexts {
public:
    String Text(const TField& field);

private:
    struct Entry {
        std::uint64_t hash;
        std::uint32_t offset; // of the value's bytes in bytes_
        std::uint32_t length;
        String text;
    };

    const String* find(std::uint64_t hash, const char* data, std::size_t length) const;
    void insert(std::uint64_t hash, const char* data, std::size_t length, const String& text);
    void stop();

    bool sharing_ = true;
    std::size_t seen_ = 0;
    std::vector<Entry> entries_;
    std::vector<int> slots_; // indexes into entries_, -1 where free; a power of two long
    std::string bytes_;
};
