#pragma once

#include "framework/core/Date.h"
#include "framework/core/HashIndex.h"
#include "plist/EntryTable.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fw {
class TextInputStream;
class TextOutputStream;
} // namespace fw

namespace plistio {
class TreeBuilder;
class Writer;
} // namespace plistio

class plist;

// One node of a property list: a dictionary with free text keys, or an array
// whose elements are keyed "0", "1", ... Every entry is a scalar, stored as a
// value text in `values` and a type name in `types`, or a child node, stored
// with the type name "dict" or "array" and no value text. Both dictionaries
// read one table of entries, which holds each key once.
//
// Errors are reported to the owning document (`plist::error` and
// `plist::errorMessage`); a node that belongs to no document reports nothing.
// No operation throws, and "no node" results are null pointers.
class plistDict {
    // What `values` and `types` read: built before them.
    plistio::EntryTable entries_;

public:
    plistDict();
    ~plistDict();
    plistDict(const plistDict&) = delete;
    plistDict& operator=(const plistDict&) = delete;

    plistio::ValueTexts values; // value text of every scalar entry
    plistio::TypeNames types;   // type name of every entry, in the order of first storing
    std::string name;          // the node's key in its parent; "root" for a document's root
    std::int32_t indexOf = -1; // the element counter of appending and reading
    plistDict* parent = nullptr;
    std::int32_t currentIndex = 0; // the key cursor, from 0
    bool eof = false;              // the key cursor ran past the last key

    // --- Reading ---------------------------------------------------------
    // Makes this node `name` (an array or a dictionary) under `parent`,
    // reporting to `document`, and with `read` fills it from the stream's
    // current line up to the node's closing tag or the end of the stream.
    void Load(fw::TextInputStream* stream, std::string_view name, bool isArray, plistDict* parent,
              plist* document, bool read);
    // Decodes the entities of a read text (see plistio::Decode).
    static std::string CodeToBrackets(std::string_view text);

    // --- Child nodes, keys and the cursor -------------------------------
    // The child node under `name` (an exact match first, else the first
    // whose name differs only in letter case), created as an empty
    // dictionary when there is none; null when `name` is a scalar key.
    plistDict* child(std::string_view name);
    // The child node under the decimal text of `i`, or null. Creates nothing.
    plistDict* index(std::int32_t i) const;
    void AddChild(std::string_view name);
    bool AddArray(std::string_view name);
    bool Exists(std::string_view key) const;
    // The type name of `key`; the empty text when it does not exist.
    std::string GetType(std::string_view key) const;
    std::int32_t count() const;
    void MoveNext();
    void MoveFirst();
    void MoveLast();
    std::string CurrentKey();
    void SetError(bool flag, std::string_view message) const;

    // --- Typed values (a getter stores its default under a missing key) --
    std::string GetValue(std::string_view key, std::string_view defaultValue = {});
    std::string GetString(std::string_view key, std::string_view defaultValue = {});
    std::string GetData(std::string_view key, std::string_view defaultValue = {});
    std::int32_t GetInteger(std::string_view key, std::int32_t defaultValue = 0);
    double GetDouble(std::string_view key, double defaultValue = 0.0);
    double GetReal(std::string_view key, double defaultValue = 0.0);
    bool GetBoolean(std::string_view key, bool defaultValue = true);
    std::optional<fw::Date> GetDate(std::string_view key);
    std::optional<fw::Date> GetDate(std::string_view key, const fw::Date& defaultValue);
    void SetString(std::string_view key, std::string_view value);
    void SetInteger(std::string_view key, double value);
    void SetDouble(std::string_view key, double value);
    void SetReal(std::string_view key, double value);
    void SetBoolean(std::string_view key, bool value);
    void SetDate(std::string_view key, const fw::Date& value);
    void SetData(std::string_view key, std::string_view value);

