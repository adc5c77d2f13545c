// The scanner is held to pugixml, parsing with the reader's options: both
// must accept and reject the same documents and see the same elements, texts
// and CDATA sections, also in what comes before damage.
#include "plist/XmlScanner.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <pugixml.hpp>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

using plistio::XmlScanner;
using Token = XmlScanner::Token;

constexpr unsigned kReaderOptions =
    pugi::parse_cdata | pugi::parse_eol | pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata;

// A piece of what a reader sees: 'S' a start, 'E' an end, 'T' text (runs of
// text merged), 'C' a CDATA section.
struct Piece {
    char kind;
    std::string value;
    bool operator==(const Piece&) const = default;
};

struct Reading {
    bool ok = false;
    std::vector<Piece> pieces;
};

void AddPiece(std::vector<Piece>& pieces, char kind, std::string_view value) {
    if (kind == 'T' && !pieces.empty() && pieces.back().kind == 'T') {
        pieces.back().value += value;
        return;
    }
    pieces.push_back(Piece{kind, std::string(value)});
}

bool Blank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// pugixml's tree as pieces: an element's embedded text comes before its
// children. Elements left open by damage are closed.
Reading ByPugixml(std::string_view bytes) {
    pugi::xml_document doc;
    Reading reading;
    reading.ok = static_cast<bool>(doc.load_buffer(bytes.data(), bytes.size(), kReaderOptions));
    struct Frame {
        pugi::xml_node node;
        pugi::xml_node next;
    };
    std::vector<Frame> stack{{doc, doc.first_child()}};
    while (!stack.empty()) {
        if (!stack.back().next) {
            if (stack.size() > 1) {
                AddPiece(reading.pieces, 'E', stack.back().node.name());
            }
            stack.pop_back();
            continue;
        }
        const pugi::xml_node node = stack.back().next;
        stack.back().next = node.next_sibling();
        if (node.type() == pugi::node_element) {
            AddPiece(reading.pieces, 'S', node.name());
            if (*node.value() != '\0') {
                AddPiece(reading.pieces, 'T', node.value());
            }
            stack.push_back({node, node.first_child()});
        } else if (node.type() == pugi::node_pcdata) {
            AddPiece(reading.pieces, 'T', node.value());
        } else if (node.type() == pugi::node_cdata) {
            AddPiece(reading.pieces, 'C', node.value());
        }
    }
    return reading;
}

// pugixml turns CR LF into LF in place, closing the gaps it leaves as it
// goes, and the last one only at the end of a CDATA section: one cut short
// keeps it, and repeats what came after it.
std::string AsPugixmlLeavesIt(std::string_view cdata) {
    std::string text(cdata);
    std::size_t gapEnd = std::string::npos;
    std::size_t gapSize = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i++] != '\r') {
            continue;
        }
        text[i - 1] = '\n';
        if (i < text.size() && text[i] == '\n') {
            if (gapEnd != std::string::npos) {
                std::copy(text.begin() + static_cast<std::ptrdiff_t>(gapEnd),
                          text.begin() + static_cast<std::ptrdiff_t>(i),
                          text.begin() + static_cast<std::ptrdiff_t>(gapEnd - gapSize));
            }
            gapEnd = ++i;
            ++gapSize;
        }
    }
    return text;
}

