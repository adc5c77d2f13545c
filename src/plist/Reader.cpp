#include "plist/Reader.h"

#include "framework/core/Strings.h"
#include "framework/core/TextStreams.h"
#include "framework/core/Yield.h"
#include "plist/Escaping.h"
#include "plist/Limits.h"
#include "plist/plistDict.h"

#include <algorithm>
#include <climits>
#include <expat.h>
#include <memory>
#include <utility>

namespace plistio {
namespace {

bool OnlyXmlSpace(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
}

// Data is Base64 text over any number of lines: the blanks around each line
// are layout, unless they stand as references, which is how they are
// written when they belong to the value.
class DataText {
public:
    void Add(std::string_view text, bool reference) {
        for (const char c : text) {
            if (reference) {
                Keep(c);
            } else if (c == '\n') {
                blanks_.clear();
                lineStart_ = true;
            } else if (c == ' ' || c == '\t') {
                if (!lineStart_) {
                    blanks_ += c;
                }
            } else {
                Keep(c);
            }
        }
    }
    // The text, leaving the reader ready for the next value.
    std::string Take() {
        blanks_.clear();
        lineStart_ = true;
        return std::exchange(text_, {});
    }

private:
    void Keep(char c) {
        text_ += blanks_;
        blanks_.clear();
        text_ += c;
        lineStart_ = false;
    }

    std::string text_;
    std::string blanks_; // after the line's last other character so far
    bool lineStart_ = true;
};

// Splits text into lines as a line reader would (LF, CR LF or CR).
std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    for (;;) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            return lines;
        }
        text.remove_prefix(end + (text.substr(end, 2) == "\r\n" ? 2 : 1));
    }
}

struct ParserDeleter {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using ParserPointer = std::unique_ptr<XML_ParserStruct, ParserDeleter>;

constexpr std::string_view kNotWritable = "a name that would not read back once written";

// Whether `text`, written as UTF-8, is well-formed XML. What expat read from
// ISO-8859-1 or UTF-16 may not be: it takes some characters in names there
// that it refuses in UTF-8.
bool ReadsBack(std::string_view text) {
    const ParserPointer parser(XML_ParserCreate("UTF-8"));
    return parser && text.size() <= INT_MAX &&
           XML_Parse(parser.get(), text.data(), static_cast<int>(text.size()), XML_TRUE) ==
               XML_STATUS_OK;
}

// Where a UTF-16 text (by the byte-order mark, or by "<" as its first
// character, as expat tells it) holds a surrogate without its other half,
// or npos. expat would pair a lone high surrogate with whatever follows.
std::size_t UnpairedSurrogate(std::string_view bytes) {
    if (bytes.size() < 2) {
        return std::string_view::npos;
    }
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const bool big = (byte(0) == 0xFE && byte(1) == 0xFF) || (byte(0) == 0 && byte(1) == '<');
    const bool little = (byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == '<' && byte(1) == 0);
    if (!big && !little) {
        return std::string_view::npos;
    }
    // The high byte of the code unit at `i`, which tells a surrogate.
    const auto high = [&](std::size_t i) { return byte(big ? i : i + 1); };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned unit = high(i) & 0xFCu;
        if (unit == 0xDC) {
            return i;
        }
        if (unit == 0xD8) {
            if (i + 3 >= bytes.size() || (high(i + 2) & 0xFCu) != 0xDC) {
                return i;
            }
            i += 2;
        }
    }
    return std::string_view::npos;
}

} // namespace

// Builds the tree from expat's events; a friend of the nodes. expat decides
// what is well-formed XML; the builder decides what is a property list, and
// notes the first thing it could not take in full.
class TreeBuilder {
public:
    ReadOutcome outcome;

    // With `documentRoot`, reads a whole file into `top`; otherwise the
    // content of the element that the bytes begin with.
    TreeBuilder(plistDict& top, bool documentRoot)
        : parser_(XML_ParserCreate(nullptr)), pendingRoot_(&top), documentRoot_(documentRoot) {
        XML_SetUserData(parser_.get(), this);
        XML_SetElementHandler(parser_.get(), &OnStart, &OnEnd);
        XML_SetCharacterDataHandler(parser_.get(), &OnText);
        XML_SetEntityDeclHandler(parser_.get(), &OnEntityDecl);
        XML_SetSkippedEntityHandler(parser_.get(), &OnSkippedEntity);
        if (documentRoot) {
            // Until the root's entries begin, the markup is kept as the
            // header lines.
            XML_SetXmlDeclHandler(parser_.get(), &OnXmlDecl);
            XML_SetDefaultHandlerExpand(parser_.get(), &OnPrologMarkup);
        }
    }

