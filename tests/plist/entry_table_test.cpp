#include "plist/EntryTable.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

using plistio::EntryTable;
using plistio::TypeNames;
using plistio::ValueTexts;

namespace {

// What the table must hold: its live entries in its own order, each with a
// type name, a value text or both.
class Model {
public:
    struct Entry {
        std::string key;
        std::optional<std::string> type;
        std::optional<std::string> value;
    };

    bool SetType(const std::string& key, const std::string& type) {
        auto it = Find(key);
        if (it != entries_.end() && it->type) {
            const bool wasNode = *it->type == "dict" || *it->type == "array";
            it->type = type;
            return wasNode;
        }
        std::optional<std::string> value;
        if (it != entries_.end()) {
            value = it->value; // a key new to the types comes last
            entries_.erase(it);
        }
        entries_.push_back(Entry{key, type, value});
        return false;
    }
    void SetValue(const std::string& key, const std::string& value) {
        auto it = Find(key);
        if (it == entries_.end()) {
            entries_.push_back(Entry{key, std::nullopt, value});
        } else {
            it->value = value;
        }
    }
    bool RemoveType(const std::string& key) { return RemovePart(key, &Entry::type); }
    bool RemoveValue(const std::string& key) { return RemovePart(key, &Entry::value); }
    // An entry appended as a file holds it takes the place of an earlier
    // one of its key.
    void Put(const std::string& key, const std::string& type,
             const std::optional<std::string>& value) {
        SetType(key, type);
        if (value) {
            SetValue(key, *value);
        } else {
            RemoveValue(key);
        }
    }

    void Check(const EntryTable& table, const std::string& when) const {
        std::vector<const Entry*> typed;
        std::int32_t valued = 0;
        for (const Entry& entry : entries_) {
            if (entry.type) {
                typed.push_back(&entry);
            }
            valued += entry.value ? 1 : 0;
        }
        ASSERT_EQ(table.TypedCount(), static_cast<std::int32_t>(typed.size())) << when;
        ASSERT_EQ(table.ValuedCount(), valued) << when;
        for (std::size_t i = 0; i < typed.size(); ++i) {
            const EntryTable::Entry* at = table.TypedAt(static_cast<std::int32_t>(i));
            ASSERT_NE(at, nullptr) << when;
            ASSERT_EQ(at->Key(), typed[i]->key) << when << ", position " << i;
            ASSERT_EQ(at->TypeName(), *typed[i]->type) << when << ", position " << i;
        }
        EXPECT_EQ(table.TypedAt(static_cast<std::int32_t>(typed.size())), nullptr);
        for (const Entry& entry : entries_) {
            const EntryTable::Entry* found = table.Find(entry.key);
            ASSERT_NE(found, nullptr) << when << ", key " << entry.key;
            ASSERT_EQ(found->Value() != nullptr, entry.value.has_value()) << when;
            if (entry.value) {
                ASSERT_EQ(*found->Value(), *entry.value) << when << ", key " << entry.key;
            }
        }
    }

    bool Has(const std::string& key) { return Find(key) != entries_.end(); }

private:
    std::vector<Entry>::iterator Find(const std::string& key) {
        return std::find_if(entries_.begin(), entries_.end(),
                            [&](const Entry& entry) { return entry.key == key; });
    }
    bool RemovePart(const std::string& key, std::optional<std::string> Entry::*part) {
        auto it = Find(key);
        if (it == entries_.end() || !((*it).*part)) {
            return false;
        }
        ((*it).*part).reset();
        if (!it->type && !it->value) {
            entries_.erase(it);
        }
        return true;
    }

    std::vector<Entry> entries_;
};

const std::vector<std::string> kTypes = {"string", "integer", "dict", "array", "custom", ""};

} // namespace

