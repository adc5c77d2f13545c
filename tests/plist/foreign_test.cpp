// Files from other writers and hand edits, and files that are not property
// lists at all: what is read, and what the next save keeps.
#include "PlistTestSupport.h"
#include "plist/Limits.h"
#include "plist/plistDict.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Foreign = PlistTest;

std::string Value(plistDict& node, const std::string& key) {
    const std::string* value = node.values.Find(key);
    return value != nullptr ? *value : "<none>";
}

} // namespace

TEST_F(Foreign, BooleanFormsKeysWithLineBreaksAndRepeatedKeys) {
    auto doc = ParseBody("<key>a</key><true />\n<key>b</key><true></true>\n<key>c</key><false />\n"
                         "<key>two\nlines</key><string>x</string>\n"
                         "<key>tab\tkey\r</key><string>cr&#13;\ttab</string>\n"
                         "<key>d</key><dict><key>old</key><true/></dict>\n"
                         "<key>n</key><integer>1</integer>\n"
                         "<key>d</key><dict><key>new</key><true/></dict>\n"
                         "<key>n</key><integer>2</integer>\n");
    plistDict& root = *doc->root;
    EXPECT_TRUE(root.GetBoolean("a", false));
    EXPECT_TRUE(root.GetBoolean("b", false));
    EXPECT_FALSE(root.GetBoolean("c", true));
    EXPECT_EQ(Value(root, "two\nlines"), "x");
    // An XML reader turns a raw CR into LF; a reference keeps it.
    EXPECT_EQ(Value(root, "tab\tkey\n"), "cr\r\ttab");
    // The later entry wins, in the place of the first.
    EXPECT_EQ(root.count(), 7);
    EXPECT_EQ(root.types.Key(5), "d");
    EXPECT_EQ(root.ChildCount(), 1);
    EXPECT_FALSE(root.child("d")->Exists("old"));
    EXPECT_TRUE(root.child("d")->Exists("new"));
    EXPECT_EQ(Value(root, "n"), "2");

    doc->Save();
    const std::string saved = ReadRaw(doc->SavePath());
    EXPECT_NE(saved.find("\t<key>a</key>\n\t<true/>\n"), std::string::npos);
    EXPECT_EQ(saved.find("<key>d</key>"), saved.rfind("<key>d</key>"));
    EXPECT_TRUE(XmlLintAccepts(doc->SavePath()));
    EXPECT_TRUE(PlistlibAccepts(doc->SavePath()));
    plist back(doc->SavePath());
    EXPECT_EQ(Value(*back.root, "two\nlines"), "x");
    EXPECT_EQ(Value(*back.root, "tab\tkey\n"), "cr\r\ttab");
}

// Large nodes are filled first and checked for repeats after: a repeat
// anywhere must still give the later entry in the place of the first.
TEST_F(Foreign, RepeatedKeysInLargeNodesAtAnyDepth) {
    std::string many;
    for (int i = 0; i < 40; ++i) {
        many += "<key>k" + std::to_string(i) + "</key><integer>" + std::to_string(i) + "</integer>";
    }
    const std::string inner = "<dict>" + many + "<key>k3</key><string>again</string></dict>";
    auto doc = ParseBody(many + "<key>k5</key><dict><key>a</key><true/></dict>" +
                         "<key>k7</key><array><integer>1</integer>" + inner + "</array>" +
                         "<key>k5</key>" + inner + "<key>k7</key><false/>\n");
    plistDict& root = *doc->root;
    EXPECT_EQ(root.count(), 40);
    EXPECT_EQ(root.types.Key(5), "k5");
    EXPECT_EQ(root.GetType("k5"), "dict");
    EXPECT_EQ(root.GetType("k7"), "boolean");
    EXPECT_FALSE(root.values.HasKey("k5"));
    EXPECT_EQ(Value(root, "k7"), "false");
    EXPECT_EQ(root.ChildCount(), 1);
    plistDict& k5 = *root.child("k5");
    EXPECT_FALSE(k5.Exists("a"));
    EXPECT_EQ(k5.count(), 40);
    EXPECT_EQ(k5.types.Key(3), "k3");
    EXPECT_EQ(Value(k5, "k3"), "again");
    EXPECT_EQ(Value(k5, "k39"), "39");
    EXPECT_TRUE(doc->FullyRead());

    plist back;
    back.LoadFromBytes(doc->SaveToBytes());
    EXPECT_EQ(back.SaveToBytes(), doc->SaveToBytes());
}

