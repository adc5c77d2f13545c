#include "plist/EntryTable.h"

#include <array>

namespace plistio {
namespace {

const std::string kEmpty;
const std::array<std::string, 9> kKnownTypes = {
    "string", "integer", "real", "date", "data", "boolean", "dict", "array", "double",
};
const std::string& kDict = kKnownTypes[6];
const std::string& kArray = kKnownTypes[7];

} // namespace

const std::string& EntryTable::Entry::TypeName() const {
    return typed_ && type_ != nullptr ? *type_ : kEmpty;
}

bool EntryTable::Entry::IsNode() const {
    return typed_ && (type_ == &kDict || type_ == &kArray);
}

void EntryTable::Entry::SetTypeName(std::string_view type) {
    for (const std::string& known : kKnownTypes) {
        if (!type.empty() && type[0] == known[0] && type == known) {
            type_ = &known;
            other_.reset();
            return;
        }
    }
    other_ = std::make_unique<std::string>(type);
    type_ = other_.get();
}

void EntryTable::Entry::ClearTypeName() {
    type_ = nullptr;
    other_.reset();
}

// --- Lookup --------------------------------------------------------------

std::uint32_t EntryTable::SlotOf(std::string_view key) const {
    if (!indexed_) {
        for (std::uint32_t slot = 0; slot < entries_.size(); ++slot) {
            if (At(slot).Live() && At(slot).key_ == key) {
                return slot;
            }
        }
        return kNone;
    }
    const std::uint32_t slot =
        index_.Find(fw::HashText(key), [&](std::uint32_t at) { return At(at).key_ == key; });
    return slot == fw::HashIndex::kNotFound ? kNone : slot;
}

const EntryTable::Entry* EntryTable::Find(std::string_view key) const {
    const std::uint32_t slot = SlotOf(key);
    return slot == kNone ? nullptr : &At(slot);
}

const EntryTable::Entry* EntryTable::TypedAt(std::int32_t position) const {
    if (position < 0 || position >= static_cast<std::int32_t>(typed_)) {
        return nullptr;
    }
    if (typed_ == entries_.size()) {
        return &At(static_cast<std::size_t>(position));
    }
    if (typedSlots_.empty()) {
        // Typed entries stand in the order of their keys' first typing, so
        // their slots in order are the positions.
        for (std::uint32_t slot = 0; slot < entries_.size(); ++slot) {
            if (At(slot).typed_) {
                typedSlots_.push_back(slot);
            }
        }
    }
    return &At(typedSlots_[static_cast<std::size_t>(position)]);
}

// --- Changes -------------------------------------------------------------

EntryTable::Entry& EntryTable::NewEntry(std::string_view key) {
    entries_.emplace_back(std::string(key));
    const auto slot = static_cast<std::uint32_t>(entries_.size() - 1);
    settled_ = slot + 1;
    if (indexed_) {
        Index(slot);
    } else if (entries_.size() > kScanLimit) {
        IndexAll(); // the table outgrows scanning
    }
    typedSlots_.clear();
    return entries_.back();
}

void EntryTable::Index(std::uint32_t slot) {
    At(slot).hash_ = fw::HashText(At(slot).key_);
    index_.Insert(At(slot).hash_, slot);
}

void EntryTable::IndexAll() {
    index_.Clear();
    index_.Reserve(entries_.size());
    for (std::uint32_t slot = 0; slot < entries_.size(); ++slot) {
        if (At(slot).Live() || slot + 1 == entries_.size()) {
            Index(slot);
        }
    }
    indexed_ = true;
}

void EntryTable::MarkTyped(Entry& entry, bool typed) {
    if (entry.typed_ != typed) {
        entry.typed_ = typed;
        typed_ += typed ? 1 : -1;
        typedSlots_.clear();
    }
}

void EntryTable::MarkValued(Entry& entry, bool valued) {
    if (entry.valued_ != valued) {
        entry.valued_ = valued;
        valued_ += valued ? 1 : -1;
    }
}

EntryTable::Entry& EntryTable::TypedEntry(std::string_view key, bool* created) {
    const std::uint32_t slot = SlotOf(key);
    *created = slot == kNone || !At(slot).typed_;
    if (slot == kNone) {
        Entry& entry = NewEntry(key);
        MarkTyped(entry, true);
        return entry;
    }
    if (!At(slot).typed_ && slot + 1 != entries_.size()) {
        // A key new to the types comes last in their order: its value text
        // moves to a new entry at the end.
        std::string value = std::move(At(slot).value_);
        MarkValued(At(slot), false);
        Kill(slot);
        Entry& moved = NewEntry(key);
        MarkTyped(moved, true);
        moved.value_ = std::move(value);
        MarkValued(moved, true);
        return moved;
    }
    MarkTyped(At(slot), true);
    return At(slot);
}

bool EntryTable::SetType(std::string_view key, std::string_view type) {
    bool created = false;
    Entry& entry = TypedEntry(key, &created);
    const bool wasNode = !created && entry.IsNode();
    entry.SetTypeName(type);
    return wasNode;
}

void EntryTable::SetValue(std::string_view key, std::string value) {
    const std::uint32_t slot = SlotOf(key);
    Entry& entry = slot == kNone ? NewEntry(key) : At(slot);
    entry.value_ = std::move(value);
    MarkValued(entry, true);
}

bool EntryTable::SetScalar(std::string_view key, std::string_view type, std::string value) {
    bool created = false;
    Entry& entry = TypedEntry(key, &created);
    const bool wasNode = !created && entry.IsNode();
    entry.SetTypeName(type);
    entry.value_ = std::move(value);
    MarkValued(entry, true);
    return wasNode;
}

void EntryTable::Append(std::string key, std::string_view type, std::string* value) {
    if (entries_.empty()) {
        entries_.reserve(4); // most nodes hold a few entries
    }
    Entry& entry = entries_.emplace_back(std::move(key));
    entry.SetTypeName(type);
    entry.typed_ = true;
    ++typed_;
    if (value != nullptr) {
        entry.value_ = std::move(*value);
        entry.valued_ = true;
        ++valued_;
    }
}

bool EntryTable::Settle() {
    const std::size_t end = entries_.size();
    if (settled_ == end) {
        return false;
    }
    typedSlots_.clear();
    bool repeated = false;
    if (!indexed_ && end <= kScanLimit) {
        for (std::size_t i = settled_; i < end && !repeated; ++i) {
            for (std::size_t k = 0; k < i && !repeated; ++k) {
                repeated = At(k).Live() && At(k).key_ == At(i).key_;
            }
        }
    } else {
        if (!indexed_) {
            index_.Reserve(end);
            indexed_ = true;
            settled_ = 0;
        }
        for (std::size_t i = settled_; i < end && !repeated; ++i) {
            Entry& entry = At(i);
            if (!entry.Live()) {
                continue;
            }
            entry.hash_ = fw::HashText(entry.key_);
            const std::uint32_t found = index_.Find(
                entry.hash_, [&](std::uint32_t at) { return At(at).key_ == entry.key_; });
            repeated = found != fw::HashIndex::kNotFound;
            if (!repeated) {
                index_.Insert(entry.hash_, static_cast<std::uint32_t>(i));
            }
        }
    }
    settled_ = static_cast<std::uint32_t>(end);
    if (repeated) {
        // Seldom: the entries are stored again one by one, each repeat in
        // the place of the first.
        std::vector<Entry> all = std::move(entries_);
        Clear();
        for (Entry& entry : all) {
            if (!entry.Live()) {
                continue;
            }
            if (entry.typed_) {
                SetType(entry.key_, entry.TypeName());
            }
            if (entry.valued_) {
                SetValue(entry.key_, std::move(entry.value_));
            } else {
                RemoveValue(entry.key_);
            }
        }
    }
    return repeated;
}

bool EntryTable::Remove(std::string_view key, bool type) {
    const std::uint32_t slot = SlotOf(key);
    if (slot == kNone || !(type ? At(slot).typed_ : At(slot).valued_)) {
        return false;
    }
    if (type) {
        MarkTyped(At(slot), false);
        At(slot).ClearTypeName();
    } else {
        MarkValued(At(slot), false);
        std::string().swap(At(slot).value_);
    }
    if (!At(slot).Live()) {
        Kill(slot);
    }
    return true;
}

void EntryTable::Kill(std::uint32_t slot) {
    Entry& entry = At(slot);
    if (indexed_) {
        index_.Erase(entry.hash_, slot);
    }
    std::string().swap(entry.key_);
    std::string().swap(entry.value_);
    ++dead_;
    typedSlots_.clear();
    if (dead_ >= 16 && dead_ * 2 >= entries_.size()) {
        Compact();
    }
}

void EntryTable::Compact() {
    std::erase_if(entries_, [](const Entry& entry) { return !entry.Live(); });
    settled_ = static_cast<std::uint32_t>(entries_.size());
    dead_ = 0;
    if (indexed_) {
        index_.Clear();
        for (std::uint32_t slot = 0; slot < entries_.size(); ++slot) {
            index_.Insert(At(slot).hash_, slot);
        }
    }
}

void EntryTable::Clear() {
    entries_.clear();
    index_.Clear();
    indexed_ = false;
    typedSlots_.clear();
    typed_ = 0;
    valued_ = 0;
    dead_ = 0;
    settled_ = 0;
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
    return entry != nullptr ? entry->Key() : kEmpty;
}

const std::string& TypeNames::ValueAt(std::int32_t position) const {
    const EntryTable::Entry* entry = table_.TypedAt(position);
    return entry != nullptr ? entry->TypeName() : kEmpty;
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
