// u8g2's run-length fonts, byte for byte as its BDF converter makes them
// (font format 1, proportional boxes), and read back the way the library
// looks glyphs up and draws them.
#include "fontcode/u8g2font.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "base/limits.h"
#include "code/codeformats.h"
#include "code/commenttext.h"
#include "code/glyphsubset.h"

namespace dedur {

namespace {

constexpr size_t HeaderBytes = 23;
// A lookup-table entry per this many glyphs above 255 (the converter's own
// count, kept so that the bytes stay the same).
constexpr int GlyphsPerLookupEntry = 101;
// The run-length bit widths the converter tries.
constexpr int ZeroBitsFirst = 2, ZeroBitsLast = 8;
constexpr int OneBitsFirst = 2, OneBitsLast = 6;
constexpr int PairCount = (ZeroBitsLast - ZeroBitsFirst + 1) * (OneBitsLast - OneBitsFirst + 1);

Outcome refusal(const std::string& text) {
    return Outcome::refused({text, " ", MessageButtons::Ok, MessageIcon::Question});
}

std::string glyphName(long code) {
    return formatText("U+%04lX %s", code, printable(utf8(static_cast<char32_t>(code))).c_str());
}

int unsignedBits(long v) {
    int bits = 0;
    for (; v != 0; v /= 2) ++bits;
    return bits;
}

int signedBits(long v) {
    return v < 0 ? unsignedBits(-v - 1) + 1 : unsignedBits(v) + 1;
}

// A glyph's box cut to its dots the way the converter cuts it: a glyph
// without dots keeps its left edge and stands at the top of its box.
struct Box {
    int width = 0, height = 0, x = 0, y = 0;
    int left = 0, top = 0; // where the cut box starts in the glyph's dots
};

bool dotAt(const BdfGlyph& g, int x, int y) {
    const size_t at =
        static_cast<size_t>(y) * static_cast<size_t>(g.width) + static_cast<size_t>(x);
    return at < g.dots.size() && g.dots[at] == '1';
}

Box cutBox(const BdfGlyph& g) {
    int left = g.width, right = -1, top = g.height, bottom = -1;
    const bool whole = g.width > 0 && g.dots.size() >= static_cast<size_t>(g.width) *
                                                           static_cast<size_t>(g.height);
    for (int y = 0; y < g.height; ++y) {
        int first = -1, last = -1;
        if (whole) {
            // A row at a time: most rows of a glyph are blank or short.
            const auto* row = g.dots.data() + static_cast<size_t>(y) * static_cast<size_t>(g.width);
            const auto* dot =
                static_cast<const uint8_t*>(std::memchr(row, '1', static_cast<size_t>(g.width)));
            if (!dot) continue;
            first = static_cast<int>(dot - row);
            last = g.width - 1;
            while (row[last] != '1') --last;
        } else {
            for (int x = 0; x < g.width; ++x) {
                if (!dotAt(g, x, y)) continue;
                if (first < 0) first = x;
                last = x;
            }
            if (first < 0) continue;
        }
        left = std::min(left, first);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
    if (right < 0) return {0, 0, g.xOffset, g.yOffset + g.height, 0, 0};
    return {right - left + 1,
            bottom - top + 1,
            g.xOffset + left,
            g.yOffset + g.height - 1 - bottom,
            left,
            top};
}

// Eight dots ('1'/'0' bytes) as eight bits, the first dot lowest.
uint32_t dotBits(const uint8_t* dots) {
    uint64_t v;
    std::memcpy(&v, dots, 8);
    v ^= 0x3131313131313131u; // a '1' becomes a 0 byte
    constexpr uint64_t low7 = 0x7F7F7F7F7F7F7F7Fu;
    const uint64_t nonzero = ((v & low7) + low7) | v;
    const uint64_t ones = ~nonzero & 0x8080808080808080u; // the top bit of each '1'
    if constexpr (std::endian::native == std::endian::little) {
        return static_cast<uint32_t>((ones >> 7) * 0x0102040810204080u >> 56);
    } else {
        uint32_t bits = 0;
        for (int k = 0; k < 8; ++k) bits |= static_cast<uint32_t>(dots[k] == '1') << k;
        return bits;
    }
}

// The box's dots as alternating runs, 0-dots first, an even count, into
// `out` (room for a run per dot and two more); how many. The dots go eight
// at a time as bits, and only where they change is a run ended.
size_t collectRuns(const BdfGlyph& g, const Box& b, uint16_t* out) {
    size_t n = 0;
    uint32_t last = 0;   // the dot before, as a bit
    size_t runStart = 0; // where the run under way began
    size_t at = 0;       // dots of the box gone through
    const bool whole = g.width > 0 && g.dots.size() >= static_cast<size_t>(g.width) *
                                                           static_cast<size_t>(g.height);
    const auto take = [&](uint32_t bits, int count) {
        uint32_t changes = (bits ^ (bits << 1 | last)) & ((1u << count) - 1);
        while (changes) {
            const size_t where = at + static_cast<size_t>(std::countr_zero(changes));
            out[n++] = static_cast<uint16_t>(where - runStart);
            runStart = where;
            changes &= changes - 1;
        }
        last = bits >> (count - 1) & 1;
        at += static_cast<size_t>(count);
    };
    for (int y = 0; y < b.height; ++y) {
        int x = 0;
        if (whole) {
            const uint8_t* row = g.dots.data() +
                                 static_cast<size_t>(b.top + y) * static_cast<size_t>(g.width) +
                                 static_cast<size_t>(b.left);
            for (; x + 8 <= b.width; x += 8) take(dotBits(row + x), 8);
        }
        for (; x < b.width; ++x) take(dotAt(g, b.left + x, b.top + y) ? 1u : 0u, 1);
    }
    out[n++] = static_cast<uint16_t>(at - runStart);
    if (n % 2 != 0) out[n++] = 0;
    return n;
}

// The (zeros, ones) pairs a stream holds for the runs, as groups of equal
// pairs in a row: a run longer than its field is split the converter's way.
template <class Emit>
void forEachPair(const uint16_t* runs, size_t count, int zeroBits, int oneBits, Emit&& emit) {
    const uint32_t max0 = (1u << zeroBits) - 1, max1 = (1u << oneBits) - 1;
    for (size_t i = 0; i < count; i += 2) {
        uint32_t a = runs[i], b = runs[i + 1];
        if (a > max0) {
            const uint32_t n = (a - 1) / max0;
            emit(max0, 0u, n);
            a -= n * max0;
        }
        if (b > max1) {
            const uint32_t n = (b - 1) / max1;
            emit(a, max1, 1u);
            if (n > 1) emit(0u, max1, n - 1);
            a = 0;
            b -= n * max1;
        }
        if (a != 0 || b != 0) emit(a, b, 1u);
    }
}

// One glyph's bytes under every pair of widths, added to `total`, counted
// rather than encoded. A stream of E pairs of which R repeat the one before
// takes E (m0 + m1 + 1) - R (m0 + m1) bits with its closing bit. How a run
// is split depends on its own field's width alone, so E and most repeats
// are sums over the zeros' widths plus sums over the ones'; only a pair
// repeating the last pair of the run pair before needs both widths.
void addGlyphBytes(const uint16_t* runs, size_t count, uint64_t fixedBits,
                   std::array<uint64_t, PairCount>& total) {
    constexpr int Zeros = ZeroBitsLast - ZeroBitsFirst + 1, Ones = OneBitsLast - OneBitsFirst + 1;
    if (count == 2 && runs[0] == 0 && runs[1] == 0) { // nothing drawn: the closing bit alone
        for (uint64_t& t : total) t += (fixedBits + 1 + 7) / 8;
        return;
    }
    std::array<uint64_t, Zeros> pairs0{}, repeats0{};
    std::array<uint64_t, Ones> pairs1{}, repeats1{};
    std::array<uint64_t, PairCount> across{};
    for (size_t i = 0; i < count; i += 2) {
        const uint32_t a = runs[i], b = runs[i + 1];
        // Unrolled, each width's divisor is a constant: no division left.
#pragma GCC unroll 8
        for (int z = 0; z < Zeros; ++z) {
            const uint32_t most = (1u << (z + ZeroBitsFirst)) - 1;
            const uint32_t split = a ? (a - 1) / most : 0; // (most, 0) pairs before the rest
            pairs0[static_cast<size_t>(z)] += split;
            repeats0[static_cast<size_t>(z)] += split > 1 ? split - 1 : 0;
            // The last run pair's (rest, 0) is one more (most, 0).
            if (b == 0 && split > 0 && a - split * most == most) ++repeats0[static_cast<size_t>(z)];
        }
#pragma GCC unroll 8
        for (int o = 0; o < Ones; ++o) {
            const uint32_t most = (1u << (o + OneBitsFirst)) - 1;
            const uint32_t split = b ? (b - 1) / most : 0; // (a, most), (0, most)..., (0, rest)
            pairs1[static_cast<size_t>(o)] += split ? split + 1 : 1;
            uint64_t same = split >= 2 ? split - 2 + (a == 0) : 0;
            if (split > 0 && b - split * most == most && (split >= 2 || a == 0)) ++same;
            repeats1[static_cast<size_t>(o)] += same;
        }
        if (i == 0) continue;
        // This run pair's first pair repeats the last one before only when
        // neither splits there: (a', b') then (a, b) or (a, most).
        const uint32_t lastA = runs[i - 2], lastB = runs[i - 1];
#pragma GCC unroll 8
        for (int z = 0; z < Zeros; ++z) {
            const uint32_t most0 = (1u << (z + ZeroBitsFirst)) - 1;
            if (a > most0 || (lastA <= most0 ? lastA : (lastA - 1) % most0 + 1) != a) continue;
            for (int o = 0; o < Ones; ++o) {
                const uint32_t most1 = (1u << (o + OneBitsFirst)) - 1;
                if (lastB <= most1 && (b > most1 ? lastB == most1 : lastB == b)) {
                    ++across[static_cast<size_t>(z * Ones + o)];
                }
            }
        }
    }
    for (int z = 0; z < Zeros; ++z) {
        for (int o = 0; o < Ones; ++o) {
            const size_t pair = static_cast<size_t>(z * Ones + o);
            const uint64_t fields = static_cast<uint64_t>(z + ZeroBitsFirst + o + OneBitsFirst);
            const uint64_t pairs = pairs0[static_cast<size_t>(z)] + pairs1[static_cast<size_t>(o)];
            const uint64_t repeats =
                repeats0[static_cast<size_t>(z)] + repeats1[static_cast<size_t>(o)] + across[pair];
            total[pair] += (fixedBits + pairs * (fields + 1) - repeats * fields + 7) / 8;
        }
    }
}

class BitWriter {
  public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
    void put(int bits, uint32_t value) {
        held_ |= static_cast<uint64_t>(value) << used_;
        for (used_ += bits; used_ >= 8; used_ -= 8, held_ >>= 8) {
            out_.push_back(static_cast<uint8_t>(held_));
        }
    }
    // The last bits, in a byte of their own.
    void finish() {
        if (used_ > 0) out_.push_back(static_cast<uint8_t>(held_));
        held_ = 0;
        used_ = 0;
    }

  private:
    std::vector<uint8_t>& out_;
    uint64_t held_ = 0;
    int used_ = 0;
};

struct FieldBits {
    int w = 0, h = 0, x = 0, y = 0, d = 0;
    int total() const { return w + h + x + y + d; }
};

int advanceOf(const BdfGlyph& g) {
    return std::max(g.advance, 0);
}

// The font's bytes; refused (naming the glyph) when a glyph is past what the
// format holds.
Outcome fontBytes(const BdfFont& font, std::vector<uint8_t>& bytes) {
    bytes.clear();
    // Code-point order, as the library's lookup needs.
    std::vector<size_t> order(font.glyphs.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return font.glyphs[a].encoding < font.glyphs[b].encoding;
    });
    std::vector<Box> boxes(font.glyphs.size());
    FieldBits field;
    for (size_t n = 0; n < order.size(); ++n) {
        const BdfGlyph& g = font.glyphs[order[n]];
        if (g.encoding < 0 || g.encoding > limits::U8g2LastCode) {
            return refusal(formatText("u8g2 draws the characters up to U+FFFF only, not %s",
                                      glyphName(g.encoding).c_str()));
        }
        if (n > 0 && font.glyphs[order[n - 1]].encoding == g.encoding) {
            return refusal("The font holds " + glyphName(g.encoding) + " twice");
        }
        const Box b = cutBox(g);
        const int side = limits::U8g2GlyphSide, reach = limits::U8g2GlyphOffset;
        if (b.width > side || b.height > side) {
            return refusal(formatText("%s is %d x %d dots; a u8g2 glyph is at most %d x %d",
                                      glyphName(g.encoding).c_str(), b.width, b.height, side,
                                      side));
        }
        if (b.x < -reach || b.x >= reach || b.y < -reach || b.y >= reach || advanceOf(g) >= reach) {
            return refusal(formatText("%s stands %d, %d dots from its origin with an advance "
                                      "of %d; a u8g2 glyph's offsets and advance are %d to %d",
                                      glyphName(g.encoding).c_str(), b.x, b.y, advanceOf(g), -reach,
                                      reach - 1));
        }
        boxes[order[n]] = b;
        field.w = std::max(field.w, unsignedBits(b.width));
        field.h = std::max(field.h, unsignedBits(b.height));
        field.x = std::max(field.x, signedBits(b.x));
        field.y = std::max(field.y, signedBits(b.y));
        field.d = std::max(field.d, signedBits(advanceOf(g)));
    }

    // The widths of the runs' fields that make the fewest bytes; the first
    // pair tried wins a tie. Each glyph's runs are counted for every pair,
    // never encoded.
    std::array<uint64_t, PairCount> total{};
    size_t room = 0;
    for (const Box& b : boxes)
        room += static_cast<size_t>(b.width) * static_cast<size_t>(b.height) + 2;
    // Written before read: no need to clear it.
    const std::unique_ptr<uint16_t[]> runs(new uint16_t[room]);
    std::vector<size_t> runsAt(font.glyphs.size() + 1, 0);
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        runsAt[i + 1] = runsAt[i] + collectRuns(font.glyphs[i], boxes[i], runs.get() + runsAt[i]);
    }
    for (size_t i : order) {
        // The code and size bytes stand whole before the bits.
        const uint64_t lead = font.glyphs[i].encoding > 255 ? 3 : 2;
        addGlyphBytes(runs.get() + runsAt[i], runsAt[i + 1] - runsAt[i],
                      static_cast<uint64_t>(field.total()) + 8 * lead, total);
    }
    const auto best =
        static_cast<int>(std::min_element(total.begin(), total.end()) - total.begin());
    const int zeroBits = ZeroBitsFirst + best / (OneBitsLast - OneBitsFirst + 1);
    const int oneBits = OneBitsFirst + best % (OneBitsLast - OneBitsFirst + 1);