TEST_F(Foreign, WhatIsNoPropertyListIsKeptAsideAtTheFirstSave) {
    const std::string rootArray = "<?xml version=\"1.0\"?>\n<plist version=\"1.0\">\n<array>\n"
                                  "<dict>\n<key>k</key><true/>\n</dict>\n<string>x</string>\n"
                                  "</array>\n</plist>\n";
    const fw::FolderItem file = File("array.plist");
    WriteRaw(file, rootArray);
    plist doc(file);
    EXPECT_EQ(doc.errorMessage, "Not a plist file");
    EXPECT_EQ(doc.root->count(), 0);
    EXPECT_FALSE(doc.FullyRead());
    doc.root->SetBoolean("k", true);
    doc.Save();
    EXPECT_EQ(ReadRaw(File("array.plist.unreadable")), rootArray);
    EXPECT_TRUE(XmlLintAccepts(file));
    EXPECT_TRUE(plist(file).root->GetBoolean("k", false));

    // Once kept, later saves just replace the file.
    doc.Save();
    EXPECT_FALSE(File("array.plist.unreadable-2").Exists());

    // An empty file holds nothing to keep.
    WriteRaw(File("empty.plist"), "");
    plist empty(File("empty.plist"));
    empty.Save();
    EXPECT_FALSE(File("empty.plist.unreadable").Exists());
}

