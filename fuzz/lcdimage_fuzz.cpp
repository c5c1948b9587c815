// Any placement, size and direction of a pattern builds a display image
// without touching memory outside it; an image with nothing off the panel
// spans at least one byte.
#include <cstdlib>
#include <vector>

#include "document/patternstore.h"
#include "fuzzinput.h"
#include "panel/lcdimage.h"
#include "panel/panelexport.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    PatternHeader header;
    header.width = static_cast<int16_t>(in.range(1, 96));
    header.height = static_cast<int16_t>(in.range(1, 96));
    header.beginSeg = in.int16();
    header.beginCom = in.int16();
    header.leftToRight = in.int16();
    header.topToBottom = in.int16();
    PanelDefinition definition;
    definition.leftToRight = in.int16();
    definition.topToBottom = in.int16();
    std::vector<uint8_t> dots(static_cast<size_t>(header.width) * header.height, DOT_OFF);
    for (uint8_t& d : dots) d = (in.byte() & 1) ? DOT_ON : DOT_OFF;

    const LcdImage image = buildLcdImage(dots.data(), header, definition);
    if (!image.offPanel && image.highOffset < 0) std::abort();
    if (image.highOffset >= LcdImageSize) std::abort();
    if (image.highOffset >= 0) {
        if (image.lowOffset < 0 || image.lowOffset > image.highOffset) std::abort();
        std::string text;
        appendPanelText(text, image, 1);
        std::string binary;
        appendPanelBinary(binary, image);
        if (binary.size() != static_cast<size_t>(image.highOffset - image.lowOffset + 1)) {
            std::abort();
        }
    }
    return 0;
}
