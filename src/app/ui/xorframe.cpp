#include "ui/xorframe.h"

namespace dedur {

void xorFrame(QImage& image, int l, int t, int r, int b, const QRect& clip, QRgb colour) {
    const QRect area = clip.intersected(image.rect());
    auto flip = [&](int x, int y) {
        if (!area.contains(x, y)) return;
        QRgb& pixel = reinterpret_cast<QRgb*>(image.scanLine(y))[x];
        pixel = (pixel ^ colour) | 0xFF000000u;
    };
    for (int x = l; x < r; ++x) flip(x, t);
    for (int y = t; y < b; ++y) flip(r, y);
    for (int x = r; x > l; --x) flip(x, b);
    for (int y = b; y > t; --y) flip(l, y);
}

} // namespace dedur
