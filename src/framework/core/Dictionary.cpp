#include "framework/core/Dictionary.h"

namespace fw {
namespace {

const std::string emptyText;

std::size_t LowBit(std::size_t k) {
    return k & (~k + 1);
}

} // namespace

std::uint32_t Dictionary::SlotOfKey(std::string_view key, std::uint32_t hash) const {
    if (!indexed_) {
        for (std::uint32_t slot = 0; slot < entries_.size(); ++slot) {
            if (entries_[slot].live && entries_[slot].key == key) {
                return slot;
            }
        }
        return HashIndex::kNotFound;
    }
    return index_.Find(hash, [&](std::uint32_t slot) { return entries_[slot].key == key; });
}

bool Dictionary::HasKey(std::string_view key) const {
    return Find(key) != nullptr;
}

const std::string* Dictionary::Find(std::string_view key) const {
    PrepareLookup();
    const std::uint32_t slot = SlotOfKey(key, indexed_ ? HashText(key) : 0);
    return slot == HashIndex::kNotFound ? nullptr : &entries_[slot].value;
}

std::string Dictionary::Value(std::string_view key, std::string_view fallback) const {
    const std::string* found = Find(key);
    return found != nullptr ? *found : std::string(fallback);
}

void Dictionary::Set(std::string_view key, std::string value) {
    At(key) = std::move(value);
}

std::string& Dictionary::At(std::string_view key, bool* created) {
    PrepareLookup();
    const std::uint32_t hash = indexed_ ? HashText(key) : 0;
    const std::uint32_t found = SlotOfKey(key, hash);
    if (created != nullptr) {
        *created = found == HashIndex::kNotFound;
    }
    if (found != HashIndex::kNotFound) {
        return entries_[found].value;
    }
    if (entries_.empty()) {
        entries_.reserve(4);
    }
    const auto slot = static_cast<std::uint32_t>(entries_.size());
    entries_.push_back(Entry{std::string(key), std::string(), hash, true});
    ++live_;
    settled_ = static_cast<std::uint32_t>(entries_.size());
    if (indexed_) {
        index_.Insert(hash, slot);
    } else if (entries_.size() > kScanLimit) {
        BuildIndex();
    }
    if (removed_ > 0) {
        AppendToTree(true);
    }
    return entries_.back().value;
}

void Dictionary::Append(std::string_view key, std::string value) {
    if (removed_ > 0) {
        // Positions past gaps are counted as they are stored.
        Set(key, std::move(value));
        return;
    }
    if (entries_.capacity() == 0) {
        entries_.reserve(4);
    }
    // Built in place: a temporary entry would copy both texts once more.
    Entry& entry = entries_.emplace_back();
    entry.key.assign(key);
    entry.value = std::move(value);
}

void Dictionary::SettleAppended() {
    const std::size_t end = entries_.size();
    std::size_t kept = settled_;
    const auto keep = [&](Entry& entry) {
        if (&entries_[kept] != &entry) {
            entries_[kept] = std::move(entry);
        }
        ++kept;
        ++live_;
    };
    if (end <= kScanLimit && !indexed_) {
        for (std::size_t i = settled_; i < end; ++i) {
            Entry& entry = entries_[i];
            std::size_t found = 0;
            while (found < kept && entries_[found].key != entry.key) {
                ++found;
            }
            if (found < kept) {
                entries_[found].value = std::move(entry.value);
            } else {
                keep(entry);
            }
        }
    } else {
        index_.Reserve(end);
        if (!indexed_) {
            BuildIndex();
        }
        for (std::size_t i = settled_; i < end; ++i) {
            entries_[i].hash = HashText(entries_[i].key);
        }
        // The probes of a large index miss the cache: start them early.
        constexpr std::size_t kAhead = 32;
        for (std::size_t i = settled_; i < end; ++i) {
            if (i + kAhead < end) {
                index_.Prefetch(entries_[i + kAhead].hash);
            }
            Entry& entry = entries_[i];
            const std::uint32_t found = index_.Find(
                entry.hash, [&](std::uint32_t slot) { return entries_[slot].key == entry.key; });
            if (found != HashIndex::kNotFound) {
                entries_[found].value = std::move(entry.value);
            } else {
                index_.Insert(entry.hash, static_cast<std::uint32_t>(kept));
                keep(entry);
            }
        }
    }
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(kept), entries_.end());
    settled_ = static_cast<std::uint32_t>(entries_.size());
}