// The scanner's tokens as pieces, keeping of the text what pugixml keeps:
// none outside the root, and whitespace only where an end tag follows it
// directly and its element has no child yet (an embedded text is none).
Reading ByScanner(std::string_view bytes) {
    XmlScanner scanner(bytes);
    Reading reading;
    struct Open {
        std::string name;
        bool hasText = false;
        bool hasChild = false;
    };
    std::vector<Open> open;
    std::size_t cdataAt = 0;
    for (Token token = scanner.Next();; token = scanner.Next()) {
        if (token == Token::Finished || token == Token::Error) {
            reading.ok = token == Token::Finished;
            if (!reading.ok && !reading.pieces.empty() && reading.pieces.back().kind == 'C' &&
                bytes.substr(cdataAt + 9, scanner.Offset() - cdataAt - 9).find("]]>") ==
                    std::string_view::npos) {
                reading.pieces.back().value =
                    AsPugixmlLeavesIt(bytes.substr(cdataAt + 9, scanner.Offset() - cdataAt - 9));
            }
            break;
        }
        const std::string_view text = scanner.Text();
        if (token == Token::Start) {
            if (!open.empty()) {
                open.back().hasChild = true;
            }
            AddPiece(reading.pieces, 'S', scanner.Name());
            if (scanner.SelfClosing()) {
                AddPiece(reading.pieces, 'E', scanner.Name());
            } else {
                open.push_back({std::string(scanner.Name())});
            }
        } else if (token == Token::End) {
            EXPECT_EQ(scanner.Name(), open.back().name);
            AddPiece(reading.pieces, 'E', scanner.Name());
            open.pop_back();
        } else if (token == Token::CData) {
            if (!open.empty()) {
                open.back().hasChild = true;
            }
            AddPiece(reading.pieces, 'C', text);
            cdataAt = scanner.Offset();
        } else if (!open.empty()) {
            std::size_t end = scanner.Offset();
            while (end < bytes.size() && bytes[end] != '<' && bytes[end] != '\0') {
                ++end;
            }
            if (Blank(text) && (open.back().hasChild || bytes.substr(end, 2) != "</")) {
                continue;
            }
            (open.back().hasText || open.back().hasChild ? open.back().hasChild
                                                         : open.back().hasText) = true;
            AddPiece(reading.pieces, 'T', text);
        }
        EXPECT_EQ(scanner.Depth(), open.size());
    }
    while (!open.empty()) {
        AddPiece(reading.pieces, 'E', open.back().name);
        open.pop_back();
    }
    return reading;
}

std::string Show(const std::vector<Piece>& pieces) {
    std::string out;
    for (const Piece& piece : pieces) {
        out += piece.kind;
        out += '"' + piece.value + "\" ";
    }
    return out;
}

// The same verdict and the same pieces from the scanner and from pugixml.
// At damage pugixml keeps the element of a start tag it could not finish;
// the scanner reports no Start for it. The scanner reads an exact copy, so
// that a read past the end is caught.
testing::AssertionResult SameReading(std::string_view input) {
    const auto copy = std::make_unique<char[]>(input.size());
    std::copy(input.begin(), input.end(), copy.get());
    std::string_view bytes(copy.get(), input.size());
    if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
        // pugixml ends the document at a NUL, even after a complete root
        // element. The scanner reads the same up to it, then reports damage.
        const Reading whole = ByScanner(bytes);
        bytes = bytes.substr(0, nul);
        if (whole.ok || whole.pieces != ByScanner(bytes).pieces) {
            return testing::AssertionFailure() << "NUL not damage: " << Show(whole.pieces);
        }
    }
    const Reading mine = ByScanner(bytes);
    Reading theirs = ByPugixml(bytes);
    if (mine.ok == theirs.ok && !mine.ok && mine.pieces != theirs.pieces) {
        const auto last = std::find_if(theirs.pieces.rbegin(), theirs.pieces.rend(),
                                       [](const Piece& p) { return p.kind != 'E'; });
        if (last != theirs.pieces.rend() && last != theirs.pieces.rbegin() && last->kind == 'S' &&
            *std::prev(last) == Piece{'E', last->value}) {
            theirs.pieces.erase(std::prev(last.base()), last.base() + 1);
        }
    }
    if (mine.ok != theirs.ok || mine.pieces != theirs.pieces) {
        return testing::AssertionFailure()
               << "scanner " << (mine.ok ? "ok: " : "error: ") << Show(mine.pieces) << "\npugixml "
               << (theirs.ok ? "ok: " : "error: ") << Show(theirs.pieces);
    }
    return testing::AssertionSuccess() << (mine.ok ? "ok" : "error");
}

testing::AssertionResult ReadsWell(std::string_view bytes) {
    testing::AssertionResult same = SameReading(bytes);
    if (same && ByPugixml(bytes).ok) {
        return same;
    }
    return testing::AssertionFailure() << same.message();
}

