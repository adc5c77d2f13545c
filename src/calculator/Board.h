#pragma once

#include <array>
#include <cstdint>

namespace calc {

// Premium-square codes of the board.
enum SquareCode : std::int32_t {
    kNormalSquare = 1,
    kDoubleLetterSquare = 2,
    kTripleLetterSquare = 3,
    kDoubleWordSquare = 4,
    kTripleWordSquare = 5,
};

inline constexpr int kBoardSize = 15;
inline constexpr int kCentre = 7;

// [row][column], row 0 at the top, column 0 at the left.
using BoardGrid = std::array<std::array<std::int32_t, kBoardSize>, kBoardSize>;

// The Quadrelle board. Every window's board is a copy of this grid.
inline constexpr BoardGrid kBoardLayout = {{
    {5, 1, 1, 2, 1, 1, 1, 5, 1, 1, 1, 2, 1, 1, 5},
    {1, 4, 1, 1, 1, 3, 1, 1, 1, 3, 1, 1, 1, 4, 1},
    {1, 1, 4, 1, 1, 1, 2, 1, 2, 1, 1, 1, 4, 1, 1},
    {2, 1, 1, 4, 1, 1, 1, 2, 1, 1, 1, 4, 1, 1, 2},
    {1, 1, 1, 1, 4, 1, 1, 1, 1, 1, 4, 1, 1, 1, 1},
    {1, 3, 1, 1, 1, 3, 1, 1, 1, 3, 1, 1, 1, 3, 1},
    {1, 1, 2, 1, 1, 1, 2, 1, 2, 1, 1, 1, 2, 1, 1},
    {5, 1, 1, 2, 1, 1, 1, 4, 1, 1, 1, 2, 1, 1, 5},
    {1, 1, 2, 1, 1, 1, 2, 1, 2, 1, 1, 1, 2, 1, 1},
    {1, 3, 1, 1, 1, 3, 1, 1, 1, 3, 1, 1, 1, 3, 1},
    {1, 1, 1, 1, 4, 1, 1, 1, 1, 1, 4, 1, 1, 1, 1},
    {2, 1, 1, 4, 1, 1, 1, 2, 1, 1, 1, 4, 1, 1, 2},
    {1, 1, 4, 1, 1, 1, 2, 1, 2, 1, 1, 1, 4, 1, 1},
    {1, 4, 1, 1, 1, 3, 1, 1, 1, 3, 1, 1, 1, 4, 1},
    {5, 1, 1, 2, 1, 1, 1, 5, 1, 1, 1, 2, 1, 1, 5},
}};

// Writes the Quadrelle grid into a window's board.
void resetBoard(BoardGrid& board) noexcept;

// What a letter on a square of this code is multiplied by: 2 and 3 on the
// letter squares, 1 elsewhere (a word square adds the plain value).
constexpr std::int32_t LetterFactor(std::int32_t code) noexcept {
    return (code == kDoubleLetterSquare || code == kTripleLetterSquare) ? code : 1;
}

// What a placement covering a square of this code multiplies its sum by.
constexpr std::int32_t WordFactor(std::int32_t code) noexcept {
    if (code == kDoubleWordSquare) {
        return 2;
    }
    return code == kTripleWordSquare ? 3 : 1;
}

// The factors of every square, ready for scoring. `across` is indexed
// [row][column]; `down` holds the same squares transposed ([column][row]) so
// that both directions walk a contiguous line.
struct BoardFactors {
    struct Square {
        std::int32_t letter = 1;
        std::int32_t word = 1;
    };
    using Lines = std::array<std::array<Square, kBoardSize>, kBoardSize>;
    Lines across{};
    Lines down{};
    // The board is symmetric about its main diagonal, so the down placements
    // score exactly what the across placements do.
    bool downMirrorsAcross = false;
};

// The factors of a board. With centerSquareDouble off the centre square counts
// as a normal square, whatever its code.
BoardFactors MakeBoardFactors(const BoardGrid& board, bool centerSquareDouble) noexcept;

} // namespace calc
