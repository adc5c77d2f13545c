#pragma once

#include "framework/core/HashIndex.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// A text-to-text map that remembers the order in which each key was first
// stored: Key(0) to Key(Count() - 1) walk the keys in that order, and storing
// an existing key keeps its place. Keys are compared exactly (letter case
// counts). Lookup is a hash probe (a short scan while the dictionary holds
// only a few keys); keys by position stay cheap after removals (a removal
// leaves a gap that a Fenwick tree counts past until the gaps are compacted
// away), so a walk over every key by position is linear.
class Dictionary {
public:
    bool HasKey(std::string_view key) const;

    // The stored value, or nullptr when the key is absent.
    const std::string* Find(std::string_view key) const;

    // The stored value, or `fallback` when the key is absent.
    std::string Value(std::string_view key, std::string_view fallback = {}) const;

    void Set(std::string_view key, std::string value);

    // Set for filling: the check for a key stored before is left until the
    // dictionary is next read or changed in another way, and then made for
    // every key appended meanwhile in one pass. The result is that of Set.
    // That first read changes the dictionary inside, so it must not race
    // with another read.
    void Append(std::string_view key, std::string value);

    // Takes the keys appended since the last read as they are, for a caller
    // that knows them distinct from each other and from every key stored
    // before; a repeated key left in would be found twice. The hash index of
    // a large dictionary is then built on the first lookup by key.
    void AcceptAppended();

    // The value stored under `key`, stored empty at the end of the order
    // when the key is absent; `created` tells which. The reference holds
    // until the next change of the dictionary.
    std::string& At(std::string_view key, bool* created = nullptr);

    // False when the key was absent.
    bool Remove(std::string_view key);

    std::int32_t Count() const {
        Settle();
        return static_cast<std::int32_t>(live_);
    }

    // The key and the value at `position` (from 0) in the order of first
    // storing; the empty text when the position is out of range.
    const std::string& Key(std::int32_t position) const;
    const std::string& ValueAt(std::int32_t position) const;

    void Clear();

private:
    struct Entry {
        std::string key;
        std::string value;
        std::uint32_t hash = 0;
        bool live = true;
    };

    std::uint32_t SlotOfKey(std::string_view key, std::uint32_t hash) const;
    std::uint32_t SlotOf(std::int32_t position) const;
    void BuildTree();
    void AppendToTree(bool live);
    std::int64_t PrefixCount(std::size_t slots) const;
    void Compact();
    // Checks the appended keys; see Append.
    void Settle() const {
        if (settled_ != entries_.size()) {
            // Only a dictionary that was appended to has keys to check, and
            // that one is no const object.
            const_cast<Dictionary*>(this)->SettleAppended();
        }
    }
    void SettleAppended();

    // Up to this many entries are found by scanning, without a hash index.
    static constexpr std::size_t kScanLimit = 8;
    void BuildIndex();
    // Settles and builds the index that a lookup by key needs.
    void PrepareLookup() const {
        Settle();
        if (!indexed_ && entries_.size() > kScanLimit) {
            // As Settle: only an appended dictionary lacks its index.
            const_cast<Dictionary*>(this)->BuildIndex();
        }
    }

    std::vector<Entry> entries_;
    HashIndex index_;
    // Fenwick tree over the live flags of entries_ (1-based); kept only while
    // removed_ > 0.
    std::vector<std::int32_t> tree_;
    std::uint32_t live_ = 0;
    // Entries from here on were appended and are not checked yet; they are
    // neither counted in live_ nor indexed.
    std::uint32_t settled_ = 0;
    std::uint32_t removed_ = 0;
    bool indexed_ = false;
};

} // namespace fw
