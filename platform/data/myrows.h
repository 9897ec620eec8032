#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The rows of a fetched result, packed into blocks of memory: per row the length of every
// field (or a NULL mark), then the fields' bytes, each followed by a zero byte. A cursor
// walks them in order; the blocks it has left behind can be let go as it moves on, so that a
// result read once from front to back needs no more memory than the rows still ahead.
class TMyRows {
public:
    // Forgets every row and takes the number of fields of the next result.
    void Reset(unsigned fields);
    std::size_t Count() const { return count_; }

    // Appends one row: field i has lengths[i] bytes at data[i], or is NULL where data[i] is
    // null.
    void Append(const char* const* data, const unsigned long* lengths);

    // Puts the cursor on the first row (none when there are no rows). False when the first
    // rows have been let go.
    bool First();
    // Moves to the following row; past the last there is none. With release, a block the
    // cursor leaves is let go.
    void Next(bool release);
    // Whether the cursor stands on a row.
    bool Current() const { return row_ != nullptr; }

    // Fields of the current row: null data for NULL.
    const char* Data(unsigned field) const { return data_[field]; }
    unsigned long Length(unsigned field) const { return lengths_[field]; }

private:
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };

    void decode();

    unsigned fields_ = 0;
    std::size_t count_ = 0;
    std::vector<Block> blocks_;

    std::size_t block_ = 0;
    std::size_t offset_ = 0;
    const char* row_ = nullptr;
    std::size_t rowSize_ = 0;
    std::vector<const char*> data_;
    std::vector<unsigned long> lengths_;
};
