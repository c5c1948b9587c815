// Any placement, size and direction of a pattern builds a display image
// without touching memory outside it, the same image as placing each dot by
// itself (from dots one to a byte or packed as the store keeps them), with the same first dot off
// the panel as the check before an export; an image with nothing off the panel spans at least one
// byte.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "document/dotpacking.h"
#include "document/patternstore.h"
#include "fuzzinput.h"
#include "panel/lcdimage.h"
#include "panel/paneldefinitioncheck.h"
#include "panel/panelexport.h"

using namespace dedur;

namespace {

// Every dot placed and checked on its own: what the image must equal.
LcdImage placeEachDot(const uint8_t* dots, const PatternHeader& h, const PanelDefinition& d) {
    LcdImage image;
    const bool rowAlongSeg = d.leftToRight == IncreaseSeg || d.leftToRight == DecreaseSeg;
    for (int y = 0; y < h.height; ++y) {
        for (int x = 0; x < h.width; ++x) {
            int seg = h.beginSeg;
            int com = h.beginCom;
            if (rowAlongSeg) {
                seg += d.leftToRight == IncreaseSeg ? x : -x;
                com += d.topToBottom == IncreaseCom ? y : -y;
            } else {
                com += d.leftToRight == IncreaseCom ? x : -x;
                seg += d.topToBottom == IncreaseSeg ? y : -y;
            }
            if (seg < 1 || seg > PanelSegLines || com < 1 || com > PanelComLines) {
                if (!image.offPanel) {
                    image.offPanel = true;
                    image.offSeg = seg;
                    image.offCom = com;
                }
                continue;
            }
            const int offset = 8 * (seg - 1) + (com - 1) / 8;
            if (dots[y * h.width + x] == DOT_ON) {
                image.bytes[static_cast<size_t>(offset)] |=
                    static_cast<uint8_t>(1u << ((com - 1) % 8));
            }
            image.lowOffset = std::min(image.lowOffset, offset);
            image.highOffset = std::max(image.highOffset, offset);
        }
    }
    return image;
}

} // namespace

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
    const LcdImage expected = placeEachDot(dots.data(), header, definition);
    if (image.bytes != expected.bytes || image.lowOffset != expected.lowOffset ||
        image.highOffset != expected.highOffset || image.offPanel != expected.offPanel ||
        image.offSeg != expected.offSeg || image.offCom != expected.offCom) {
        std::abort();
    }
    // From the store's packed rows: the same image.
    std::vector<uint8_t> packed(packedRowBytes(header.width) * static_cast<size_t>(header.height));
    packDots(dots.data(), header.width, header.height, packed.data());
    const LcdImage fromPacked = buildLcdImageFromPacked(packed.data(), header, definition);
    if (fromPacked.bytes != expected.bytes || fromPacked.lowOffset != expected.lowOffset ||
        fromPacked.highOffset != expected.highOffset || fromPacked.offPanel != expected.offPanel) {
        std::abort();
    }
    // The export's check before it writes finds the same first dot.
    const auto off = firstDotOffPanel(header, definition);
    if (off.has_value() != expected.offPanel ||
        (off && (off->seg != expected.offSeg || off->com != expected.offCom))) {
        std::abort();
    }
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
