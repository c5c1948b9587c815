// Any GIF is drawn frame by frame or refused without harm; what is drawn
// fits its screen, and frames rendered from patterns come back as written.
#include <cstdlib>
#include <string>

#include "fuzzinput.h"
#include "image/gifanimation.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<GifFrame> frames;
    if (decodeGifFrames(bytes, "fuzz.gif", 96, MaxGifFrames, frames).ok()) {
        if (frames.empty()) std::abort();
        for (const GifFrame& f : frames) {
            if (f.image.rgba.size() != size_t(f.image.width) * size_t(f.image.height) * 4)
                std::abort();
        }
        // The frames written again and read back: the same pixels' darkness.
        std::vector<IndexedImage> indexed;
        for (const GifFrame& f : frames) {
            IndexedImage image{f.image.width, f.image.height, {}, {0xFFFFFF, 0x000000}};
            for (size_t p = 0; p + 3 < f.image.rgba.size(); p += 4) {
                image.pixels.push_back(f.image.rgba[p + 3] && f.image.rgba[p] < 128 ? 1 : 0);
            }
            indexed.push_back(std::move(image));
        }
        const std::string again = encodeGif(indexed, {}, 0);
        std::vector<GifFrame> back;
        if (!decodeGifFrames(again, "again.gif", 96, MaxGifFrames, back).ok()) std::abort();
        if (back.size() != frames.size()) std::abort();
    }
    return 0;
}