TEST_F(Foreign, SpecialFilesAreUnreadableAndNeverBlock) {
    const fw::FolderItem fifo = File("fifo.plist");
    ASSERT_EQ(::mkfifo(fifo.Path().c_str(), 0644), 0);
    const fw::FolderItem zero = File("zero.plist");
    ASSERT_EQ(::symlink("/dev/zero", zero.Path().c_str()), 0);

    const auto start = std::chrono::steady_clock::now();
    plist fromFifo(fifo);
    plist fromZero(zero);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(fromFifo.errorMessage, fifo.AbsolutePath() + " could not be opened");
    EXPECT_EQ(fromZero.errorMessage, zero.AbsolutePath() + " could not be opened");
    EXPECT_FALSE(fromZero.FullyRead());

    // The save puts a real file in their place and keeps them aside.
    fromFifo.root->SetBoolean("k", true);
    fromFifo.Save();
    fromZero.Save();
    struct stat info {};
    ASSERT_EQ(::lstat(File("fifo.plist.unreadable").Path().c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ASSERT_EQ(::lstat(File("zero.plist.unreadable").Path().c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(::lstat(zero.Path().c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_TRUE(plist(fifo).root->GetBoolean("k", false));
}

// A huge file is kept aside without being read; reading stops at the entry
// limit, where a node weighs more than a value.
TEST_F(Foreign, FilesPastTheLimitsAreKeptAsideUnread) {
    const fw::FolderItem huge = File("huge.plist");
    WriteRaw(huge, Head() + "<key>k</key><true/>" + Tail());
    constexpr off_t kHundredGigabytes = off_t{100} << 30;
    ASSERT_EQ(::truncate(huge.Path().c_str(), kHundredGigabytes), 0);
    plist doc(huge);
    EXPECT_EQ(doc.readFailureReason, "larger than 32 MB");
    doc.Save();
    EXPECT_EQ(std::filesystem::file_size(File("huge.plist.unreadable").Path()), kHundredGigabytes);

    const int nodes = static_cast<int>(plistio::kMaxEntries / plistio::kNodeWeight) - 1;
    std::string full = "<key>a</key><array>";
    for (int i = 0; i < nodes; ++i) {
        full += "<dict/>";
    }
    EXPECT_TRUE(ParseBody(full + "</array>")->FullyRead());
    auto past = ParseBody(full + "<true/></array>");
    EXPECT_TRUE(past->readFailureReason.ends_with(": more than 2000000 entries"));
    EXPECT_EQ(past->root->child("a")->count(), nodes);
}

TEST_F(Foreign, WhatNoXmlReaderAcceptsIsNeverWritten) {
    auto doc = NewDocument();
    plistDict& root = *doc->root;
    root.SetString("controls", std::string("a\x01"
                                           "b\x1F\x7F"
                                           "c\0d",
                                           8));
    root.SetString("bytes", "\xFF\xC3(\xED\xA0\x80\xEF\xBF\xBE ok \xC3\xA9");
    root.SetString(std::string("key\x02", 4), "v");
    root.SetData("data", std::string("AA\x03"
                                     "EC",
                                     5));
    root.SetInteger("inf", std::numeric_limits<double>::infinity());
    root.SetInteger("-inf", -std::numeric_limits<double>::infinity());
    root.SetInteger("nan", std::nan(""));
    root.SetDouble("negativeZero", -0.0);
    root.AddArray("list");
    root.child("list")->AppendDouble(-0.0);
    doc->Save();
    EXPECT_FALSE(doc->error) << doc->errorMessage;
    EXPECT_TRUE(XmlLintAccepts(doc->SavePath()));
    EXPECT_TRUE(PlistlibAccepts(doc->SavePath()));

    // Control characters and bytes that are no UTF-8 become U+FFFD; numbers
    // saturate or, for not-a-number, are 0; -0.0 keeps its sign.
    const std::string r = "\xEF\xBF\xBD";
    plist back(doc->SavePath());
    plistDict& read = *back.root;
    EXPECT_EQ(Value(read, "controls"), "a" + r + "b" + r +
                                           "\x7F"
                                           "c" +
                                           r + "d");
    // Each byte of a broken sequence is replaced; U+FFFE, well-formed but not
    // allowed, is replaced whole.
    EXPECT_EQ(Value(read, "bytes"), r + r + "(" + r + r + r + r + " ok \xC3\xA9");
    EXPECT_EQ(Value(read, "key" + r), "v");
    EXPECT_EQ(Value(read, "data"), "AA" + r + "EC");
    EXPECT_EQ(Value(read, "inf"), "9223372036854775807");
    EXPECT_EQ(Value(read, "-inf"), "-9223372036854775808");
    EXPECT_EQ(Value(read, "nan"), "0");
    EXPECT_EQ(Value(read, "negativeZero"), "-0.0");
    EXPECT_TRUE(std::signbit(read.GetDouble("negativeZero")));
    EXPECT_EQ(Value(*read.child("list"), "0"), "-0.0");
}

TEST_F(Foreign, DocumentsReadAndWriteBytesInMemory) {
    plist doc;
    EXPECT_EQ(doc.Headers(), plist::DefaultHeaders());
    doc.LoadFromBytes("<plist><dict><key>k</key><integer>7</integer></dict></plist>");
    EXPECT_TRUE(doc.FullyRead());
    EXPECT_EQ(doc.root->GetInteger("k"), 7);
    EXPECT_EQ(doc.SaveToBytes(), "<plist><dict>\n\t<key>k</key>\n\t<integer>7</integer>\n"
                                 "</dict>\n</plist>\n");
    // A bare root dictionary gains its frame.
    doc.LoadFromBytes("<dict><key>k</key><true/></dict>");
    EXPECT_TRUE(doc.root->GetBoolean("k", false));
    plist again;
    again.LoadFromBytes(doc.SaveToBytes());
    EXPECT_TRUE(again.FullyRead());
    EXPECT_TRUE(again.root->GetBoolean("k", false));
    // With no file, Save fails and says why.
    doc.Save();
    EXPECT_EQ(doc.errorMessage, "Could not open file for saving");
    EXPECT_FALSE(doc.saveFailureReason.empty());
}

namespace {

// A file held to Python's plistlib. Read in full, it reads into plistlib's
// tree and is saved so that plistlib reads that tree back; otherwise the
// first save keeps it aside and writes a file that plistlib reads.
struct HeldCase {
    const char* name;
    std::string text;
    const char* reason = "";    // why it is not read in full, the end of it
    bool notAPlist = false;     // nothing of it read
    const char* data = nullptr; // "d" as read, where plistlib drops blanks
};

std::string Body(const std::string& entries,
                 const std::string& declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") {
    return declaration + "<plist version=\"1.0\">\n<dict>\n" + entries + "\n</dict>\n</plist>\n";
}

// A file of the entries in UTF-16, with its byte-order mark.
std::string Utf16Body(std::u16string_view entries, bool bigEndian = false) {
    std::string bytes;
    for (const char16_t unit : u"\uFEFF<?xml version=\"1.0\"?><plist><dict>" +
                                   std::u16string(entries) + u"</dict></plist>") {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::vector<HeldCase> HeldCases() {
    const std::string kLatin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
    const std::string doctype = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                                "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n";
    const char* const kUnwritable = "a name that would not read back once written";
    return {
        {"no entries", Body("")},
        // Blanks beside instructions belong to the value.
        {"blanks around an instruction", Body("<key>k</key><string> x <?pi?> y </string>")},
        {"a value of blanks only", Body("<key>k</key><string> \n\t</string>")},
        // Declared encodings are read as declared, and saved as UTF-8 and XML 1.0.
        {"ISO-8859-1", Body("<key>Z\xFCrich</key><string>caf\xE9</string>", kLatin1)},
        {"an encoding expat does not read",
         Body("<key>k</key><string>caf\xE9</string>",
              "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\n"),
         "unknown encoding", true},
        {"another XML version", Body("<key>k</key><true/>", "<?xml version=\"9.0\"?>\n")},
        // What reads from ISO-8859-1 and UTF-16 but not from UTF-8, as saved.
        {"a name outside ASCII in ISO-8859-1",
         Body("<key>a</key><\xB5/><key>b</key><string>important</string>", kLatin1), kUnwritable},
        {"a name outside ASCII in the header",
         kLatin1 + "<!DOCTYPE \xB5>\n<plist version=\"1.0\"><dict><key>k</key><true/></dict>"
                   "</plist>\n",
         kUnwritable},
        {"a name outside ASCII in UTF-16", Utf16Body(u"<key>k</key><\u00AA>x</\u00AA>"),
         kUnwritable},
        {"an unpaired surrogate", Utf16Body(u"<key>k</key><string>A\xD83Dxy</string>"),
         "an unpaired UTF-16 surrogate"},
        {"references in big-endian UTF-16",
         Utf16Body(u"<key>d</key><data>&#32;AAEC&#9;</data>", true), "", false, " AAEC\t"},
        {"data lines", Body("<key>d</key><data>\n\tAAEC \t\n\tAw&#10;Q=  \n</data>"), "", false,
         "AAECAw\nQ="},
        {"the last character", Body("<key>k</key><string>\xF4\x8F\xBF\xBF&#x10FFFF;</string>")},
        // Damage: the reader stops where a conforming parser refuses the file.
        {"a control character", Body("<key>k</key><string>\x01</string>"),
         "line 4, column 21: not well-formed (invalid token)"},
        {"an undefined entity under a DOCTYPE",
         doctype + "<plist version=\"1.0\"><dict><key>k</key><string>a&undefined;b</string>"
                   "</dict></plist>\n",
         "the undefined entity \"undefined\""},
        // Entity declarations are refused, as plistlib refuses them.
        {"an entity declaration",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [<!ENTITY name \"Alice\">]>\n"
         "<plist version=\"1.0\"><dict><key>k</key><string>&name;</string></dict></plist>\n",
         "an entity declaration", true},
        // A dictionary is pairs of a key and a value.
        {"two values under one key", Body("<key>k</key><string>a</string><string>b</string>"),
         "a value without a key"},
        {"a key without a value", Body("<key>a</key><true/><key>k</key>"), "a key without a value"},
        {"two keys in a row", Body("<key>j</key><key>k</key><true/>"), "a key without a value"},
        {"a key in an array", Body("<key>a</key><array><key>k</key><true/></array>"),
         "a key in an array"},
        {"text between entries", Body("<key>a</key>junk<true/>"), "text between entries"},
        {"a no-break space between entries", Body("<key>a</key>\xC2\xA0<true/>"),
         "text between entries"},
        // What has no place in a value is never dropped silently.
        {"text inside true", Body("<key>a</key><true>x</true>"), "text inside a boolean"},
        {"an element inside a value", Body("<key>a</key><string>a<b/>c</string>"),
         "an element inside a value"},
        {"a boolean neither true nor false", Body("<key>a</key><boolean>yes</boolean>"),
         "a boolean that is neither true nor false"},
    };
}

using HeldToPlistlib = PythonPlistTest;

} // namespace

TEST_F(HeldToPlistlib, EachFileReadsAsPlistlibReadsItOrIsKeptAside) {
    const std::vector<HeldCase> cases = HeldCases();
    std::string pairs;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const HeldCase& held = cases[i];
        SCOPED_TRACE(held.name);
        const std::string name = "case" + std::to_string(i);
        const fw::FolderItem file = File(name + ".plist");
        WriteRaw(file, held.text);
        WriteRaw(File(name + ".original"), held.text);
        plist doc(file);
        if (held.data != nullptr) {
            EXPECT_EQ(Value(*doc.root, "d"), held.data);
        }
        EXPECT_EQ(doc.errorMessage, held.notAPlist ? "Not a plist file" : "");
        EXPECT_TRUE(!held.notAPlist || doc.root->count() == 0);
        EXPECT_TRUE(doc.readFailureReason.ends_with(held.reason)) << doc.readFailureReason;
        const bool full = *held.reason == '\0';
        EXPECT_EQ(doc.FullyRead(), full);
        doc.Save();
        const fw::FolderItem aside = File(name + ".plist.unreadable");
        EXPECT_EQ(ReadRaw(aside), full ? "" : held.text);
        pairs += "(" + (full ? "'" + name + ".original'" : "None") + ", '" + name + ".plist'),";
        EXPECT_TRUE(XmlLintAccepts(file));
    }
    // Each pair holds the same tree, keys in the same order, for plistlib;
    // a file written in place of one kept aside reads.
    EXPECT_TRUE(Python("def tree(x):\n"
                       "    if isinstance(x, dict):\n"
                       "        return ('dict', [(k, tree(v)) for k, v in x.items()])\n"
                       "    if isinstance(x, list):\n"
                       "        return ('array', [tree(v) for v in x])\n"
                       "    return (type(x).__name__, x)\n"
                       "bad = []\n"
                       "for original, saved in [" +
                       pairs +
                       "]:\n"
                       "    b = tree(plistlib.load(open(saved, 'rb')))\n"
                       "    a = tree(plistlib.load(open(original, 'rb'))) if original else b\n"
                       "    if a != b:\n"
                       "        bad.append(f'{original}: {a} saved as {b}')\n"
                       "sys.exit('\\n'.join(bad) if bad else 0)\n"));
}
