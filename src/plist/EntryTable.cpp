#include "plist/EntryTable.h"

#include <algorithm>
#include <array>

namespace plistio {
namespace {

// The type names the store writes itself, held without a text of their own
// in each entry, in the order of EntryTable::Type; position 0 stands for any
// other name.
const std::array<std::string, 10> kKnownTypes = {
    "", "string", "integer", "real", "date", "data", "boolean", "dict", "array", "double",
};

std::size_t LowBit(std::size_t k) {
    return k & (~k + 1);
}

} // namespace

const std::string& EntryTable::Entry::TypeName() const {
    if (!typed_) {
        return kKnownTypes[0];
    }
    if (type_ == kOther) {
        return otherType_ ? *otherType_ : kKnownTypes[0];
    }
    return kKnownTypes[type_];
}

namespace {

std::uint8_t KnownTypeCode(std::string_view type) {
    // The first letter and the length tell the known names apart.
    std::uint8_t code = 0;
    switch (type.empty() ? '\0' : type[0]) {
    case 's':
        code = 1;
        break;
    case 'i':
        code = 2;
        break;
    case 'r':
        code = 3;
        break;
    case 'd':
        code = type.size() == 4 ? (type[1] == 'a' ? (type[2] == 't' && type[3] == 'e' ? 4 : 5) : 7)
                                : 9;
        break;
    case 'b':
        code = 6;
        break;
    case 'a':
        code = 8;
        break;
    default:
        return 0;
    }
    return type == kKnownTypes[code] ? code : 0;
}

} // namespace

void EntryTable::Entry::SetType(std::string_view type) {
    if (const std::uint8_t code = KnownTypeCode(type); code != kOther) {
        type_ = code;
        otherType_.reset();
        return;
    }
    type_ = kOther;
    if (otherType_) {
        otherType_->assign(type);
    } else {
        otherType_ = std::make_unique<std::string>(type);
    }
}

// --- Lookup --------------------------------------------------------------

std::uint32_t EntryTable::SlotOf(std::string_view key) const {
    Settle();
    if (!indexed_ && entries_.size() > kScanLimit) {
        // Only a table that was appended to lacks its index, and that one is
        // no const object.
        const_cast<EntryTable*>(this)->BuildIndex();
    }
    if (!indexed_) {
        for (std::uint32_t slot = 0; slot < entries_.size(); ++slot) {
            const Entry& entry = entries_[slot];
            if ((entry.typed_ || entry.valued_) && entry.key_ == key) {
                return slot;
            }
        }
        return kNone;
    }
    const std::uint32_t slot = index_.Find(
        fw::HashText(key), [&](std::uint32_t at) { return entries_[at].key_ == key; });
    return slot == fw::HashIndex::kNotFound ? kNone : slot;
}

const EntryTable::Entry* EntryTable::Find(std::string_view key) const {
    const std::uint32_t slot = SlotOf(key);
    return slot == kNone ? nullptr : &entries_[slot];
}

const EntryTable::Entry* EntryTable::TypedAt(std::int32_t position) const {
    Settle();
    if (position < 0 || position >= static_cast<std::int32_t>(typed_)) {
        return nullptr;
    }
    return &entries_[SlotOfPosition(position)];
}

std::uint32_t EntryTable::SlotOfPosition(std::int32_t position) const {
    if (tree_.empty()) {
        return static_cast<std::uint32_t>(position);
    }
    // Find the smallest slot count whose prefix holds position + 1 typed
    // entries: descend the tree from its highest power of two.
    const std::size_t n = tree_.size() - 1;
    std::size_t step = 1;
    while (step * 2 <= n) {
        step *= 2;
    }
    std::size_t at = 0;
    std::int64_t remaining = std::int64_t{position} + 1;
    for (; step > 0; step /= 2) {
        if (at + step <= n && tree_[at + step] < remaining) {
            at += step;
            remaining -= tree_[at];
        }
    }
    return static_cast<std::uint32_t>(at); // 1-based slot at + 1 is 0-based `at`
}

// --- Changes -------------------------------------------------------------

EntryTable::Entry& EntryTable::NewEntry(std::string_view key, bool typed) {
    const auto slot = static_cast<std::uint32_t>(entries_.size());
    Entry& entry = entries_.emplace_back(key);
    entry.typed_ = typed;
    typed_ += typed ? 1 : 0;
    settled_ = slot + 1;
    if (indexed_) {
        entry.hash_ = fw::HashText(key);
        index_.Insert(entry.hash_, slot);
    } else if (entries_.size() > kScanLimit) {
        BuildIndex();
    }
    if (!tree_.empty()) {
        // The new node k covers slots (k - lowbit(k), k].
        const std::size_t k = tree_.size();
        std::int64_t covered = typed ? 1 : 0;
        for (std::size_t i = k - 1; i > k - LowBit(k); i -= LowBit(i)) {
            covered += tree_[i];
        }
        tree_.push_back(static_cast<std::int32_t>(covered));
    } else if (!typed) {
        BuildTree(); // the first gap in the order of the typed keys
    }
    return entries_.back();
}

void EntryTable::MarkTyped(std::uint32_t slot, bool typed) {
    Entry& entry = entries_[slot];
    if (entry.typed_ == typed) {
        return;
    }
    entry.typed_ = typed;
    typed_ += typed ? 1 : -1;
    if (tree_.empty()) {
        BuildTree();
        return;
    }
    for (std::size_t k = slot + 1; k < tree_.size(); k += LowBit(k)) {
        tree_[k] += typed ? 1 : -1;
    }
}

EntryTable::Entry& EntryTable::TypedEntry(std::string_view key, bool* created) {
    std::uint32_t slot = SlotOf(key);
    *created = slot == kNone || !entries_[slot].typed_;
    if (slot != kNone && !entries_[slot].typed_ && slot + 1 != entries_.size()) {
        // A key new to the types comes last in their order: its value text
        // moves to a new entry at the end.
        std::string value = std::move(entries_[slot].value_);
        entries_[slot].valued_ = false;
        Kill(slot);
        Entry& moved = NewEntry(key, true);
        moved.value_ = std::move(value);
        moved.valued_ = true;
        return moved;
    }
    if (slot == kNone) {
        return NewEntry(key, true);
    }
    MarkTyped(slot, true);
    return entries_[slot];
}

bool EntryTable::SetType(std::string_view key, std::string_view type) {
    bool created = false;
    Entry& entry = TypedEntry(key, &created);
    const bool wasNode = !created && entry.IsNode();
    entry.SetType(type);
    return wasNode;
}

void EntryTable::SetValue(std::string_view key, std::string value) {
    std::uint32_t slot = SlotOf(key);
    if (slot == kNone) {
        NewEntry(key, false);
        slot = static_cast<std::uint32_t>(entries_.size() - 1);
    }
    Entry& entry = entries_[slot];
    if (!entry.valued_) {
        entry.valued_ = true;
        ++valued_;
    }
    entry.value_ = std::move(value);
}

bool EntryTable::SetScalar(std::string_view key, std::string_view type, std::string value) {
    bool created = false;
    Entry& entry = TypedEntry(key, &created);
    const bool wasNode = !created && entry.IsNode();
    entry.SetType(type);
    if (!entry.valued_) {
        entry.valued_ = true;
        ++valued_;
    }
    entry.value_ = std::move(value);
    return wasNode;
}

bool EntryTable::RemoveType(std::string_view key) {
    const std::uint32_t slot = SlotOf(key);
    if (slot == kNone || !entries_[slot].typed_) {
        return false;
    }
    MarkTyped(slot, false);
    entries_[slot].otherType_.reset();
    if (!entries_[slot].valued_) {
        Kill(slot);
    }
    return true;
}

bool EntryTable::RemoveValue(std::string_view key) {
    const std::uint32_t slot = SlotOf(key);
    if (slot == kNone || !entries_[slot].valued_) {
        return false;
    }
    Entry& entry = entries_[slot];
    entry.valued_ = false;
    --valued_;
    std::string().swap(entry.value_);
    if (!entry.typed_) {
        Kill(slot);
    }
    return true;
}

void EntryTable::Kill(std::uint32_t slot) {
    Entry& entry = entries_[slot];
    if (indexed_) {
        index_.Erase(entry.hash_, slot);
    }
    std::string().swap(entry.key_);
    std::string().swap(entry.value_);
    ++dead_;
    if (dead_ >= 16 && dead_ * 2 >= entries_.size()) {
        Compact();
    }
}

void EntryTable::Clear() {
    entries_.clear();
    index_.Clear();
    tree_.clear();
    typed_ = 0;
    valued_ = 0;
    dead_ = 0;
    settled_ = 0;
    indexed_ = false;
}

// --- Filling -------------------------------------------------------------

void EntryTable::Append(std::string_view key, std::string_view type, std::string* value) {
    Append(key, Type::Other, value);
    entries_.back().SetType(type);
}

void EntryTable::Append(std::string_view key, Type type, std::string* value) {
    Entry& entry = entries_.emplace_back(key);
    entry.type_ = static_cast<std::uint8_t>(type);
    entry.typed_ = true;
    if (value != nullptr) {
        entry.value_ = std::move(*value);
        entry.valued_ = true;
    }
}

bool EntryTable::Settle() const {
    if (settled_ == entries_.size()) {
        return false;
    }
    // Only a table that was appended to has entries to check, and that one
    // is no const object.
    return const_cast<EntryTable*>(this)->SettleAppended();
}

bool EntryTable::SettleAppended() {
    const std::size_t end = entries_.size();
    std::size_t kept = settled_;
    bool repeated = false;
    const auto merge = [&](Entry& into, Entry& from) {
        repeated = true;
        if (!into.typed_) {
            into.typed_ = true;
            ++typed_;
        }
        into.type_ = from.type_;
        into.otherType_ = std::move(from.otherType_);
        if (into.valued_ != from.valued_) {
            valued_ += from.valued_ ? 1 : -1;
        }
        into.valued_ = from.valued_;
        into.value_ = std::move(from.value_);
    };
    const auto keep = [&](Entry& entry) {
        ++typed_;
        valued_ += entry.valued_ ? 1 : 0;
        if (&entries_[kept] != &entry) {
            entries_[kept] = std::move(entry);
        }
        ++kept;
    };
    if (end <= kScanLimit && !indexed_) {
        for (std::size_t i = settled_; i < end; ++i) {
            Entry& entry = entries_[i];
            std::size_t found = 0;
            while (found < kept && (entries_[found].key_ != entry.key_ ||
                                    !(entries_[found].typed_ || entries_[found].valued_))) {
                ++found;
            }
            if (found < kept) {
                merge(entries_[found], entry);
            } else {
                keep(entry);
            }
        }
    } else {
        if (!indexed_) {
            settled_ = static_cast<std::uint32_t>(kept);
            BuildIndex();
        }
        const auto first = static_cast<std::uint32_t>(kept);
        const auto count = static_cast<std::uint32_t>(end - kept);
        // One pass over the appended entries: their hashes, and their counts
        // should no key repeat.
        std::vector<std::uint64_t> batch(count);
        std::uint32_t valued = 0;
        for (std::uint32_t k = 0; k < count; ++k) {
            Entry& entry = entries_[first + k];
            entry.hash_ = fw::HashText(entry.key_);
            batch[k] = std::uint64_t{entry.hash_} << 32 | (first + k);
            valued += entry.valued_ ? 1 : 0;
        }
        // The earlier entry of each repeated key, by appended entry; made
        // only when a key repeats.
        std::vector<std::uint32_t> earlier;
        index_.InsertBatch(
            std::move(batch),
            [&](std::uint32_t stored, std::uint32_t at) {
                return entries_[stored].key_ == entries_[at].key_;
            },
            [&](std::uint32_t at, std::uint32_t stored) {
                if (earlier.empty()) {
                    earlier.assign(count, kNone);
                }
                earlier[at - first] = stored;
            });
        if (earlier.empty()) {
            typed_ += count;
            valued_ += valued;
            kept = end;
        } else {
            // The entries move down over the repeated ones: `earlier` then
            // gives the place each kept entry moved to.
            for (std::uint32_t k = 0; k < count; ++k) {
                const std::uint32_t stored = earlier[k];
                if (stored == kNone) {
                    earlier[k] = static_cast<std::uint32_t>(kept);
                    keep(entries_[first + k]);
                } else {
                    merge(entries_[stored < first ? stored : earlier[stored - first]],
                          entries_[first + k]);
                }
            }
            entries_.Truncate(kept);
            settled_ = static_cast<std::uint32_t>(entries_.size());
            BuildIndex(); // the positions moved
        }
    }
    entries_.Truncate(kept);
    settled_ = static_cast<std::uint32_t>(entries_.size());
    if (typed_ != settled_ || !tree_.empty()) {
        BuildTree();
    }
    return repeated;
}

void EntryTable::SettleDistinct() {
    const std::size_t end = entries_.size();
    for (std::size_t slot = settled_; slot < end; ++slot) {
        Entry& entry = entries_[slot];
        valued_ += entry.valued_ ? 1 : 0;
        if (indexed_) {
            entry.hash_ = fw::HashText(entry.key_);
            index_.Insert(entry.hash_, static_cast<std::uint32_t>(slot));
        }
    }
    typed_ += static_cast<std::uint32_t>(end - settled_);
    settled_ = static_cast<std::uint32_t>(end);
    // A large table is indexed at its first lookup.
    if (typed_ != settled_ || !tree_.empty()) {
        BuildTree();
    }
}

void EntryTable::BuildIndex() {
    index_.Clear();
    index_.Reserve(entries_.size());
    for (std::uint32_t slot = 0; slot < settled_; ++slot) {
        Entry& entry = entries_[slot];
        if (entry.typed_ || entry.valued_) {
            entry.hash_ = fw::HashText(entry.key_);
            index_.Insert(entry.hash_, slot);
        }
    }
    indexed_ = true;
}

void EntryTable::BuildTree() {
    const std::size_t n = settled_;
    tree_.assign(n + 1, 0);
    for (std::size_t k = 1; k <= n; ++k) {
        tree_[k] += entries_[k - 1].typed_ ? 1 : 0;
        const std::size_t up = k + LowBit(k);
        if (up <= n) {
            tree_[up] += tree_[k];
        }
    }
}

void EntryTable::Compact() {
    std::size_t kept = 0;
    for (std::size_t slot = 0; slot < entries_.size(); ++slot) {
        if (entries_[slot].typed_ || entries_[slot].valued_) {
            if (kept != slot) {
                entries_[kept] = std::move(entries_[slot]);
            }
            ++kept;
        }
    }
    entries_.Truncate(kept);
    settled_ = static_cast<std::uint32_t>(entries_.size());
    dead_ = 0;
    if (indexed_) {
        index_.Clear();
        for (std::uint32_t slot = 0; slot < entries_.size(); ++slot) {
            index_.Insert(entries_[slot].hash_, slot);
        }
    }
    if (typed_ != settled_) {
        BuildTree();
    } else {
        tree_.clear();
        tree_.shrink_to_fit();
    }
}

// --- The two dictionaries -----------------------------------------------

const std::string* TypeNames::Find(std::string_view key) const {
    const EntryTable::Entry* entry = table_.Find(key);
    return entry != nullptr && entry->Typed() ? &entry->TypeName() : nullptr;
}

std::string TypeNames::Value(std::string_view key, std::string_view fallback) const {
    const std::string* type = Find(key);
    return type != nullptr ? *type : std::string(fallback);
}

const std::string& TypeNames::Key(std::int32_t position) const {
    const EntryTable::Entry* entry = table_.TypedAt(position);
    return entry != nullptr ? entry->Key() : kKnownTypes[0];
}

const std::string& TypeNames::ValueAt(std::int32_t position) const {
    const EntryTable::Entry* entry = table_.TypedAt(position);
    return entry != nullptr ? entry->TypeName() : kKnownTypes[0];
}

const std::string* ValueTexts::Find(std::string_view key) const {
    const EntryTable::Entry* entry = table_.Find(key);
    return entry != nullptr ? entry->Value() : nullptr;
}

std::string ValueTexts::Value(std::string_view key, std::string_view fallback) const {
    const std::string* value = Find(key);
    return value != nullptr ? *value : std::string(fallback);
}

} // namespace plistio