// One property list, the way the store writes it.
const std::string kStoreLayout = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<!DOCTYPE plist PUBLIC \"-//Tallorix//DTD PLIST 1.0//EN\" "
                                 "\"http://www.example.com/DTDs/PropertyList-1.0.dtd\">\n"
                                 "<plist version=\"1.0\">\n"
                                 "<dict>\n"
                                 "\t<key>Name</key>\n"
                                 "\t<string>Fish &amp; Chips &lt;3&gt;</string>\n"
                                 "\t<key>Nested</key>\n"
                                 "\t<dict>\n"
                                 "\t\t<key>n</key>\n"
                                 "\t\t<integer>5</integer>\n"
                                 "\t\t<key>Empty</key>\n"
                                 "\t\t<string></string>\n"
                                 "\t\t<key>Blank</key>\n"
                                 "\t\t<string> </string>\n"
                                 "\t</dict>\n"
                                 "\t<key>List</key>\n"
                                 "\t<array>\n"
                                 "\t\t<true/>\n"
                                 "\t\t<real>2.5</real>\n"
                                 "\t\t<data>\n"
                                 "\t\tVGFsbG9y\n"
                                 "\t\taXg=\n"
                                 "\t\t</data>\n"
                                 "\t</array>\n"
                                 "</dict>\n"
                                 "</plist>\n";

TEST(XmlScanner, ReportsEachTokenWithNameDepthAndOffset) {
    const std::string doc = "<?xml version=\"1.0\"?>\n<!-- a <b> -->"
                            "<plist a='1'>\n<dict>x<true />y<k\n/></dict ></plist>";
    XmlScanner scanner(doc);
    struct Expected {
        Token token;
        std::string_view nameOrText;
        std::size_t depth;
        bool selfClosing = false;
    };
    const std::vector<Expected> expected{
        {Token::Text, "\n", 0},    {Token::Start, "plist", 1},   {Token::Text, "\n", 1},
        {Token::Start, "dict", 2}, {Token::Text, "x", 2},        {Token::Start, "true", 2, true},
        {Token::Text, "y", 2},     {Token::Start, "k", 2, true}, {Token::End, "dict", 1},
        {Token::End, "plist", 0},  {Token::Finished, "", 0},
    };
    for (const Expected& e : expected) {
        ASSERT_EQ(scanner.Next(), e.token) << e.nameOrText;
        EXPECT_EQ(scanner.Depth(), e.depth) << e.nameOrText;
        if (e.token == Token::Start || e.token == Token::End) {
            EXPECT_EQ(scanner.Name(), e.nameOrText);
            EXPECT_EQ(doc.compare(scanner.Offset(), 1, "<"), 0);
        } else if (e.token == Token::Text) {
            EXPECT_EQ(scanner.Text(), e.nameOrText);
            EXPECT_EQ(doc.substr(scanner.Offset(), e.nameOrText.size()), e.nameOrText);
        }
        if (e.token == Token::Start) {
            EXPECT_EQ(scanner.SelfClosing(), e.selfClosing) << e.nameOrText;
        }
    }
    EXPECT_EQ(scanner.Offset(), doc.size());
    EXPECT_EQ(scanner.Next(), Token::Finished);
}

// The reader's shortcut passes over layout, and over nothing else.
TEST(XmlScanner, PassesOverLayoutOnly) {
    const std::string doc = "<d>\n\t <k>a</k> \r\n<k> </k>  w <e/></d>";
    XmlScanner scanner(doc);
    ASSERT_EQ(scanner.Next(), Token::Start);
    ASSERT_EQ(scanner.NextPastSpace(), Token::Start);
    ASSERT_EQ(scanner.NextPastSpace(), Token::Text);
    EXPECT_EQ(scanner.Text(), "a");
    ASSERT_EQ(scanner.NextPastSpace(), Token::End);
    ASSERT_EQ(scanner.NextPastSpace(), Token::Start); // CR LF too
    ASSERT_EQ(scanner.Next(), Token::Text);          // blanks as a value stay
    EXPECT_EQ(scanner.Text(), " ");
    ASSERT_EQ(scanner.NextPastSpace(), Token::End);
    ASSERT_EQ(scanner.NextPastSpace(), Token::Text); // blanks before a word are text
    EXPECT_EQ(scanner.Text(), "  w ");
}

