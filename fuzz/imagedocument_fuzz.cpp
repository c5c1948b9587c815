// Any bytes read as an image document are refused with a message or come
// out as frames the store can hold: each side 1..ImageSide, every record
// whole, no bit set past a row's end, the first frame the working copy.
#include <cstdlib>
#include <string>

#include "base/limits.h"
#include "document/dotpacking.h"
#include "imagedocument.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Document doc;
    std::map<int, int> delays;
    ImageFacts facts;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Outcome read = decodeImageDocument(bytes, "fuzz", doc, delays, facts);
    if (!read.ok()) {
        if (read.message.text.empty() || doc.kind != DocumentKind::Patterns) std::abort();
        return 0;
    }
    int records = 0;
    size_t dots = 0;
    forEachRecord(doc, [&](int, const PatternHeader& h, const uint8_t* packed) {
        if (h.width < 1 || h.height < 1 || h.width > limits::ImageSide ||
            h.height > limits::ImageSide) {
            std::abort();
        }
        const size_t stride = packedRowBytes(h.width);
        for (int y = 0; h.width % 8 && y < h.height; ++y) {
            if (packed[stride * size_t(y + 1) - 1] >> (h.width % 8)) std::abort();
        }
        dots += size_t(h.width) * size_t(h.height);
        ++records;
        return true;
    });
    if (records != doc.patternCount || records > limits::GifFrames ||
        dots > limits::ImageDocumentDots) {
        std::abort();
    }
    for (const auto& [frame, ms] : delays) {
        if (frame < 1 || frame > records || ms < 1 || ms > limits::FrameDelayMs) std::abort();
    }
    for (int i = 0; i < doc.patternDotCount; ++i) {
        if (doc.workDots[size_t(i)] != DOT_ON && doc.workDots[size_t(i)] != DOT_OFF) std::abort();
    }
    return 0;
}
