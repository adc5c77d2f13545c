#pragma once

#include <string>
#include <string_view>
#include <vector>

class plistDict;

namespace plistio {

// What reading the bytes of a property-list file gave.
struct ReadOutcome {
    // The root is a dictionary; otherwise nothing was read into the node.
    bool isPlist = false;
    // Everything in the file was understood. False for a file cut short,
    // damaged, past the entry limit, or holding text or elements that the
    // store has no place for or could not write back.
    bool complete = false;
    // The text before the root's entries, as lines, the last one ending in
    // the root's opening tag; none when that text would not read back as
    // it is written.
    std::vector<std::string> headers;
    // Why the file is not complete, with the line and column where that
    // showed ("line 6, column 2: not well-formed (invalid token)").
    std::string reason;
};

// Reads the bytes of an XML property list (UTF-8, UTF-16, ISO-8859-1 or
// US-ASCII, as its byte-order mark or declaration says) into `root`, which
// must be empty. Any nesting depth is read without recursion. Of a damaged
// file every entry before the damage is kept.
ReadOutcome ReadDocument(std::string_view bytes, plistDict& root);

// Reads the content of one node (its entries followed by its closing tag,
// as a stream positioned inside the node holds them) into `node`.
void ReadNodeContent(std::string_view bytes, plistDict& node);

} // namespace plistio