TEST(XmlScanner, NormalizesLineEndsInTextAndCData) {
    const std::string doc = "<a>one line that runs on\r\n2\r3\n<![CDATA[x\r\ny\r]]>plain</a>";
    XmlScanner scanner(doc);
    ASSERT_EQ(scanner.Next(), Token::Start);
    ASSERT_EQ(scanner.Next(), Token::Text);
    EXPECT_EQ(scanner.Text(), "one line that runs on\n2\n3\n");
    ASSERT_EQ(scanner.Next(), Token::CData);
    EXPECT_EQ(scanner.Text(), "x\ny\n");
    ASSERT_EQ(scanner.Next(), Token::Text);
    EXPECT_EQ(scanner.Text(), "plain");
    EXPECT_EQ(scanner.Text().data(), doc.data() + doc.find("plain")); // no copy
    EXPECT_EQ(scanner.Next(), Token::End);
    EXPECT_EQ(scanner.Next(), Token::Finished);
}

// A reader takes a plain text as it stands and looks into any other, so a
// text called plain must hold no reference, no control but TAB and LF and
// nothing outside ASCII, wherever such a byte stands: in the first sixteen
// bytes, past them, or in the last bytes of the input. What follows the
// text does not count.
TEST(XmlScanner, TellsPlainTextFromTextToLookInto) {
    const std::string runOn(40, 'w');
    const auto plainness = [](const std::string& text) {
        const std::string doc = "<r><v>" + text + "</v>\x01&\xC3\xA9<v>" + text;
        XmlScanner scanner(doc);
        std::string seen;
        for (Token token = scanner.Next(); token != Token::Error; token = scanner.Next()) {
            if (token == Token::Text) {
                seen += scanner.TextIsPlain() ? 'p' : '-';
                if (scanner.TextIsPlain()) { // plain texts lie in the input
                    const char* at = scanner.Text().data();
                    EXPECT_TRUE(at >= doc.data() && at < doc.data() + doc.size());
                }
            }
        }
        return seen; // the value, the odd text after it, the value cut short
    };
    EXPECT_EQ(plainness("words and 'quotes' > too"), "p-p");
    EXPECT_EQ(plainness("tab\tand\nline"), "p-p");
    EXPECT_EQ(plainness(runOn + "\t" + runOn), "p-p");
    EXPECT_EQ(plainness("a &amp; b"), "---");
    EXPECT_EQ(plainness(runOn + "&#38;"), "---");
    EXPECT_EQ(plainness("caf\xC3\xA9"), "---");
    EXPECT_EQ(plainness(runOn + "\xC3\xA9" + runOn), "---");
    EXPECT_EQ(plainness("bell\x07"), "---");
    EXPECT_EQ(plainness(runOn + "\x7F"), "p-p"); // DEL is a character of XML
    EXPECT_EQ(plainness(runOn + "\x1F"), "---");
    EXPECT_EQ(plainness("two\r\nlines"), "---"); // its line end was changed
}

// What came before damage is reported before the error: the text of a value
// cut short, and a CDATA section cut short.
TEST(XmlScanner, ReportsWhatCameBeforeDamage) {
    const auto tokens = [](std::string_view doc) {
        XmlScanner scanner(doc);
        std::string seen;
        for (Token token = scanner.Next(); token != Token::Finished; token = scanner.Next()) {
            if (token == Token::Error) {
                return seen + "!" + std::to_string(scanner.Offset());
            }
            seen += token == Token::Text || token == Token::CData ? std::string(scanner.Text())
                                                                  : std::string(scanner.Name());
            seen += ' ';
        }
        return seen;
    };
    EXPECT_EQ(tokens("<dict><string>ab\r"), "dict string ab\n !17");
    EXPECT_EQ(tokens("<dict><data><![CDATA[ab]"), "dict data ab] !24");
    EXPECT_EQ(tokens("<dict><k>a</k><x"), "dict k a k !14");
    EXPECT_EQ(tokens("<dict><k>a</kk>"), "dict k a !10");
    EXPECT_EQ(tokens(std::string_view("<a/>\0", 5)), "a !4");
    EXPECT_EQ(tokens(std::string_view("<a>b\0c</a>", 10)), "a b !4");
    EXPECT_EQ(tokens(std::string_view("<a>a longer text\0, and more</a>", 31)),
              "a a longer text !16");
    EXPECT_EQ(tokens(" "), "  !1"); // no root element
}

