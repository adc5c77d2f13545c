#pragma once

#include <algorithm>
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

    // Adds the positions of `batch`, each given as hash << 32 | position
    // with the positions ascending. A position whose entry matches
    // (`matches(stored, position)`) one already stored is not added:
    // `repeated(position, stored)` is called instead. Positions of one key
    // are met in ascending order, so the first of them is the one stored. A
    // large batch is taken in the order of the table's slots, so that its
    // probes walk the table once instead of missing the cache at nearly
    // every position.
    template <class Matches, class Repeated>
    void InsertBatch(std::vector<std::uint64_t> batch, Matches&& matches, Repeated&& repeated) {
        Reserve(std::size_t{used_} + batch.size());
        if (batch.size() >= kBatchOrderMinimum) {
            batch = SlotOrder(batch);
        }
        for (const std::uint64_t item : batch) {
            const auto hash = static_cast<std::uint32_t>(item >> 32);
            const auto position = static_cast<std::uint32_t>(item);
            const std::uint32_t stored =
                Find(hash, [&](std::uint32_t at) { return matches(at, position); });
            if (stored == kNotFound) {
                Insert(hash, position);
            } else {
                repeated(position, stored);
            }
        }
    }
    // Removes a position that is in the table.
    void Erase(std::uint32_t hash, std::uint32_t position);
    // Forgets every position.
    void Clear();
    // Makes room for `count` positions in all, so that adding them grows
    // nothing.
    void Reserve(std::size_t count);
    // Starts loading the place where `hash` is probed first, for an owner
    // that knows the hashes it is about to look up.
    void Prefetch(std::uint32_t hash) const {
        if (!slots_.empty()) {
            __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
        }
    }
    std::size_t Size() const { return used_; }

private:
    // Batches smaller than this fit the cache as they come.
    static constexpr std::uint32_t kBatchOrderMinimum = 4096;

    // `batch` stably sorted by the region of the table where each position
    // is probed first.
    std::vector<std::uint64_t> SlotOrder(const std::vector<std::uint64_t>& batch) const;

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
