#include "plist/Reader.h"

#include "framework/core/Strings.h"
#include "framework/core/TextStreams.h"
#include "framework/core/Yield.h"
#include "plist/Escaping.h"
#include "plist/XmlScanner.h"
#include "plist/plistDict.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace plistio {
namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool OnlyBlanks(std::string_view text) {
    for (char c : text) {
        if (!IsBlank(c)) {
            return false;
        }
    }
    return true;
}

// UTF-16 text after its byte-order mark as UTF-8; a lone surrogate becomes
// U+FFFD and an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t cp = static_cast<std::uint32_t>(unit(i));
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < bytes.size()) {
            const auto low = static_cast<std::uint32_t>(unit(i + 2));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

// Data is Base64 text over any number of lines: the blanks around each line
// go before its references are decoded.
void AppendDataLines(std::string& out, std::string_view text) {
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        out += TrimBlanks(text.substr(0, lf));
        if (lf == std::string_view::npos) {
            break;
        }
        text.remove_prefix(lf + 1);
    }
}

// What reading a piece of text takes.
enum class TextWork {
    None,   // plain text, taken as it is
    Decode, // named references, which decode to plain ASCII
    Clean,  // decoding may give, or the text holds, what XML cannot carry
};

// What a byte asks for: a reference to decode, or cleaning (bytes from
// 0x80 are checked as UTF-8, and controls other than TAB, LF and CR have no
// place in XML).
constexpr unsigned char kAmpersand = 1;
constexpr unsigned char kUnclean = 2;
constexpr std::array<unsigned char, 256> kWorkBits = [] {
    std::array<unsigned char, 256> bits{};
    for (int c = 0; c < 256; ++c) {
        if (c >= 0x80 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r')) {
            bits[static_cast<std::size_t>(c)] = kUnclean;
        }
    }
    bits['&'] = kAmpersand;
    return bits;
}();

// Eight bytes at a time: values are long and nearly always plain.
TextWork WorkOf(std::string_view text) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHigh = 0x8080808080808080u;
    unsigned bits = 0;
    const auto check = [&](std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to; ++k) {
            bits |= kWorkBits[static_cast<unsigned char>(text[k])];
        }
    };
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, 8);
        const std::uint64_t amp = word ^ (kOnes * '&');
        // Bytes from 0x80, below 0x20, or '&' (with false alarms, which
        // the check of each byte clears).
        const std::uint64_t flagged =
            (word | ((word - kOnes * 0x20) & ~word) | ((amp - kOnes) & ~amp)) & kHigh;
        if (flagged != 0) {
            check(i, i + 8);
        }
    }
    check(i, text.size());
    if ((bits & kUnclean) != 0) {
        return TextWork::Clean;
    }
    if ((bits & kAmpersand) == 0) {
        return TextWork::None;
    }
    // A character reference may stand for what XML cannot carry.
    return text.find("&#") == std::string_view::npos ? TextWork::Decode : TextWork::Clean;
}

// XML's own white space: a text of nothing else, alone in an element, is
// its value; beside other content it is layout.
bool OnlyXmlSpace(std::string_view text) {
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
            return false;
        }
    }
    return true;
}

// Gathers the text and CDATA pieces of a value element into its text.
class TextPieces {
public:
    TextPieces(bool isData, std::string& text) : isData_(isData), text_(text) {}

    // `plain`: the piece is known to need no work.
    void Add(bool cdata, std::string_view piece, bool plain) {
        ++count_;
        if (!cdata && OnlyXmlSpace(piece)) {
            if (count_ == 1) {
                space_.assign(piece); // the value, if nothing else comes
            }
            return;
        }
        const TextWork work = plain ? TextWork::None : WorkOf(piece);
        needsClean_ = needsClean_ || work == TextWork::Clean;
        if (cdata || work == TextWork::None) {
            Append(piece); // CDATA holds no references
        } else if (isData_) {
            std::string lines;
            AppendDataLines(lines, piece);
            AppendDecoded(text_, lines);
        } else {
            AppendDecoded(text_, piece);
        }
    }

    // An element inside the value: what it holds is not read, but it stands
    // beside the pieces.
    void Markup() { ++count_; }