    void Parse(std::string_view bytes) {
        if (!parser_) {
            outcome.reason = "no memory to read the file";
            return;
        }
        // What an unpaired surrogate would be read as is not what the file
        // holds: reading ends before it, as at any other damage.
        const std::size_t damage = UnpairedSurrogate(bytes);
        const bool damaged = damage != std::string_view::npos;
        bytes = bytes.substr(0, damage);
        // expat takes an int's worth of bytes at a time.
        constexpr std::size_t kPiece = std::size_t{1} << 30;
        XML_Status status = XML_STATUS_OK;
        do {
            const std::size_t size = std::min(bytes.size(), kPiece);
            status = XML_Parse(parser_.get(), bytes.data(), static_cast<int>(size),
                               size == bytes.size() && !damaged);
            bytes.remove_prefix(size);
        } while (status == XML_STATUS_OK && !bytes.empty());
        if (status == XML_STATUS_ERROR && XML_GetErrorCode(parser_.get()) != XML_ERROR_ABORTED) {
            Fault(XML_ErrorString(XML_GetErrorCode(parser_.get())));
        } else if (damaged) {
            Fault("an unpaired UTF-16 surrogate");
        }
        // What was read before the damage stays, but not a value that it cut
        // short: that one would be written back as what it never was.
        held_ = Held::None;
        while (!stack_.empty()) {
            PopNode();
        }
        if (outcome.isPlist && !ended_) {
            Fault("the file ends inside the root dictionary");
        }
        outcome.complete = outcome.isPlist && outcome.reason.empty();
    }

private:
    // The key or value element being read: its kind, its name and its text.
    enum class Held { None, Key, Value, Data, Boolean };
    struct Frame {
        plistDict* node;
        std::string key; // the key of the next entry (dictionaries)
        bool hasKey;
        bool fresh; // the node was empty before
    };
    static TreeBuilder& Of(void* data) { return *static_cast<TreeBuilder*>(data); }

    // Notes why the file is not read in full, where expat stands.
    void Fault(std::string_view what) {
        if (!outcome.reason.empty()) {
            return;
        }
        outcome.reason = "line " + std::to_string(XML_GetCurrentLineNumber(parser_.get())) +
                         ", column " +
                         std::to_string(XML_GetCurrentColumnNumber(parser_.get()) + 1) + ": " +
                         std::string(what);
    }
    void Stop(std::string_view what) {
        Fault(what);
        XML_StopParser(parser_.get(), XML_FALSE);
    }

    static void XMLCALL OnXmlDecl(void* data, const XML_Char*, const XML_Char* encoding,
                                  int standalone) {
        // The text is written back as UTF-8 and XML 1.0, whatever it was
        // read as: expat reads any version as 1.0, but other readers don't.
        std::string& head = Of(data).head_;
        head += "<?xml version=\"1.0\"";
        if (encoding != nullptr) {
            head += " encoding=\"UTF-8\"";
        }
        if (standalone != -1) {
            head += standalone == 1 ? " standalone=\"yes\"" : " standalone=\"no\"";
        }
        head += "?>";
    }

    static void XMLCALL OnPrologMarkup(void* data, const XML_Char* text, int length) {
        Of(data).head_.append(text, static_cast<std::size_t>(length));
    }

    static void XMLCALL OnEntityDecl(void* data, const XML_Char*, int, const XML_Char*, int,
                                     const XML_Char*, const XML_Char*, const XML_Char*,
                                     const XML_Char*) {
        // A property list has no use for them, and expanding them is how a
        // small file becomes a huge one.
        Of(data).Stop("an entity declaration");
    }

    static void XMLCALL OnSkippedEntity(void* data, const XML_Char* name, int) {
        Of(data).Fault("the undefined entity \"" + std::string(name) + "\"");
    }

