// Whatever bitmap the clipboard hands over, paste and rescale read only its
// bits and give exactly the size they report.
#include <cstdlib>

#include "fuzzinput.h"
#include "textclip/platformbitmap.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    PlatformBitmap bitmap;
    bitmap.width = in.int16();
    bitmap.height = in.int16();
    bitmap.bytesPerRow = in.int16();
    bitmap.planes = in.range(0, 2);
    static const int depths[] = {1, 4, 8, 16, 24, 32, 0, -1};
    bitmap.bitsPerPixel = depths[in.range(0, 7)];
    const std::string bits = in.rest();
    bitmap.bits.assign(bits.begin(), bits.end());

    int width = -1;
    int height = -1;
    const int maxWidth = 1 + (bitmap.planes * 37) % 96;
    const int maxHeight = 1 + (bitmap.bitsPerPixel & 0xFF) % 96;
    if (const auto dots = pasteBitmapDots(bitmap, maxWidth, maxHeight, width, height)) {
        if (width < 0 || height < 0 || width > maxWidth || height > maxHeight) std::abort();
        if (dots->size() != static_cast<size_t>(width) * height) std::abort();
    }
    // The rescale hands over bitmaps of at most a pattern's size; larger
    // ones would only make the run slow.
    const bool small = bitmap.width <= 256 && bitmap.height <= 256;
    if (const auto block = small ? bitmapToBlock(bitmap) : std::nullopt) {
        if (bitmap.width > 0 && bitmap.height > 0 &&
            block->size() != static_cast<size_t>(bitmap.width) * bitmap.height) {
            std::abort();
        }
    }
    (void)pasteRecord(bitmap);
    return 0;
}