    void Finish() {
        if (count_ == 1 && !space_.empty()) {
            Append(space_);
        }
        if (needsClean_) {
            text_ = Clean(std::move(text_));
        }
    }

private:
    void Append(std::string_view piece) {
        if (isData_) {
            AppendDataLines(text_, piece);
        } else {
            text_ += piece;
        }
    }

    bool isData_;
    std::string& text_;
    bool needsClean_ = false;
    std::size_t count_ = 0;
    std::string space_;
};

enum class Element { Key, Dict, Array, True, False, Data, Boolean, String, Integer, Real, Date, Other };

Element KindOf(std::string_view name) {
    // By length first, so that each comparison is of a known size.
    switch (name.size()) {
    case 3:
        return name == "key" ? Element::Key : Element::Other;
    case 4:
        return name == "dict"   ? Element::Dict
               : name == "true" ? Element::True
               : name == "real" ? Element::Real
               : name == "date" ? Element::Date
               : name == "data" ? Element::Data
                                : Element::Other;
    case 5:
        return name == "array" ? Element::Array : name == "false" ? Element::False : Element::Other;
    case 6:
        return name == "string" ? Element::String : Element::Other;
    case 7:
        return name == "integer"   ? Element::Integer
               : name == "boolean" ? Element::Boolean
                                   : Element::Other;
    default:
        return Element::Other;
    }
}

using Token = XmlScanner::Token;
using Type = EntryTable::Type;

} // namespace

// Builds nodes from the scanner's tokens; a friend of the nodes.
class TreeBuilder {
public:
    bool complete = true;

    explicit TreeBuilder(XmlScanner& scanner) : scanner_(scanner) {}

    // Fills `node` with the content of the element that the scanner has just
    // opened, depth first with a stack of its own, up to that element's end
    // tag; true when it was reached before the input ended. Entries are
    // appended without looking for repeated keys, which a file seldom holds:
    // each node's table checks them once the node is complete.
    bool Fill(plistDict& node) {
        struct Frame {
            plistDict* node;
            std::string key; // the key of the next entry (dictionaries)
            bool fresh;      // the node was empty before
        };
        std::vector<Frame> stack;
        stack.push_back(Frame{&node, {}, node.count() == 0});
        for (;;) {
            fw::BackgroundYield();
            const Token token = scanner_.NextPastSpace();
            if (token == Token::Text || token == Token::CData) {
                // Text between entries has no place in the tree.
                if (!OnlyBlanks(scanner_.Text())) {
                    complete = false;
                }
                continue;
            }
            if (token == Token::End) {
                Finish(*stack.back().node, stack.back().fresh);
                stack.pop_back();
                if (stack.empty()) {
                    return true;
                }
                continue;
            }
            if (token == Token::Start && ReadEntry(stack.back().node, stack.back().key)) {
                if (opened_ != nullptr) {
                    stack.push_back(Frame{opened_, {}, true});
                }
                continue;
            }
            // The input ended inside: what was read stays.
            complete = false;
            while (!stack.empty()) {
                Finish(*stack.back().node, stack.back().fresh);
                stack.pop_back();
            }
            return false;
        }
    }

private:
    XmlScanner& scanner_;
    char indexKey_[16];           // the key of an array's element, in decimal
    plistDict* opened_ = nullptr; // a child node whose entries come next

    // Reads the element that the scanner has just opened inside `current`:
    // a key into `key`, or an entry of the node. A child node with content
    // to read is left in opened_. False when the input ended inside.
    bool ReadEntry(plistDict* current, std::string& key) {
        opened_ = nullptr;
        const Element kind = KindOf(scanner_.Name());
        if (kind == Element::Key) {
            if (!current->isArray_) {
                return ReadText(false, key);
            }
            complete = false; // an array's elements have no keys
            std::string ignored;
            return ReadText(false, ignored);
        }
        std::string_view entryKey = key;
        if (current->isArray_) {
            const char* end =
                std::to_chars(std::begin(indexKey_), std::end(indexKey_), ++current->indexOf).ptr;
            entryKey = std::string_view(indexKey_, static_cast<std::size_t>(end - indexKey_));
        }
        if (kind == Element::Dict || kind == Element::Array) {
            const bool isArray = kind == Element::Array;
            current->entries_.Append(entryKey, isArray ? Type::Array : Type::Dict, nullptr);
            plistDict* child = current->AppendChildUnindexed(entryKey, isArray);
            if (scanner_.SelfClosing()) {
                Finish(*child, true);
            } else {
                opened_ = child;
            }
            return true;
        }
        std::string value;
        // The name of an element of another kind is held: the scanner moves
        // on.
        std::string other;
        if (kind == Element::Other) {
            other.assign(scanner_.Name());
        }
        bool ended = true;
        if (kind == Element::True || kind == Element::False) {
            value = kind == Element::True ? "true" : "false";
            ended = SkipContent();
        } else {
            ended = ReadText(kind == Element::Data, value);
            if (kind == Element::Boolean) {
                // Only "true" and "false" have a written form.
                value = fw::Equals(value, "true") ? "true" : "false";
            }
        }
        if (kind == Element::Other) {
            current->entries_.Append(entryKey, other, &value);
        } else {
            current->entries_.Append(entryKey, TypeOf(kind), &value);
        }
        return ended;
    }

