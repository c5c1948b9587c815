#pragma once

#include <cstddef>
#include <cstdint>

namespace dedur {

// The store keeps dots eight to a byte, each row starting on a byte of its
// own: dot x of a row is bit x % 8 of the row's byte x / 8, and the bits
// past the row's width are clear (so equal patterns are equal bytes).
// Everywhere else a dot is a byte, '1' set and '0' clear.
inline size_t packedRowBytes(int width) {
    return width > 0 ? (static_cast<size_t>(width) + 7) / 8 : 0;
}

// One row of text: '1' is a set dot, any other character a clear one, and
// the dots from `length` to `width` are clear.
void packTextRow(const char* text, size_t length, int width, uint8_t* packed);
// `height` rows of `width` '0'/'1' bytes each, back to back, and the other
// way round.
void packDots(const uint8_t* dots, int width, int height, uint8_t* packed);
void unpackDots(const uint8_t* packed, int width, int height, uint8_t* dots);
// One packed row as `width` characters '0'/'1'.
void unpackRow(const uint8_t* packedRow, int width, char* text);

} // namespace dedur
