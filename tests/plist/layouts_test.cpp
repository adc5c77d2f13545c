// One document in many equivalent XML layouts, as other writers and hand
// edits leave it: each reads into the tree of plistlib's own layout, and the
// next save keeps every entry in a file that XML readers accept.
#include "PlistCompare.h"
#include "PlistTestSupport.h"
#include "plist/plistDict.h"

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

const char* const kDocument = R"PY(
doc = {
    "Name": "Tallo & <Calc> \u00e9\u20ac\U0001F600",
    "Count": 42,
    "Ratio": 2.5,
    "Flag": True,
    "Off": False,
    "Text": "two\nlines",
    "Blob": b"\x00\x01\x02",
    "When": datetime.datetime(2024, 3, 7, 9, 5, 3),
    "Nested": {"n": 5, "empty": {}},
    "List": ["a", 2.5, [], {"k": "v"}, False],
    "After": "still in the root",
}
)PY";

// The same document in the store's own layout; the line break of "Text" is a
// reference, so that layouts may move lines freely.
const std::string kPretty =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n"
    "<dict>\n"
    "\t<key>Name</key>\n"
    "\t<string>Tallo &amp; &lt;Calc&gt; \xC3\xA9\xE2\x82\xAC"
    "\xF0\x9F\x98\x80</string>\n"
    "\t<key>Count</key>\n\t<integer>42</integer>\n"
    "\t<key>Ratio</key>\n\t<real>2.5</real>\n"
    "\t<key>Flag</key>\n\t<true/>\n"
    "\t<key>Off</key>\n\t<false/>\n"
    "\t<key>Text</key>\n\t<string>two&#10;lines</string>\n"
    "\t<key>Blob</key>\n\t<data>\n\tAAEC\n\t</data>\n"
    "\t<key>When</key>\n\t<date>2024-03-07T09:05:03Z</date>\n"
    "\t<key>Nested</key>\n\t<dict>\n"
    "\t\t<key>n</key>\n\t\t<integer>5</integer>\n"
    "\t\t<key>empty</key>\n\t\t<dict/>\n"
    "\t</dict>\n"
    "\t<key>List</key>\n\t<array>\n"
    "\t\t<string>a</string>\n\t\t<real>2.5</real>\n\t\t<array/>\n"
    "\t\t<dict>\n\t\t\t<key>k</key>\n\t\t\t<string>v</string>\n\t\t</dict>\n"
    "\t\t<false/>\n"
    "\t</array>\n"
    "\t<key>After</key>\n\t<string>still in the root</string>\n"
    "</dict>\n"
    "</plist>\n";

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Each line without its leading TABs, joined by `joint`.
std::string Unindented(const std::string& text, const std::string& joint,
                       const std::string& indentUnit = "") {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::size_t first = start;
        while (text[first] == '\t') {
            ++first;
        }
        for (std::size_t i = start; i < first; ++i) {
            out += indentUnit;
        }
        out += text.substr(first, end - first);
        out += joint;
        start = end + 1;
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> AllLayouts() {
    std::vector<std::pair<std::string, std::string>> layouts = {
        {"one line", Unindented(kPretty, "")},
        {"compact", Unindented(kPretty, "\n")},
        {"spaces, root indented and with a blank",
         ReplaceAll(Unindented(kPretty, "\n", "  "), "\n<dict>\n", "\n  <dict >\n")},
        {"comments",
         ReplaceAll(
             ReplaceAll(kPretty, "</key>\n", "</key><!-- a > b <key>Ghost</key><true/> -->\n"),
             "<dict>\n", "<dict>\n<!-- over\nseveral <key>X</key>\nlines -->\n")},
        {"CDATA",
         ReplaceAll(ReplaceAll(kPretty, "Tallo &amp; &lt;Calc&gt;", "<![CDATA[Tallo & <Calc>]]>"),
                    "<string>v</string>", "<string><![CDATA[]]>v</string>")},
        {"self-closing forms",
         ReplaceAll(ReplaceAll(ReplaceAll(ReplaceAll(kPretty, "<true/>", "<true />"), "<false/>",
                                          "<false></false>"),
                               "<dict/>", "<dict></dict>"),
                    "<array/>", "<array />")},
        {"attributes and split tags",
         ReplaceAll(ReplaceAll(kPretty, "<key>Count</key>", "<key\n>Count</key\n>"), "\t<dict>\n",
                    "\t<dict id=\"n\">\n")},
        {"CRLF", ReplaceAll(kPretty, "\n", "\r\n")},
        {"BOM", "\xEF\xBB\xBF" + kPretty},
    };
    return layouts;
}

using Layouts = PythonPlistTest;

} // namespace

TEST_F(Layouts, EveryLayoutReadsAsPlistlibsOwnAndSavesEveryEntry) {
    WriteRaw(File("pretty.plist"), kPretty);
    ASSERT_TRUE(Python(std::string(kDocument) +
                       "with open('py.plist', 'wb') as f:\n"
                       "    plistlib.dump(doc, f, sort_keys=False)\n"
                       "with open('pretty.plist', 'rb') as f:\n"
                       "    assert plistlib.load(f) == doc\n"
                       "text = open('pretty.plist', encoding='utf-8').read()\n"
                       "with open('utf16.plist', 'wb') as f:\n"
                       "    f.write(text.replace('UTF-8', 'UTF-16').encode('utf-16'))\n"));
    plist reference(File("py.plist"));
    ASSERT_TRUE(reference.FullyRead());
    ASSERT_EQ(reference.root->count(), 11);

    auto layouts = AllLayouts();
    layouts.emplace_back("UTF-16", ReadRaw(File("utf16.plist")));
    for (const auto& [name, text] : layouts) {
        SCOPED_TRACE(name);
        const fw::FolderItem file = File("layout.plist");
        WriteRaw(file, text);
        plist doc(file);
        EXPECT_FALSE(doc.error) << doc.errorMessage;
        EXPECT_TRUE(doc.FullyRead());
        EXPECT_EQ(CompareNodes(*doc.root, *reference.root, ""), "");

        doc.Save();
        EXPECT_FALSE(File("layout.plist.unreadable").Exists());
        EXPECT_TRUE(XmlLintAccepts(file));
        plist back(file);
        EXPECT_TRUE(back.FullyRead());
        EXPECT_EQ(CompareNodes(*back.root, *reference.root, ""), "");
        const std::string saved = ReadRaw(file);
        EXPECT_EQ(saved.find("<true ></true >"), std::string::npos);
        EXPECT_TRUE(Python(std::string(kDocument) + "with open('layout.plist', 'rb') as f:\n"
                                                    "    assert plistlib.load(f) == doc\n"));
    }
}