    // The ascent of 'A' (else of '1'), the descent of 'g', and of '(' and
    // ')' (else those of 'A' and 'g'), from the cut boxes.
    const auto boxOf = [&](long code) -> const Box* {
        const auto at = std::lower_bound(order.begin(), order.end(), code, [&](size_t i, long c) {
            return font.glyphs[i].encoding < c;
        });
        return at != order.end() && font.glyphs[*at].encoding == code ? &boxes[*at] : nullptr;
    };
    const Box* capitalA = boxOf('A');
    const Box* one = boxOf('1');
    const Box* smallG = boxOf('g');
    const Box* paren = boxOf('(');
    const int ascentA = capitalA ? capitalA->height + capitalA->y : 0;
    const int ascentOne = one ? one->height + one->y : 0;
    const int descentG = smallG ? smallG->y : 0;
    const int ascentParen = paren ? paren->height + paren->y : ascentA != 0 ? ascentA : ascentOne;
    const int descentParen = paren ? paren->y : descentG;

    // The font's box: the first glyph's, grown over the others and (as the
    // converter does) over their advances on the left.
    Box whole;
    for (size_t n = 0; n < order.size(); ++n) {
        const Box& b = boxes[order[n]];
        if (n == 0) {
            whole = b;
            continue;
        }
        const int x0 = std::min({whole.x, b.x, advanceOf(font.glyphs[order[n]])});
        const int y0 = std::min(whole.y, b.y);
        const int x1 = std::max(whole.x + whole.width, b.x + b.width);
        const int y1 = std::max(whole.y + whole.height, b.y + b.height);
        whole = {x1 - x0, y1 - y0, x0, y0, 0, 0};
    }

