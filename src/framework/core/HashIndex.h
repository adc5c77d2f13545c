#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace fw {

// Hash of a text key as the hash indexes use it.
std::uint32_t HashText(std::string_view text) noexcept;

// An open-addressing table of positions into an owner's own list of
// entries, for owners that keep their entries in order in a vector and need
// to find one by key. The table stores each position with its key's hash, so
// probing touches the entries only for a likely match, and growing needs no
// key to be hashed again. The owner compares keys through a callback.
class HashIndex {
public:
    static constexpr std::uint32_t kNotFound = 0xFFFFFFFFu;

    // The position whose entry `matches`, among those stored with `hash`.
    template <class Matches> std::uint32_t Find(std::uint32_t hash, Matches&& matches) const {
        if (slots_.empty()) {
            return kNotFound;
        }
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            const std::uint64_t slot = slots_[i];
            const auto tag = static_cast<std::uint32_t>(slot);
            if (tag == kEmpty) {
                return kNotFound;
            }
            if (tag != kDeleted && static_cast<std::uint32_t>(slot >> 32) == hash &&
                matches(tag - kFirstPosition)) {
                return tag - kFirstPosition;
            }
        }
    }

    // Adds a position that is not in the table yet.
    void Insert(std::uint32_t hash, std::uint32_t position);

    // Removes a position that is in the table.
    void Erase(std::uint32_t hash, std::uint32_t position);
    // Forgets every position.
    void Clear();
    // Makes room for `count` positions in all, so that adding them grows
    // nothing.
    void Reserve(std::size_t count);

private:
    static constexpr std::uint32_t kEmpty = 0;
    static constexpr std::uint32_t kDeleted = 1;
    static constexpr std::uint32_t kFirstPosition = 2;

    void Grow();
    void Rehash(std::size_t capacity);

    std::vector<std::uint64_t> slots_; // hash << 32 | (position + 2)
    std::uint32_t used_ = 0;           // positions are 32-bit, and so are their counts
    std::uint32_t deleted_ = 0;
};

} // namespace fw