// The two dictionaries over one table: types in the order of first being
// given a type name, values beside them.
TEST(EntryTable, TypesKeepTheirOrderAndValuesFollowTheirKeys) {
    EntryTable table;
    TypeNames types(table);
    ValueTexts values(table);
    types.Set("b", "string");
    values.Set("b", "1");
    types.Set("a", "integer");
    values.Set("orphan", "no type"); // as a damaged file can leave it
    types.Set("c", "dict");
    types.Set("a", "real"); // keeps its place
    EXPECT_EQ(types.Count(), 3);
    EXPECT_EQ(values.Count(), 2);
    EXPECT_EQ(types.Key(1), "a");
    EXPECT_EQ(types.ValueAt(1), "real");
    EXPECT_FALSE(types.HasKey("orphan"));
    EXPECT_EQ(values.Value("orphan"), "no type");

    types.Set("orphan", "string"); // new to the types: comes last
    EXPECT_EQ(types.Key(3), "orphan");
    EXPECT_EQ(values.Value("orphan"), "no type");

    EXPECT_TRUE(types.Remove("b"));
    EXPECT_FALSE(types.Remove("b"));
    EXPECT_EQ(values.Value("b"), "1"); // the value stays without its type
    EXPECT_EQ(types.Key(0), "a");
    EXPECT_TRUE(values.Remove("b"));
    EXPECT_FALSE(values.HasKey("b"));
    EXPECT_EQ(values.Value("b", "none"), "none");
    EXPECT_EQ(types.Key(-1), "");
    EXPECT_EQ(types.Key(types.Count()), "");
    EXPECT_EQ(types.Find("missing"), nullptr);

    // Keys are exact and may be any text.
    types.Set("Key", "string");
    types.Set("key", "string");
    types.Set(std::string("a\0b", 3), "string");
    types.Set("", "string");
    EXPECT_EQ(types.Count(), 7);
    EXPECT_TRUE(types.HasKey(std::string("a\0b", 3)));
    EXPECT_FALSE(types.HasKey(std::string("a\0", 2)));
}

// Positions must stay right through any mix of stores, removals and
// entries put as a file holds them, which the gaps, compaction and indexing
// inside are easy to get wrong.
TEST(EntryTable, EveryEntryMatchesAPlainListUnderRandomEdits) {
    for (const int keys : {12, 300, 6000}) {
        std::mt19937 random(12345 + keys);
        EntryTable table;
        Model model;
        const int steps = keys == 6000 ? 30000 : 20000;
        for (int step = 0; step < steps; ++step) {
            const std::string key = "k" + std::to_string(random() % keys);
            const std::string type = kTypes[random() % kTypes.size()];
            const std::string value = "v" + std::to_string(step);
            const bool putting = keys == 6000 && step < 12000;
            switch (putting ? 6 : random() % 7) {
            case 0:
                ASSERT_EQ(table.SetType(key, type), model.SetType(key, type));
                break;
            case 1:
                table.SetValue(key, value);
                model.SetValue(key, value);
                break;
            case 2:
            case 3:
                ASSERT_EQ(table.SetScalar(key, type, value), model.SetType(key, type));
                model.SetValue(key, value);
                break;
            case 4:
                ASSERT_EQ(table.RemoveType(key), model.RemoveType(key));
                break;
            case 5:
                ASSERT_EQ(table.RemoveValue(key), model.RemoveValue(key));
                break;
            default: {
                std::string text = value;
                const bool node = type == "dict" || type == "array";
                table.Append(key, type, node ? nullptr : &text);
                table.Settle();
                model.Put(key, type, node ? std::nullopt : std::optional<std::string>(value));
                break;
            }
            }
            if (step % 997 == 0 && !putting) {
                model.Check(table, "step " + std::to_string(step));
            }
        }
        model.Check(table, "the end");
        table.Clear();
        EXPECT_EQ(table.TypedCount(), 0);
        EXPECT_EQ(table.Find("k1"), nullptr);
    }
}

// A file's entries are appended as they come and settled once: a key that
// comes again takes the later type name and value text in the place of the
// first.
TEST(EntryTable, SettlingTellsWhetherAKeyCameAgain) {
    for (const int count : {5, 200}) { // scanned, indexed
        EntryTable table;
        table.SetValue("untyped", "v");
        std::string text;
        for (int i = 0; i < count; ++i) {
            text = "first";
            table.Append("k" + std::to_string(i), "string", &text);
        }
        EXPECT_FALSE(table.Settle());
        EXPECT_FALSE(table.Settle()); // nothing left to settle
        table.Append("k0", "dict", nullptr); // a node replaces a scalar
        text = "again";
        table.Append("k1", "integer", &text);
        EXPECT_TRUE(table.Settle());
        table.Append("untyped", "string", nullptr); // new to the types: comes last
        EXPECT_TRUE(table.Settle());
        EXPECT_EQ(table.TypedCount(), count + 1);
        EXPECT_EQ(table.TypedAt(0)->Key(), "k0");
        EXPECT_TRUE(table.TypedAt(0)->IsNode());
        EXPECT_EQ(table.TypedAt(0)->Value(), nullptr);
        EXPECT_EQ(*table.TypedAt(1)->Value(), "again");
        EXPECT_EQ(table.TypedAt(count)->Key(), "untyped");
        EXPECT_EQ(table.ValuedCount(), count - 1);
    }
}