    bytes.reserve(HeaderBytes + order.size() * 16);
    for (int v : {static_cast<int>(order.size()),
                  0,
                  zeroBits,
                  oneBits,
                  field.w,
                  field.h,
                  field.x,
                  field.y,
                  field.d,
                  whole.width,
                  whole.height,
                  whole.x,
                  whole.y,
                  ascentA > 0 ? ascentA : ascentOne,
                  descentG,
                  ascentParen,
                  descentParen,
                  0,
                  0,
                  0,
                  0,
                  0,
                  0}) {
        bytes.push_back(static_cast<uint8_t>(v));
    }

    // One glyph's record: code, size, the fields, then the runs.
    const auto appendRecord = [&](size_t i) -> Outcome {
        const BdfGlyph& g = font.glyphs[i];
        const Box& b = boxes[i];
        const size_t start = bytes.size();
        if (g.encoding > 255) bytes.push_back(static_cast<uint8_t>(g.encoding >> 8));
        bytes.push_back(static_cast<uint8_t>(g.encoding & 0xFF));
        bytes.push_back(0);
        BitWriter bits(bytes);
        bits.put(field.w, static_cast<uint32_t>(b.width));
        bits.put(field.h, static_cast<uint32_t>(b.height));
        bits.put(field.x, static_cast<uint32_t>(b.x + (1 << (field.x - 1))));
        bits.put(field.y, static_cast<uint32_t>(b.y + (1 << (field.y - 1))));
        bits.put(field.d, static_cast<uint32_t>(advanceOf(g) + (1 << (field.d - 1))));
        bool first = true;
        uint32_t lastA = 0, lastB = 0;
        forEachPair(runs.get() + runsAt[i], runsAt[i + 1] - runsAt[i], zeroBits, oneBits,
                    [&](uint32_t a, uint32_t b1, uint32_t count) {
                        for (uint32_t k = 0; k < count; ++k) {
                            if (!first && a == lastA && b1 == lastB) {
                                bits.put(1, 1);
                                continue;
                            }
                            if (!first) bits.put(1, 0);
                            bits.put(zeroBits, a);
                            bits.put(oneBits, b1);
                            first = false;
                            lastA = a;
                            lastB = b1;
                        }
                    });
        bits.put(1, 0);
        bits.finish();
        const size_t size = bytes.size() - start;
        if (size > static_cast<size_t>(limits::U8g2RecordBytes)) {
            return refusal(formatText("%s takes %zu bytes in a u8g2 font; a glyph may take %d "
                                      "at most",
                                      glyphName(g.encoding).c_str(), size,
                                      limits::U8g2RecordBytes));
        }
        bytes[start + (g.encoding > 255 ? 2 : 1)] = static_cast<uint8_t>(size);
        return {};
    };

