#include "fonts/big5.h"

namespace dedur {

int isBig5Lead(int b) {
    return (b >= 0xA4 && b <= 0xC6) || (b >= 0xC9 && b <= 0xF9) ? 1 : 0;
}

int isBig5Trail(int b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE) ? 1 : 0;
}

int big5GlyphIndex(int lead, int trail) {
    if (!isBig5Lead(lead) || !isBig5Trail(trail)) return -1;
    const int t = trail <= 0x7E ? trail - 0x40 : trail - 0x62;
    if (lead <= 0xC6) return (lead - 0xA4) * 157 + t;
    return 5401 + (lead - 0xC9) * 157 + t;
}

uint16_t glyphNumberToCode(int number) {
    int i = number - 1;
    int lead;
    if (i < 5401) {
        lead = 0xA4 + i / 157;
    } else {
        i -= 5401;
        lead = 0xC9 + i / 157;
    }
    const int r = i % 157;
    const int trail = r < 63 ? 0x40 + r : 0x62 + r;
    return static_cast<uint16_t>(lead * 256 + trail);
}

uint16_t nextBig5(uint16_t code) {
    int lead = code >> 8;
    int trail = (code & 0xFF) + 1;
    if (trail == 0x7F) trail = 0xA1;
    if (trail == 0xFF) {
        trail = 0x40;
        ++lead;
    }
    return static_cast<uint16_t>(lead << 8 | trail);
}

} // namespace dedur
