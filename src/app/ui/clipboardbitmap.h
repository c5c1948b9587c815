#pragma once

#include <QImage>

#include "textclip/platformbitmap.h"

namespace dedur {

// Clipboard images and the core's bitmaps: a 1-bit bitmap maps bit 0 to
// black and bit 1 to white; everything else comes in as 32 bits B, G, R, X
// composited over white.
QImage imageFromBitmap(const PlatformBitmap& bitmap);
PlatformBitmap bitmapFromImage(const QImage& image);

} // namespace dedur
