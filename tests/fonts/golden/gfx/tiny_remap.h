// The glyphs of the strings' characters, made by dedur
// An Adafruit GFX font: include it after Adafruit_GFX.h and call
// setFont(&tiny); the cursor's y is the baseline.

#include <stddef.h>
#include <stdint.h>

const uint8_t tinyBitmaps[] PROGMEM = {
  0x22, 0xA3, 0x1F, 0xC6, 0x20, 0x82, 0x08, 0x20, 0x80, 0x7C, 0x62, 0xF0,
  0x85, 0xC0, 0x66, 0x60, 0x08, 0x04, 0x3F, 0xF1, 0x18, 0x8F, 0xFC, 0x20,
  0x10, 0x08, 0x00 };

const GFXglyph tinyGlyphs[] PROGMEM = {
  {     0,   0,   0,   8,    0,    0 },   // 0x20 ' '
  {     0,   5,   7,   8,    1,   -8 },   // 0x21 U+0041 'A'
  {     5,   5,   5,   8,    1,   -8 },   // 0x22 U+005C '\'
  {     9,   5,   7,   8,    1,   -5 },   // 0x23 U+0067 'g'
  {    14,   6,   2,   8,    1,   -8 },   // 0x24 U+007E '~'
  {    16,   9,   9,  16,    3,   -8 } }; // 0x25 U+4E2D

const GFXfont tiny PROGMEM = {
  (uint8_t  *)tinyBitmaps,
  (GFXglyph *)tinyGlyphs,
  0x20, 0x25, 16 };

// Approx. 76 bytes

// The characters stand on codes from 0x20 on, in code-point order: code
// 0x20 + i draws the character tiny_code_points[i].
// tiny_codes() turns UTF-8 text into those codes: at most size - 1
// of them and a 0 after, so that the buffer prints as a string. Characters
// the font lacks and bytes that are not UTF-8 are left out. It returns how
// many codes it wrote.
static const uint32_t tiny_code_points[6] = {
  0x000020, 0x000041, 0x00005C, 0x000067, 0x00007E, 0x004E2D
};

static inline size_t tiny_codes(const char *utf8, uint8_t *out, size_t size) {
  const unsigned char *s = (const unsigned char *)utf8;
  size_t count = 0;
  while (*s && count + 1 < size) {
    uint32_t c = *s++;
    int more = 0;
    uint32_t least = 0;
    if (c >= 0xF8 || (c >= 0x80 && c < 0xC0)) continue;
    if (c >= 0xF0) { more = 3; least = 0x10000; c &= 0x07; }
    else if (c >= 0xE0) { more = 2; least = 0x800; c &= 0x0F; }
    else if (c >= 0xC0) { more = 1; least = 0x80; c &= 0x1F; }
    for (; more > 0 && (*s & 0xC0) == 0x80; --more) c = c << 6 | (*s++ & 0x3F);
    if (more > 0 || c < least || c > 0x10FFFF) continue;
    {
      size_t lo = 0, hi = 6;
      while (lo < hi) {
        size_t mid = lo + (hi - lo) / 2;
        if (tiny_code_points[mid] < c) lo = mid + 1; else hi = mid;
      }
      if (lo < 6 && tiny_code_points[lo] == c) out[count++] = (uint8_t)(0x20 + lo);
    }
  }
  if (size > 0) out[count] = 0;
  return count;
}
