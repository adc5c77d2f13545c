#pragma once

#include "framework/core/HashIndex.h"

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
// text. Keys are compared exactly.
class EntryTable {
public:
    class Entry {
    public:
        explicit Entry(std::string key) : key_(std::move(key)) {}

        const std::string& Key() const { return key_; }
        // The empty text for an entry without a type name.
        const std::string& TypeName() const;
        bool IsNode() const;
        bool Typed() const { return typed_; }
        // Null for an entry without a value text.
        const std::string* Value() const { return valued_ ? &value_ : nullptr; }

    private:
        friend class EntryTable;
        bool Live() const { return typed_ || valued_; }

        void SetTypeName(std::string_view type);
        void ClearTypeName();

        std::string key_;
        std::string value_;
        // One of the type names the store writes itself, held once for all
        // entries, or other_ for any other name.
        const std::string* type_ = nullptr;
        std::unique_ptr<std::string> other_;
        std::uint32_t hash_ = 0;
        bool typed_ = false;
        bool valued_ = false;
    };

    // --- Lookup ----------------------------------------------------------
    const Entry* Find(std::string_view key) const;
    std::int32_t TypedCount() const { return static_cast<std::int32_t>(typed_); }
    std::int32_t ValuedCount() const { return static_cast<std::int32_t>(valued_); }
    // The entry at `position` (from 0) of the typed keys; null when out of
    // range.
    const Entry* TypedAt(std::int32_t position) const;

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
    bool RemoveType(std::string_view key) { return Remove(key, true); }
    bool RemoveValue(std::string_view key) { return Remove(key, false); }
    void Clear();

    // --- Filling ---------------------------------------------------------
    // An entry as a file holds it, appended without looking for its key:
    // Settle must follow before any other call. A file seldom repeats a
    // key, and a large node fills far faster when each key is looked at
    // once.
    void Append(std::string key, std::string_view type, std::string* value);
    // Indexes what was appended. A key that came again takes the later type
    // name and value text (none when `value` was null) in its place, as
    // SetType and SetValue would; true when some key came again.
    bool Settle();

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    // Up to this many entries are found by scanning, without a hash index.
    static constexpr std::size_t kScanLimit = 8;

    std::uint32_t SlotOf(std::string_view key) const;
    // RemoveType, or RemoveValue.
    bool Remove(std::string_view key, bool type);
    // The entry of `key` with a type name, made or moved last in the order
    // of the typed keys when it had none; `created` tells whether it is new.
    Entry& TypedEntry(std::string_view key, bool* created);
    Entry& NewEntry(std::string_view key);
    void MarkTyped(Entry& entry, bool typed);
    void MarkValued(Entry& entry, bool valued);
    // Drops an entry with neither a type name nor a value text.
    void Kill(std::uint32_t slot);
    void Index(std::uint32_t slot);
    void IndexAll();
    void Compact();

    Entry& At(std::size_t slot) { return entries_[slot]; }
    const Entry& At(std::size_t slot) const { return entries_[slot]; }

    std::vector<Entry> entries_;
    fw::HashIndex index_;
    bool indexed_ = false;
    std::uint32_t typed_ = 0;
    std::uint32_t valued_ = 0;
    std::uint32_t dead_ = 0;    // entries with neither a type name nor a value
    std::uint32_t settled_ = 0; // the entries before this one are indexed
    // The slots of the typed entries in order, built when a position is
    // asked for while some entry is not typed; empty when stale.
    mutable std::vector<std::uint32_t> typedSlots_;
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
