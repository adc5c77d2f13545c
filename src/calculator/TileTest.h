#pragma once

#include "calculator/TileSet.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace calc {

// How often a character occurs in the word, a to z matching A to Z.
std::int32_t countLetter(char32_t character, std::string_view word) noexcept;

// How many tiles of a symbol the word spells: for the blank, its spaces and
// "_" together; for a letter, its occurrences. 0 for an index outside 0 to 26.
std::int32_t countLetterB(int symbol, std::string_view word) noexcept;

struct TileTestResult {
    bool fits = false;
    // Some letter was short and got automatic blanks; `word` then holds the
    // rebuilt word (also when a later letter made the test fail).
    bool rebuilt = false;
    // The word to put back into the word field: rebuilt, or as given.
    std::string word;
    // The tiles left after the test, for the window to take over: the tiles it
    // used when the word fits in the Combined words mode (commit), the full set
    // in the Individual words mode, otherwise the tiles left as given.
    TileTable left{};
};

// Tests a word against the tiles left. With commit off (Individual words) the
// word is tested against the full set and nothing is consumed; with commit on
// (Combined words) it is tested against `tilesLeft` and consumes its tiles
// when it fits. Written blanks ("_", space) take blank tiles first; with
// automatic blanks a letter's shortage is covered by the blanks still left,
// and the leftmost occurrences of that letter become "_" in the rebuilt word.
// Characters that spell no tile take none and pass through unchanged.
TileTestResult countTiles(std::string_view word, const TileTable& tilesLeft, bool commit,
                          bool blanksEnabled);

} // namespace calc
