#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <vector>

namespace dedur::artwork {

// Every palette image id: normal, pressed, latched and disabled images of the
// 19 buttons (the tools have no disabled images).
std::vector<int> paletteImageIds();
// A 24 x 24 palette image, drawn from scratch.
QImage paletteImage(int id);

// Tool cursors 11..18: 32 x 32, black and white on transparent.
std::vector<int> cursorIds();
QImage cursorImage(int id);
QPoint cursorHotSpot(int id);

// The program icon, `size` pixels square (drawn on a 32 x 32 design), and
// the same design as SVG text.
QImage programIcon(int size = 32);
QByteArray programIconSvg();
// The sizes of the icon installed for the desktop.
std::vector<int> desktopIconSizes();

} // namespace dedur::artwork
