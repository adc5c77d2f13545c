#include "PlistCompare.h"
#include "PlistTestSupport.h"
#include "plist/plistDict.h"

#include <cstdlib>

namespace {

using Reading = PlistTest;

std::string Value(plistDict& node, const std::string& key) {
    return node.values.Value(key, "<none>");
}

} // namespace

TEST_F(Reading, APreferencesFileReadsBack) {
    auto doc = ParseBody("\t<key>Version</key>\n"
                         "\t<dict>\n"
                         "\t\t<key>Schema</key>\n"
                         "\t\t<string>1</string>\n"
                         "\t\t<key>LastUpdated</key>\n"
                         "\t\t<date>2024-03-07T09:05:03Z</date>\n"
                         "\t</dict>\n"
                         "\t<key>EnableBlanks</key>\n"
                         "\t<true/>\n"
                         "\t<key>ContrainCombined</key>\n"
                         "\t<false/>\n");
    EXPECT_FALSE(doc->error);
    EXPECT_EQ(doc->Headers(), plist::DefaultHeaders());
    plistDict& root = *doc->root;
    EXPECT_EQ(root.name, "root");
    EXPECT_EQ(root.count(), 3);
    EXPECT_EQ(root.types.Key(0), "Version");
    plistDict* version = root.child("Version");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->parent, &root);
    EXPECT_EQ(Value(*version, "Schema"), "1");
    EXPECT_EQ(version->GetType("LastUpdated"), "date");
    EXPECT_EQ(Value(*version, "LastUpdated"), "2024-03-07T09:05:03Z");
    EXPECT_TRUE(root.GetBoolean("EnableBlanks"));
    EXPECT_FALSE(root.GetBoolean("ContrainCombined"));
    // Nothing after the root's end is read.
    EXPECT_EQ(root.ChildCount(), 1);
}

TEST_F(Reading, OneLineFormsAndElementsSharingALine) {
    auto doc = Parse(Head() +
                     "\t<key>s</key><string>v</string>\n"
                     "\t<key>e</key>\n\t<dict/>\n"
                     "\t<key>after</key><integer>-12</integer>\n"
                     "\t<key>ea</key><array/>\n"
                     "\t<key>c</key><dict><key>p</key><string>child's</string>\n"
                     "\t\t<key>inner</key>\n\t\t<true/>\n"
                     "\t</dict><key>q</key><real>2.5</real>\n" +
                     Tail() + "<!-- <key>never</key><true/> -->\n");
    plistDict& root = *doc->root;
    EXPECT_EQ(root.GetType("s"), "string");
    EXPECT_EQ(Value(root, "s"), "v");
    EXPECT_EQ(root.GetType("e"), "dict");
    EXPECT_EQ(root.child("e")->count(), 0);
    EXPECT_EQ(Value(root, "after"), "-12");
    EXPECT_EQ(root.GetType("after"), "integer");
    EXPECT_TRUE(root.child("ea")->IsArray());
    // Elements belong to the node they stand in, whatever the lines.
    plistDict& c = *root.child("c");
    EXPECT_EQ(Value(c, "p"), "child's");
    EXPECT_TRUE(c.GetBoolean("inner"));
    EXPECT_EQ(Value(root, "q"), "2.5");
    EXPECT_FALSE(root.Exists("never"));
    EXPECT_TRUE(doc->FullyRead());
}

