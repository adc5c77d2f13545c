#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace calc {

// Point values of A to Z. Every other character, the blank ("_" or space)
// included, is worth 0; a letter is worth the same in either case.
inline constexpr std::array<std::int32_t, 26> kLetterValues = {
    1, 3, 3, 2,  1, 4, 2, 4, 1, 8, 5, 1, 3,  // A to M
    1, 1, 3, 10, 1, 1, 1, 1, 4, 4, 8, 4, 10, // N to Z
};

constexpr std::int32_t LetterValue(char32_t c) noexcept {
    if (c >= U'A' && c <= U'Z') {
        return kLetterValues[c - U'A'];
    }
    if (c >= U'a' && c <= U'z') {
        return kLetterValues[c - U'a'];
    }
    return 0;
}

// The value of a one-character text; 0 for the empty text and for a text of
// more than one character.
std::int32_t CalcLetter(std::string_view letter) noexcept;

// The plain score: the sum of the values of the word's characters.
std::int32_t CalculateSingle(std::string_view word) noexcept;

} // namespace calc
