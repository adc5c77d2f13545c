#include "plist/Reader.h"

#include "framework/core/Strings.h"
#include "framework/core/TextStreams.h"
#include "framework/core/Yield.h"
#include "plist/Escaping.h"
#include "plist/plistDict.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <pugixml.hpp>

namespace plistio {
namespace {

// Entities are decoded by the store itself, so that data can drop the blanks
// around its lines before its references are decoded. Whitespace-only text
// is kept where it is an element's whole content ("<string> </string>").
// The first text of an element is kept in the element itself, which halves
// the nodes of a typical file.
constexpr unsigned kParseOptions =
    pugi::parse_cdata | pugi::parse_eol | pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata;

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

// Whether `c` needs decoding or cleaning: an entity reference, a byte of a
// multi-byte character, or a control character other than TAB, LF and CR.
bool NeedsWork(unsigned char c) {
    return c == '&' || c >= 0x80 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r');
}

// Whether some byte of `text` needs work, eight bytes at a time: values are
// long and nearly always plain.
bool AnyNeedsWork(std::string_view text) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHigh = 0x8080808080808080u;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, 8);
        const std::uint64_t amp = word ^ (kOnes * '&');
        const std::uint64_t flagged =
            (word | ((word - kOnes * 0x20) & ~word) | ((amp - kOnes) & ~amp)) & kHigh;
        if (flagged != 0) {
            for (std::size_t k = i; k < i + 8; ++k) {
                if (NeedsWork(static_cast<unsigned char>(text[k]))) {
                    return true;
                }
            }
        }
    }
    for (; i < text.size(); ++i) {
        if (NeedsWork(static_cast<unsigned char>(text[i]))) {
            return true;
        }
    }
    return false;
}

// The text of one piece, entities decoded and cleaned; plain ASCII text, by
// far the most common, is taken as it is.
std::string PieceText(std::string_view raw) {
    return AnyNeedsWork(raw) ? Clean(Decode(raw)) : std::string(raw);
}

enum class Element { Key, Dict, Array, True, False, Data, Boolean, Other };

Element KindOf(const char* name) {
    const auto is = [name](const char* wanted) { return std::strcmp(name + 1, wanted + 1) == 0; };
    switch (name[0]) {
    case 'k':
        return is("key") ? Element::Key : Element::Other;
    case 'd':
        return is("dict") ? Element::Dict : is("data") ? Element::Data : Element::Other;
    case 'a':
        return is("array") ? Element::Array : Element::Other;
    case 't':
        return is("true") ? Element::True : Element::Other;
    case 'f':
        return is("false") ? Element::False : Element::Other;
    case 'b':
        return is("boolean") ? Element::Boolean : Element::Other;
    default:
        return Element::Other;
    }
}

} // namespace

// Builds nodes from the parsed XML; a friend of the nodes.
class TreeBuilder {
public:
    bool complete = true;

    // Fills `node` from the children of `element`, depth first with a stack
    // of its own. Entries are appended without looking for repeated keys,
    // which a file seldom holds: each node's table checks them once the node
    // is complete.
    void Fill(pugi::xml_node element, plistDict& node) {
        struct Frame {
            pugi::xml_node next; // the next child to read
            plistDict* node;
            std::string key; // the key of the next entry (dictionaries)
            bool fresh;      // the node was empty before
        };
        std::vector<Frame> stack;
        CheckNoText(element);
        stack.push_back(Frame{element.first_child(), &node, {}, node.count() == 0});
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (!frame.next) {
                Finish(*frame.node, frame.fresh);
                stack.pop_back();
                continue;
            }
            fw::BackgroundYield();
            const pugi::xml_node item = frame.next;
            frame.next = item.next_sibling();
            plistDict& current = *frame.node;
            if (item.type() != pugi::node_element) {
                // Text between entries has no place in the tree.
                if (!OnlyBlanks(item.value())) {
                    complete = false;
                }
                continue;
            }
            const char* name = item.name();
            const Element kind = KindOf(name);
            if (kind == Element::Key) {
                if (current.isArray_) {
                    complete = false;
                } else {
                    frame.key = Text(item, false);
                }
                continue;
            }
            if (current.isArray_) {
                indexKey_ = fw::Str(++current.indexOf);
            }
            const std::string& key = current.isArray_ ? indexKey_ : frame.key;
            if (kind == Element::Dict || kind == Element::Array) {
                const bool isArray = kind == Element::Array;
                current.entries_.Append(key, isArray ? "array" : "dict", nullptr);
                plistDict* child = current.AppendChildUnindexed(key, isArray);
                CheckNoText(item);
                if (item.first_child()) {
                    stack.push_back(Frame{item.first_child(), child, {}, true});
                } else {
                    Finish(*child, true);
                }
                continue;
            }
            StoreValue(current, key, name, kind, item);
        }
    }