    static Type TypeOf(Element kind) {
        switch (kind) {
        case Element::True:
        case Element::False:
        case Element::Boolean:
            return Type::Boolean;
        case Element::String:
            return Type::String;
        case Element::Integer:
            return Type::Integer;
        case Element::Real:
            return Type::Real;
        case Element::Date:
            return Type::Date;
        case Element::Data:
            return Type::Data;
        default:
            return Type::Other;
        }
    }

    // The text of the value element that the scanner has just opened: its
    // text and CDATA pieces, entities decoded, with what XML cannot carry
    // replaced. False when the input ended inside; `text` then holds what
    // was read.
    bool ReadText(bool isData, std::string& text) {
        text.clear();
        if (scanner_.SelfClosing()) {
            return true;
        }
        Token token = scanner_.Next();
        if (token == Token::Text && scanner_.TextIsPlain()) {
            // Nearly every value is one plain text, which lies in the input
            // and stays valid as the scanner moves on.
            const std::string_view piece = scanner_.Text();
            token = scanner_.Next();
            if (token == Token::End) {
                if (isData) {
                    AppendDataLines(text, piece);
                } else {
                    text.append(piece);
                }
                return true;
            }
            TextPieces pieces(isData, text);
            pieces.Add(false, piece, true);
            return ReadPieces(pieces, token);
        }
        TextPieces pieces(isData, text);
        return ReadPieces(pieces, token);
    }

    // ReadText from the token `token` on, the pieces before it in `pieces`.
    bool ReadPieces(TextPieces& pieces, Token token) {
        bool ended = true;
        for (;; token = scanner_.Next()) {
            if (token == Token::End) {
                break;
            }
            if (token == Token::Start) {
                complete = false; // markup inside a value
                pieces.Markup();
                if (!SkipContent()) {
                    ended = false;
                    break;
                }
                continue;
            }
            if (token != Token::Text && token != Token::CData) {
                complete = false;
                ended = false;
                break;
            }
            pieces.Add(token == Token::CData, scanner_.Text(),
                       token == Token::Text && scanner_.TextIsPlain());
        }
        pieces.Finish();
        return ended;
    }

    // Passes over the content of the element that the scanner has just
    // opened. False when the input ended inside.
    bool SkipContent() {
        if (scanner_.SelfClosing()) {
            return true;
        }
        const std::size_t depth = scanner_.Depth();
        for (;;) {
            const Token token = scanner_.Next();
            if (token == Token::Finished || token == Token::Error) {
                complete = false;
                return false;
            }
            if (token == Token::End && scanner_.Depth() < depth) {
                return true;
            }
            if (token == Token::Start) {
                complete = false; // markup inside a value
            }
        }
    }

    static void Finish(plistDict& node, bool fresh) {
        if (node.isArray_ && fresh) {
            // The elements' keys are their distinct indices.
            node.entries_.SettleDistinct();
            node.IndexChildren();
        } else if (node.entries_.Settle() || !fresh) {
            // A repeated key holds the child of its last entry, if any.
            node.DropReplacedChildren();
        } else {
            node.IndexChildren(); // the children's names are distinct
        }
        if (node.isArray_) {
            node.indexOf += 1; // the element count, as after the closing line
        }
    }
};

namespace {

// Splits the text before the root's entries into lines, as the line reader
// would (LF, CR LF or CR).
std::vector<std::string> HeaderLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t lf = text.find('\n');
    std::size_t cr = text.find('\r');
    for (;;) {
        const std::size_t end = std::min(lf, cr);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            return lines;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + (end == cr && end + 1 == lf ? 2 : 1);
        if (lf < start) {
            lf = text.find('\n', start);
        }
        if (cr < start) {
            cr = text.find('\r', start);
        }
    }
}

