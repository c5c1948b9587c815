#pragma once

#include "document/patternstore.h"

namespace dedur {

// The panel and its display memory: where a pattern's dot lands on the SEG
// and COM lines, at which address and bit, and back. The export, its packed
// fast path, the memory import, the status bar and the panel view all go by
// these few functions.

inline constexpr int PanelSegLines = 96;
inline constexpr int PanelComLines = 48;
inline constexpr int LcdBaseAddress = 0x2000;
// 96 SEG lines of eight bytes, and one byte more, as the memory always had.
inline constexpr int LcdImageSize = 769;

struct SegCom {
    int seg = 0;
    int com = 0;
    bool operator==(const SegCom&) const = default;
};

inline bool onPanel(const SegCom& at) {
    return at.seg >= 1 && at.seg <= PanelSegLines && at.com >= 1 && at.com <= PanelComLines;
}

// How SEG and COM change from a dot to the next one in its row, and from a
// row's first dot to the next row's, for a pair of direction codes (0
// Increase Seg, 1 Decrease Seg, 2 Increase Com, 3 Decrease Com). Rows run
// along the SEG lines for 0 and 1, along the COM lines otherwise; the rows
// then step along the other lines, up when the second code says so (2 for
// rows along SEG, 0 for rows along COM), down for any other code.
struct DotSteps {
    int stepSeg = 0;
    int stepCom = 0;
    int rowSeg = 0;
    int rowCom = 0;
};

inline DotSteps dotSteps(int leftToRight, int topToBottom) {
    if (leftToRight == 0 || leftToRight == 1) {
        return {leftToRight == 0 ? 1 : -1, 0, 0, topToBottom == 2 ? 1 : -1};
    }
    return {0, leftToRight == 2 ? 1 : -1, topToBottom == 0 ? 1 : -1, 0};
}

// SEG and COM of the 0-based dot (x, y) of a pattern whose left-top dot
// sits at (beginSeg, beginCom).
inline SegCom segComOfDot(int beginSeg, int beginCom, const DotSteps& s, int x, int y) {
    return {beginSeg + x * s.stepSeg + y * s.rowSeg, beginCom + x * s.stepCom + y * s.rowCom};
}

// The same for the 1-based dot (x, y) under the header's own placement and
// directions.
inline SegCom mapDotToSegCom(const PatternHeader& h, int x, int y) {
    return segComOfDot(h.beginSeg, h.beginCom, dotSteps(h.leftToRight, h.topToBottom), x - 1,
                       y - 1);
}

// SEG s owns the eight bytes from 8(s - 1); COM c is bit (c - 1) mod 8 of
// byte (c - 1) div 8 of its SEG. Only for a place on the panel.
struct MemoryBit {
    int offset = 0; // from LcdBaseAddress
    int bit = 0;    // 0 is the least significant
    bool operator==(const MemoryBit&) const = default;
};

inline MemoryBit memoryBitOf(const SegCom& at) {
    return {8 * (at.seg - 1) + (at.com - 1) / 8, (at.com - 1) % 8};
}

// Back from display memory to the panel (offsets 8s+6 and 8s+7 carry no COM
// line: they give COM 49 to 64).
inline SegCom segComOf(const MemoryBit& at) {
    return {at.offset / 8 + 1, (at.offset % 8) * 8 + at.bit + 1};
}

} // namespace dedur
