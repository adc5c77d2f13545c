#pragma once

#include <string>
#include <string_view>

// Entity escaping of the property-list text that the writer writes.
namespace plistio {

// How a text is escaped on the way out. Every kind writes "&", "<" and ">"
// as entities, so the file stays well-formed XML; every kind but Plain also
// writes what XML 1.0 cannot carry at all (control characters other than TAB,
// LF and CR, bytes that are no UTF-8, U+FFFE and U+FFFF) as U+FFFD, the
// replacement character. Beyond that:
enum class TextKind {
    // Only the three entities.
    Plain,
    // A value: a carriage return becomes "&#13;" (XML reads a raw one as a
    // line feed); line feeds stay, so such a value spans several lines.
    Value,
    // A key: carriage returns and line feeds become references, so a key
    // always stays on its line.
    Key,
    // Data: TAB, LF and CR, and a blank at either end, become references,
    // because the reader drops blanks around each data line.
    Data,
};

// Appends `text`, escaped for its kind, to `out`.
void AppendEscaped(std::string& out, std::string_view text, TextKind kind);

// Decodes the named entities ("&amp;", "&lt;", "&gt;", "&quot;", "&apos;");
// anything else stays as it is.
std::string Decode(std::string_view text);

// The value texts of numbers: an integer from a double (non-finite values
// included), and a real that keeps the sign of -0.0.
std::string IntegerText(double value);
std::string RealText(double value);

} // namespace plistio
