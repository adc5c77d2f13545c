#pragma once

#include "framework/core/HashIndex.h"
#include "plist/ChunkedVector.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plistio {

// The entries of one node, each key held once with its type name and, for a
// scalar, its value text. The node's `types` and `values` read it as two
// dictionaries: `types` holds the keys that have a type name, in the order
// in which each was first given one; `values` the keys that have a value
// text. A file's large nodes hold both for nearly every key, and storing the
// key once halves what loading them builds.
//
// Keys are compared exactly. Lookup is a hash probe (a short scan while the
// table holds only a few entries); keys by position stay cheap after
// removals (a Fenwick tree counts past the gaps until they are compacted
// away), so a walk over every key by position is linear.
class EntryTable {
public:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    // The type names that the store writes itself, which an entry holds as
    // a code of its own; Other stands for any other name.
    enum class Type : std::uint8_t {
        Other,
        String,
        Integer,
        Real,
        Date,
        Data,
        Boolean,
        Dict,
        Array,
        Double,
    };

    class Entry {
    public:
        Entry() = default;
        explicit Entry(std::string_view key) : key_(key) {}

        const std::string& Key() const { return key_; }
        // The empty text for an entry without a type name.
        const std::string& TypeName() const;
        bool IsNode() const { return typed_ && (type_ == kDict || type_ == kArray); }
        bool Typed() const { return typed_; }
        // Null for an entry without a value text.
        const std::string* Value() const { return valued_ ? &value_ : nullptr; }

    private:
        friend class EntryTable;
        void SetType(std::string_view type);

        std::string key_;
        std::string value_;
        // A type name other than the ones the store writes itself.
        std::unique_ptr<std::string> otherType_;
        std::uint32_t hash_ = 0;
        std::uint8_t type_ = 0;
        bool typed_ = false;
        bool valued_ = false;
    };

    // --- Lookup ----------------------------------------------------------
    const Entry* Find(std::string_view key) const;
    std::int32_t TypedCount() const {
        Settle();
        return static_cast<std::int32_t>(typed_);
    }
    std::int32_t ValuedCount() const {
        Settle();
        return static_cast<std::int32_t>(valued_);
    }
    // The entry at `position` (from 0) of the typed keys; null when out of
    // range.
    const Entry* TypedAt(std::int32_t position) const;
    // Calls `visit` with every typed entry in order.
    template <class Visit> void ForEachTyped(Visit&& visit) const {
        Settle();
        for (std::size_t slot = 0; slot < entries_.size(); ++slot) {
            if (entries_[slot].typed_) {
                visit(entries_[slot]);
            }
        }
    }

    // --- Changes ---------------------------------------------------------
    // Gives `key` the type name `type`, keeping its value text; a key new to
    // the types comes last in their order. True when the key had another
    // type name that marked a child node ("dict" or "array").
    bool SetType(std::string_view key, std::string_view type);
    // Gives `key` the value text `value`, keeping its type name.
    void SetValue(std::string_view key, std::string value);
    // SetType and SetValue in one.
    bool SetScalar(std::string_view key, std::string_view type, std::string value);
    // Removes the type name or the value text of `key`; false when it had none.
    bool RemoveType(std::string_view key);
    bool RemoveValue(std::string_view key);
    void Clear();

    // --- Filling ---------------------------------------------------------
    // Appends an entry without looking for its key among the others: the
    // check is left until the next lookup or Settle, and then made for every
    // entry appended meanwhile in one pass. A repeated key then counts once:
    // the later entry's type name and value text win, in the place of the
    // first. A null `value` appends an entry without a value text.
    void Append(std::string_view key, std::string_view type, std::string* value);
    // Append for a type name of the store's own (not Other).
    void Append(std::string_view key, Type type, std::string* value);
    // Makes the check of Append now; true when some key was repeated.
    bool Settle() const;
    // Settle for appended keys known to differ from each other and from
    // every earlier key, as an array's indices do: nothing is compared.
    void SettleDistinct();

private:
    static constexpr auto kOther = static_cast<std::uint8_t>(Type::Other);
    static constexpr auto kDict = static_cast<std::uint8_t>(Type::Dict);
    static constexpr auto kArray = static_cast<std::uint8_t>(Type::Array);
    // Up to this many entries are found by scanning, without a hash index.
    static constexpr std::size_t kScanLimit = 8;

    std::uint32_t SlotOf(std::string_view key) const;
    // The entry of `key` with a type name, made or moved last in the order
    // of the typed keys when it had none; `created` tells whether it is new.
    Entry& TypedEntry(std::string_view key, bool* created);
    Entry& NewEntry(std::string_view key, bool typed);
    void Kill(std::uint32_t slot);
    void MarkTyped(std::uint32_t slot, bool typed);
    bool SettleAppended();
    void BuildIndex();
    std::uint32_t SlotOfPosition(std::int32_t position) const;
    void BuildTree();
    void Compact();

    ChunkedVector<Entry> entries_;
    fw::HashIndex index_;
    // Fenwick tree over the typed flags of entries_ (1-based); kept only
    // while some entry is not typed.
    std::vector<std::int32_t> tree_;
    std::uint32_t typed_ = 0;
    std::uint32_t valued_ = 0;
    std::uint32_t dead_ = 0; // entries with neither a type name nor a value
    // Entries from here on were appended and are not checked yet; they are
    // neither counted nor indexed.
    std::uint32_t settled_ = 0;
    bool indexed_ = false;
};

// A node's `types`: the type name of every entry, read as a dictionary of
// text in the order in which each key was first given a type name.
class TypeNames {
public:
    explicit TypeNames(EntryTable& table) : table_(table) {}
    TypeNames(const TypeNames&) = delete;
    TypeNames& operator=(const TypeNames&) = delete;

    bool HasKey(std::string_view key) const { return Find(key) != nullptr; }
    // The type name, or nullptr when the key has none.
    const std::string* Find(std::string_view key) const;
    std::string Value(std::string_view key, std::string_view fallback = {}) const;
    // The key and the type name at `position` (from 0); the empty text when
    // the position is out of range.
    const std::string& Key(std::int32_t position) const;
    const std::string& ValueAt(std::int32_t position) const;
    std::int32_t Count() const { return table_.TypedCount(); }
    void Set(std::string_view key, std::string_view type) { table_.SetType(key, type); }
    // False when the key had no type name.
    bool Remove(std::string_view key) { return table_.RemoveType(key); }

private:
    EntryTable& table_;
};

// A node's `values`: the value text of every scalar entry, read as a
// dictionary of text.
class ValueTexts {
public:
    explicit ValueTexts(EntryTable& table) : table_(table) {}
    ValueTexts(const ValueTexts&) = delete;
    ValueTexts& operator=(const ValueTexts&) = delete;

    bool HasKey(std::string_view key) const { return Find(key) != nullptr; }
    // The value text, or nullptr when the key has none.
    const std::string* Find(std::string_view key) const;
    std::string Value(std::string_view key, std::string_view fallback = {}) const;
    std::int32_t Count() const { return table_.ValuedCount(); }
    void Set(std::string_view key, std::string value) { table_.SetValue(key, std::move(value)); }
    // False when the key had no value text.
    bool Remove(std::string_view key) { return table_.RemoveValue(key); }

private:
    EntryTable& table_;
};

} // namespace plistio
