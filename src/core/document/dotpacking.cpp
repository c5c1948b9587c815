#include "document/dotpacking.h"

#include <array>
#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace dedur {

namespace {

constexpr uint64_t Bytes(uint8_t b) {
    return 0x0101010101010101ULL * b;
}

// Eight characters, as read from memory (the first in the low byte), to the
// byte of their dots: a '1' is found exactly by a zero byte of v ^ "11111111",
// and the multiplication gathers byte k's bit into bit k of the top byte
// (every product bit lands on a place of its own, so nothing carries).
inline uint8_t packEight(uint64_t v) {
    const uint64_t t = v ^ Bytes('1');
    const uint64_t nonZero = (((t & Bytes(0x7F)) + Bytes(0x7F)) | t) & Bytes(0x80);
    const uint64_t ones = (~nonZero & Bytes(0x80)) >> 7;
    return static_cast<uint8_t>((ones * 0x0102040810204080ULL) >> 56);
}

// Eight bytes with the first in the low byte, whatever the machine's order.
constexpr uint64_t firstLow(uint64_t v) {
    return std::endian::native == std::endian::little ? v : __builtin_bswap64(v);
}

inline uint64_t load8(const void* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return firstLow(v);
}

// The eight characters of each byte value, first dot in the low byte.
constexpr std::array<uint64_t, 256> makeUnpackTable() {
    std::array<uint64_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        uint64_t chars = 0;
        for (unsigned k = 0; k < 8; ++k) {
            const uint64_t c = ((b >> k) & 1u) ? '1' : '0';
            chars |= c << (8 * k);
        }
        table[b] = firstLow(chars);
    }
    return table;
}

constexpr std::array<uint64_t, 256> UnpackTable = makeUnpackTable();

} // namespace

void packTextRow(const char* text, size_t length, int width, uint8_t* packed) {
    const size_t bytes = packedRowBytes(width);
    const size_t w = width > 0 ? static_cast<size_t>(width) : 0;
    const size_t n = length < w ? length : w;
    size_t x = 0;
    size_t b = 0;
#ifdef __SSE2__
    // Sixteen at a time: the byte mask of a comparison is two bytes of dots.
    const __m128i one = _mm_set1_epi8('1');
    for (; x + 16 <= n; x += 16, b += 2) {
        const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + x));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chars, one)));
        packed[b] = static_cast<uint8_t>(mask & 0xFF);
        packed[b + 1] = static_cast<uint8_t>(mask >> 8);
    }
#endif
    for (; x + 8 <= n; x += 8) packed[b++] = packEight(load8(text + x));
    if (b == bytes) return;
    uint8_t last = 0;
    for (size_t k = 0; x + k < n; ++k) {
        if (text[x + k] == '1') last = static_cast<uint8_t>(last | (1u << k));
    }
    packed[b++] = last;
    std::memset(packed + b, 0, bytes - b);
}

void packDots(const uint8_t* dots, int width, int height, uint8_t* packed) {
    const size_t w = width > 0 ? static_cast<size_t>(width) : 0;
    for (int y = 0; y < height; ++y) {
        packTextRow(reinterpret_cast<const char*>(dots) + static_cast<size_t>(y) * w, w, width,
                    packed + static_cast<size_t>(y) * packedRowBytes(width));
    }
}

void unpackRow(const uint8_t* packedRow, int width, char* text) {
    if (width <= 0) return;
    const auto w = static_cast<size_t>(width);
    size_t x = 0;
    for (; x + 8 <= w; x += 8) std::memcpy(text + x, &UnpackTable[*packedRow++], 8);
    if (x < w) std::memcpy(text + x, &UnpackTable[*packedRow], w - x);
}

void unpackDots(const uint8_t* packed, int width, int height, uint8_t* dots) {
    const size_t w = width > 0 ? static_cast<size_t>(width) : 0;
    for (int y = 0; y < height; ++y) {
        unpackRow(packed + static_cast<size_t>(y) * packedRowBytes(width), width,
                  reinterpret_cast<char*>(dots) + static_cast<size_t>(y) * w);
    }
}

} // namespace dedur
