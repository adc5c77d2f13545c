#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fw {

// A text-to-text map that remembers the order in which each key was first
// stored: Key(0) to Key(Count() - 1) walk the keys in that order, and storing
// an existing key keeps its place. Keys are compared exactly (letter case
// counts). Lookup is a hash probe; keys by position stay cheap after removals
// (a removal leaves a gap that a Fenwick tree counts past until the gaps are
// compacted away), so a walk over every key by position is linear.
class Dictionary {
public:
    bool HasKey(std::string_view key) const;

    // The stored value, or nullptr when the key is absent.
    const std::string* Find(std::string_view key) const;

    // The stored value, or `fallback` when the key is absent.
    std::string Value(std::string_view key, std::string_view fallback = {}) const;

    void Set(std::string_view key, std::string value);

    // False when the key was absent.
    bool Remove(std::string_view key);

    std::int32_t Count() const { return static_cast<std::int32_t>(index_.size()); }

    // The key and the value at `position` (from 0) in the order of first
    // storing; the empty text when the position is out of range.
    const std::string& Key(std::int32_t position) const;
    const std::string& ValueAt(std::int32_t position) const;

    void Clear();

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept {
            return std::hash<std::string_view>{}(s);
        }
    };
    struct Entry {
        std::string key;
        std::string value;
        bool live = true;
    };

    std::uint32_t SlotOf(std::int32_t position) const;
    void BuildTree();
    void AppendToTree(bool live);
    std::int64_t PrefixCount(std::size_t slots) const;
    void Compact();

    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> index_;
    // Fenwick tree over the live flags of entries_ (1-based); kept only while
    // removed_ > 0.
    std::vector<std::int32_t> tree_;
    std::uint32_t removed_ = 0;
};

} // namespace fw
