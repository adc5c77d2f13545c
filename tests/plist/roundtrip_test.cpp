#include "PlistCompare.h"
#include "PlistTestSupport.h"
#include "plist/plistDict.h"

#include <random>

namespace {

// Builds random trees through the public operations, with texts that hit
// every escaping rule: entities, line breaks of each kind, blanks at the
// ends, multi-byte UTF-8. (What XML cannot carry is replaced on writing; the
// values tests cover that.)
class TreeMaker {
public:
    explicit TreeMaker(unsigned seed) : random_(seed) {}

    void Fill(plistDict& node, int depth) {
        const int entries = Pick(0, depth == 0 ? 12 : 6);
        for (int i = 0; i < entries; ++i) {
            const int kind = Pick(0, depth >= 4 ? 7 : 9);
            const std::string key = Text();
            if (node.IsArray()) {
                AddElement(node, kind, depth);
            } else if (!node.Exists(key)) {
                AddEntry(node, key, kind, depth);
            }
        }
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::string Text() {
        static const char* pieces[] = {"a",
                                       "Z",
                                       " ",
                                       "\t",
                                       "\n",
                                       "\r",
                                       "\r\n",
                                       "&",
                                       "&amp;",
                                       "<",
                                       ">",
                                       "><",
                                       "</",
                                       "'",
                                       "\"",
                                       "\xC3\xA9",
                                       "\xE2\x82\xAC",
                                       "\xF0\x9F\x98\x80",
                                       "\x7F",
                                       "&#13;",
                                       "key",
                                       "</string>",
                                       "<dict>",
                                       "0",
                                       "]]>",
                                       "\\"};
        std::string text;
        const int n = Pick(0, 6);
        for (int i = 0; i < n; ++i) {
            text += pieces[Pick(0, static_cast<int>(std::size(pieces)) - 1)];
        }
        return text;
    }

    fw::Date RandomDate() {
        return fw::Date::FromUTC(
            {Pick(1900, 2100), Pick(1, 12), Pick(1, 28), Pick(0, 23), Pick(0, 59), Pick(0, 59)});
    }

    void AddEntry(plistDict& node, const std::string& key, int kind, int depth) {
        switch (kind) {
        case 0:
            node.SetString(key, Text());
            break;
        case 1:
            node.SetInteger(key, Pick(-1000000, 1000000));
            break;
        case 2:
            node.SetDouble(key, Pick(-1000, 1000) / 7.0);
            break;
        case 3:
            node.SetBoolean(key, Pick(0, 1) == 1);
            break;
        case 4:
            node.SetDate(key, RandomDate());
            break;
        case 5:
            node.SetData(key, Text());
            break;
        case 6:
            node.types.Set(key, "custom");
            node.values.Set(key, Text());
            break;
        case 7:
            node.SetString(key, "");
            break;
        case 8:
            node.AddChild(key);
            Fill(*node.child(key), depth + 1);
            break;
        default:
            node.AddArray(key);
            Fill(*node.child(key), depth + 1);
            break;
        }
    }

    void AddElement(plistDict& node, int kind, int depth) {
        switch (kind) {
        case 0:
            node.AppendString(Text());
            break;
        case 1:
            node.AppendInteger(Pick(-5, 5));
            break;
        case 2:
            node.AppendDouble(Pick(-1000, 1000) / 3.0);
            break;
        case 3:
            node.AppendBoolean(Pick(0, 1) == 1);
            break;
        case 4:
            node.AppendDate(RandomDate());
            break;
        case 5:
            node.AppendData(Text());
            break;
        case 6:
            node.AppendString("");
            break;
        case 7:
            node.AppendString("\n");
            break;
        case 8:
            node.AppendDict();
            Fill(*node.index(node.indexOf), depth + 1);
            break;
        default:
            node.AppendArray();
            Fill(*node.index(node.indexOf), depth + 1);
            break;
        }
    }

    std::mt19937 random_;
};

using RoundTrip = PlistTest;

} // namespace

TEST_F(RoundTrip, RandomTreesComeBackEqual) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        auto doc = NewDocument("tree" + std::to_string(seed) + ".plist");
        TreeMaker(seed).Fill(*doc->root, 0);
        const std::string text = Saved(*doc);
        plist back(doc->SavePath());
        ASSERT_FALSE(back.error) << "seed " << seed;
        ASSERT_EQ(CompareDocuments(*doc, back), "") << "seed " << seed << "\n" << text;
        // Saving what was read writes the same text again.
        ASSERT_EQ(Saved(back), text) << "seed " << seed;
    }
}

TEST_F(RoundTrip, ForeignHeaderLinesAreKept) {
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                             "<!-- written by hand -->\r\n"
                             "<plist version=\"1.0\">\r\n"
                             "<dict>\r\n";
    auto doc = Parse(head + "<key>k</key><string>v</string>\r\n</dict>\r\n</plist>\r\n");
    EXPECT_FALSE(doc->error);
    EXPECT_EQ(Saved(*doc), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!-- written by hand -->\n"
                           "<plist version=\"1.0\">\n"
                           "<dict>\n"
                           "\t<key>k</key>\n"
                           "\t<string>v</string>\n" +
                               Tail());
}
