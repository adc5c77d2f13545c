#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Entity escaping of the property-list text, shared by the writer and the
// reader.
namespace plistio {

// How a text is escaped on the way out. Every kind writes "&", "<" and ">"
// as entities, so the file stays well-formed XML; every kind but Plain also
// writes what XML 1.0 cannot carry at all (control characters other than TAB,
// LF and CR, bytes that are no UTF-8, U+FFFE and U+FFFF) as U+FFFD, the
// replacement character, as Clean does. Beyond that:
enum class TextKind {
    // Only the three entities.
    Plain,
    // A value: a carriage return becomes "&#13;" (the reader splits lines at
    // it); line feeds stay, so such a value spans several lines.
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

// Decodes "&amp;", "&lt;", "&gt;", "&quot;", "&apos;" and numeric references
// ("&#38;", "&#x26;") in one pass; an "&" that starts no known entity stays
// as it is, so text written without escaping reads back unchanged.
std::string Decode(std::string_view text);
// Decode, appending to `out`.
void AppendDecoded(std::string& out, std::string_view text);

// Appends code point `cp` in UTF-8.
void AppendUtf8(std::string& out, std::uint32_t cp);

// `text` with every character that XML 1.0 cannot carry replaced by U+FFFD
// (see TextKind). Texts that need nothing come back unchanged.
std::string Clean(std::string text);

// The value texts of numbers: an integer from a double (non-finite values
// included), and a real that keeps the sign of -0.0.
std::string IntegerText(double value);
std::string RealText(double value);

// `text` without blanks and control characters at either end.
std::string_view TrimBlanks(std::string_view text);

} // namespace plistio
