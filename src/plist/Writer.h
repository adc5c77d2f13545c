#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace fw {
class TextOutputStream;
}
class plistDict;

namespace plistio {

// Turns nodes into the lines of a property-list file. Lines are gathered in
// a buffer that goes to the stream in large pieces (or stays in memory for
// the clipboard dumps).
class Writer {
public:
    // Lines end in `lineEnd`; with a stream the buffer is handed over
    // whenever it grows large, otherwise it collects everything.
    Writer(fw::TextOutputStream* stream, char lineEnd);

    void Line(std::string_view text);
    void Node(const plistDict& node, int level);
    // Hands the rest of the buffer to the stream; false when a write failed.
    bool Finish();
    const std::string& Text() const { return buffer_; }
    std::string TakeText() { return std::move(buffer_); }
    void Reserve(std::size_t size) { buffer_.reserve(size); }

private:
    void Indent(int level);
    void EndLine();
    // `text` is null for a scalar without a value text.
    void Scalar(const std::string* text, const std::string& type, int level);

    fw::TextOutputStream* stream_;
    char lineEnd_;
    std::string buffer_;
    bool ok_ = true;
};

} // namespace plistio
