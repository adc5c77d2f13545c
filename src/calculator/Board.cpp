#include "calculator/Board.h"

#include <cstring>

namespace calc {

void resetBoard(BoardGrid& board) noexcept {
    board = kBoardLayout;
}

BoardFactors MakeBoardFactors(const BoardGrid& board, bool centerSquareDouble) noexcept {
    // Indexed by code; anything outside 1 to 5 counts as a normal square.
    static constexpr std::array<BoardFactors::Square, 6> kSquares = {{
        {1, 1},
        {LetterFactor(1), WordFactor(1)},
        {LetterFactor(2), WordFactor(2)},
        {LetterFactor(3), WordFactor(3)},
        {LetterFactor(4), WordFactor(4)},
        {LetterFactor(5), WordFactor(5)},
    }};
    BoardFactors factors;
    for (int row = 0; row < kBoardSize; ++row) {
        for (int column = 0; column < kBoardSize; ++column) {
            const auto code = static_cast<std::uint32_t>(board[row][column]);
            factors.across[row][column] = kSquares[code < kSquares.size() ? code : 0];
        }
    }
    if (!centerSquareDouble) {
        factors.across[kCentre][kCentre] = kSquares[kNormalSquare];
    }
    for (int row = 0; row < kBoardSize; ++row) {
        for (int column = 0; column < kBoardSize; ++column) {
            factors.down[column][row] = factors.across[row][column];
        }
    }
    // Square has no padding, so the bytes compare as the factors do.
    factors.downMirrorsAcross =
        std::memcmp(&factors.down, &factors.across, sizeof(BoardFactors::Lines)) == 0;
    return factors;
}

} // namespace calc
