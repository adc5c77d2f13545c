#include "calculator/Board.h"

namespace calc {

void resetBoard(BoardGrid& board) noexcept {
    board = kBoardLayout;
}

BoardFactors MakeBoardFactors(const BoardGrid& board, bool centerSquareDouble) noexcept {
    BoardFactors factors;
    for (int row = 0; row < kBoardSize; ++row) {
        for (int column = 0; column < kBoardSize; ++column) {
            std::int32_t code = board[row][column];
            if (!centerSquareDouble && row == kCentre && column == kCentre) {
                code = kNormalSquare;
            }
            const BoardFactors::Square square{LetterFactor(code), WordFactor(code)};
            factors.across[row][column] = square;
            factors.down[column][row] = square;
        }
    }
    return factors;
}

} // namespace calc