    size_t posA = 0, posSmallA = 0;
    size_t n = 0;
    for (; n < order.size() && font.glyphs[order[n]].encoding <= 255; ++n) {
        const long code = font.glyphs[order[n]].encoding;
        if (code == 'A') posA = bytes.size() - HeaderBytes;
        if (code == 'a') posSmallA = bytes.size() - HeaderBytes;
        if (Outcome made = appendRecord(order[n]); !made.ok()) return made;
    }
    bytes.push_back(0);
    bytes.push_back(0);
    const size_t unicodeAt = bytes.size();

    // The lookup table: an entry per full block of glyphs, [bytes to skip to
    // the block, its last code]; the last entry says 0xFFFF.
    const size_t unicodeGlyphs = order.size() - n;
    const size_t entries = unicodeGlyphs / GlyphsPerLookupEntry;
    const size_t tableBytes = 4 * std::max<size_t>(entries, 1);
    bytes.resize(bytes.size() + tableBytes, 0);
    bytes[bytes.size() - 3] = 4; // a lone entry skips just itself
    bytes[bytes.size() - 2] = 0xFF;
    bytes[bytes.size() - 1] = 0xFF;
    size_t entry = 0, inBlock = 0, skip = tableBytes, blockStart = bytes.size();
    for (; n < order.size(); ++n) {
        if (Outcome made = appendRecord(order[n]); !made.ok()) return made;
        if (++inBlock < static_cast<size_t>(GlyphsPerLookupEntry) || entry >= entries) continue;
        const long code = font.glyphs[order[n]].encoding;
        uint8_t* e = &bytes[unicodeAt + 4 * entry];
        e[0] = static_cast<uint8_t>(skip >> 8);
        e[1] = static_cast<uint8_t>(skip & 0xFF);
        e[2] = static_cast<uint8_t>(e[2] | code >> 8);
        e[3] = static_cast<uint8_t>(e[3] | (code & 0xFF));
        ++entry;
        inBlock = 0;
        skip = bytes.size() - blockStart;
        blockStart = bytes.size();
    }
    bytes.push_back(0);
    bytes.push_back(0);

