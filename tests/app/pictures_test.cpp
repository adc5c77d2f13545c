#include "PictureDesign.h"
#include "app/Pictures.h"
#include "calculator/Board.h"

#include <QImage>
#include <gtest/gtest.h>
#include <map>
#include <set>

TEST(Pictures, AreFetchedOnceAndKeptUntilReleased) {
    const fw::Picture& splash = splashbmp();
    ASSERT_FALSE(splash.isNull());
    EXPECT_EQ(splash.size(), QSize(400, 400));
    EXPECT_EQ(&splashbmp(), &splash);
    EXPECT_EQ(splashbmp().cacheKey(), splash.cacheKey());

    const fw::Picture& board = boardbmp();
    ASSERT_FALSE(board.isNull());
    EXPECT_EQ(board.size(), QSize(450, 473));
    EXPECT_EQ(boardbmp().cacheKey(), board.cacheKey());
    EXPECT_NE(board.cacheKey(), splash.cacheKey());

    ReleasePictures();
    EXPECT_FALSE(splashbmp().isNull()); // fetched again after a release
}

TEST(Pictures, BoardPictureShowsEachKindOfSquareInItsOwnColour) {
    const QImage board = boardbmp().toImage();
    std::map<int, std::set<QRgb>> colours; // by square code
    for (int row = 0; row < calc::kBoardSize; ++row) {
        for (int column = 0; column < calc::kBoardSize; ++column) {
            // Inside the square's top-left corner, clear of its mark.
            const int x =
                pictures::kGridLeft + column * pictures::kSquare + pictures::kGridLine + 2;
            const int y = pictures::kGridTop + row * pictures::kSquare + pictures::kGridLine + 2;
            colours[calc::kBoardLayout[row][column]].insert(board.pixel(x, y));
        }
    }
    std::set<QRgb> distinct;
    for (const auto& [code, seen] : colours) {
        EXPECT_EQ(seen.size(), 1u) << "code " << code;
        distinct.insert(*seen.begin());
    }
    EXPECT_EQ(colours.size(), 5u);
    EXPECT_EQ(distinct.size(), 5u);
}
