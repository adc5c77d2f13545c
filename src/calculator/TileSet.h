#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace calc {

// Tile symbols: 0 is the blank, 1 to 26 are A to Z.
inline constexpr int kBlankSymbol = 0;
inline constexpr int kSymbolCount = 27;

// One count per tile symbol.
using TileTable = std::array<std::int32_t, kSymbolCount>;

// The Quadrelle tile set: 100 tiles, 98 letters and 2 blanks.
inline constexpr TileTable kTileDistribution = {
    2,                                      // blank
    9, 2, 2, 4, 12, 2, 3, 2, 9, 1, 1, 4, 2, // A to M
    6, 8, 2, 1, 6,  4, 6, 4, 2, 2, 1, 2, 1, // N to Z
};

// The symbol a character of a word spells: "_" and space are the blank, a to z
// and A to Z their letter; -1 for every other character, which takes no tile.
constexpr int TileSymbol(char32_t c) noexcept {
    if (c == U'_' || c == U' ') {
        return kBlankSymbol;
    }
    if (c >= U'A' && c <= U'Z') {
        return static_cast<int>(c - U'A') + 1;
    }
    if (c >= U'a' && c <= U'z') {
        return static_cast<int>(c - U'a') + 1;
    }
    return -1;
}

// The text that stands for a symbol in the tile list: "_" for the blank, then
// "A" to "Z". Empty for an index outside 0 to 26.
std::string_view TileSymbolText(int symbol) noexcept;

} // namespace calc
