#pragma once

#include <QColor>
#include <QImage>

// The application's two pictures, drawn at build time and compiled into its
// resources: 168 is the backdrop of the splash and about windows, 169 the
// backdrop of the board window.
namespace pictures {

inline constexpr int kSplashWidth = 400;
inline constexpr int kSplashHeight = 400;

inline constexpr int kBoardWidth = 450;
inline constexpr int kBoardHeight = 473;

// Where the squares of the board picture lie: square (row, column) covers
// kGridLeft + column * kSquare, kGridTop + row * kSquare, kSquare pixels a
// side, with a gridline of kGridLine pixels along its top and left edges.
inline constexpr int kSquare = 28;
inline constexpr int kGridLine = 2;
inline constexpr int kGridLeft = 14;
inline constexpr int kGridTop = 12;

// The fill of a square of the given code (1 normal to 5 triple word).
QColor SquareColor(int code);

QImage DrawSplashPicture();
QImage DrawBoardPicture();

} // namespace pictures