private:
    std::string indexKey_;

    // Text in a dictionary or an array has no place in the tree.
    void CheckNoText(pugi::xml_node container) {
        if (!OnlyBlanks(container.value())) {
            complete = false;
        }
    }

    // The text of a value element: its text and CDATA pieces, entities
    // decoded, with what XML cannot carry replaced.
    std::string Text(pugi::xml_node element, bool isData) {
        const char* embedded = element.value(); // the first piece of text
        const pugi::xml_node first = element.first_child();
        if (!first && !isData) {
            return PieceText(embedded); // the usual case, one piece of text
        }
        std::string text;
        AppendText(text, embedded, isData);
        for (pugi::xml_node piece = first; piece; piece = piece.next_sibling()) {
            const pugi::xml_node_type type = piece.type();
            if (type == pugi::node_pcdata) {
                AppendText(text, piece.value(), isData);
            } else if (type == pugi::node_cdata) {
                if (isData) {
                    AppendDataLines(text, piece.value());
                } else {
                    text += piece.value();
                }
            } else if (type == pugi::node_element) {
                complete = false; // markup inside a value
            }
        }
        return Clean(std::move(text));
    }

    static void AppendText(std::string& text, const char* raw, bool isData) {
        if (*raw == '\0') {
            return;
        }
        if (isData) {
            std::string lines;
            AppendDataLines(lines, raw);
            text += Decode(lines);
        } else {
            text += Decode(raw);
        }
    }

    void StoreValue(plistDict& node, const std::string& key, const char* name, Element kind,
                    pugi::xml_node element) {
        std::string value;
        std::string_view type = name;
        if (kind == Element::True || kind == Element::False) {
            type = "boolean";
            value = kind == Element::True ? "true" : "false";
        } else {
            value = Text(element, kind == Element::Data);
            if (kind == Element::Boolean) {
                // Only "true" and "false" have a written form.
                value = fw::Equals(value, "true") ? "true" : "false";
            }
        }
        node.entries_.Append(key, type, &value);
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
    pugi::xml_document xml;
    const pugi::xml_parse_result parsed =
        xml.load_buffer(bytes.data(), bytes.size(), kParseOptions, pugi::encoding_utf8);
    pugi::xml_node top = xml.document_element();
    pugi::xml_node dict = top;
    const bool wrapped = std::strcmp(top.name(), "plist") == 0;
    if (wrapped) {
        dict = top.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; });
    }
    if (!dict || std::strcmp(dict.name(), "dict") != 0) {
        return outcome;
    }
    const std::ptrdiff_t nameAt = dict.offset_debug();
    if (nameAt < 1 || static_cast<std::size_t>(nameAt) > bytes.size()) {
        return outcome;
    }
    outcome.isPlist = true;
    outcome.complete = static_cast<bool>(parsed);
    std::string_view head = bytes.substr(0, static_cast<std::size_t>(nameAt - 1));
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
    for (pugi::xml_node rest = dict.next_sibling(); rest; rest = rest.next_sibling()) {
        if (rest.type() == pugi::node_element ||
            (rest.type() == pugi::node_pcdata && !OnlyBlanks(rest.value()))) {
            outcome.complete = false; // a second root
        }
    }
    TreeBuilder builder;
    builder.Fill(dict, root);
    outcome.complete = outcome.complete && builder.complete;
    return outcome;
}

void ReadNodeContent(std::string_view bytes, plistDict& node) {
    const char* tag = node.IsArray() ? "array" : "dict";
    std::string text = std::string("<") + tag + ">";
    text += bytes;
    pugi::xml_document xml;
    xml.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
    TreeBuilder builder;
    builder.Fill(xml.first_child(), node);
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
