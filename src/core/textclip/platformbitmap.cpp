#include "textclip/platformbitmap.h"

#include <algorithm>

#include "base/message.h"
#include "document/patternstore.h"

namespace dedur {

namespace {

bool supportedDepth(int bits) {
    return bits == 1 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool rowAvailable(const PlatformBitmap& b, int row) {
    const size_t end = static_cast<size_t>(row + 1) * static_cast<size_t>(b.bytesPerRow);
    return b.bytesPerRow > 0 && end <= b.bits.size();
}

// Bytes of pixel c in a row, or null when the row is too short for it.
const uint8_t* pixelBytes(const PlatformBitmap& b, int row, int c) {
    const int size = b.bitsPerPixel / 8;
    if ((c + 1) * size > b.bytesPerRow) return nullptr;
    return b.bits.data() + static_cast<size_t>(row) * static_cast<size_t>(b.bytesPerRow) +
           static_cast<size_t>(c * size);
}

bool monoBitIsZero(const PlatformBitmap& b, int row, int c) {
    if (c / 8 >= b.bytesPerRow) return false;
    const uint8_t byte = b.bits[static_cast<size_t>(row) * static_cast<size_t>(b.bytesPerRow) +
                                static_cast<size_t>(c / 8)];
    return ((byte >> (7 - c % 8)) & 1) == 0;
}

} // namespace

int monoBytesPerRow(int width) {
    const int bytes = (std::max(width, 0) + 7) / 8;
    return (bytes + 1) / 2 * 2;
}

PlatformBitmap dotsToBitmap(const uint8_t* dots, int width, int height) {
    PlatformBitmap b;
    b.width = std::max(width, 0);
    b.height = std::max(height, 0);
    b.bytesPerRow = monoBytesPerRow(b.width);
    b.planes = 1;
    b.bitsPerPixel = 1;
    b.bits.assign(static_cast<size_t>(b.bytesPerRow) * static_cast<size_t>(b.height), 0);
    for (int y = 0; y < b.height; ++y) {
        uint8_t* row = b.bits.data() + static_cast<size_t>(y) * static_cast<size_t>(b.bytesPerRow);
        for (int x = 0; x < b.width; ++x) {
            // A clear dot is bit 1 (white); set dots and padding stay 0.
            if (dots[static_cast<size_t>(y * width + x)] == DOT_OFF) {
                row[x / 8] = static_cast<uint8_t>(row[x / 8] | (0x80 >> (x % 8)));
            }
        }
    }
    return b;
}

std::optional<std::vector<uint8_t>> bitmapToBlock(const PlatformBitmap& b) {
    if (!supportedDepth(b.bitsPerPixel) || b.width < 0 || b.height < 0) return std::nullopt;
    std::vector<uint8_t> dots(static_cast<size_t>(b.width) * static_cast<size_t>(b.height),
                              DOT_OFF);
    for (int y = 0; y < b.height && rowAvailable(b, y); ++y) {
        for (int x = 0; x < b.width; ++x) {
            bool set;
            if (b.bitsPerPixel == 1) {
                set = monoBitIsZero(b, y, x);
            } else {
                const uint8_t* p = pixelBytes(b, y, x);
                set =
                    p && std::any_of(p, p + b.bitsPerPixel / 8, [](uint8_t v) { return v != 255; });
            }
            if (set)
                dots[static_cast<size_t>(y) * static_cast<size_t>(b.width) +
                     static_cast<size_t>(x)] = DOT_ON;
        }
    }
    return dots;
}

std::optional<std::vector<uint8_t>> pasteBitmapDots(const PlatformBitmap& b, int maxWidth,
                                                    int maxHeight, int& width, int& height) {
    if (!supportedDepth(b.bitsPerPixel)) return std::nullopt;
    width = std::clamp(b.width, 0, std::max(maxWidth, 0));
    height = std::clamp(b.height, 0, std::max(maxHeight, 0));
    std::vector<uint8_t> dots(static_cast<size_t>(width) * static_cast<size_t>(height), DOT_OFF);
    for (int y = 0; y < height && rowAvailable(b, y); ++y) {
        for (int x = 0; x < width; ++x) {
            bool set;
            if (b.bitsPerPixel == 1) {
                set = monoBitIsZero(b, y, x);
            } else {
                const uint8_t* p = pixelBytes(b, y, x);
                set =
                    p && std::all_of(p, p + b.bitsPerPixel / 8, [](uint8_t v) { return v < 127; });
            }
            if (set)
                dots[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                    DOT_ON;
        }
    }
    return dots;
}

std::string pasteRecord(const PlatformBitmap& b) {
    // 24 is the size of the bitmap description the record has always named.
    std::string record = formatText("(ret=%d,w=%d, h=%d, plane=%d, BP=%d, WB=%d)", 24, b.width,
                                    b.height, b.planes, b.bitsPerPixel, b.bytesPerRow);
    const size_t size =
        std::min(b.bits.size(), static_cast<size_t>(std::max(b.planes, 0)) *
                                    static_cast<size_t>(std::max(b.bytesPerRow, 0)) *
                                    static_cast<size_t>(std::max(b.height, 0)));
    record.append(reinterpret_cast<const char*>(b.bits.data()), size);
    return record;
}

} // namespace dedur
