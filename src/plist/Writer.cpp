#include "plist/Writer.h"

#include "framework/core/Clipboard.h"
#include "framework/core/Strings.h"
#include "framework/core/TextStreams.h"
#include "framework/core/Yield.h"
#include "plist/Escaping.h"
#include "plist/plistDict.h"

#include <algorithm>
#include <vector>

namespace plistio {
namespace {
constexpr std::size_t kFlushSize = 256 * 1024;
}

Writer::Writer(fw::TextOutputStream* stream, char lineEnd) : stream_(stream), lineEnd_(lineEnd) {}

void Writer::Line(std::string_view text) {
    buffer_ += text;
    EndLine();
}

void Writer::Indent(int level) {
    // Deep nesting stops indenting further, so that the file grows with its
    // entries and not with the square of its depth.
    constexpr int kMaxIndent = 64;
    buffer_.append(static_cast<std::size_t>(std::clamp(level, 0, kMaxIndent)), '\t');
}

void Writer::EndLine() {
    buffer_ += lineEnd_;
    if (stream_ != nullptr && buffer_.size() >= kFlushSize) {
        ok_ = stream_->Write(buffer_) && ok_;
        buffer_.clear();
    }
}

bool Writer::Finish() {
    if (stream_ != nullptr && !buffer_.empty()) {
        ok_ = stream_->Write(buffer_) && ok_;
        buffer_.clear();
    }
    return ok_;
}

void Writer::Node(const plistDict& top, int level) {
    // Depth first with a stack of its own, so that no depth of nesting can
    // exhaust the call stack.
    struct Frame {
        const plistDict* node;
        std::int32_t entry;      // the next entry to write
        int level;               // the indent of the node's entries
        std::uint32_t nextChild; // the next child of the current key, or kNone
    };
    std::vector<Frame> stack;
    stack.push_back(Frame{&top, 0, level, plistDict::kNone});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const plistDict& node = *frame.node;
        if (frame.nextChild != plistDict::kNone) {
            fw::BackgroundYield();
            const plistDict& child = *node.children_[frame.nextChild].node;
            frame.nextChild = node.children_[frame.nextChild].nextSameName;
            const char* tag = child.isArray_ ? "array" : "dict";
            Indent(frame.level);
            buffer_ += '<';
            buffer_ += tag;
            if (child.count() == 0) {
                buffer_ += "/>";
                EndLine();
                continue;
            }
            buffer_ += '>';
            EndLine();
            const int childLevel = frame.level + 1;
            stack.push_back(Frame{&child, 0, childLevel, plistDict::kNone});
            continue;
        }
        const plistio::EntryTable::Entry* entry = node.entries_.TypedAt(frame.entry);
        if (entry == nullptr) {
            const int closingLevel = frame.level - 1;
            const char* tag = node.isArray_ ? "</array>" : "</dict>";
            stack.pop_back();
            if (!stack.empty()) {
                Indent(closingLevel);
                buffer_ += tag;
                EndLine();
            }
            continue;
        }
        fw::BackgroundYield();
        ++frame.entry;
        const std::string& key = entry->Key();
        const std::string& type = entry->TypeName();
        if (!node.isArray_) {
            Indent(frame.level);
            buffer_ += "<key>";
            AppendEscaped(buffer_, key, TextKind::Key);
            buffer_ += "</key>";
            EndLine();
        }
        if (entry->IsNode()) {
            frame.nextChild = node.FirstChildNamed(key);
            if (frame.nextChild == plistDict::kNone) {
                // An entry whose node went missing still writes a well-formed
                // element.
                Indent(frame.level);
                buffer_ += type == "array" ? "<array/>" : "<dict/>";
                EndLine();
            }
            continue;
        }
        Scalar(entry->Value(), type, frame.level);
    }
}

void Writer::Scalar(const std::string* text, const std::string& type, int level) {
    const std::string_view value = text != nullptr ? std::string_view(*text) : "";
    Indent(level);
    if (type == "boolean") {
        buffer_ += fw::Equals(value, "true") ? "<true/>" : "<false/>";
    } else if (type == "data") {
        buffer_ += "<data>";
        EndLine();
        Indent(level);
        AppendEscaped(buffer_, value, TextKind::Data);
        EndLine();
        Indent(level);
        buffer_ += "</data>";
    } else {
        buffer_ += '<';
        buffer_ += type;
        buffer_ += '>';
        AppendEscaped(buffer_, value, TextKind::Value);
        buffer_ += "</";
        buffer_ += type;
        buffer_ += '>';
    }
    EndLine();
}

} // namespace plistio

void plistDict::Write(fw::TextOutputStream& stream, std::int32_t level) const {
    plistio::Writer writer(&stream, '\n');
    writer.Node(*this, level);
    writer.Finish();
}

void plistDict::Dump(std::int32_t level) const {
    plistio::Writer writer(nullptr, '\r');
    writer.Node(*this, level);
    fw::SetClipboardText(fw::ClipboardText() + writer.Text());
}