TEST(XmlScanner, ReadsAnyDepthWithoutRecursion) {
    constexpr int kDepth = 200000;
    std::string doc;
    for (int i = 0; i < kDepth; ++i) {
        doc += "<array>";
    }
    doc += "<true/>";
    for (int i = 0; i < kDepth; ++i) {
        doc += "</array>";
    }
    XmlScanner scanner(doc);
    std::size_t deepest = 0;
    Token token;
    while ((token = scanner.Next()) == Token::Start || token == Token::End) {
        deepest = std::max(deepest, scanner.Depth());
    }
    EXPECT_EQ(token, Token::Finished);
    EXPECT_EQ(deepest, std::size_t{kDepth});
    EXPECT_TRUE(SameReading(doc));
}

// Equivalent layouts of one document, as other writers and hand edits
// leave them.
TEST(XmlScanner, ReadsEveryLayoutAsPugixmlDoes) {
    const std::vector<std::string> layouts{
        kStoreLayout,
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Name</key><string>a</string>"
        "<key>Nested</key><dict><key>n</key><integer>5</integer></dict><key>List</key><array>"
        "<true/><real>2.5</real></array></dict></plist>",
        "<plist>\n  <dict>\n    <key>n</key>\n    <integer>5</integer>\n  </dict>\n</plist>\n",
        "<plist><dict>\n<!-- several\nlines -->\n<key>a</key><!-- a > b <key>X</key><true/> -->"
        "<true/><!----><!-- - -- --></dict></plist>",
        "<plist><dict><key><![CDATA[a<b>&c]]></key><string>x<![CDATA[]]>y<![CDATA[ ]]>"
        "</string><data><![CDATA[\nVGFs\n]]></data></dict></plist>",
        "<plist><dict><key>t</key><true/><key>u</key><true /><key>v</key><true\t\n/>"
        "<key>w</key><true></true><key>f</key><false /><key>d</key><dict/><key>a</key>"
        "<array /></dict></plist>",
        "<plist version = '1.0' x=\"a'b\"\n y\n=\n\"c\"><dict id=\"1\" ><key a=\"&amp;\"\t>k</key>"
        "<string\n>v</string\n></dict\n></plist\n>",
        "<plist>\r\n<dict>\r\n\t<key>line\r\nbreak</key>\r\n\t<string>a\rb</string>\r\n</dict>"
        "\r\n</plist>\r\n",
        "<plist>\r<dict>\r<key>k</key>\r<string> \r </string>\r</dict>\r</plist>",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [\n  <!ELEMENT plist (dict)>\n"
        "  <!ATTLIST plist version CDATA \"1.0\">\n  <!ENTITY e \"<b>'>\">\n"
        "  <!-- ]> -->\n  <?pi ]>?>\n  <![ IGNORE [ <!ELEMENT x ANY> <![ ]]> \" ]]>\n]>\n"
        "<plist><dict><key>k</key><string>&e;</string></dict></plist>",
        "<?pi before?><plist><?pi inside ?><dict><key>k<?x?></key><string>a<?y z?>b</string>"
        "</dict><?pi after?></plist><?pi end?><!-- end -->\n",
        "\n \n<plist><dict><key>\xC3\xA9t\xC3\xA9</key><string>\xE2\x82\xAC</string>"
        "<\xC3\xA9l\xC3\xA9ment/><_a.b-c:d/></dict></plist>\n\n",
    };
    for (const std::string& layout : layouts) {
        EXPECT_TRUE(ReadsWell(layout)) << layout;
    }
}

TEST(XmlScanner, RejectsWhatPugixmlRejects) {
    const std::vector<std::string> damaged{
        "",
        "text only",
        "<!-- only a comment -->",
        "<![CDATA[x]]>",
        "<a>",
        "<a></b>",
        "<a></ a>",
        "<a></a b>",
        "<a></aa>",
        "</a>",
        "<a/ >",
        "<a b/>",
        "<a b=/>",
        "<a b=c/>",
        "<a b=\"c\"d=\"e\"/>",
        "<a b=\"c/>",
        "<a =\"c\"/>",
        "<a b=\"c\"=/>",
        "<1a/>",
        "< a/>",
        "<a><</a>",
        "<a><!-- x --</a>",
        "<a><!--></a>",
        "<a><!---></a>",
        "<a><!- x --></a>",
        "<a><![CDATA[x]></a>",
        "<a><![cdata[x]]></a>",
        "<a><!DOCTYPE a></a>",
        "<!DOCTYPE a [<x>]><a/>",
        "<!DOCTYPE a [<!ELEMENT a ANY><a/>",
        "<!DOCTYPE a \"x><a/>",
        "<!DOCTYPE a [<!-x --> ]><a/>",
        "<!DOCTYPE a [<![ x ]><a/>",
        "<? x?><a/>",
        "<?x<a/>",
        "<a><?x </a>",
        "<a/><",
        "<a/><!",
        "<a><!X></a>",
    };
    for (const std::string& doc : damaged) {
        EXPECT_TRUE(SameReading(doc)) << doc;
        EXPECT_FALSE(ByScanner(doc).ok) << doc;
    }
    // pugixml takes several roots, and a DOCTYPE after the root.
    EXPECT_TRUE(ReadsWell("<a/><b>x</b>"));
    EXPECT_TRUE(ReadsWell("<a/><!DOCTYPE a>"));
}

// Every prefix of a document: cut anywhere, the scanner agrees with pugixml
// on what it read and on the verdict.
TEST(XmlScanner, EveryTruncationReadsAsPugixmlDoes) {
    const std::string docs[] = {
        kStoreLayout,
        "<?pi x?><!DOCTYPE p [<!ENTITY e 'v'><![ I [ ]]>]>\r\n<plist a = \"1\" b='2'><dict>"
        "<key>k\r\n</key><string>a<!-- c -->b</string><k/><k /><data><![CDATA[x\ny]]></data>"
        "</dict></plist  >\r",
    };
    for (const std::string& doc : docs) {
        for (std::size_t size = 0; size <= doc.size(); ++size) {
            ASSERT_TRUE(SameReading(doc.substr(0, size))) << size;
        }
    }
}

// Seeded random damage to a small valid document: both read the same.
TEST(XmlScanner, RandomDamageReadsAsPugixmlDoes) {
    const std::string base =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [<!ENTITY e 'v'>]>\n<plist version=\"1.0\">\n"
        "<dict>\n\t<key>a</key>\n\t<string>x &amp; y</string>\n\t<key>b</key>\n\t<true/>\n"
        "\t<!-- note -->\n\t<key>c</key>\n\t<array>\n\t\t<integer>1</integer>\n\t\t<dict/>\n"
        "\t\t<data><![CDATA[QUJD]]></data>\n\t</array>\n</dict>\n</plist>\n";
    constexpr std::string_view kInserted[] = {
        "<",    ">",   "&",         "/",   "!",   "?",  "]",
        "-",    "\"",  "'",         " ",   "=",   "\r", std::string_view("\0", 1),
        "<!--", "-->", "<![CDATA[", "]]>", "<?x", "?>", "<!DOCTYPE a [",
        "]>",   "<a>", "</a>"};
    std::mt19937 random(20261207);
    int accepted = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string doc = base;
        const int edits = 1 + static_cast<int>(random() % 3);
        for (int e = 0; e < edits && !doc.empty(); ++e) {
            const std::size_t at = random() % doc.size();
            switch (random() % 3) {
            case 0:
                doc[at] = static_cast<char>(doc[at] ^ (1 << (random() % 8)));
                break;
            case 1:
                doc.erase(at, 1 + random() % 3);
                break;
            default:
                doc.insert(at, kInserted[random() % std::size(kInserted)]);
                break;
            }
        }
        const testing::AssertionResult same = SameReading(doc);
        ASSERT_TRUE(same) << "round " << round << ": " << doc;
        accepted += std::strcmp(same.message(), "ok") == 0 ? 1 : 0;
    }
    // Both verdicts were tried.
    EXPECT_GT(accepted, 100);
    EXPECT_LT(accepted, 3900);
}

} // namespace
