#include "framework/core/HashIndex.h"

#include <functional>

namespace fw {

std::uint32_t HashText(std::string_view text) noexcept {
    const std::size_t h = std::hash<std::string_view>{}(text);
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

void HashIndex::Insert(std::uint32_t hash, std::uint32_t position) {
    if ((used_ + deleted_ + 1) * 2 > slots_.size()) {
        Grow();
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (static_cast<std::uint32_t>(slots_[i]) != kEmpty) {
        i = (i + 1) & mask;
    }
    slots_[i] = (std::uint64_t{hash} << 32) | (position + kFirstPosition);
    ++used_;
}

void HashIndex::Erase(std::uint32_t hash, std::uint32_t position) {
    if (slots_.empty()) {
        return;
    }
    const std::size_t mask = slots_.size() - 1;
    const std::uint64_t wanted = (std::uint64_t{hash} << 32) | (position + kFirstPosition);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const auto tag = static_cast<std::uint32_t>(slots_[i]);
        if (tag == kEmpty) {
            return;
        }
        if (slots_[i] == wanted) {
            slots_[i] = kDeleted;
            --used_;
            ++deleted_;
            return;
        }
    }
}

void HashIndex::Clear() {
    slots_.clear();
    used_ = 0;
    deleted_ = 0;
}

void HashIndex::Reserve(std::size_t count) {
    // Insert keeps the table at most half full.
    if ((count + deleted_) * 2 <= slots_.size()) {
        return;
    }
    std::size_t capacity = 16;
    while (capacity < count * 2 + 2) {
        capacity *= 2;
    }
    Rehash(capacity);
}

void HashIndex::Grow() {
    std::size_t capacity = 16;
    while (capacity < (used_ + 1) * 4) {
        capacity *= 2;
    }
    Rehash(capacity);
}

void HashIndex::Rehash(std::size_t capacity) {
    std::vector<std::uint64_t> old;
    old.swap(slots_);
    slots_.assign(capacity, kEmpty);
    const std::size_t mask = capacity - 1;
    for (const std::uint64_t slot : old) {
        const auto tag = static_cast<std::uint32_t>(slot);
        if (tag == kEmpty || tag == kDeleted) {
            continue;
        }
        std::size_t i = static_cast<std::uint32_t>(slot >> 32) & mask;
        while (static_cast<std::uint32_t>(slots_[i]) != kEmpty) {
            i = (i + 1) & mask;
        }
        slots_[i] = slot;
    }
    deleted_ = 0;
}

} // namespace fw
