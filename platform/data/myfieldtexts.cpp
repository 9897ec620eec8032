#include "platform/data/myfieldtexts.h"

#include <cstring>

namespace {

// Distinct values kept at most; a field that has more of them among its first values than
// it repeats is left to plain conversion.
const std::size_t maxValues = 1024;
// Longer values are names no more; they are converted each time.
const unsigned long maxLength = 256;

std::uint64_t hashOf(const char* p, std::size_t n)
{
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
    while (n >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        h = (h ^ w) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
        p += 8;
        n -= 8;
    }
    std::uint64_t w = 0;
    for (std::size_t i = 0; i < n; ++i)
        w |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    h = (h ^ w) * 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 29);
}

} // namespace

const String* TFieldTexts::find(std::uint64_t hash, const char* data, std::size_t length) const
{
    if (slots_.empty())
        return nullptr;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const int at = slots_[i];
        if (at < 0)
            return nullptr;
        const Entry& e = entries_[static_cast<std::size_t>(at)];
        if (e.hash == hash && e.length == length &&
            std::memcmp(bytes_.data() + e.offset, data, length) == 0)
            return &e.text;
    }
}

void TFieldTexts::insert(std::uint64_t hash, const char* data, std::size_t length,
                         const String& text)
{
    if ((entries_.size() + 1) * 2 > slots_.size()) {
        std::vector<int> grown(std::max<std::size_t>(64, slots_.size() * 2), -1);
        const std::size_t mask = grown.size() - 1;
        for (std::size_t e = 0; e < entries_.size(); ++e) {
            std::size_t i = entries_[e].hash & mask;
            while (grown[i] >= 0)
                i = (i + 1) & mask;
            grown[i] = static_cast<int>(e);
        }
        slots_.swap(grown);
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i] >= 0)
        i = (i + 1) & mask;
    slots_[i] = static_cast<int>(entries_.size());
    entries_.push_back(Entry{hash, static_cast<std::uint32_t>(bytes_.size()),
                             static_cast<std::uint32_t>(length), text});
    bytes_.append(data, length);
}

void TFieldTexts::stop()
{
    sharing_ = false;
    entries_ = {};
    slots_ = {};
    bytes_ = {};
}

String TFieldTexts::Text(const TField& field)
{
    if (!field.data_)
        return String();
    if (!sharing_ || field.length_ > maxLength)
        return field.AsString();
    if (field.isTemporal()) {
        stop(); // dates and times are written out anew each time
        return field.AsString();
    }
    ++seen_;
    const std::uint64_t hash = hashOf(field.data_, field.length_);
    if (const String* known = find(hash, field.data_, field.length_))
        return *known;
    String text = field.AsString();
    if (entries_.size() < maxValues) {
        insert(hash, field.data_, field.length_, text);
    } else if (entries_.size() * 2 > seen_) {
        stop(); // mostly distinct values: looking them up costs more than it saves
    }
    return text;
}
