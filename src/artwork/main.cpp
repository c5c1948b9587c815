// Writes the palette images, tool cursors and program icon as PNG files into
// the given folder (resources/ in the repository).
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "artworkpainter.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dedur-artwork DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    bool ok = dir.mkpath("palette") && dir.mkpath("cursors");
    for (int id : dedur::artwork::paletteImageIds()) {
        ok = dedur::artwork::paletteImage(id).save(
                 dir.filePath(QString("palette/%1.png").arg(id))) &&
             ok;
    }
    for (int id : dedur::artwork::cursorIds()) {
        ok =
            dedur::artwork::cursorImage(id).save(dir.filePath(QString("cursors/%1.png").arg(id))) &&
            ok;
    }
    ok = dedur::artwork::programIcon().save(dir.filePath("icon.png")) && ok;
    return ok ? 0 : 1;
}