TEST_F(Reading, ArraysNumberTheirElements) {
    auto doc = ParseBody("\t<key>a</key>\n\t<array>\n"
                         "\t\t<string>x</string>\n"
                         "\t\t<string>y</string><string>z</string>\n"
                         "\n"
                         "\t\t<dict>\n\t\t\t<key>k</key>\n\t\t\t<string>v</string>\n\t\t</dict>\n"
                         "\t\t<string>two\nlines</string>\n"
                         "\t\t<true/>\n"
                         "\t</array>\n");
    plistDict& a = *doc->root->child("a");
    ASSERT_TRUE(a.IsArray());
    EXPECT_EQ(a.count(), 6);
    EXPECT_EQ(Value(a, "0"), "x");
    EXPECT_EQ(Value(a, "1"), "y");
    EXPECT_EQ(Value(a, "2"), "z");
    EXPECT_EQ(a.GetType("3"), "dict");
    EXPECT_EQ(Value(*a.index(3), "k"), "v");
    EXPECT_EQ(Value(a, "4"), "two\nlines");
    EXPECT_EQ(Value(a, "5"), "true");
    EXPECT_EQ(a.indexOf, 6);

    auto three = ParseBody("\t<key>a</key>\n\t<array>\n\t\t<string>1</string>\n"
                           "\t\t<string>2</string>\n\t\t<string>3</string>\n\t</array>\n");
    EXPECT_EQ(three->root->child("a")->indexOf, 3);
}

TEST_F(Reading, ValuesComeBackAsWritten) {
    auto doc = ParseBody("\t<key>esc</key>\n\t<string>&lt;a&gt; &amp;amp; &quot;&apos; &#38;"
                         "&#x26;&#0000000065;</string>\n"
                         "\t<key>empty</key>\n\t<string></string>\n"
                         "\t<key>emptyForm</key>\n\t<string/>\n"
                         "\t<key>multi</key>\n\t<string>first\n"
                         "\t  second\n"
                         "\n"
                         "last</string><key>next</key><string>n</string>\n"
                         "\t<key>late</key>\n\t<string>\nx\n</string>\n"
                         "\t<key>data</key>\n\t<data>\n\t\tAAEC\n\t\tAwQ=\n\t</data>\n"
                         "\t<key>oneData</key>\n\t<data> AA EC </data>\n"
                         "\t<key>bool</key>\n\t<boolean>TRUE</boolean>\n"
                         // Values in pieces, the first of them plain.
                         "<key>pieces</key><string>ab<![CDATA[<c>]]>de<!-- n -->f</string>"
                         "<key>spaceFirst</key><string> \n<![CDATA[x]]></string>"
                         "<key>dataPieces</key><data>\n\tAA<!-- c -->EC\n</data>"
                         "<key>k<![CDATA[1]]></key><string>v</string>");
    plistDict& root = *doc->root;
    EXPECT_EQ(Value(root, "esc"), "<a> &amp; \"' &&A");
    EXPECT_EQ(Value(root, "empty"), "");
    EXPECT_EQ(Value(root, "emptyForm"), "");
    EXPECT_EQ(root.GetType("emptyForm"), "string");
    EXPECT_EQ(Value(root, "multi"), "first\n\t  second\n\nlast");
    EXPECT_TRUE(doc->FullyRead());
    EXPECT_EQ(Value(root, "next"), "n");
    EXPECT_EQ(Value(root, "late"), "\nx\n");
    EXPECT_EQ(Value(root, "data"), "AAECAwQ=");
    EXPECT_EQ(Value(root, "oneData"), "AA EC");
    EXPECT_EQ(Value(root, "bool"), "true");
    EXPECT_EQ(Value(root, "pieces"), "ab<c>def");
    EXPECT_EQ(Value(root, "spaceFirst"), " \nx");
    EXPECT_EQ(Value(root, "dataPieces"), "AAEC");
    EXPECT_EQ(Value(root, "k1"), "v");
    EXPECT_TRUE(doc->FullyRead());
}

TEST_F(Reading, KeysOfAnyText) {
    auto doc = NewDocument();
    plistDict& root = *doc->root;
    for (const char* key : {"", "<", ">", "><", "a></key><string>x", "&amp;", " spaced ",
                            "line\nbreak", "cr\rhere"}) {
        root.SetString(key, std::string("v") + key);
    }
    root.AddChild("<dict>");
    root.child("<dict>")->SetString("", "inner");
    doc->Save();
    plist back(doc->SavePath());
    EXPECT_EQ(CompareDocuments(*doc, back), "");
}

