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

    // Adds the positions first to first + count - 1, whose hashes are
    // hashOf(position). A position whose entry matches (`matches(stored,
    // position)`) one already stored is not added: `repeated(position,
    // stored)` is called instead. Positions of one key are met in ascending
    // order, so the first of them is the one stored. A large batch is taken
    // in the order of the table's slots, so that its probes walk the table
    // once instead of missing the cache at nearly every position.
    template <class HashOf, class Matches, class Repeated>
    void InsertBatch(std::uint32_t first, std::uint32_t count, HashOf&& hashOf, Matches&& matches,
                     Repeated&& repeated) {
        Reserve(std::size_t{used_} + count);
        const auto add = [&](std::uint32_t hash, std::uint32_t position) {
            const std::uint32_t stored =
                Find(hash, [&](std::uint32_t at) { return matches(at, position); });
            if (stored == kNotFound) {
                Insert(hash, position);
            } else {
                repeated(position, stored);
            }
        };
        if (count < kBatchOrderMinimum) {
            for (std::uint32_t k = 0; k < count; ++k) {
                add(hashOf(first + k), first + k);
            }
            return;
        }
        for (const std::uint64_t slot : SlotOrder(first, count, hashOf)) {
            add(static_cast<std::uint32_t>(slot >> 32), static_cast<std::uint32_t>(slot));
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

    // The positions of a batch with their hashes (hash << 32 | position),
    // stably sorted by the region of the table where each is probed first.
    template <class HashOf>
    std::vector<std::uint64_t> SlotOrder(std::uint32_t first, std::uint32_t count,
                                         HashOf& hashOf) const {
        constexpr std::size_t kRegions = 4096;
        const std::size_t regionSize = std::max<std::size_t>(1, slots_.size() / kRegions);
        const std::size_t mask = slots_.size() - 1;
        std::vector<std::uint64_t> batch(count);
        std::vector<std::uint32_t> starts(kRegions + 1, 0);
        for (std::uint32_t k = 0; k < count; ++k) {
            const std::uint32_t hash = hashOf(first + k);
            batch[k] = std::uint64_t{hash} << 32 | (first + k);
            ++starts[(hash & mask) / regionSize + 1];
        }
        for (std::size_t r = 1; r <= kRegions; ++r) {
            starts[r] += starts[r - 1];
        }
        std::vector<std::uint64_t> order(count);
        for (const std::uint64_t slot : batch) {
            order[starts[((slot >> 32) & mask) / regionSize]++] = slot;
        }
        return order;
    }

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
