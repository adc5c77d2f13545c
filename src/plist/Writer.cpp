#include "plist/Writer.h"

#include "framework/core/Clipboard.h"
#include "framework/core/Strings.h"
#include "framework/core/TextStreams.h"
#include "framework/core/Yield.h"
#include "plist/Escaping.h"
#include "plist/plistDict.h"

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
    buffer_.append(static_cast<std::size_t>(level > 0 ? level : 0), '\t');
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

void Writer::Node(const plistDict& node, int level) {
    const fw::Dictionary& types = node.types;
    const std::int32_t entries = types.Count();
    for (std::int32_t i = 0; i < entries; ++i) {
        fw::BackgroundYield();
        const std::string& key = types.Key(i);
        const std::string& type = types.ValueAt(i);
        if (!node.isArray_) {
            Indent(level);
            buffer_ += "<key>";
            AppendEscaped(buffer_, key, TextKind::Key);
            buffer_ += "</key>";
            EndLine();
        }
        if (type == "dict" || type == "array") {
            Children(node, key, type, level);
            continue;
        }
        const std::string* found = node.values.Find(key);
        const std::string_view value = found != nullptr ? std::string_view(*found) : "";
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
}

void Writer::Children(const plistDict& node, std::string_view key, std::string_view type,
                      int level) {
    std::uint32_t j = node.FirstChildNamed(key);
    if (j == plistDict::kNone) {
        // An entry whose node went missing still writes a well-formed element.
        Indent(level);
        buffer_ += type == "array" ? "<array/>" : "<dict/>";
        EndLine();
        return;
    }
    // Several children under one key come only from a file that repeats the
    // key; all of them follow the one key line.
    for (; j != plistDict::kNone; j = node.children_[j].nextSameName) {
        fw::BackgroundYield();
        const plistDict& child = *node.children_[j].node;
        const char* tag = child.isArray_ ? "array" : "dict";
        Indent(level);
        if (child.count() == 0) {
            buffer_ += '<';
            buffer_ += tag;
            buffer_ += "/>";
            EndLine();
            continue;
        }
        buffer_ += '<';
        buffer_ += tag;
        buffer_ += '>';
        EndLine();
        Node(child, level + 1);
        Indent(level);
        buffer_ += "</";
        buffer_ += tag;
        buffer_ += '>';
        EndLine();
    }
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