// The text was converted from UTF-16 and is written as UTF-8: the XML
// declaration must say so.
void DeclareUtf8(std::string& line) {
    if (!line.starts_with("<?xml")) {
        return;
    }
    const std::size_t end = line.find("?>");
    const std::size_t at = line.find("encoding", 0);
    if (at == std::string::npos || at > end) {
        return;
    }
    const std::size_t open = line.find_first_of("\"'", at);
    if (open == std::string::npos || open > end) {
        return;
    }
    const std::size_t close = line.find(line[open], open + 1);
    if (close == std::string::npos || close > end) {
        return;
    }
    line.replace(open + 1, close - open - 1, "UTF-8");
}

} // namespace

namespace {

// Passes over text and CDATA to the next other token.
Token NextMarkup(XmlScanner& scanner) {
    Token token = scanner.Next();
    while (token == Token::Text || token == Token::CData) {
        token = scanner.Next();
    }
    return token;
}

} // namespace

ReadOutcome ReadDocument(std::string_view bytes, plistDict& root) {
    ReadOutcome outcome;
    std::string converted;
    bool fromUtf16 = false;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    } else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        converted = Utf16ToUtf8(bytes.substr(2), bytes[0] == '\xFE');
        bytes = converted;
        fromUtf16 = true;
    }
    // A binary property list is no text file, whatever it may hold.
    if (bytes.starts_with("bplist")) {
        return outcome;
    }
    XmlScanner scanner(bytes);
    if (NextMarkup(scanner) != Token::Start) {
        return outcome;
    }
    const bool wrapped = scanner.Name() == "plist";
    if (wrapped && (scanner.SelfClosing() || NextMarkup(scanner) != Token::Start)) {
        return outcome;
    }
    if (scanner.Name() != "dict") {
        return outcome;
    }
    outcome.isPlist = true;
    std::string_view head = bytes.substr(0, scanner.Offset());
    // Bytes before the first markup are no part of the document (and could
    // read as a byte-order mark once they begin the file).
    head.remove_prefix(std::min(head.find('<'), head.size()));
    outcome.headers = HeaderLines(head);
    if (fromUtf16) {
        DeclareUtf8(outcome.headers.front());
    }
    if (!wrapped) {
        // A bare root dictionary gains the frame that its closing lines need.
        outcome.headers.back() += R"(<plist version="1.0">)";
        outcome.headers.emplace_back();
    }
    // The root's own attributes and empty form are not written back.
    outcome.headers.back() += "<dict>";
    TreeBuilder builder(scanner);
    if (!scanner.SelfClosing() && !builder.Fill(root)) {
        return outcome; // cut short: not complete
    }
    // Whatever follows the root has no place in the tree.
    for (;;) {
        const Token token = scanner.Next();
        if (token == Token::Finished) {
            outcome.complete = builder.complete;
            return outcome;
        }
        if (token == Token::Error || token == Token::Start ||
            ((token == Token::Text || token == Token::CData) && !OnlyBlanks(scanner.Text()))) {
            return outcome;
        }
    }
}

void ReadNodeContent(std::string_view bytes, plistDict& node) {
    const char* tag = node.IsArray() ? "array" : "dict";
    std::string text = std::string("<") + tag + ">";
    text += bytes;
    XmlScanner scanner(text);
    if (scanner.Next() == Token::Start) {
        TreeBuilder(scanner).Fill(node);
    }
}

} // namespace plistio

void plistDict::Load(fw::TextInputStream* stream, std::string_view name, bool isArray,
                     plistDict* parent, plist* document, bool read) {
    entries_.Clear();
    children_.clear();
    childIndex_.Clear();
    removedChildren_ = 0;
    foldedIndex_.reset();
    this->name.assign(name);
    isArray_ = isArray;
    this->parent = parent;
    rootClass_ = document;
    indexOf = -1;
    if (!read || stream == nullptr) {
        return;
    }
    std::string rest;
    std::string line;
    while (stream->ReadLine(line)) {
        fw::BackgroundYield();
        rest += line;
        rest += '\n';
    }
    plistio::ReadNodeContent(rest, *this);
}
