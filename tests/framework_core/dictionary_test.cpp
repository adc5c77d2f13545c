#include "framework/core/Dictionary.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

using fw::Dictionary;

namespace {

std::vector<std::string> Keys(const Dictionary& d) {
    std::vector<std::string> keys;
    for (std::int32_t i = 0; i < d.Count(); ++i) {
        keys.push_back(d.Key(i));
    }
    return keys;
}

} // namespace

TEST(Dictionary, KeepsTheOrderOfFirstStoring) {
    Dictionary d;
    d.Set("b", "1");
    d.Set("a", "2");
    d.Set("c", "3");
    d.Set("a", "changed"); // keeps its place
    EXPECT_EQ(Keys(d), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(d.Value("a"), "changed");
    EXPECT_EQ(d.ValueAt(1), "changed");

    EXPECT_TRUE(d.Remove("b"));
    EXPECT_FALSE(d.Remove("b"));
    EXPECT_FALSE(d.HasKey("b"));
    EXPECT_EQ(d.Value("b", "none"), "none");
    d.Set("b", "back"); // a removed key comes back at the end
    EXPECT_EQ(Keys(d), (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(d.Count(), 3);

    EXPECT_EQ(d.Key(-1), "");
    EXPECT_EQ(d.Key(3), "");
    EXPECT_EQ(d.Find("missing"), nullptr);
}

TEST(Dictionary, KeysAreExactAndMayBeAnyText) {
    Dictionary d;
    d.Set("Key", "upper");
    d.Set("key", "lower");
    d.Set("", "empty");
    d.Set(std::string("a\0b", 3), "nul");
    EXPECT_EQ(d.Count(), 4);
    EXPECT_EQ(d.Value("Key"), "upper");
    EXPECT_EQ(d.Value("key"), "lower");
    EXPECT_EQ(d.Value(""), "empty");
    EXPECT_EQ(d.Value(std::string("a\0b", 3)), "nul");
}

// Positions must stay right through any mix of stores and removals, which
// the gap counting and compaction inside are easy to get wrong.
TEST(Dictionary, PositionsMatchAPlainListUnderRandomEdits) {
    std::mt19937 random(12345);
    Dictionary d;
    std::vector<std::string> model;
    for (int step = 0; step < 20000; ++step) {
        const std::string key = "k" + std::to_string(random() % 300);
        if (random() % 3 == 0) {
            auto it = std::find(model.begin(), model.end(), key);
            EXPECT_EQ(d.Remove(key), it != model.end());
            if (it != model.end()) {
                model.erase(it);
            }
        } else {
            // Appended keys are checked in bulk on the next read, which must
            // give what storing them one by one gives.
            if (random() % 2 == 0) {
                d.Append(key, key + "v");
            } else {
                d.Set(key, key + "v");
            }
            if (std::find(model.begin(), model.end(), key) == model.end()) {
                model.push_back(key);
            }
        }
        if (step % 97 == 0) {
            ASSERT_EQ(Keys(d), model) << "after step " << step;
            for (std::int32_t i = 0; i < d.Count(); ++i) {
                ASSERT_EQ(d.ValueAt(i), model[i] + "v");
            }
        }
    }
    d.Clear();
    EXPECT_EQ(d.Count(), 0);
    EXPECT_EQ(d.Key(0), "");
}

TEST(Dictionary, AppendingRepeatedKeysKeepsTheFirstPlaceAndTheLastValue) {
    for (const int count : {5, 200}) { // found by scanning, and by the index
        Dictionary d;
        d.Set("early", "set");
        for (int i = 0; i < count; ++i) {
            d.Append("k" + std::to_string(i), "first");
        }
        d.Append("k0", "second");
        d.Append("early", "appended");
        d.Append(std::string("k1\0", 3), "nul");
        EXPECT_EQ(d.Count(), count + 2) << count;
        EXPECT_EQ(d.Key(1), "k0");
        EXPECT_EQ(d.ValueAt(1), "second");
        EXPECT_EQ(d.Value("early"), "appended");
        EXPECT_EQ(d.Key(count + 1), std::string("k1\0", 3));
        EXPECT_EQ(d.Value("k1"), "first");
        d.Append("late", "x");
        EXPECT_TRUE(d.Remove("late"));
        EXPECT_FALSE(d.HasKey("late"));
    }
}

// Accepted keys skip the check for repeats and are indexed only when first
// looked up; lookups, stores and removals must then find every one of them.
TEST(Dictionary, AcceptedAppendedKeysAreFoundOnceLookedUp) {
    for (const int count : {5, 200}) {
        for (const bool indexedBefore : {false, true}) {
            Dictionary d;
            if (indexedBefore) {
                for (int i = 0; i < 20; ++i) {
                    d.Set("s" + std::to_string(i), "set");
                }
            }
            const std::int32_t before = d.Count();
            for (int i = 0; i < count; ++i) {
                d.Append("k" + std::to_string(i), "v" + std::to_string(i));
            }
            d.AcceptAppended();
            ASSERT_EQ(d.Count(), before + count);
            EXPECT_EQ(d.Key(before), "k0");
            EXPECT_EQ(d.Value("k" + std::to_string(count - 1)), "v" + std::to_string(count - 1));
            EXPECT_FALSE(d.HasKey("k" + std::to_string(count)));
            d.Set("k1", "changed");
            EXPECT_EQ(d.Count(), before + count);
            EXPECT_EQ(d.ValueAt(before + 1), "changed");
            EXPECT_TRUE(d.Remove("k0"));
            EXPECT_FALSE(d.HasKey("k0"));
            EXPECT_EQ(d.Key(before), "k1");
            d.Set("new", "x");
            EXPECT_EQ(d.Key(d.Count() - 1), "new");
        }
    }
}
