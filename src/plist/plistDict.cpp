#include "plist/plistDict.h"

#include "framework/core/Strings.h"
#include "framework/core/Yield.h"
#include "plist/Escaping.h"
#include "plist/plist.h"

#include <unordered_set>

namespace {
const std::string emptyText;
}

plistDict::plistDict() : values(entries_), types(entries_) {}

plistDict::~plistDict() {
    // Tear the subtree down without recursion, so that no depth of nesting
    // can exhaust the stack.
    std::vector<std::unique_ptr<plistDict>> pending;
    for (ChildSlot& slot : children_) {
        if (slot.node) {
            pending.push_back(std::move(slot.node));
        }
    }
    children_.clear();
    while (!pending.empty()) {
        std::unique_ptr<plistDict> node = std::move(pending.back());
        pending.pop_back();
        for (ChildSlot& slot : node->children_) {
            if (slot.node) {
                pending.push_back(std::move(slot.node));
            }
        }
        node->children_.clear();
    }
}

plistDict* plistDict::child(std::string_view name) {
    fw::BackgroundYield();
    if (const std::uint32_t j = FirstChildNamed(name); j != kNone) {
        return children_[j].node.get();
    }
    if (!foldedIndex_) {
        foldedIndex_ = std::make_unique<FoldedIndex>();
        for (std::uint32_t j = 0; j < children_.size(); ++j) {
            fw::BackgroundYield();
            if (children_[j].node) {
                foldedIndex_->emplace(fw::Uppercase(children_[j].name), j); // first one wins
            }
        }
    }
    if (auto it = foldedIndex_->find(fw::Uppercase(name)); it != foldedIndex_->end()) {
        return children_[it->second].node.get();
    }
    const std::size_t before = children_.size();
    AddChild(name);
    return children_.size() > before ? children_.back().node.get() : nullptr;
}

plistDict* plistDict::index(std::int32_t i) const {
    fw::BackgroundYield();
    const std::uint32_t j = FirstChildNamed(fw::Str(i));
    return j == kNone ? nullptr : children_[j].node.get();
}

void plistDict::AddChild(std::string_view name) {
    SetError(false, "");
    if (types.HasKey(name)) {
        SetError(true, "Child exists: " + std::string(name) + " already exists");
        return;
    }
    entries_.SetType(name, "dict");
    AppendChildNode(name, false);
}

bool plistDict::AddArray(std::string_view name) {
    SetError(false, "");
    if (types.HasKey(name)) {
        SetError(true, "Array exists: " + std::string(name) + " already exists");
        return false;
    }
    entries_.SetType(name, "array");
    AppendChildNode(name, true);
    return true;
}

bool plistDict::Exists(std::string_view key) const {
    return types.HasKey(key);
}

std::string plistDict::GetType(std::string_view key) const {
    return types.Value(key);
}

std::int32_t plistDict::count() const {
    return types.Count();
}

void plistDict::MoveNext() {
    currentIndex += 1;
    if (currentIndex > count() - 1) {
        currentIndex = 0;
        eof = true;
    }
}

void plistDict::MoveFirst() {
    currentIndex = 0;
    eof = false;
}

void plistDict::MoveLast() {
    currentIndex = count() - 1;
}

std::string plistDict::CurrentKey() {
    // A cursor below 0 (MoveLast on an empty node) is past the end as well.
    if (currentIndex < 0 || currentIndex > count() - 1) {
        eof = true;
        currentIndex = 0;
        return {};
    }
    return types.Key(currentIndex);
}

void plistDict::SetError(bool flag, std::string_view message) const {
    if (rootClass_ != nullptr) {
        rootClass_->error = flag;
        rootClass_->errorMessage.assign(message);
    }
}

std::string plistDict::CodeToBrackets(std::string_view text) {
    return plistio::Decode(text);
}

std::string plistDict::BracketsToCode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    plistio::AppendEscaped(out, text, plistio::TextKind::Plain);
    return out;
}

std::string plistDict::StripAll(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 32) {
        ++i;
    }
    return std::string(text.substr(i));
}

std::uint32_t plistDict::SlotOfChild(std::int32_t j) const {
    if (j < 0 || j >= ChildCount()) {
        return kNone;
    }
    if (removedChildren_ == 0) {
        return static_cast<std::uint32_t>(j);
    }
    for (std::uint32_t slot = 0; slot < children_.size(); ++slot) {
        if (children_[slot].node && j-- == 0) {
            return slot;
        }
    }
    return kNone;
}

