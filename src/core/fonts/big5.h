#pragma once

#include <cstdint>

namespace dedur {

inline constexpr int Big5GlyphCount = 13094;

int isBig5Lead(int byte);  // 0xA4..0xC6 or 0xC9..0xF9
int isBig5Trail(int byte); // 0x40..0x7E or 0xA1..0xFE
// Record of a two-byte code in the Big5 glyph files, or -1. C6A1..C6FE share
// the records of C940.. (they have none of their own).
int big5GlyphIndex(int lead, int trail);
// Inverse for glyph numbers 1..13094 (number n is record n - 1).
uint16_t glyphNumberToCode(int number);
// The two-byte code after `code`, trail bytes 40..7E then A1..FE.
uint16_t nextBig5(uint16_t code);

} // namespace dedur
