#include "platform/data/myrows.h"

#include <algorithm>
#include <cstring>

namespace {

const std::uint32_t nullMark = 0xFFFFFFFFu;
// Big enough that a block holds a few hundred list rows, small enough that letting go of one
// is soon of use to whatever the reader builds from the rows.
const std::size_t blockSize = 64 * 1024;

} // namespace

void TMyRows::Reset(unsigned fields)
{
    fields_ = fields;
    count_ = 0;
    blocks_.clear();
    block_ = offset_ = 0;
    row_ = nullptr;
    rowSize_ = 0;
    data_.assign(fields, nullptr);
    lengths_.assign(fields, 0);
}

void TMyRows::Append(const char* const* data, const unsigned long* lengths)
{
    std::size_t size = sizeof(std::uint32_t) * fields_;
    for (unsigned i = 0; i < fields_; ++i)
        if (data[i])
            size += lengths[i] + 1;
    if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < size) {
        Block b;
        b.capacity = std::max(blockSize, size);
        b.bytes.reset(new char[b.capacity]);
        blocks_.push_back(std::move(b));
    }
    Block& b = blocks_.back();
    char* at = b.bytes.get() + b.used;
    char* bytes = at + sizeof(std::uint32_t) * fields_;
    for (unsigned i = 0; i < fields_; ++i) {
        const std::uint32_t length = data[i] ? static_cast<std::uint32_t>(lengths[i]) : nullMark;
        std::memcpy(at + sizeof(std::uint32_t) * i, &length, sizeof length);
        if (data[i]) {
            std::memcpy(bytes, data[i], lengths[i]);
            bytes[lengths[i]] = '\0';
            bytes += lengths[i] + 1;
        }
    }
    b.used += size;
    ++count_;
}

void TMyRows::decode()
{
    if (block_ >= blocks_.size() || offset_ >= blocks_[block_].used) {
        row_ = nullptr;
        rowSize_ = 0;
        std::fill(data_.begin(), data_.end(), nullptr);
        std::fill(lengths_.begin(), lengths_.end(), 0);
        return;
    }
    row_ = blocks_[block_].bytes.get() + offset_;
    const char* bytes = row_ + sizeof(std::uint32_t) * fields_;
    for (unsigned i = 0; i < fields_; ++i) {
        std::uint32_t length;
        std::memcpy(&length, row_ + sizeof(std::uint32_t) * i, sizeof length);
        if (length == nullMark) {
            data_[i] = nullptr;
            lengths_[i] = 0;
        } else {
            data_[i] = bytes;
            lengths_[i] = length;
            bytes += length + 1;
        }
    }
    rowSize_ = static_cast<std::size_t>(bytes - row_);
}

bool TMyRows::First()
{
    if (!blocks_.empty() && !blocks_.front().bytes)
        return false;
    block_ = offset_ = 0;
    decode();
    return true;
}

void TMyRows::Next(bool release)
{
    if (!row_)
        return;
    offset_ += rowSize_;
    if (offset_ >= blocks_[block_].used) {
        if (release)
            blocks_[block_].bytes.reset();
        ++block_;
        offset_ = 0;
    }
    decode();
}
