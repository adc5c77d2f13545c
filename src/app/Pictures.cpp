#include "app/Pictures.h"

#include <QString>
#include <optional>

// The pictures are compiled into the GUI library; naming them here is what
// links them into the program. (Outside any namespace, as the macro needs.)
static void RegisterPictures() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(tallorix_pictures);
        return true;
    }();
    (void)registered;
}

namespace {

constexpr int kSplashPicture = 168;
constexpr int kBoardPicture = 169;

// Made on first use: a picture can't exist before the GUI runtime does.
std::optional<fw::Picture> splashPicture;
std::optional<fw::Picture> boardPicture;

const fw::Picture& Fetch(std::optional<fw::Picture>& cache, int number) {
    if (!cache.has_value()) {
        cache.emplace();
    }
    if (cache->isNull()) {
        RegisterPictures();
        cache->load(QStringLiteral(":/pictures/%1.png").arg(number));
    }
    return *cache;
}

} // namespace

const fw::Picture& splashbmp() {
    return Fetch(splashPicture, kSplashPicture);
}

const fw::Picture& boardbmp() {
    return Fetch(boardPicture, kBoardPicture);
}

void ReleasePictures() {
    splashPicture.reset();
    boardPicture.reset();
}
