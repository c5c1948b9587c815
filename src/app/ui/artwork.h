#pragma once

#include <QCursor>
#include <QPixmap>

namespace dedur {

// Palette image by its id; a null pixmap for an id without artwork.
QPixmap paletteImage(int id);
// The cursor of a tool, by the tool's command id.
QCursor toolCursor(int toolCommand);
int toolCursorId(int toolCommand);
QIcon programIcon();

} // namespace dedur
