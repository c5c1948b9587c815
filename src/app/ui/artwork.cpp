#include "ui/artwork.h"

#include "ui/commandids.h"

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
    case CmdDrawPoint:
        return 11;
    case CmdErasePoint:
        return 12;
    case CmdDrawLine:
        return 13;
    case CmdOutlineRectangle:
        return 14;
    case CmdFillRectangle:
        return 15;
    case CmdSelect:
        return 16;
    case CmdOutlineEllipse:
        return 17;
    case CmdFillEllipse:
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
