#include "PlistTestSupport.h"
#include "framework/core/Clipboard.h"
#include "plist/plistDict.h"

#include <sys/stat.h>

using Writing = PlistTest;

TEST_F(Writing, AnEmptyDocumentWritesOnlyItsFrame) {
    auto doc = NewDocument();
    EXPECT_TRUE(doc->error); // the file did not exist
    EXPECT_EQ(doc->errorMessage, File("out.plist").AbsolutePath() + " does not exist");
    EXPECT_EQ(Saved(*doc), Head() + Tail());
    EXPECT_EQ(plist::DefaultHeaders()[1],
              "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
              "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">");
}

TEST_F(Writing, TheFirstRunPreferencesFile) {
    auto doc = NewDocument();
    plistDict& root = *doc->root;
    for (const char* key : {"CenterSquareDouble", "EnableBlanks", "EnableSpecialSpaces"}) {
        root.GetBoolean(key, std::string(key) != "EnableSpecialSpaces");
    }
    root.child("Version")->SetString("Schema", "1");
    root.child("Version")->SetDate("LastUpdated", fw::Date::FromUTC({2024, 3, 7, 9, 5, 3}));
    EXPECT_EQ(Saved(*doc), Head() +
                               "\t<key>CenterSquareDouble</key>\n"
                               "\t<true/>\n"
                               "\t<key>EnableBlanks</key>\n"
                               "\t<true/>\n"
                               "\t<key>EnableSpecialSpaces</key>\n"
                               "\t<false/>\n"
                               "\t<key>Version</key>\n"
                               "\t<dict>\n"
                               "\t\t<key>Schema</key>\n"
                               "\t\t<string>1</string>\n"
                               "\t\t<key>LastUpdated</key>\n"
                               "\t\t<date>2024-03-07T09:05:03Z</date>\n"
                               "\t</dict>\n" +
                               Tail());
}

TEST_F(Writing, ElementFormsOfEveryKind) {
    auto doc = NewDocument();
    plistDict& root = *doc->root;
    root.AddChild("emptyDict");
    root.AddArray("emptyArray");
    root.AddArray("list");
    plistDict& list = *root.child("list");
    list.AppendString("x");
    list.AppendDouble(1.5);
    list.AppendDict();
    list.index(2)->SetInteger("n", 3);
    root.SetData("blob", "AAEC");
    root.types.Set("odd", "boolean");
    root.values.Set("odd", "yes");
    root.types.Set("loud", "boolean"); // "true" in any letter case is true
    root.values.Set("loud", "TRUE");
    root.types.Set("custom", "uid");
    root.values.Set("custom", "7");
    root.SetString("a<b>&c", "1 < 2 > 0 & \"q\" 'a'");
    EXPECT_EQ(Saved(*doc), Head() +
                               "\t<key>emptyDict</key>\n"
                               "\t<dict/>\n"
                               "\t<key>emptyArray</key>\n"
                               "\t<array/>\n"
                               "\t<key>list</key>\n"
                               "\t<array>\n"
                               "\t\t<string>x</string>\n"
                               "\t\t<double>1.5</double>\n"
                               "\t\t<dict>\n"
                               "\t\t\t<key>n</key>\n"
                               "\t\t\t<integer>3</integer>\n"
                               "\t\t</dict>\n"
                               "\t</array>\n"
                               "\t<key>blob</key>\n"
                               "\t<data>\n"
                               "\tAAEC\n"
                               "\t</data>\n"
                               "\t<key>odd</key>\n"
                               "\t<false/>\n"
                               "\t<key>loud</key>\n"
                               "\t<true/>\n"
                               "\t<key>custom</key>\n"
                               "\t<uid>7</uid>\n"
                               "\t<key>a&lt;b&gt;&amp;c</key>\n"
                               "\t<string>1 &lt; 2 &gt; 0 &amp; \"q\" 'a'</string>\n" +
                               Tail());
    EXPECT_EQ(plistDict::BracketsToCode("<a&b>"), "&lt;a&amp;b&gt;");
}

TEST_F(Writing, LineBreaksInValuesKeysAndData) {
    auto doc = NewDocument();
    plistDict& root = *doc->root;
    root.SetString("multi", "one\n\ttwo\n");
    root.SetString("cr", "a\r\nb");
    root.SetString("key\nwith\rbreaks", "");
    root.SetData("data", " A\tB\n");
    EXPECT_EQ(Saved(*doc), Head() +
                               "\t<key>multi</key>\n"
                               "\t<string>one\n"
                               "\ttwo\n"
                               "</string>\n"
                               "\t<key>cr</key>\n"
                               "\t<string>a&#13;\n"
                               "b</string>\n"
                               "\t<key>key&#10;with&#13;breaks</key>\n"
                               "\t<string></string>\n"
                               "\t<key>data</key>\n"
                               "\t<data>\n"
                               "\t&#32;A&#9;B&#10;\n"
                               "\t</data>\n" +
                               Tail());
}

TEST_F(Writing, AFullDiskIsReportedAsAFailure) {
    // Writing entries to a full device: the stream must not report success.
    struct stat info {};
    if (::stat("/dev/full", &info) != 0) {
        GTEST_SKIP() << "no /dev/full";
    }
    auto out = fw::FolderItem("/dev/full").CreateTextFile();
    ASSERT_TRUE(out);
    plistDict node;
    node.SetString("k", std::string(1 << 20, 'x'));
    node.Write(*out, 1);
    EXPECT_FALSE(out->Close());
}

TEST_F(Writing, DumpPutsTheFileTextOnTheClipboard) {
    auto doc = NewDocument();
    doc->root->SetBoolean("b", true);
    doc->Dump();
    std::string expected;
    for (const std::string& line : plist::DefaultHeaders()) {
        expected += line + "\r";
    }
    expected += "\t<key>b</key>\r\t<true/>\r</dict>\r</plist>\r";
    EXPECT_EQ(fw::ClipboardText(), expected);

    fw::SetClipboardText("before\r");
    doc->root->Dump(2);
    EXPECT_EQ(fw::ClipboardText(), "before\r\t\t<key>b</key>\r\t\t<true/>\r");
}
