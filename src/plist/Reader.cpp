#include "plist/Reader.h"

#include "framework/core/Strings.h"
#include "framework/core/TextStreams.h"
#include "framework/core/Yield.h"
#include "plist/Escaping.h"
#include "plist/plistDict.h"

namespace plistio {
namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool OnlyBlanksFrom(std::string_view line, std::size_t pos) {
    for (; pos < line.size(); ++pos) {
        if (!IsBlank(line[pos])) {
            return false;
        }
    }
    return true;
}

// The value text of an element as read: entities decoded; data, which is
// Base64 text, without the blanks around it.
std::string ValueText(std::string_view type, std::string_view raw) {
    if (type == "data") {
        return Decode(TrimBlanks(raw));
    }
    return Decode(raw);
}

} // namespace

void Reader::ReadNode(plistDict& node, int depth) {
    std::string line;
    State state;
    while (stream_.ReadLine(line)) {
        fw::BackgroundYield();
        std::size_t pos = 0;
        if (state.inValue && !ContinueValue(node, state, line, pos)) {
            continue;
        }
        if (ReadTags(node, state, line, pos, depth)) {
            break;
        }
    }
    // A file that ends inside a value keeps what was read of it.
    if (state.inValue) {
        FinishValue(node, state);
    }
    if (node.isArray_) {
        node.indexOf += 1; // the element count, as after the closing line
    }
    if (node.removedChildren_ > 0) {
        node.CompactChildren(); // children replaced by a repeated key
    }
}

bool Reader::ReadTags(plistDict& node, State& state, const std::string& line, std::size_t pos,
                      int depth) {
    const std::string_view closing = node.isArray_ ? "/array" : "/dict";
    for (;;) {
        while (pos < line.size() && IsBlank(line[pos])) {
            ++pos;
        }
        if (pos >= line.size()) {
            return false;
        }
        if (line[pos] != '<') {
            // Text outside any element is passed over.
            pos = line.find('<', pos);
            if (pos == std::string::npos) {
                return false;
            }
            continue;
        }
        const std::size_t gt = line.find('>', pos + 1);
        if (gt == std::string::npos) {
            return false; // a tag without its end is passed over
        }
        const std::string_view tag(line.data() + pos + 1, gt - pos - 1);
        const std::size_t after = gt + 1;
        fw::BackgroundYield();

        if (tag.empty() || tag[0] == '!' || tag[0] == '?') {
            pos = after; // comments and processing instructions
            continue;
        }
        if (tag[0] == '/') {
            // The node's closing tag ends it only as the last tag of its line;
            // any other closing tag here closes nothing.
            if (tag == closing && OnlyBlanksFrom(line, after)) {
                return true;
            }
            pos = after;
            continue;
        }
        // "<name/>" is the empty form of "<name>" (however many slashes).
        std::string_view name = tag;
        const bool emptyForm = name.back() == '/';
        while (!name.empty() && name.back() == '/') {
            name.remove_suffix(1);
        }

        if (name == "key") {
            const std::size_t end = emptyForm ? after : line.find("</key>", after);
            if (end == std::string::npos) {
                state.key = Decode(std::string_view(line).substr(after));
                return false;
            }
            state.key = Decode(std::string_view(line).substr(after, end - after));
            pos = emptyForm ? after : end + 6;
            continue;
        }
        if (emptyForm && (name == "true" || name == "false")) {
            node.StoreScalar(NextKey(node, state), "boolean", name == "true" ? "true" : "false");
            pos = after;
            continue;
        }
        if (name == "dict" || name == "array") {
            const bool isArray = name == "array";
            const std::string key = NextKey(node, state);
            bool created = false;
            node.types.At(key, &created) = isArray ? "array" : "dict";
            if (!created) {
                node.values.Remove(key); // a key that held a value before
            }
            plistDict* child = node.AppendChildNode(key, isArray);
            if (!emptyForm) {
                // The child reads from the next line on; the rest of this line
                // belongs to this node.
                if (depth + 1 > kMaxDepth) {
                    SkipNode();
                } else {
                    ReadNode(*child, depth + 1);
                }
            }
            pos = after;
            continue;
        }

        // A value element, "<type>text</type>", or "<type/>" for an empty one.
        const std::string type(name);
        const std::string key = NextKey(node, state);
        if (emptyForm) {
            Store(node, key, type, {});
            pos = after;
            continue;
        }
        const std::string closeTag = "</" + type;
        const std::size_t end = line.find(closeTag, after);
        if (end != std::string::npos) {
            Store(node, key, type,
                  ValueText(type, std::string_view(line).substr(after, end - after)));
            const std::size_t close = line.find('>', end + closeTag.size());
            pos = close == std::string::npos ? line.size() : close + 1;
            continue;
        }
        // The value goes on over the next lines.
        state.inValue = true;
        state.valueType = type;
        state.valueKey = key;
        const std::string_view rest = std::string_view(line).substr(after);
        state.collected.assign(type == "data" ? TrimBlanks(rest) : rest);
        return false;
    }
}

