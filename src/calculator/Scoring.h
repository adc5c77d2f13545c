#pragma once

#include "calculator/Board.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace calc {

inline constexpr std::size_t kMaxWordLength = 15;

// How many scores a word of this many characters gets on the board: 3 for one
// character, one per start square across and down for 2 to 15, none otherwise.
constexpr std::size_t PlacementCount(std::size_t length) noexcept {
    if (length == 1) {
        return 3;
    }
    if (length < 2 || length > kMaxWordLength) {
        return 0;
    }
    return 2 * kBoardSize * (kBoardSize + 1 - length);
}

// The word's score at every placement on the board, ascending, into `scores`
// (its capacity is reused). A placement scores the sum of value times letter
// factor over its squares, times the word factor of each square it covers. A
// one-character word v scores v, 2v and 3v. A word of no characters or of more
// than 15 has no placement and leaves `scores` empty.
void PlacementScores(std::string_view word, const BoardFactors& factors,
                     std::vector<std::int32_t>& scores);

// The same on a window's board with its centre option.
void PlacementScores(std::string_view word, const BoardGrid& board, bool centerSquareDouble,
                     std::vector<std::int32_t>& scores);

} // namespace calc
