#include "panel/lcdimage.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "document/dotpacking.h"
#include "document/patternstore.h"
#include "grid/selection.h"
#include "panel/paneldefinitioncheck.h"

namespace dedur {

namespace {

int offsetOf(int seg, int com) {
    return memoryBitOf({seg, com}).offset;
}

// How (seg, com) moves along a row and from one row to the next, and where
// the last dot lands. The mapping is linear, so the first and last dots
// bound every other.
struct Walk {
    int width, height;
    int stepSeg, stepCom, rowSeg, rowCom;
    int lastSeg, lastCom;

    Walk(const PatternHeader& h, const PanelDefinition& definition)
        : width(std::max<int>(h.width, 0)), height(std::max<int>(h.height, 0)) {
        const DotSteps s = dotSteps(definition.leftToRight, definition.topToBottom);
        stepSeg = s.stepSeg;
        stepCom = s.stepCom;
        rowSeg = s.rowSeg;
        rowCom = s.rowCom;
        const SegCom last = segComOfDot(h.beginSeg, h.beginCom, s, width - 1, height - 1);
        lastSeg = last.seg;
        lastCom = last.com;
    }

    bool wholeOnPanel(const PatternHeader& h) const {
        return onPanel({h.beginSeg, h.beginCom}) && onPanel({lastSeg, lastCom});
    }
};

// The used range of a pattern wholly on the panel is its corners' (the
// offset grows with SEG and with COM).
void setRangeFromCorners(LcdImage& image, const PatternHeader& h, const Walk& walk) {
    image.lowOffset =
        offsetOf(std::min<int>(h.beginSeg, walk.lastSeg), std::min<int>(h.beginCom, walk.lastCom));
    image.highOffset =
        offsetOf(std::max<int>(h.beginSeg, walk.lastSeg), std::max<int>(h.beginCom, walk.lastCom));
}

// Bit i of byte j becomes bit j of byte i: eight rows of eight dots turned
// into eight columns.
uint64_t transposeEight(uint64_t x) {
    uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
    x ^= t ^ (t << 7);
    t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
    x ^= t ^ (t << 14);
    t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
    return x ^ t ^ (t << 28);
}

uint64_t reverseBits(uint64_t x) {
    x = ((x >> 1) & 0x5555555555555555ull) | ((x & 0x5555555555555555ull) << 1);
    x = ((x >> 2) & 0x3333333333333333ull) | ((x & 0x3333333333333333ull) << 2);
    x = ((x >> 4) & 0x0F0F0F0F0F0F0F0Full) | ((x & 0x0F0F0F0F0F0F0F0Full) << 4);
    return __builtin_bswap64(x);
}

uint64_t shifted(uint64_t bits, int by) {
    return by >= 0 ? bits << by : bits >> -by;
}

// Up to eight bytes of a packed row, byte b as bits 8b..8b+7.
uint64_t loadBytes(const uint8_t* bytes, size_t count) {
    uint64_t bits = 0;
    for (size_t b = 0; b < count; ++b) bits |= uint64_t{bytes[b]} << (8 * b);
    return bits;
}

// A SEG line's eight bytes of display memory read as one number: bit c-1 is
// COM c. Rows along COM go in a row at a time; rows along SEG eight rows by
// eight dots at a time, turned into columns.
using SegWords = std::array<uint64_t, PanelSegLines>;

void placeRowsAlongCom(SegWords& words, const uint8_t* packed, const PatternHeader& h,
                       const Walk& walk) {
    const size_t rowBytes = packedRowBytes(walk.width); // at most 6: 48 COM lines
    for (int y = 0; y < walk.height; ++y) {
        const uint64_t bits = loadBytes(packed + static_cast<size_t>(y) * rowBytes, rowBytes);
        if (bits == 0) continue;
        words[static_cast<size_t>(h.beginSeg + y * walk.rowSeg - 1)] |=
            walk.stepCom > 0 ? bits << (h.beginCom - 1) : reverseBits(bits) >> (64 - h.beginCom);
    }
}

void placeRowsAlongSeg(SegWords& words, const uint8_t* packed, const PatternHeader& h,
                       const Walk& walk) {
    const size_t rowBytes = packedRowBytes(walk.width);
    for (int g = 0; g < walk.height; g += 8) {
        const int rows = std::min(8, walk.height - g);
        // Row g + i lands on bit beginCom - 1 + g + i, or (COM decreasing)
        // on bit beginCom - 1 - g - i, which the reversed column puts there.
        const int shift = walk.rowCom > 0 ? h.beginCom - 1 + g : h.beginCom - 8 - g;
        for (size_t b = 0; b < rowBytes; ++b) {
            uint64_t block = 0;
            for (int i = 0; i < rows; ++i) {
                block |= uint64_t{packed[static_cast<size_t>(g + i) * rowBytes + b]} << (8 * i);
            }
            if (block == 0) continue;
            const uint64_t columns = transposeEight(block);
            for (int k = 0; k < 8; ++k) {
                const int x = static_cast<int>(8 * b) + k;
                if (x >= walk.width) break;
                const uint64_t column = (columns >> (8 * k)) & 0xFF;
                if (column == 0) continue;
                const uint64_t bits = walk.rowCom > 0 ? column : reverseBits(column) >> 56;
                words[static_cast<size_t>(h.beginSeg + x * walk.stepSeg - 1)] |=
                    shifted(bits, shift);
            }
        }
    }
}

} // namespace

std::optional<SegCom> firstDotOffPanel(const PatternHeader& h, const PanelDefinition& definition) {
    const Walk walk(h, definition);
    if (walk.width == 0 || walk.height == 0 || walk.wholeOnPanel(h)) return std::nullopt;
    for (int y = 0; y < walk.height; ++y) {
        for (int x = 0; x < walk.width; ++x) {
            const int seg = h.beginSeg + x * walk.stepSeg + y * walk.rowSeg;
            const int com = h.beginCom + x * walk.stepCom + y * walk.rowCom;
            if (!onPanel({seg, com})) return SegCom{seg, com};
        }
    }
    return std::nullopt;
}

LcdImage buildLcdImage(const uint8_t* dots, const PatternHeader& h,
                       const PanelDefinition& definition) {
    LcdImage image;
    const Walk walk(h, definition);
    const int width = walk.width;
    const int height = walk.height;
    if (width == 0 || height == 0) return image;
    if (walk.wholeOnPanel(h)) {
        // No dot needs a check of its own.
        setRangeFromCorners(image, h, walk);
        int startSeg = h.beginSeg;
        int startCom = h.beginCom;
        for (int y = 0; y < height; ++y, startSeg += walk.rowSeg, startCom += walk.rowCom) {
            const uint8_t* row = dots + static_cast<size_t>(y) * static_cast<size_t>(width);
            uint8_t* first = image.bytes.data() + offsetOf(startSeg, startCom);
            // Without a branch per dot: a clear dot ORs a zero bit.
            if (walk.stepCom == 0) {
                // A row along the SEG lines: one COM bit, a byte per SEG.
                const int shift = memoryBitOf({startSeg, startCom}).bit;
                const ptrdiff_t step = 8 * walk.stepSeg;
                for (int x = 0; x < width; ++x) {
                    first[x * step] |= static_cast<uint8_t>(unsigned{row[x] == DOT_ON} << shift);
                }
            } else {
                int com = startCom;
                for (int x = 0; x < width; ++x, com += walk.stepCom) {
                    const unsigned bit = static_cast<unsigned>(row[x] == DOT_ON);
                    const MemoryBit at = memoryBitOf({startSeg, com});
                    image.bytes[static_cast<size_t>(at.offset)] |=
                        static_cast<uint8_t>(bit << at.bit);
                }
            }
        }
        return image;
    }
    int startSeg = h.beginSeg;
    int startCom = h.beginCom;
    for (int y = 0; y < height; ++y) {
        int seg = startSeg;
        int com = startCom;
        const uint8_t* row = dots + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x, seg += walk.stepSeg, com += walk.stepCom) {
            if (!onPanel({seg, com})) {
                if (!image.offPanel) {
                    image.offPanel = true;
                    image.offSeg = seg;
                    image.offCom = com;
                }
                continue;
            }
            const MemoryBit at = memoryBitOf({seg, com});
            const int offset = at.offset;
            if (row[x] == DOT_ON)
                image.bytes[static_cast<size_t>(offset)] |= static_cast<uint8_t>(1u << at.bit);
            image.lowOffset = std::min(image.lowOffset, offset);
            image.highOffset = std::max(image.highOffset, offset);
        }
        startSeg += walk.rowSeg;
        startCom += walk.rowCom;
    }
    return image;
}