bool Reader::ContinueValue(plistDict& node, State& state, const std::string& line,
                           std::size_t& pos) {
    // The lines of a value are its text exactly as written (data excepted,
    // which drops the blanks around each line).
    const std::string closeTag = "</" + state.valueType;
    const std::size_t end = line.find(closeTag);
    const std::string_view piece =
        std::string_view(line).substr(0, end == std::string::npos ? line.size() : end);
    if (state.valueType == "data") {
        state.collected += TrimBlanks(piece);
    } else {
        state.collected += '\n';
        state.collected += piece;
    }
    if (end == std::string::npos) {
        return false;
    }
    FinishValue(node, state);
    const std::size_t close = line.find('>', end + closeTag.size());
    pos = close == std::string::npos ? line.size() : close + 1;
    return true;
}

void Reader::FinishValue(plistDict& node, State& state) {
    Store(node, state.valueKey, state.valueType, ValueText(state.valueType, state.collected));
    state.inValue = false;
    state.collected.clear();
}

std::string Reader::NextKey(plistDict& node, State& state) {
    if (!node.isArray_) {
        return state.key;
    }
    // Array elements are numbered by element, so a value over several lines
    // or two elements on one line keep their own places.
    node.indexOf += 1;
    return fw::Str(node.indexOf);
}

void Reader::SkipNode() {
    std::int64_t open = 1;
    std::string line;
    while (stream_.ReadLine(line)) {
        fw::BackgroundYield();
        for (std::size_t pos = line.find('<'); pos != std::string::npos;
             pos = line.find('<', pos + 1)) {
            const std::size_t gt = line.find('>', pos + 1);
            if (gt == std::string::npos) {
                break;
            }
            const std::string_view tag(line.data() + pos + 1, gt - pos - 1);
            if (tag == "dict" || tag == "array") {
                ++open;
            } else if ((tag == "/dict" || tag == "/array") && --open == 0) {
                return;
            }
            pos = gt;
        }
    }
}

void Reader::Store(plistDict& node, const std::string& key, const std::string& type,
                   std::string value) {
    if (type == "boolean") {
        // Only "true" and "false" have a written form.
        value = fw::Equals(value, "true") ? "true" : "false";
    }
    node.StoreScalar(key, type, std::move(value));
}

} // namespace plistio

void plistDict::Load(fw::TextInputStream* stream, std::string_view name, bool isArray,
                     plistDict* parent, plist* document, bool read) {
    values.Clear();
    types.Clear();
    children_.clear();
    childIndex_.Clear();
    removedChildren_ = 0;
    foldedIndex_.clear();
    foldedBuilt_ = false;
    this->name.assign(name);
    isArray_ = isArray;
    this->parent = parent;
    rootClass_ = document;
    indexOf = -1;
    if (!read || stream == nullptr) {
        return;
    }
    plistio::Reader(*stream).ReadNode(*this, 0);
}
