#include "ui/clipboardbitmap.h"

#include <QPainter>
#include <cstring>

namespace dedur {

QImage imageFromBitmap(const PlatformBitmap& b) {
    if (b.bitsPerPixel == 1) {
        QImage image(b.width, b.height, QImage::Format_Mono);
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        for (int y = 0; y < b.height; ++y) {
            const size_t from = static_cast<size_t>(y) * static_cast<size_t>(b.bytesPerRow);
            const size_t bytes = std::min<size_t>(static_cast<size_t>(image.bytesPerLine()),
                                                  static_cast<size_t>(b.bytesPerRow));
            if (from + bytes <= b.bits.size())
                std::memcpy(image.scanLine(y), b.bits.data() + from, bytes);
        }
        return image;
    }
    QImage image(b.width, b.height, QImage::Format_RGB32);
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) {
            const size_t at = static_cast<size_t>(y) * static_cast<size_t>(b.bytesPerRow) +
                              static_cast<size_t>(x) * static_cast<size_t>(b.bitsPerPixel / 8);
            if (at + 2 < b.bits.size()) {
                image.setPixel(x, y, qRgb(b.bits[at + 2], b.bits[at + 1], b.bits[at]));
            }
        }
    }
    return image;
}

PlatformBitmap bitmapFromImage(const QImage& source) {
    PlatformBitmap b;
    if (source.isNull()) return b;
    b.width = source.width();
    b.height = source.height();
    b.planes = 1;
    if (source.format() == QImage::Format_Mono || source.format() == QImage::Format_MonoLSB) {
        const QImage mono = source.convertToFormat(QImage::Format_Mono);
        if (mono.isNull()) return {};
        b.bitsPerPixel = 1;
        // Rows of a monochrome bitmap end on whole 16-bit words; the padding
        // bytes stay 0.
        b.bytesPerRow = monoBytesPerRow(b.width);
        b.bits.resize(static_cast<size_t>(b.bytesPerRow) * static_cast<size_t>(b.height));
        // Black is bit 0 whatever the image's own colour table says.
        const bool blackIsZero =
            mono.colorCount() < 1 || qGray(mono.color(0)) < qGray(mono.color(1));
        for (int y = 0; y < b.height; ++y) {
            for (int i = 0; i < (b.width + 7) / 8; ++i) {
                const uint8_t byte = mono.constScanLine(y)[i];
                b.bits[static_cast<size_t>(y * b.bytesPerRow + i)] =
                    blackIsZero ? byte : static_cast<uint8_t>(~byte);
            }
        }
        return b;
    }
    QImage flat(source.size(), QImage::Format_RGB32);
    if (flat.isNull()) return {}; // more than Qt will allocate
    flat.fill(Qt::white);
    {
        QPainter p(&flat);
        p.drawImage(0, 0, source);
    }
    b.bitsPerPixel = 32;
    b.bytesPerRow = b.width * 4;
    b.bits.resize(static_cast<size_t>(b.bytesPerRow) * static_cast<size_t>(b.height));
    for (int y = 0; y < b.height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(flat.constScanLine(y));
        for (int x = 0; x < b.width; ++x) {
            uint8_t* p = b.bits.data() + static_cast<size_t>(y * b.bytesPerRow + x * 4);
            p[0] = static_cast<uint8_t>(qBlue(line[x]));
            p[1] = static_cast<uint8_t>(qGreen(line[x]));
            p[2] = static_cast<uint8_t>(qRed(line[x]));
            p[3] = 0;
        }
    }
    return b;
}

} // namespace dedur
