#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dedur {

// A bitmap as the clipboard hands it over: rows from the top, bytesPerRow
// bytes each.
struct PlatformBitmap {
    int width = 0;
    int height = 0;
    int bytesPerRow = 0;
    int planes = 1;
    int bitsPerPixel = 1;
    std::vector<uint8_t> bits;
};

// Monochrome rows are whole 16-bit words.
int monoBytesPerRow(int width);
// Dots ('1' set) -> 1-bit bitmap with set dots as bit 0 (black on white).
PlatformBitmap dotsToBitmap(const uint8_t* dots, int width, int height);
// Scaled bitmap -> dots: every pixel that is not pure white is set. Nothing
// for an unsupported depth.
std::optional<std::vector<uint8_t>> bitmapToBlock(const PlatformBitmap& bitmap);
// Pasted bitmap -> dots, cut to maxWidth x maxHeight: dark pixels (every byte
// below 127; bit 0 in a 1-bit bitmap) are set. Width and height of the result
// come back through the two out parameters. Nothing for an unsupported depth.
std::optional<std::vector<uint8_t>> pasteBitmapDots(const PlatformBitmap& bitmap, int maxWidth,
                                                    int maxHeight, int& width, int& height);
// The bytes of "bitmap.dat": the description text, then the bits.
std::string pasteRecord(const PlatformBitmap& bitmap);

} // namespace dedur
