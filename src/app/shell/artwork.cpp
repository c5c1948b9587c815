#include "artwork.h"

#include <QHash>
#include <QIcon>

#include "artworkpainter.h"

namespace dedur {

QPixmap paletteImage(int id) {
    static QHash<int, QPixmap> cache;
    auto it = cache.find(id);
    if (it == cache.end()) it = cache.insert(id, QPixmap(QString(":/palette/%1.png").arg(id)));
    return *it;
}

int toolCursorId(int toolCommand) {
    switch (toolCommand) {
    case 3021:
        return 11;
    case 3022:
        return 12;
    case 3025:
        return 13;
    case 3026:
        return 14;
    case 3027:
        return 15;
    case 3028:
        return 16;
    case 3029:
        return 17;
    case 3030:
        return 18;
    default:
        return 11;
    }
}

QCursor toolCursor(int toolCommand) {
    const int id = toolCursorId(toolCommand);
    const QPoint hot = artwork::cursorHotSpot(id);
    return QCursor(QPixmap(QString(":/cursors/%1.png").arg(id)), hot.x(), hot.y());
}

QIcon programIcon() {
    return QIcon(":/icon.png");
}

} // namespace dedur
