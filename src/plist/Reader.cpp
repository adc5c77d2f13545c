#include "plist/Reader.h"

#include "framework/core/Strings.h"
#include "framework/core/TextStreams.h"
#include "framework/core/Yield.h"
#include "plist/Escaping.h"
#include "plist/XmlScanner.h"
#include "plist/plistDict.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

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

// The work a byte asks for; the most a text asks for is its work.
TextWork WorkOf(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r') ||
        (c == '&' && i + 1 < text.size() && text[i + 1] == '#')) {
        return TextWork::Clean;
    }
    return c == '&' ? TextWork::Decode : TextWork::None;
}

// Eight bytes at a time: values are long and nearly always plain.
TextWork WorkOf(std::string_view text) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHigh = 0x8080808080808080u;
    TextWork work = TextWork::None;
    const auto check = [&](std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to && work != TextWork::Clean; ++k) {
            work = std::max(work, WorkOf(text, k));
        }
    };
    std::size_t i = 0;
    for (; i + 8 <= text.size() && work != TextWork::Clean; i += 8) {
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
    return work;
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

    void Add(bool cdata, std::string_view piece) {
        ++count_;
        if (!cdata && OnlyXmlSpace(piece)) {
            if (count_ == 1) {
                space_.assign(piece); // the value, if nothing else comes
            }
            return;
        }
        const TextWork work = WorkOf(piece);
        needsClean_ = needsClean_ || work == TextWork::Clean;
        if (cdata || work == TextWork::None) {
            Append(piece); // CDATA holds no references
        } else if (isData_) {
            std::string lines;
            AppendDataLines(lines, piece);
            text_ += Decode(lines);
        } else {
            text_ += Decode(piece);
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
    std::string indexKey_;
    plistDict* opened_ = nullptr; // a child node whose entries come next

    // Reads the element that the scanner has just opened inside `current`:
    // a key into `key`, or an entry of the node. A child node with content
    // to read is left in opened_. False when the input ended inside.
    bool ReadEntry(plistDict* current, std::string& key) {
        opened_ = nullptr;
        const Element kind = KindOf(scanner_.Name());
        if (kind == Element::Key) {
            std::string text;
            const bool ended = ReadText(false, text);
            if (current->isArray_) {
                complete = false;
            } else {
                key = std::move(text);
            }
            return ended;
        }
        if (current->isArray_) {
            indexKey_ = fw::Str(++current->indexOf);
        }
        const std::string& entryKey = current->isArray_ ? indexKey_ : key;
        if (kind == Element::Dict || kind == Element::Array) {
            const bool isArray = kind == Element::Array;
            current->entries_.Append(entryKey, isArray ? "array" : "dict", nullptr);
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
        const std::string type = kind == Element::Other ? std::string(scanner_.Name()) : "";
        const std::string_view typeName = TypeNameOf(kind, type);
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
        current->entries_.Append(entryKey, typeName, &value);
        return ended;
    }

    static std::string_view TypeNameOf(Element kind, std::string_view other) {
        switch (kind) {
        case Element::True:
        case Element::False:
        case Element::Boolean:
            return "boolean";
        case Element::String:
            return "string";
        case Element::Integer:
            return "integer";
        case Element::Real:
            return "real";
        case Element::Date:
            return "date";
        case Element::Data:
            return "data";
        default:
            return other;
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
        TextPieces pieces(isData, text);
        bool ended = true;
        for (;;) {
            const Token token = scanner_.Next();
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
            pieces.Add(token == Token::CData, scanner_.Text());
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
        if (node.entries_.Settle() || !fresh) {
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
