// Any GIF is drawn frame by frame or refused without harm, its sizes and
// count judged from the headers before a pixel is decoded; what is drawn
// fits its screen, and frames rendered from patterns come back as written.
#include <cstdlib>
#include <string>

#include "base/limits.h"
#include "fuzzinput.h"
#include "image/gifanimation.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    int declared = 0;
    const bool checked =
        checkGifHeaders(bytes, "fuzz.gif", limits::GifSide, limits::GifFrames, declared).ok();
    std::vector<GifFrame> frames;
    const bool decoded =
        decodeGifFrames(bytes, "fuzz.gif", limits::GifSide, limits::GifFrames, frames).ok();
    // What the headers refuse is never drawn.
    if (decoded && (!checked || int(frames.size()) != declared)) std::abort();
    if (decoded) {
        if (frames.empty()) std::abort();
        for (const GifFrame& f : frames) {
            if (f.image.width > limits::GifSide || f.image.height > limits::GifSide ||
                f.image.rgba.size() != size_t(f.image.width) * size_t(f.image.height) * 4) {
                std::abort();
            }
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
        if (!decodeGifFrames(again, "again.gif", limits::GifSide, limits::GifFrames, back).ok()) {
            std::abort();
        }
        // A frame the same as the one before is shown as one with it.
        std::vector<const IndexedImage*> shown;
        for (const IndexedImage& image : indexed) {
            if (shown.empty() || shown.back()->pixels != image.pixels) shown.push_back(&image);
        }
        if (back.size() != shown.size()) std::abort();
        for (size_t i = 0; i < back.size(); ++i) {
            const std::vector<uint8_t>& want = shown[i]->pixels;
            for (size_t p = 0; p < want.size(); ++p) {
                if ((back[i].image.rgba[4 * p] == 0) != (want[p] == 1)) std::abort();
            }
        }
    }
    return 0;
}
