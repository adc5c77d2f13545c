#include "PictureDesign.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

// Writes the application's pictures, 168.png and 169.png, into the folder
// given as the only argument.
int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    QGuiApplication runtime(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    const bool written =
        pictures::DrawSplashPicture().save(folder.filePath(QStringLiteral("168.png")), "PNG") &&
        pictures::DrawBoardPicture().save(folder.filePath(QStringLiteral("169.png")), "PNG");
    if (!written) {
        std::fprintf(stderr, "cannot write the pictures into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