    const size_t unicodePos = unicodeAt - HeaderBytes;
    for (auto [at, value] : {std::pair{17, posA}, {19, posSmallA}, {21, unicodePos}}) {
        bytes[static_cast<size_t>(at)] = static_cast<uint8_t>(value >> 8);
        bytes[static_cast<size_t>(at) + 1] = static_cast<uint8_t>(value & 0xFF);
    }
    return {};
}

// The C text as the converter prints it: a string literal of 32 bytes to a
// line, every byte that could run into an escape before it, or is not plain
// ASCII, as an octal escape; the closing 0 is the literal's own.
bool writeText(const std::vector<uint8_t>& bytes, const FontOutput& output, size_t glyphs,
               const CodeSink& sink) {
    std::string text = "/*\n  Fontname: " + output.name + "\n";
    if (!output.comment.empty()) text += "  " + commentText(output.comment) + "\n";
    text += formatText("  Glyphs: %zu/%zu\n  BBX Build Mode: 0\n*/\n", glyphs, glyphs);
    const size_t shown = bytes.size() - 1;
    const bool large = shown > 32760;
    if (large) text += "#ifdef U8G2_USE_LARGE_FONTS\n";
    text += formatText("const uint8_t %s[%zu] U8G2_FONT_SECTION(\"%s\") = \n  \"",
                       output.name.c_str(), bytes.size(), output.name.c_str());
    // Each byte's text, at most 4 characters ("\377"), and its length.
    struct Escape {
        char text[4];
        size_t size;
    };
    static const auto escapes = [] {
        std::array<Escape, 256> all{};
        for (int c = 0; c < 256; ++c) {
            const bool plain =
                c >= 32 && c < 127 && c != '"' && c != '\\' && c != '?' && !(c >= '0' && c <= '9');
            const std::string t = plain ? std::string(1, static_cast<char>(c))
                                        : formatText("\\%o", static_cast<unsigned>(c));
            Escape& e = all[static_cast<size_t>(c)];
            std::copy(t.begin(), t.end(), e.text);
            e.size = t.size();
        }
        return all;
    }();
    constexpr size_t Piece = size_t{1} << 16;
    // A line of 32 bytes takes at most 32 * 4 + 5 characters.
    char line[32 * 4 + 5];
    for (size_t i = 0; i < shown; i += 32) {
        char* at = line;
        for (size_t k = i; k < std::min(shown, i + 32); ++k) {
            const Escape& e = escapes[bytes[k]];
            std::memcpy(at, e.text, 4);
            at += e.size;
        }
        if (i + 32 <= shown) {
            std::memcpy(at, "\"\n  \"", 5);
            at += 5;
        }
        text.append(line, static_cast<size_t>(at - line));
        if (text.size() >= Piece) {
            if (!sink(text)) return false;
            text.clear();
        }
    }
    text += "\";\n";
    if (large) text += "#endif /* U8G2_USE_LARGE_FONTS */\n";
    return sink(text);
}

// The library's side, written apart from the encoder: read the header, find
// each glyph as u8g2 finds it and draw its runs into its box.
class BitReader {
  public:
    BitReader(const std::vector<uint8_t>& bytes, size_t at) : bytes_(bytes), at_(at) {}
    bool ok() const { return ok_; }
    uint32_t take(int bits) {
        uint32_t value = 0;
        for (int i = 0; i < bits; ++i) {
            if (at_ >= bytes_.size()) {
                ok_ = false;
                return 0;
            }
            value |= static_cast<uint32_t>(bytes_[at_] >> bit_ & 1) << i;
            if (++bit_ == 8) {
                bit_ = 0;
                ++at_;
            }
        }
        return value;
    }
    int takeSigned(int bits) {
        return static_cast<int>(take(bits)) - (bits > 0 ? 1 << (bits - 1) : 0);
    }

