// Files exchanged with Python's plistlib, a reader and writer of the same
// format that this store never shares code with.
#include "PlistTestSupport.h"
#include "plist/plistDict.h"

#include <cstdlib>

namespace {

using Interop = PythonPlistTest;

// The values that both directions use, as Python sees them.
const char* const kExpected = R"PY(
expected = {
    "Version": {"Schema": "1", "LastUpdated": datetime.datetime(2024, 3, 7, 9, 5, 3)},
    "flagOn": True,
    "flagOff": False,
    "count": -42,
    "big": 1099511627776,
    "ratio": 0.1,
    "blob": bytes(range(60)),
    "text": "x & y < z > w \"q\" 'a' \u00e9\u20ac\U0001F600",
    "lines": "one\ntwo\r\nthree\n",
    "": "empty key",
    "odd <key> & more": "",
    "emptyDict": {},
    "emptyArray": [],
    "list": ["a", 1, 2.5, False, {"inner": [b"\x00\x01", datetime.datetime(1999, 12, 31, 23, 59, 59)]}, [], ""],
}
)PY";

} // namespace

TEST_F(Interop, FilesWrittenByPlistlibReadIntoTheExpectedNodes) {
    ASSERT_TRUE(Python(std::string(kExpected) +
                       "with open('py.plist', 'wb') as f:\n"
                       "    plistlib.dump(expected, f, fmt=plistlib.FMT_XML, sort_keys=False)\n"));
    plist doc(File("py.plist"));
    ASSERT_FALSE(doc.error) << doc.errorMessage;
    plistDict& root = *doc.root;
    EXPECT_EQ(root.count(), 14);
    EXPECT_EQ(root.types.Key(0), "Version");
    EXPECT_EQ(root.child("Version")->GetString("Schema"), "1");
    EXPECT_EQ(root.child("Version")->values.Value("LastUpdated"), "2024-03-07T09:05:03Z");
    EXPECT_TRUE(root.GetBoolean("flagOn"));
    EXPECT_FALSE(root.GetBoolean("flagOff"));
    EXPECT_EQ(root.GetInteger("count"), -42);
    EXPECT_EQ(root.GetInteger("big"), 2147483647); // saturated, never wrapped
    EXPECT_EQ(root.GetValue("big"), "1099511627776");
    EXPECT_EQ(root.GetDouble("ratio"), 0.1);
    EXPECT_EQ(root.GetType("blob"), "data");
    EXPECT_EQ(root.GetData("blob"),
              "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKissLS4vMDEyMzQ1Njc4OTo7");
    EXPECT_EQ(root.GetString("text"),
              "x & y < z > w \"q\" 'a' \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    // plistlib writes line breaks raw, and XML reads CR LF as LF.
    EXPECT_EQ(root.GetString("lines"), "one\ntwo\nthree\n");
    EXPECT_EQ(root.GetString(""), "empty key");
    EXPECT_EQ(root.GetString("odd <key> & more"), "");
    EXPECT_EQ(root.child("emptyDict")->count(), 0);
    EXPECT_TRUE(root.child("emptyArray")->IsArray());
    plistDict& list = *root.child("list");
    ASSERT_EQ(list.count(), 7);
    EXPECT_EQ(list.values.Value("0"), "a");
    EXPECT_EQ(list.GetType("1"), "integer");
    EXPECT_EQ(list.values.Value("2"), "2.5");
    EXPECT_EQ(list.values.Value("3"), "false");
    plistDict& inner = *list.index(4)->child("inner");
    EXPECT_EQ(inner.values.Value("0"), "AAE=");
    EXPECT_EQ(inner.values.Value("1"), "1999-12-31T23:59:59Z");
    EXPECT_EQ(list.index(5)->count(), 0);
    EXPECT_EQ(list.values.Value("6"), "");
}

TEST_F(Interop, SavedDocumentsParseIntoTheSameValues) {
    plist doc(File("ours.plist"));
    plistDict& root = *doc.root;
    root.child("Version")->SetString("Schema", "1");
    root.child("Version")->SetDate("LastUpdated", fw::Date::FromUTC({2024, 3, 7, 9, 5, 3}));
    root.SetBoolean("flagOn", true);
    root.SetBoolean("flagOff", false);
    root.SetInteger("count", -42);
    root.SetInteger("big", 1099511627776.0);
    root.SetDouble("ratio", 0.1);
    root.SetData(
        "blob", "AAECAwQFBgcICQoLDA0ODxAREhMUFRYXGBkaGxwdHh8gISIjJCUmJygpKissLS4vMDEyMzQ1Njc4OTo7");
    root.SetString("text", "x & y < z > w \"q\" 'a' \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    root.SetString("lines", "one\ntwo\r\nthree\n");
    root.SetString("", "empty key");
    root.SetString("odd <key> & more", "");
    root.AddChild("emptyDict");
    root.AddArray("emptyArray");
    root.AddArray("list");
    plistDict& list = *root.child("list");
    list.AppendString("a");
    list.AppendInteger(1);
    list.values.Set("2", "2.5");
    list.types.Set("2", "real");
    list.AppendBoolean(false);
    list.AppendDict();
    list.index(4)->AddArray("inner");
    list.index(4)->child("inner")->AppendData("AAE=");
    list.index(4)->child("inner")->AppendDate(fw::Date::FromUTC({1999, 12, 31, 23, 59, 59}));
    list.AppendArray();
    list.AppendString("");
    doc.Save();
    ASSERT_TRUE(File("ours.plist").Exists());
    EXPECT_TRUE(Python(std::string(kExpected) +
                       "with open('ours.plist', 'rb') as f:\n"
                       "    got = plistlib.load(f)\n"
                       "if got != expected or list(got) != list(expected):\n"
                       "    print('got     ', got)\n"
                       "    print('expected', expected)\n"
                       "    sys.exit(1)\n"));
}
