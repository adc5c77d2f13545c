#include "calculator/WordPool.h"

namespace calc {
namespace {

std::uint32_t Hash(std::string_view word) noexcept {
    std::uint32_t hash = 2166136261u;
    for (const char c : word) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

} // namespace

std::uint32_t WordPool::Intern(std::string_view word) {
    // Keep the table at most half full so that probes stay short.
    if (2 * (static_cast<std::size_t>(Size()) + 1) > slots_.size()) {
        Grow();
    }
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = Hash(word) & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t entry = slots_[slot];
        if (entry == 0) {
            const std::uint32_t id = Size();
            bytes_.append(word);
            starts_.push_back(static_cast<std::uint32_t>(bytes_.size()));
            slots_[slot] = id + 1;
            return id;
        }
        if (Text(entry - 1) == word) {
            return entry - 1;
        }
    }
}

void WordPool::Grow() {
    std::vector<std::uint32_t> slots(slots_.empty() ? 64 : 2 * slots_.size(), 0);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t id = 0; id < Size(); ++id) {
        std::size_t slot = Hash(Text(id)) & mask;
        while (slots[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        slots[slot] = id + 1;
    }
    slots_.swap(slots);
}

void WordPool::Clear() {
    std::string().swap(bytes_);
    std::vector<std::uint32_t>{0}.swap(starts_);
    std::vector<std::uint32_t>().swap(slots_);
}

std::size_t WordPool::MemoryBytes() const noexcept {
    return bytes_.capacity() + (starts_.capacity() + slots_.capacity()) * sizeof(std::uint32_t);
}

} // namespace calc