  private:
    const std::vector<uint8_t>& bytes_;
    size_t at_;
    int bit_ = 0;
    bool ok_ = true;
};

int word(const std::vector<uint8_t>& bytes, size_t at) {
    return at + 1 < bytes.size() ? bytes[at] << 8 | bytes[at + 1] : 0;
}

// Where the glyph's fields start; 0 when the font has none for `code`.
size_t findGlyph(const std::vector<uint8_t>& bytes, long code) {
    size_t at = HeaderBytes;
    if (code <= 255) {
        if (code >= 'a') {
            at += static_cast<size_t>(word(bytes, 19));
        } else if (code >= 'A') {
            at += static_cast<size_t>(word(bytes, 17));
        }
        while (at + 1 < bytes.size() && bytes[at + 1] != 0) {
            if (bytes[at] == code) return at + 2;
            at += bytes[at + 1];
        }
        return 0;
    }
    at += static_cast<size_t>(word(bytes, 21));
    size_t table = at;
    long last = 0;
    do {
        if (table + 3 >= bytes.size()) return 0;
        at += static_cast<size_t>(word(bytes, table));
        last = word(bytes, table + 2);
        table += 4;
    } while (last < code);
    while (at + 2 < bytes.size()) {
        const long e = word(bytes, at);
        if (e == 0) return 0;
        if (e == code) return at + 3;
        at += bytes[at + 2];
    }
    return 0;
}

void drawFont(const std::vector<uint8_t>& bytes, const BdfFont& font, BdfFont& out) {
    const int zeroBits = bytes[2], oneBits = bytes[3];
    const int wBits = bytes[4], hBits = bytes[5], xBits = bytes[6], yBits = bytes[7],
              dBits = bytes[8];
    const auto sign = [](uint8_t v) { return static_cast<int>(static_cast<int8_t>(v)); };
    // The line of u8g2's "all" reference height: the font's whole box, or
    // 'A' and 'g' where they reach further (a font without them has a line).
    const int boxHeight = bytes[10], boxY = sign(bytes[12]);
    out.ascent = std::max(sign(bytes[13]), boxHeight + boxY);
    out.descent = -std::min(sign(bytes[14]), boxY);
    out.lined = true;
    for (const BdfGlyph& source : font.glyphs) {
        const size_t at = findGlyph(bytes, source.encoding);
        if (at == 0) continue;
        BitReader in(bytes, at);
        BdfGlyph g;
        g.encoding = source.encoding;
        g.width = static_cast<int>(in.take(wBits));
        g.height = static_cast<int>(in.take(hBits));
        g.xOffset = in.takeSigned(xBits);
        g.yOffset = in.takeSigned(yBits);
        g.advance = in.takeSigned(dBits);
        const size_t area = static_cast<size_t>(g.width) * static_cast<size_t>(g.height);
        g.dots.assign(area, '0');
        size_t filled = 0;
        while (g.width > 0 && filled < area && in.ok()) {
            const uint32_t a = in.take(zeroBits), b = in.take(oneBits);
            do {
                filled += a;
                for (uint32_t k = 0; k < b && filled < area; ++k) g.dots[filled++] = '1';
            } while (in.take(1) == 1 && in.ok());
        }
        out.glyphs.push_back(std::move(g));
    }
}

} // namespace