TEST_F(Reading, SpaceIndentedLinesReadLikeTabs) {
    auto doc = ParseBody("  <key>a</key>\n"
                         "  <dict>\n"
                         "    <key>b</key>\n"
                         "    <string>x\n"
                         "      kept</string>\n"
                         "  </dict>\n"
                         " \t <key>c</key> <true/>\n");
    plistDict& root = *doc->root;
    EXPECT_EQ(Value(*root.child("a"), "b"), "x\n      kept");
    EXPECT_TRUE(root.GetBoolean("c"));
}

TEST_F(Reading, DamagedAndForeignFiles) {
    auto empty = Parse("");
    EXPECT_TRUE(empty->error);
    EXPECT_EQ(empty->errorMessage, "Not a plist file");
    EXPECT_EQ(empty->Headers(), plist::DefaultHeaders());
    EXPECT_EQ(empty->root->count(), 0);
    EXPECT_EQ(empty->root->Document(), nullptr);

    auto rootArray = Parse("<?xml version=\"1.0\"?>\n<plist>\n<array>\n\t<string>x</string>\n"
                           "</array>\n</plist>\n");
    EXPECT_EQ(rootArray->errorMessage, "Not a plist file");
    auto binary = Parse(std::string("bplist00\0\1\n<dict>\n<key>k</key><true/>\n", 36));
    EXPECT_EQ(binary->errorMessage, "Not a plist file");
    EXPECT_EQ(binary->root->count(), 0);

    // Ends inside a node and inside a value: what was read before is kept,
    // but not the value cut short.
    auto cut = Parse(Head() + "\t<key>d</key>\n\t<dict>\n\t\t<key>r</key><true/>\n"
                              "\t\t<key>s</key>\n\t\t<string>part\nrest");
    EXPECT_FALSE(cut->error);
    EXPECT_TRUE(cut->root->child("d")->GetBoolean("r", false));
    EXPECT_FALSE(cut->root->child("d")->Exists("s"));
    EXPECT_FALSE(cut->FullyRead());
    // A NUL is damage.
    auto nul = Parse(Head() + "\t<key>d</key>\n\t<date>2024-03-07T" + std::string(1, '\0') +
                     "09:05:03Z</date>\n</dict>\n</plist>\n");
    EXPECT_FALSE(nul->root->Exists("d"));
    EXPECT_FALSE(nul->FullyRead());

    // Stray text is passed over, and everything before malformed markup is
    // kept; such a file is not fully read.
    auto junk = ParseBody("junk\n\t\t\t\n<!-- note -->\n<key>k</key>"
                          "<integer>1</integer>\n<key>raw</key><string>a<b & c>d</string>\n"
                          "<key>after</key><true/>\n");
    EXPECT_EQ(Value(*junk->root, "k"), "1");
    EXPECT_FALSE(junk->root->Exists("after"));
    EXPECT_FALSE(junk->FullyRead());

    // Empty forms and an empty key element.
    auto empties = ParseBody("<key>d</key><dict/>\n<key/><true />\n<key>x</key><x/>\n");
    EXPECT_EQ(empties->root->GetType("d"), "dict");
    EXPECT_EQ(empties->root->ChildCount(), 1);
    EXPECT_EQ(Value(*empties->root, ""), "true");
    EXPECT_EQ(empties->root->GetType("x"), "x");
    EXPECT_EQ(Value(*empties->root, "x"), "");

    // A key that is first a value and then a node (or back) keeps one entry.
    auto twice = ParseBody("<key>k</key><string>s</string>\n<key>k</key><dict/>\n"
                           "<key>m</key><dict/>\n<key>m</key><string>s</string>\n");
    EXPECT_EQ(twice->root->count(), 2);
    EXPECT_FALSE(twice->root->values.HasKey("k"));
    EXPECT_EQ(twice->root->ChildCount(), 1);
    EXPECT_EQ(twice->root->ChildNameAt(0), "k");
}