    // --- Array elements and removal --------------------------------------
    void AppendInteger(std::int32_t value);
    void AppendDict();
    void AppendArray();
    void AppendBoolean(bool value);
    void AppendDouble(double value);
    void AppendString(std::string_view value);
    void AppendData(std::string_view value);
    void AppendDate(const fw::Date& value);
    bool CheckArray() const;
    // Removes array element `i`; the later elements move down one place.
    void Remove(std::int32_t i);
    // A text that reads as a number is an element index; any other text is
    // a key, removed with its value and child node.
    void Remove(std::string_view keyOrIndex);

    // --- Writing ---------------------------------------------------------
    // Writes the node's entries, each line indented by `level` TABs.
    void Write(fw::TextOutputStream& stream, std::int32_t level) const;
    // "&" as "&amp;", "<" as "&lt;", ">" as "&gt;".
    static std::string BracketsToCode(std::string_view text);
    // Appends what Write would write to the clipboard, each line ending in
    // a carriage return. A debugging aid.
    void Dump(std::int32_t level) const;

    // --- Inspection (read-only) ------------------------------------------
    bool IsArray() const { return isArray_; }
    plist* Document() const { return rootClass_; }
    std::int32_t ChildCount() const {
        return static_cast<std::int32_t>(children_.size() - removedChildren_);
    }
    // Child j (from 0) in the order of adding, and its key.
    plistDict* ChildAt(std::int32_t j) const;
    const std::string& ChildNameAt(std::int32_t j) const;

protected:
    static std::string StripAll(std::string_view text);
    bool TypeOK(std::string_view key) const;
    double ReadNumber(std::string_view key);
    std::int32_t CheckType(std::string_view key, std::string_view expected) const;
    static std::string MakeTwo(std::int32_t n);

private:
    friend class plistio::TreeBuilder;
    friend class plistio::Writer;

    // A removed child leaves its slot empty (null node) until the slots are
    // compacted, so that removing stays cheap however many children there are.
    struct ChildSlot {
        std::string name;
        std::unique_ptr<plistDict> node;
        std::uint32_t hash;         // of the name
        std::uint32_t nextSameName; // the next child of that name, or kNone
        std::uint32_t lastSameName; // the last child of that name (first one only)
    };
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    // Appends a new empty node, or `built` (a node that was this one's
    // child under `key` before) again.
    plistDict* AppendChildNode(std::string_view key, bool isArray,
                               std::unique_ptr<plistDict> built = nullptr);
    // AppendChildNode for filling: CompactChildren indexes the children
    // once the node is filled.
    plistDict* AppendChildUnindexed(std::string_view key, bool isArray,
                                    std::unique_ptr<plistDict> built = nullptr);
    // Chains child j to the earlier children of its name, or indexes it as
    // the first of its name.
    void LinkChild(std::uint32_t j);
    // Up to this many children are found by scanning, without the index.
    static constexpr std::size_t kChildScanLimit = 8;
    bool ChildrenIndexed() const { return children_.size() > kChildScanLimit; }
    std::uint32_t FirstChildNamed(std::string_view key) const;
    void RemoveChildrenNamed(std::string_view key);
    // Drops the children whose entry stands for another child of their name
    // or for a scalar, then compacts.
    void DropReplacedChildren();
    // Drops the empty slots and indexes the children by name again.
    void CompactChildren();
    std::uint32_t SlotOfChild(std::int32_t j) const;
    void StoreScalar(std::string_view key, std::string_view type, std::string value);
    void Append(std::string_view type, std::string value);
    std::string DateText(const fw::Date& date) const;

    bool isArray_ = false;
    plist* rootClass_ = nullptr;
    std::vector<ChildSlot> children_;
    std::uint32_t removedChildren_ = 0;
    fw::HashIndex childIndex_; // name to the first child of that name
    // Upper-cased child name to its first slot, for lookups that ignore
    // letter case; built on first use, dropped when children are removed.
    // Few nodes ever need one, so it is held apart and the nodes stay small.
    using FoldedIndex = std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>>;
    std::unique_ptr<FoldedIndex> foldedIndex_;
};