std::string u8g2NameProblem(const std::string& name) {
    if (std::string problem = codeNameProblem(name); !problem.empty()) return problem;
    // u8g2.h declares its functions, types and macros under these; fonts
    // are u8g2_font_... by its own custom, and a font's declaration agrees
    // with ours.
    for (const char* prefix : {"u8g2_", "u8x8_", "U8G2_", "U8X8_", "u8log_", "U8LOG_"}) {
        if (name.rfind(prefix, 0) == 0 && name.rfind("u8g2_font_", 0) != 0 &&
            name.rfind("u8x8_font_", 0) != 0) {
            return "\"" + name + "\" is one of u8g2's own names (" + prefix +
                   "...): give another, or u8g2_font_...";
        }
    }
    return {};
}

Outcome writeU8g2Font(const BdfFont& font, const FontOutput& output, const CodeSink& sink) {
    if (const std::string problem = u8g2NameProblem(output.name); !problem.empty()) {
        return refusal(problem);
    }
    std::vector<uint8_t> bytes;
    if (Outcome made = fontBytes(font, bytes); !made.ok()) return made;
    writeText(bytes, output, font.glyphs.size(), sink);
    return {};
}

Outcome u8g2DrawnFont(const BdfFont& font, const FontOutput&, BdfFont& out) {
    out = BdfFont{};
    std::vector<uint8_t> bytes;
    if (Outcome made = fontBytes(font, bytes); !made.ok()) return made;
    drawFont(bytes, font, out);
    return {};
}

} // namespace dedur