// The file's entries are read whatever follows the root dictionary, but a
// file with more than blanks, comments and instructions after it is not
// fully read, so that its first save keeps it aside.
TEST_F(Reading, WhatFollowsTheRootDictionaryIsNeverIgnoredSilently) {
    const std::string entries = "<key>k</key><true/>";
    const std::string body = Head() + entries + "</dict>";
    for (const std::string tail :
         {"<dict/></plist>", "</plist><extra/>", "stray</plist>", "</plist>stray", "</plist"}) {
        auto doc = Parse(body + tail);
        EXPECT_TRUE(doc->root->GetBoolean("k")) << tail;
        EXPECT_FALSE(doc->FullyRead()) << tail;
    }
    for (const std::string tail : {"\n</plist>\n", "<!-- end --></plist>\r\n<?done?>"}) {
        auto doc = Parse(body + tail);
        EXPECT_TRUE(doc->root->GetBoolean("k")) << tail;
        EXPECT_TRUE(doc->FullyRead()) << tail;
    }
}

TEST_F(Reading, AFileThatCannotBeReadGivesAnEmptyDocument) {
    std::filesystem::create_directory(File("folder.plist").Path());
    plist doc(File("folder.plist"));
    EXPECT_TRUE(doc.error);
    EXPECT_EQ(doc.errorMessage, File("folder.plist").AbsolutePath() + " could not be opened");
    EXPECT_EQ(doc.Headers(), plist::DefaultHeaders());
    EXPECT_EQ(doc.root->Document(), &doc);
    doc.root->SetBoolean("k", true);
    doc.Save(); // the folder is kept aside, not lost
    EXPECT_TRUE(doc.saveFailureReason.empty()) << doc.saveFailureReason;
    EXPECT_TRUE(File("folder.plist.unreadable").IsFolder());
    EXPECT_TRUE(plist(File("folder.plist")).root->GetBoolean("k", false));
}

TEST_F(Reading, TheOtherFileIsReadWhenTheFirstIsMissing) {
    const fw::FolderItem defaults = File("defaults.plist");
    WriteRaw(defaults, Head() + "\t<key>k</key>\n\t<string>v</string>\n" + Tail());
    plist doc(File("user.plist"), defaults);
    EXPECT_FALSE(doc.error);
    EXPECT_EQ(Value(*doc.root, "k"), "v");
    doc.Save();
    EXPECT_TRUE(File("user.plist").Exists());
    EXPECT_EQ(ReadRaw(defaults), ReadRaw(File("user.plist")));
}

TEST_F(Reading, HostileNestingNeitherCrashesNorHangs) {
    std::string deep = Head();
    for (int i = 0; i < 100000; ++i) {
        deep += "<key>k</key><dict>\n";
    }
    deep += "<key>bottom</key><true/>\n";
    for (int i = 0; i < 100000; ++i) {
        deep += "</dict>\n";
    }
    deep += "<key>after</key><true/>\n" + Tail();
    // No depth loses content: the bottom is read, and written back.
    auto depthOf = [](plist& doc) {
        int depth = 0;
        plistDict* node = doc.root.get();
        for (; node->ChildCount() > 0; node = node->ChildAt(0)) {
            ++depth;
        }
        return node->Exists("bottom") ? depth : -1;
    };
    auto doc = Parse(deep);
    EXPECT_EQ(depthOf(*doc), 100000);
    EXPECT_TRUE(doc->root->Exists("after"));
    EXPECT_TRUE(doc->FullyRead());
    doc->Save();
    plist back(doc->SavePath());
    EXPECT_EQ(depthOf(back), 100000);
    EXPECT_TRUE(back.root->Exists("after"));

    auto wide = Parse(Head() + std::string(1 << 20, '<') + "\n" + std::string(1 << 20, '>') +
                      "\n<key>k</key><string>" + std::string(1 << 20, '&') + "</string>\n");
    EXPECT_FALSE(wide->FullyRead());
    auto amps =
        ParseBody("<key>k</key><string>" + std::string(1 << 20, '&') + "</string>\n");
    EXPECT_FALSE(amps->FullyRead());
    auto refs = ParseBody("<key>k</key><string>" + std::string(1 << 20, '\n') + "&amp;</string>");
    EXPECT_EQ(Value(*refs->root, "k").size(), (std::size_t{1} << 20) + 1);
}