void Dictionary::AcceptAppended() {
    if (indexed_) {
        SettleAppended(); // the index is kept up to date as it stands
        return;
    }
    live_ += static_cast<std::uint32_t>(entries_.size() - settled_);
    settled_ = static_cast<std::uint32_t>(entries_.size());
}

void Dictionary::BuildIndex() {
    index_.Clear();
    index_.Reserve(entries_.size());
    for (std::uint32_t slot = 0; slot < settled_; ++slot) {
        Entry& entry = entries_[slot];
        if (entry.live) {
            entry.hash = HashText(entry.key);
            index_.Insert(entry.hash, slot);
        }
    }
    indexed_ = true;
}

bool Dictionary::Remove(std::string_view key) {
    PrepareLookup();
    const std::uint32_t hash = indexed_ ? HashText(key) : 0;
    const std::uint32_t slot = SlotOfKey(key, hash);
    if (slot == HashIndex::kNotFound) {
        return false;
    }
    if (indexed_) {
        index_.Erase(hash, slot);
    }
    if (removed_ == 0) {
        BuildTree();
    }
    Entry& entry = entries_[slot];
    entry.live = false;
    std::string().swap(entry.key);
    std::string().swap(entry.value);
    ++removed_;
    --live_;
    for (std::size_t k = slot + 1; k < tree_.size(); k += LowBit(k)) {
        --tree_[k];
    }
    if (removed_ >= 16 && removed_ * 2 >= entries_.size()) {
        Compact();
    }
    return true;
}

const std::string& Dictionary::Key(std::int32_t position) const {
    Settle();
    if (position < 0 || position >= Count()) {
        return emptyText;
    }
    return entries_[SlotOf(position)].key;
}

const std::string& Dictionary::ValueAt(std::int32_t position) const {
    Settle();
    if (position < 0 || position >= Count()) {
        return emptyText;
    }
    return entries_[SlotOf(position)].value;
}

void Dictionary::Clear() {
    entries_.clear();
    index_.Clear();
    indexed_ = false;
    live_ = 0;
    settled_ = 0;
    tree_.clear();
    removed_ = 0;
}

std::uint32_t Dictionary::SlotOf(std::int32_t position) const {
    if (removed_ == 0) {
        return static_cast<std::uint32_t>(position);
    }
    // Find the smallest slot count whose prefix holds position + 1 live
    // entries: descend the tree from its highest power of two.
    std::size_t n = tree_.size() - 1;
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

void Dictionary::BuildTree() {
    const std::size_t n = entries_.size();
    tree_.assign(n + 1, 0);
    for (std::size_t k = 1; k <= n; ++k) {
        tree_[k] += entries_[k - 1].live ? 1 : 0;
        const std::size_t up = k + LowBit(k);
        if (up <= n) {
            tree_[up] += tree_[k];
        }
    }
}

std::int64_t Dictionary::PrefixCount(std::size_t slots) const {
    std::int64_t sum = 0;
    for (std::size_t k = slots; k > 0; k -= LowBit(k)) {
        sum += tree_[k];
    }
    return sum;
}

void Dictionary::AppendToTree(bool live) {
    // The new node k covers slots (k - lowbit(k), k].
    const std::size_t k = tree_.size();
    const std::int64_t covered = PrefixCount(k - 1) - PrefixCount(k - LowBit(k));
    tree_.push_back(static_cast<std::int32_t>(covered + (live ? 1 : 0)));
}

void Dictionary::Compact() {
    std::erase_if(entries_, [](const Entry& entry) { return !entry.live; });
    settled_ = static_cast<std::uint32_t>(entries_.size());
    if (indexed_) {
        index_.Clear();
        for (std::uint32_t slot = 0; slot < entries_.size(); ++slot) {
            index_.Insert(entries_[slot].hash, slot);
        }
    }
    tree_.clear();
    tree_.shrink_to_fit();
    removed_ = 0;
}

} // namespace fw
