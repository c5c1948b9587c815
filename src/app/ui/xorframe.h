#pragma once

#include <QImage>
#include <QRect>

namespace dedur {

// XOR colour of the marquees; drawing a frame twice removes it.
inline constexpr QRgb MarqueeXor = 0xFF00FFFFu; // RGB(0, 255, 255)

// The closed polyline (l,t)->(r,t)->(r,b)->(l,b)->(l,t), end points excluded
// so each corner is drawn once, XORed into `image` within `clip`.
void xorFrame(QImage& image, int l, int t, int r, int b, const QRect& clip,
              QRgb colour = MarqueeXor);

} // namespace dedur
