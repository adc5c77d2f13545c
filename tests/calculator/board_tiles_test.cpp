#include "calculator/Board.h"
#include "calculator/TileSet.h"

#include <gtest/gtest.h>
#include <numeric>
#include <utility>
#include <vector>

namespace calc {
namespace {

// The board drawn again from its description: each premium square stands for
// its orbit under the board's eight symmetries.
BoardGrid BoardFromDescription() {
    BoardGrid grid{};
    for (auto& row : grid) {
        row.fill(kNormalSquare);
    }
    const auto mark = [&](int r, int c, std::int32_t code) {
        for (auto [a, b] : {std::pair{r, c}, std::pair{c, r}}) {
            grid[a][b] = grid[14 - a][b] = grid[a][14 - b] = grid[14 - a][14 - b] = code;
        }
    };
    mark(0, 0, kTripleWordSquare);
    mark(0, 7, kTripleWordSquare);
    for (int k = 1; k <= 4; ++k) {
        mark(k, k, kDoubleWordSquare);
    }
    mark(7, 7, kDoubleWordSquare);
    mark(1, 5, kTripleLetterSquare);
    mark(5, 5, kTripleLetterSquare);
    for (auto [r, c] : {std::pair{0, 3}, {2, 6}, {3, 7}, {6, 6}}) {
        mark(r, c, kDoubleLetterSquare);
    }
    return grid;
}

TEST(Board, MatchesItsDescriptionCountsAndSymmetries) {
    BoardGrid board;
    for (auto& row : board) {
        row.fill(-1);
    }
    resetBoard(board);
    EXPECT_EQ(board, BoardFromDescription());

    std::vector<int> counts(6, 0);
    for (int r = 0; r < kBoardSize; ++r) {
        for (int c = 0; c < kBoardSize; ++c) {
            ASSERT_GE(board[r][c], 1);
            ASSERT_LE(board[r][c], 5);
            ++counts[board[r][c]];
            EXPECT_EQ(board[r][c], board[c][r]);
            EXPECT_EQ(board[r][c], board[r][14 - c]);
            EXPECT_EQ(board[r][c], board[14 - r][c]);
        }
    }
    EXPECT_EQ(counts, (std::vector<int>{0, 164, 24, 12, 17, 8}));
    EXPECT_EQ(board[7][7], kDoubleWordSquare);
}

TEST(TileSet, DistributionSymbolsAndReset) {
    EXPECT_EQ(std::accumulate(kTileDistribution.begin(), kTileDistribution.end(), 0), 100);
    EXPECT_EQ(kTileDistribution[kBlankSymbol], 2);
    EXPECT_EQ(kTileDistribution[TileSymbol(U'E')], 12);
    EXPECT_EQ(kTileDistribution[TileSymbol(U'Q')], 1);

    EXPECT_EQ(TileSymbol(U'_'), 0);
    EXPECT_EQ(TileSymbol(U' '), 0);
    EXPECT_EQ(TileSymbol(U'A'), 1);
    EXPECT_EQ(TileSymbol(U'z'), 26);
    EXPECT_EQ(TileSymbol(U'1'), -1);
    EXPECT_EQ(TileSymbol(U'\u00C9'), -1);
    EXPECT_EQ(TileSymbolText(0), "_");
    EXPECT_EQ(TileSymbolText(26), "Z");
    EXPECT_EQ(TileSymbolText(27), "");
}

} // namespace
} // namespace calc
