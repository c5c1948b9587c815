// Writes the palette images, tool cursors and program icons into the given
// folder (resources/ in the repository).
#include <QDir>
#include <QFile>
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
    // The desktop's icons, laid out as they are installed.
    for (int size : dedur::artwork::desktopIconSizes()) {
        const QString folder = QString("icons/hicolor/%1x%1/apps").arg(size);
        ok = dir.mkpath(folder) &&
             dedur::artwork::programIcon(size).save(dir.filePath(folder + "/dedur.png")) && ok;
    }
    QFile svg(dir.filePath("icons/hicolor/scalable/apps/dedur.svg"));
    ok = dir.mkpath("icons/hicolor/scalable/apps") && svg.open(QIODevice::WriteOnly) &&
         svg.write(dedur::artwork::programIconSvg()) > 0 && ok;
    return ok ? 0 : 1;
}
