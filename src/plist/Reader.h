#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fw {
class TextInputStream;
}
class plistDict;

namespace plistio {

// Reads the lines of a property-list file into nodes. It works line by line
// and tag by tag on the forms that the writer writes and on the usual forms
// of such files; it validates nothing and passes over what it doesn't
// understand. Nesting deeper than kMaxDepth is read as empty nodes, so no
// file can exhaust the stack.
class Reader {
public:
    static constexpr int kMaxDepth = 512;

    explicit Reader(fw::TextInputStream& stream) : stream_(stream) {}

    // Fills `node` from the stream's next line up to its closing tag.
    void ReadNode(plistDict& node, int depth);

private:
    // What one node keeps between the lines it reads.
    struct State {
        std::string key;       // the key of the next entry (dictionaries)
        bool inValue = false;  // a value spanning several lines is open
        std::string valueType; // its element name
        std::string valueKey;  // its key
        std::string collected; // its text so far, entities not yet decoded
    };

    // Handles the tags of `line` from `pos`; true when the node's closing tag
    // ended the node.
    bool ReadTags(plistDict& node, State& state, const std::string& line, std::size_t pos,
                  int depth);
    // Takes a line of an open value; true when the value ended on it, with
    // `pos` after its closing tag.
    bool ContinueValue(plistDict& node, State& state, const std::string& line, std::size_t& pos);
    void FinishValue(plistDict& node, State& state);
    std::string NextKey(plistDict& node, State& state);
    static void Store(plistDict& node, const std::string& key, const std::string& type,
                      std::string value);
    // Reads past the content of a node nested too deeply.
    void SkipNode();

    fw::TextInputStream& stream_;
};

} // namespace plistio
