#pragma once

#include <cstddef>
#include <string_view>

namespace fw {

// Texts are UTF-8 and one character is one code point. A byte that does not
// start a well-formed sequence (overlong forms and surrogates included) counts
// as one character of its own, decoded as U+FFFD, so damaged text can never
// stall or overrun a loop.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes the code point that starts at pos and advances pos past it.
// Precondition: pos < text.size().
char32_t NextCodePoint(std::string_view text, std::size_t& pos) noexcept;

// The number of characters (code points) of the text.
std::size_t CharacterCount(std::string_view text) noexcept;

// ASCII a-z map to A-Z; every other code point stays as it is. This is the
// system's one case rule: text equality and search, list order, letter values
// and tile counts all use it.
constexpr char32_t FoldAsciiCase(char32_t c) noexcept {
    return (c >= U'a' && c <= U'z') ? c - (U'a' - U'A') : c;
}

} // namespace fw