    static void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char**) {
        fw::BackgroundYield();
        Of(data).Start(name);
    }
    static void XMLCALL OnEnd(void* data, const XML_Char*) { Of(data).End(); }
    static void XMLCALL OnText(void* data, const XML_Char* text, int length) {
        Of(data).Text(std::string_view(text, static_cast<std::size_t>(length)));
    }

    void Start(std::string_view name) {
        ++depth_;
        if (skipFrom_ != 0) {
            return;
        }
        if (pendingRoot_ != nullptr) {
            StartOutside(name);
            return;
        }
        if (stack_.empty()) {
            Fault("an element after the root dictionary");
            Skip();
            return;
        }
        if (held_ != Held::None) {
            Fault("an element inside a value");
            Skip();
            return;
        }
        Frame& frame = stack_.back();
        plistDict& node = *frame.node;
        if (name == "key") {
            if (node.isArray_) {
                Fault("a key in an array");
            } else if (frame.hasKey) {
                Fault("a key without a value");
            }
            Hold(Held::Key, "key");
            return;
        }
        if (!NameReadsBack(name)) {
            // Kept, it would make the file that the next save writes
            // unreadable.
            Fault(kNotWritable);
            Skip();
            return;
        }
        entries_ += name == "dict" || name == "array" ? kNodeWeight : 1;
        if (entries_ > kMaxEntries) {
            Stop(TooManyEntriesReason());
            return;
        }
        std::string key;
        if (node.isArray_) {
            key = std::to_string(++node.indexOf);
        } else if (frame.hasKey) {
            key = std::move(frame.key);
            frame.hasKey = false;
        } else {
            Fault("a value without a key");
            Skip();
            return;
        }
        if (name == "dict" || name == "array") {
            plistDict* child = node.AppendChildUnindexed(key, name == "array");
            node.entries_.Append(std::move(key), name, nullptr);
            stack_.push_back(Frame{child, {}, false, true});
            return;
        }
        valueKey_ = std::move(key);
        if (name == "true" || name == "false") {
            Hold(Held::Boolean, "boolean");
            text_.assign(name);
        } else {
            Hold(name == "data" ? Held::Data : Held::Value, name);
        }
    }

    // Only a name outside ASCII can read otherwise in UTF-8; the last one
    // that read back is not tried again.
    bool NameReadsBack(std::string_view name) {
        if (std::all_of(name.begin(), name.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; }) ||
            name == writableName_) {
            return true;
        }
        if (!ReadsBack("<" + std::string(name) + "/>")) {
            return false;
        }
        writableName_.assign(name);
        return true;
    }

    void Hold(Held what, std::string_view type) {
        held_ = what;
        text_.clear();
        // The element's name lasts only as long as the event: the usual
        // names are held as literals, any other as a copy.
        static constexpr std::string_view kUsual[] = {"key",  "string", "integer", "real",
                                                      "date", "data",   "boolean"};
        for (const std::string_view usual : kUsual) {
            if (type == usual) {
                type_ = usual;
                return;
            }
        }
        otherType_.assign(type);
        type_ = otherType_;
    }

    // An element before the root's entries: the frame "plist", then the
    // root dictionary; anything else makes the file no property list.
    void StartOutside(std::string_view name) {
        if (!documentRoot_) {
            stack_.push_back(Frame{pendingRoot_, {}, false, pendingRoot_->count() == 0});
            pendingRoot_ = nullptr;
            return;
        }
        if (name == "plist" && depth_ == 1) {
            XML_DefaultCurrent(parser_.get()); // its start tag, as written
            wrapped_ = true;
            return;
        }
        if (name != "dict" || depth_ != (wrapped_ ? 2 : 1)) {
            Stop("the root is no dictionary");
            return;
        }
        if (!wrapped_) {
            // A bare root dictionary gains the frame that its closing lines
            // need.
            head_ += "<plist version=\"1.0\">\n";
        }
        // The root's own attributes and empty form are not written back.
        head_ += "<dict>";
        // Bytes before the first markup are no part of the document.
        head_.erase(0, std::min(head_.find('<'), head_.size()));
        if (ReadsBack(head_ + "</dict></plist>")) {
            outcome.headers = Lines(head_);
        } else {
            Fault(kNotWritable);
        }
        outcome.isPlist = true;
        XML_SetDefaultHandlerExpand(parser_.get(), nullptr);
        stack_.push_back(Frame{pendingRoot_, {}, false, true});
        pendingRoot_ = nullptr;
    }

    void End() {
        const int depth = depth_--;
        if (skipFrom_ != 0) {
            if (depth == skipFrom_) {
                skipFrom_ = 0;
            }
            return;
        }
        if (held_ != Held::None) {
            EndValue();
        } else if (!stack_.empty()) {
            if (stack_.back().hasKey) {
                Fault("a key without a value");
            }
            PopNode();
            if (stack_.empty()) {
                ended_ = true;
            }
        }
    }

    void Text(std::string_view text) {
        if (skipFrom_ != 0) {
            return;
        }
        switch (held_) {
        case Held::None:
            break;
        case Held::Data:
            data_.Add(text, EventIsReference());
            return;
        case Held::Boolean:
            if (!OnlyXmlSpace(text)) {
                Fault("text inside a boolean");
            }
            return;
        default:
            text_ += text;
            return;
        }
        if (!OnlyXmlSpace(text)) {
            Fault("text between entries");
        } else if (pendingRoot_ != nullptr) {
            head_ += text; // layout inside the frame before the root: part of the header
        }
    }

    void EndValue() {
        const Held what = held_;
        held_ = Held::None;
        if (what == Held::Key) {
            Frame& frame = stack_.back();
            if (!frame.node->isArray_) {
                frame.key = std::move(text_);
                frame.hasKey = true;
            }
            return;
        }
        if (what == Held::Data) {
            text_ = data_.Take();
        } else if (type_ == "boolean") {
            // Only "true" and "false" have a written form; any other text
            // would be lost.
            if (!fw::Equals(text_, "true") && !fw::Equals(text_, "false")) {
                Fault("a boolean that is neither true nor false");
            }
            text_ = fw::Equals(text_, "true") ? "true" : "false";
        }
        stack_.back().node->entries_.Append(std::move(valueKey_), type_, &text_);
    }

    // Whether the text just reported stood as a reference in the file (in
    // any of the encodings that expat reads, "&" begins with its own byte or
    // with a zero byte before it).
    bool EventIsReference() const {
        int offset = 0;
        int size = 0;
        const char* context = XML_GetInputContext(parser_.get(), &offset, &size);
        if (context == nullptr || offset >= size) {
            return false;
        }
        return context[offset] == '&' ||
               (context[offset] == '\0' && offset + 1 < size && context[offset + 1] == '&');
    }

    // Passes over the element just started and all it holds.
    void Skip() { skipFrom_ = depth_; }

    void PopNode() {
        const Frame& frame = stack_.back();
        plistDict& node = *frame.node;
        if (node.entries_.Settle() || !frame.fresh) {
            // A repeated key holds the child of its last entry, if any.
            node.DropReplacedChildren();
        } else {
            node.CompactChildren(); // indexes them
        }
        if (node.isArray_) {
            node.indexOf += 1; // the element count, as after the closing line
        }
        stack_.pop_back();
    }

    ParserPointer parser_;
    plistDict* pendingRoot_; // the root, until its entries begin
    bool documentRoot_;
    bool wrapped_ = false; // the root stands in a "plist" element
    bool ended_ = false;   // the root dictionary's end was read
    std::string head_;     // the markup before the root's entries
    std::vector<Frame> stack_;
    Held held_ = Held::None;
    std::string_view type_;
    std::string otherType_;
    std::string text_;
    DataText data_;
    std::string valueKey_; // the key of the value
    int depth_ = 0;
    int skipFrom_ = 0; // the depth of an element passed over, or 0
    std::size_t entries_ = 0;
    std::string writableName_; // the last name outside ASCII that read back
};

ReadOutcome ReadDocument(std::string_view bytes, plistDict& root) {
    TreeBuilder builder(root, true);
    builder.Parse(bytes);
    return std::move(builder.outcome);
}

void ReadNodeContent(std::string_view bytes, plistDict& node) {
    const std::string tag = node.IsArray() ? "<array>" : "<dict>";
    TreeBuilder builder(node, false);
    builder.Parse(tag + std::string(bytes));
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