LcdImage buildLcdImageFromPacked(const uint8_t* packed, const PatternHeader& h,
                                 const PanelDefinition& definition) {
    const Walk walk(h, definition);
    if (walk.width > MaxPatternSide || walk.height > MaxPatternSide) return {}; // never stored
    if (walk.width == 0 || walk.height == 0 || !walk.wholeOnPanel(h)) {
        std::array<uint8_t, WorkDotsSize> dots;
        unpackDots(packed, walk.width, walk.height, dots.data());
        return buildLcdImage(dots.data(), h, definition);
    }
    SegWords words{};
    if (walk.stepSeg == 0) {
        placeRowsAlongCom(words, packed, h, walk);
    } else {
        placeRowsAlongSeg(words, packed, h, walk);
    }
    LcdImage image;
    setRangeFromCorners(image, h, walk);
    const int firstSeg = std::min<int>(h.beginSeg, walk.lastSeg);
    const int lastSeg = std::max<int>(h.beginSeg, walk.lastSeg);
    for (int seg = firstSeg; seg <= lastSeg; ++seg) {
        const uint64_t word = words[static_cast<size_t>(seg - 1)];
        for (int k = 0; k < 8; ++k) {
            image.bytes[static_cast<size_t>(8 * (seg - 1) + k)] =
                static_cast<uint8_t>(word >> (8 * k));
        }
    }
    return image;
}

std::optional<SelectionBlock> fetchSelectionBlock(const Document& doc, const Selection& sel,
                                                  PatternHeader& header) {
    if (sel.selectionState == SelectionState::None) return std::nullopt;
    const int left = std::max(sel.blockRect.left, 0);
    const int top = std::max(sel.blockRect.top, 0);
    const int right = std::min<int>(sel.blockRect.right, doc.patternWidth - 1);
    const int bottom = std::min<int>(sel.blockRect.bottom, doc.patternHeight - 1);
    if (right < left || bottom < top) return std::nullopt;
    SelectionBlock block;
    const int width = right - left + 1;
    const int height = bottom - top + 1;
    block.dots.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) block.dots.push_back(blockDot(sel, x, y));
    }
    PatternHeader current = header;
    getHeader(doc, -1, current);
    const SegCom at = mapDotToSegCom(current, left + 1, top + 1);
    header.width = static_cast<int16_t>(width);
    header.height = static_cast<int16_t>(height);
    header.beginSeg = static_cast<int16_t>(at.seg);
    header.beginCom = static_cast<int16_t>(at.com);
    block.message = {formatText("seg=%d,com=%d, left=%d, top=%d, right=%d, bottom=%d", at.seg,
                                at.com, left, top, right, bottom),
                     " ", MessageButtons::Ok, MessageIcon::Question};
    return block;
}

} // namespace dedur
