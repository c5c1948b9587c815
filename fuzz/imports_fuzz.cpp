// Whatever a user hands the importers, display memory as text or bytes, or
// an image file, is read or refused with a message, never past its end; the
// dots read from memory are all '0' or '1'.
#include <cstdlib>
#include <string>

#include "document/patternstore.h"
#include "fuzzinput.h"
#include "image/imagedots.h"
#include "panel/memoryimport.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const int kind = in.range(0, 2);
    PatternHeader header{static_cast<int16_t>(in.range(1, 96)),
                         static_cast<int16_t>(in.range(1, 96)),
                         in.int16(),
                         in.int16(),
                         0,
                         2};
    PanelDefinition definition;
    definition.leftToRight = static_cast<int16_t>(in.range(0, 3));
    definition.topToBottom = static_cast<int16_t>(in.range(0, 3));
    const int offset = in.range(-10, 800);
    const int panel = in.range(0, 3);
    const std::string rest = in.rest();
    if (kind == 2) {
        RgbaImage image;
        if (decodeImage(rest, "fuzz", image, 1 << 20).ok()) {
            const DotGrid dots = dotsFromImage(image, std::nullopt, false);
            if (dots.dots.size() != static_cast<size_t>(image.width) * image.height) std::abort();
        }
        return 0;
    }
    std::vector<uint8_t> dots(static_cast<size_t>(header.width * header.height), 'x');
    const bool text = kind == 0;
    if (importPanelData(rest, text, header, definition,
                        offset < 0 ? std::nullopt : std::optional<int>(offset), panel, dots.data())
            .ok()) {
        for (uint8_t d : dots) {
            if (d != DOT_ON && d != DOT_OFF) std::abort();
        }
    }
    return 0;
}