plistDict* plistDict::ChildAt(std::int32_t j) const {
    const std::uint32_t slot = SlotOfChild(j);
    return slot == kNone ? nullptr : children_[slot].node.get();
}

const std::string& plistDict::ChildNameAt(std::int32_t j) const {
    const std::uint32_t slot = SlotOfChild(j);
    return slot == kNone ? emptyText : children_[slot].name;
}

plistDict* plistDict::AppendChildUnindexed(std::string_view key, bool isArray,
                                           std::unique_ptr<plistDict> built) {
    std::unique_ptr<plistDict> node = std::move(built);
    if (!node) {
        node = std::make_unique<plistDict>();
        node->name.assign(key);
        node->isArray_ = isArray;
        node->parent = this;
        node->rootClass_ = rootClass_;
    }
    plistDict* added = node.get();
    const auto j = static_cast<std::uint32_t>(children_.size());
    children_.push_back(ChildSlot{std::string(key), std::move(node), fw::HashText(key), kNone, j});
    return added;
}

plistDict* plistDict::AppendChildNode(std::string_view key, bool isArray,
                                      std::unique_ptr<plistDict> built) {
    plistDict* added = AppendChildUnindexed(key, isArray, std::move(built));
    const auto j = static_cast<std::uint32_t>(children_.size() - 1);
    if (foldedIndex_) {
        foldedIndex_->emplace(fw::Uppercase(key), j);
    }
    if (children_.size() == kChildScanLimit + 1) {
        // The children outgrow scanning: index the first of each name.
        childIndex_.Clear();
        childIndex_.Reserve(children_.size());
        for (std::uint32_t k = 0; k < j; ++k) {
            if (children_[k].node && FirstChildNamed(children_[k].name) == kNone) {
                childIndex_.Insert(children_[k].hash, k);
            }
        }
    }
    LinkChild(j);
    return added;
}

void plistDict::LinkChild(std::uint32_t j) {
    ChildSlot& slot = children_[j];
    slot.nextSameName = kNone;
    slot.lastSameName = j;
    const std::uint32_t first = FirstChildNamed(slot.name);
    if (first == kNone || first == j) {
        if (ChildrenIndexed()) {
            childIndex_.Insert(slot.hash, j);
        }
    } else {
        children_[children_[first].lastSameName].nextSameName = j;
        children_[first].lastSameName = j;
    }
}

std::uint32_t plistDict::FirstChildNamed(std::string_view key) const {
    if (!ChildrenIndexed()) {
        for (std::uint32_t j = 0; j < children_.size(); ++j) {
            if (children_[j].node && children_[j].name == key) {
                return j;
            }
        }
        return kNone;
    }
    const std::uint32_t j = childIndex_.Find(
        fw::HashText(key), [&](std::uint32_t slot) { return children_[slot].name == key; });
    return j == fw::HashIndex::kNotFound ? kNone : j;
}

void plistDict::RemoveChildrenNamed(std::string_view key) {
    const std::uint32_t first = FirstChildNamed(key);
    if (first == kNone) {
        return;
    }
    if (ChildrenIndexed()) {
        childIndex_.Erase(children_[first].hash, first);
    }
    for (std::uint32_t j = first; j != kNone; j = children_[j].nextSameName) {
        fw::BackgroundYield();
        children_[j].node.reset();
        std::string().swap(children_[j].name);
        ++removedChildren_;
    }
    foldedIndex_.reset();
    if (removedChildren_ >= 16 && removedChildren_ * 2 >= children_.size()) {
        CompactChildren();
    }
}

void plistDict::DropReplacedChildren() {
    // Walking back from the last child, the first child of each name met is
    // the one its entry now stands for; the others were replaced.
    std::unordered_set<std::string_view> kept;
    for (std::size_t j = children_.size(); j-- > 0;) {
        fw::BackgroundYield();
        ChildSlot& slot = children_[j];
        if (!slot.node) {
            continue;
        }
        const plistio::EntryTable::Entry* entry = entries_.Find(slot.name);
        if (entry == nullptr || !entry->IsNode() || !kept.insert(slot.name).second) {
            slot.node.reset();
            ++removedChildren_;
        }
    }
    CompactChildren();
}

void plistDict::CompactChildren() {
    std::erase_if(children_, [](const ChildSlot& slot) { return !slot.node; });
    removedChildren_ = 0;
    childIndex_.Clear();
    foldedIndex_.reset();
    for (std::uint32_t j = 0; j < children_.size(); ++j) {
        fw::BackgroundYield();
        LinkChild(j);
    }
}
