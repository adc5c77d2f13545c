#include "app/Pictures.h"

#include <QString>

namespace {

constexpr int kSplashPicture = 168;
constexpr int kBoardPicture = 169;

fw::Picture splashPicture;
fw::Picture boardPicture;

const fw::Picture& Fetch(fw::Picture& cache, int number) {
    if (cache.isNull()) {
        cache.load(QStringLiteral(":/pictures/%1.png").arg(number));
    }
    return cache;
}

} // namespace

const fw::Picture& splashbmp() {
    return Fetch(splashPicture, kSplashPicture);
}

const fw::Picture& boardbmp() {
    return Fetch(boardPicture, kBoardPicture);
}

void ReleasePictures() {
    splashPicture = fw::Picture();
    boardPicture = fw::Picture();
}
