#include "fonts/bdfdocument.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

#include "base/fileread.h"
#include "base/limits.h"
#include "base/message.h"
#include "base/safewrite.h"
#include "document/dotpacking.h"

namespace dedur {

namespace {

constexpr long LastCodePoint = 0x10FFFF;

// BDF rows hold the leftmost dot in a byte's high bit, the store in its low
// bit: a byte read or written is turned round.
constexpr std::array<uint8_t, 256> makeReversed() {
    std::array<uint8_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
        int r = 0;
        for (int i = 0; i < 8; ++i)
            if (b & (1 << i)) r |= 0x80 >> i;
        t[static_cast<size_t>(b)] = static_cast<uint8_t>(r);
    }
    return t;
}
constexpr std::array<uint8_t, 256> Reversed = makeReversed();

constexpr std::array<int8_t, 256> makeHexValues() {
    std::array<int8_t, 256> t{};
    for (auto& v : t) v = -1;
    for (int c = '0'; c <= '9'; ++c) t[static_cast<size_t>(c)] = static_cast<int8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c) t[static_cast<size_t>(c)] = static_cast<int8_t>(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c) t[static_cast<size_t>(c)] = static_cast<int8_t>(c - 'a' + 10);
    return t;
}
constexpr std::array<int8_t, 256> HexValues = makeHexValues();
constexpr char HexDigits[] = "0123456789ABCDEF";

// The mask of the bits a row's last byte may have set.
uint8_t lastByteMask(int width) {
    const int used = width % 8;
    return used == 0 ? 0xFF : static_cast<uint8_t>((1 << used) - 1);
}

Outcome refusal(std::string text) {
    return Outcome::refused({std::move(text), " ", MessageButtons::Ok, MessageIcon::Question});
}

Outcome malformedAt(const std::string& name, int line, const std::string& why) {
    return Outcome::refused({formatText("\"%s\" is not a BDF font this program reads (line %d: %s)",
                                        printable(name).c_str(), line, why.c_str()),
                             " ", MessageButtons::Ok, MessageIcon::Question});
}

// Up to six words of a line, split at spaces and tabs; a property's quoted
// value comes without its quotes.
struct Words {
    std::array<std::string_view, 6> w;
    int n = 0;
    std::string_view operator[](int i) const { return i < n ? w[static_cast<size_t>(i)] : ""; }
};

Words splitWords(std::string_view line) {
    Words out;
    size_t at = 0;
    while (at < line.size() && out.n < 6) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
        if (at == line.size()) break;
        size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
        out.w[static_cast<size_t>(out.n++)] = line.substr(at, end - at);
        at = end;
    }
    return out;
}

std::string_view unquoted(std::string_view v) {
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
    return v;
}

// A whole word as a number; one too large for a long comes back as the
// largest of its sign, so that the range checks name it.
bool number(std::string_view word, long& out) {
    if (word.empty()) return false;
    const char* first = word.data();
    if (*first == '+') ++first;
    const auto [end, error] = std::from_chars(first, word.data() + word.size(), out);
    if (end != word.data() + word.size()) return false;
    if (error == std::errc::result_out_of_range)
        out = word[0] == '-' ? LONG_MIN : LONG_MAX;
    else if (error != std::errc())
        return false;
    return true;
}

bool within(long v, long low, long high) {
    return v >= low && v <= high;
}

// SWIDTH from an advance in dots: thousandths of the point size.
long scalableWidth(const BdfDocument& doc, int advance) {
    const double points = doc.pointSize10 > 0 ? doc.pointSize10 / 10.0 : doc.boxHeight;
    const double dpi = doc.resolutionX > 0 ? doc.resolutionX : 72.0;
    if (points <= 0) return 0;
    return std::lround(advance * 72000.0 / (points * dpi));
}

void appendRows(std::string& out, const std::vector<uint8_t>& rows, int width, int height,
                const std::string& lineEnd) {
    const size_t stride = packedRowBytes(width);
    for (int y = 0; y < height; ++y) {
        for (size_t k = 0; k < stride; ++k) {
            const uint8_t b = Reversed[rows[static_cast<size_t>(y) * stride + k]];
            out += HexDigits[b >> 4];
            out += HexDigits[b & 0xF];
        }
        out += lineEnd;
    }
}

std::string boxText(int w, int h, int x, int y) {
    return std::to_string(w) + ' ' + std::to_string(h) + ' ' + std::to_string(x) + ' ' +
           std::to_string(y);
}

// An edited glyph: its own lines, but for DWIDTH, BBX and the bitmap (and
// SWIDTH when the advance changed), which say what the glyph is now.
void appendEditedGlyph(std::string& out, const BdfDocument& doc, const BdfDocGlyph& g) {
    const std::string& nl = doc.lineEndText;
    const bool newAdvance = g.advance != g.readAdvance;
    bool dwidthSeen = false;
    bool inBitmap = false;
    size_t at = g.firstLine;
    while (at < g.lineEnd) {
        const char* nlAt =
            static_cast<const char*>(std::memchr(doc.text.data() + at, '\n', g.lineEnd - at));
        const size_t next = nlAt ? static_cast<size_t>(nlAt - doc.text.data()) + 1 : g.lineEnd;
        size_t end = nlAt ? next - 1 : g.lineEnd;
        if (end > at && doc.text[end - 1] == '\r') --end;
        const std::string_view line(doc.text.data() + at, end - at);
        const Words w = splitWords(line);
        const std::string_view key = w[0];
        const std::string_view whole(doc.text.data() + at, next - at);
        if (inBitmap && key != "ENDCHAR") {
            at = next; // the old rows
            continue;
        }
        if (key == "ENDCHAR") {
            if (!inBitmap) { // a glyph without a BITMAP line gets one
                out += "BITMAP" + nl;
                appendRows(out, g.rows, g.width, g.height, nl);
            }
            inBitmap = false;
            out += whole;
        } else if (key == "SWIDTH" && newAdvance) {
            out += "SWIDTH " + std::to_string(scalableWidth(doc, g.advance)) + ' ' +
                   std::string(w.n > 2 ? w[2] : "0") + nl;
        } else if (key == "DWIDTH") {
            dwidthSeen = true;
            out += "DWIDTH " + std::to_string(g.advance) + ' ' + std::string(w.n > 2 ? w[2] : "0") +
                   nl;
        } else if (key == "BBX") {
            if (!dwidthSeen && newAdvance) out += "DWIDTH " + std::to_string(g.advance) + " 0" + nl;
            out += "BBX " + boxText(g.width, g.height, g.xOffset, g.yOffset) + nl;
        } else if (key == "BITMAP") {
            out += whole;
            appendRows(out, g.rows, g.width, g.height, nl);
            inBitmap = true;
        } else {
            out += whole;
        }
        at = next;
    }
}

void appendAddedGlyph(std::string& out, const BdfDocument& doc, const BdfDocGlyph& g) {
    const std::string& nl = doc.lineEndText;
    out += "STARTCHAR " + g.name + nl;
    out += "ENCODING " + std::to_string(g.encoding) + nl;
    out += "SWIDTH " + std::to_string(scalableWidth(doc, g.advance)) + " 0" + nl;
    out += "DWIDTH " + std::to_string(g.advance) + " 0" + nl;
    out += "BBX " + boxText(g.width, g.height, g.xOffset, g.yOffset) + nl;
    out += "BITMAP" + nl;
    appendRows(out, g.rows, g.width, g.height, nl);
    out += "ENDCHAR" + nl;
}

Outcome checkShape(const BdfGlyphShape& s) {
    const int side = limits::BdfGlyphSide, reach = limits::BdfGlyphOffset;
    if (!within(s.width, 0, side) || !within(s.height, 0, side)) {
        return refusal(formatText("A glyph is at most %d x %d dots, not %d x %d", side, side,
                                  s.width, s.height));
    }
    if (!within(s.xOffset, -reach, reach) || !within(s.yOffset, -reach, reach) ||
        !within(s.advance, -reach, reach)) {
        return refusal(
            formatText("A glyph's offsets and advance are at most %d dots either way", reach));
    }
    if (s.rows.size() != packedRowBytes(s.width) * static_cast<size_t>(s.height)) {
        return refusal("The glyph's rows do not match its box");
    }
    return {};
}

} // namespace

BdfGlyphShape trimmedToDots(const BdfGlyphShape& shape) {
    const size_t stride = packedRowBytes(shape.width);
    int left = shape.width, right = -1, top = shape.height, bottom = -1;
    for (int y = 0; y < shape.height; ++y) {
        for (int x = 0; x < shape.width; ++x) {
            if (!(shape.rows[static_cast<size_t>(y) * stride + static_cast<size_t>(x / 8)] >>
                      (x % 8) &
                  1))
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    BdfGlyphShape out;
    out.advance = shape.advance;
    if (right < 0) return out;
    out.width = right - left + 1;
    out.height = bottom - top + 1;
    out.xOffset = shape.xOffset + left;
    out.yOffset = shape.yOffset + (shape.height - 1 - bottom);
    const size_t outStride = packedRowBytes(out.width);
    out.rows.assign(outStride * static_cast<size_t>(out.height), 0);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const int sx = x + left, sy = y + top;
            if (shape.rows[static_cast<size_t>(sy) * stride + static_cast<size_t>(sx / 8)] >>
                    (sx % 8) &
                1) {
                out.rows[static_cast<size_t>(y) * outStride + static_cast<size_t>(x / 8)] |=
                    static_cast<uint8_t>(1 << (x % 8));
            }
        }
    }
    return out;
}

int BdfDocument::glyphIndexOf(long encoding) const {
    const auto it = std::lower_bound(byEncoding_.begin(), byEncoding_.end(),
                                     std::pair<long, int>(encoding, INT_MIN));
    return it != byEncoding_.end() && it->first == encoding ? it->second : -1;
}

void BdfDocument::reindex() {
    byEncoding_.clear();
    byEncoding_.reserve(glyphs.size());
    for (size_t i = 0; i < glyphs.size(); ++i) {
        if (glyphs[i].encoding >= 0)
            byEncoding_.emplace_back(glyphs[i].encoding, static_cast<int>(i));
    }
    std::sort(byEncoding_.begin(), byEncoding_.end());
    // Keep the first glyph of each encoding, count the others.
    const size_t all = byEncoding_.size();
    byEncoding_.erase(std::unique(byEncoding_.begin(), byEncoding_.end(),
                                  [](const auto& a, const auto& b) { return a.first == b.first; }),
                      byEncoding_.end());
    duplicateEncodings = static_cast<int>(all - byEncoding_.size());
}

Outcome BdfDocument::setGlyph(int index, const BdfGlyphShape& shape) {
    if (index < 0 || index >= static_cast<int>(glyphs.size())) {
        return refusal(formatText("The font has no glyph %d", index));
    }
    if (Outcome bad = checkShape(shape); !bad.ok()) return bad;
    BdfDocGlyph& g = glyphs[static_cast<size_t>(index)];
    g.width = shape.width;
    g.height = shape.height;
    g.xOffset = shape.xOffset;
    g.yOffset = shape.yOffset;
    g.advance = shape.advance;
    g.rows = shape.rows;
    // The bits past a row's width stay clear, so equal glyphs are equal bytes.
    const size_t stride = packedRowBytes(g.width);
    for (size_t k = stride; k <= g.rows.size() && stride > 0; k += stride)
        g.rows[k - 1] &= lastByteMask(g.width);
    if (g.width == 0 || g.height == 0) {
        g.width = g.height = 0;
        g.rows.clear();
    }
    g.edited = true;
    changed_ = true;
    return {};
}

int BdfDocument::addGlyph(long encoding) {
    if (!within(encoding, 0, LastCodePoint) || glyphIndexOf(encoding) >= 0 ||
        glyphs.size() >= static_cast<size_t>(limits::BdfGlyphs)) {
        return -1;
    }
    BdfDocGlyph g;
    g.name = formatText(encoding > 0xFFFF ? "u%05lX" : "uni%04lX", encoding);
    g.encoding = encoding;
    g.width = std::clamp(boxWidth, 0, limits::BdfGlyphSide);
    g.height = std::clamp(boxHeight, 0, limits::BdfGlyphSide);
    g.xOffset = std::clamp(boxX, -limits::BdfGlyphOffset, limits::BdfGlyphOffset);
    g.yOffset = std::clamp(boxY, -limits::BdfGlyphOffset, limits::BdfGlyphOffset);
    g.advance = g.readAdvance = g.width;
    if (g.width == 0 || g.height == 0) g.width = g.height = 0;
    g.rows.assign(packedRowBytes(g.width) * static_cast<size_t>(g.height), 0);
    g.edited = true;
    const auto at = std::find_if(glyphs.begin(), glyphs.end(),
                                 [&](const BdfDocGlyph& o) { return o.encoding > encoding; });
    const int index = static_cast<int>(at - glyphs.begin());
    glyphs.insert(at, std::move(g));
    for (auto& entry : byEncoding_)
        if (entry.second >= index) ++entry.second;
    byEncoding_.insert(std::lower_bound(byEncoding_.begin(), byEncoding_.end(),
                                        std::pair<long, int>(encoding, index)),
                       {encoding, index});
    changed_ = true;
    return index;
}

void BdfDocument::deleteGlyph(int index) {
    if (index < 0 || index >= static_cast<int>(glyphs.size())) return;
    const BdfDocGlyph& gone = glyphs[static_cast<size_t>(index)];
    std::string kept = gone.carried;
    if (!gone.added()) kept.append(text, gone.leadStart, gone.firstLine - gone.leadStart);
    if (static_cast<size_t>(index) + 1 < glyphs.size()) {
        std::string& next = glyphs[static_cast<size_t>(index) + 1].carried;
        next.insert(0, kept);
    } else {
        carriedToTail += kept;
    }
    const long encoding = gone.encoding;
    glyphs.erase(glyphs.begin() + index);
    changed_ = true;
    if (duplicateEncodings > 0) return reindex(); // a repeat may come forward
    // Without repeats the index loses one entry and the rest shift down.
    byEncoding_.erase(
        std::remove(byEncoding_.begin(), byEncoding_.end(), std::pair<long, int>(encoding, index)),
        byEncoding_.end());
    for (auto& entry : byEncoding_)
        if (entry.second > index) --entry.second;
}

Outcome parseBdfDocument(std::string text, const std::string& name, BdfDocument& out) {
    out = {};
    if (text.size() > limits::BdfFileBytes) {
        return {Failure::TooLarge,
                0,
                {formatText("\"%s\" is larger than a BDF font may be (%zu MB)",
                            printable(name).c_str(), limits::BdfFileBytes >> 20),
                 " ", MessageButtons::Ok, MessageIcon::Question}};
    }
    if (const void* nul = std::memchr(text.data(), 0, text.size())) {
        const size_t at = static_cast<size_t>(static_cast<const char*>(nul) - text.data());
        const int line =
            1 +
            static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
        return malformedAt(name, line, formatText("a NUL byte at byte %zu", at));
    }
    BdfDocument doc;
    doc.text = std::move(text);
    const std::string& t = doc.text;
    const char* base = t.data();
    const size_t size = t.size();
    if (const char* nl = static_cast<const char*>(std::memchr(base, '\n', size))) {
        if (nl > base && nl[-1] == '\r') doc.lineEndText = "\r\n";
    }

    enum class State { Start, Header, Glyph, Bitmap, Done } state = State::Start;
    int line = 0;
    long declared = -1;
    bool ascentGiven = false, descentGiven = false, boxGiven = false;
    long fontAdvance = 0; // a DWIDTH in the header, for glyphs without one
    long sizePoints = 0, sizeResolution = 0;
    std::string_view fontName; // the XLFD, whose last fields name the registry
    size_t lastGlyphEnd = 0;   // where the text after the last glyph so far begins
    BdfDocGlyph g;
    bool haveBox = false;
    int rowsLeft = 0;
    size_t stride = 0;
    size_t at = 0;
    while (at < size && state != State::Done) {
        ++line;
        const char* nl = static_cast<const char*>(std::memchr(base + at, '\n', size - at));
        const size_t next = nl ? static_cast<size_t>(nl - base) + 1 : size;
        size_t end = nl ? next - 1 : size;
        if (end > at && base[end - 1] == '\r') --end;
        const std::string_view lineText(base + at, end - at);
        const size_t lineStart = at;
        at = next;

        if (state == State::Bitmap && rowsLeft > 0) {
            // One row: at least the digits of the box's width; more digits
            // (rows padded wider) are allowed, up to a bound.
            std::string_view row = lineText;
            while (!row.empty() && (row.back() == ' ' || row.back() == '\t')) row.remove_suffix(1);
            while (!row.empty() && (row.front() == ' ' || row.front() == '\t'))
                row.remove_prefix(1);
            if (row == "ENDCHAR") {
                return malformedAt(name, line, formatText("%d bitmap rows missing", rowsLeft));
            }
            if (row.size() < 2 * stride) {
                return malformedAt(name, line,
                                   formatText("a bitmap row of %zu hex digits, %zu needed",
                                              row.size(), 2 * stride));
            }
            if (row.size() > limits::BdfRowDigits) {
                return malformedAt(
                    name, line,
                    formatText("a bitmap row longer than %zu hex digits", limits::BdfRowDigits));
            }
            uint8_t* dst = g.rows.data() + static_cast<size_t>(g.height - rowsLeft) * stride;
            for (size_t k = 0; k < stride; ++k) {
                const int hi = HexValues[static_cast<uint8_t>(row[2 * k])];
                const int lo = HexValues[static_cast<uint8_t>(row[2 * k + 1])];
                if (hi < 0 || lo < 0)
                    return malformedAt(name, line, "a bitmap row is not hexadecimal");
                dst[k] = Reversed[static_cast<size_t>(hi << 4 | lo)];
            }
            for (size_t k = 2 * stride; k < row.size(); ++k) {
                if (HexValues[static_cast<uint8_t>(row[k])] < 0) {
                    return malformedAt(name, line, "a bitmap row is not hexadecimal");
                }
            }
            if (stride > 0) dst[stride - 1] &= lastByteMask(g.width);
            --rowsLeft;
            continue;
        }

        const Words w = splitWords(lineText);
        if (w.n == 0) continue;
        const std::string_view key = w[0];
        long a = 0, b = 0, c = 0, d = 0;
        switch (state) {
        case State::Start:
            if (key != "STARTFONT")
                return malformedAt(name, line, "it does not begin with STARTFONT");
            state = State::Header;
            break;
        case State::Header:
            if (key == "STARTCHAR") {
                if (declared < 0) return malformedAt(name, line, "a glyph before CHARS");
                if (static_cast<long>(doc.glyphs.size()) >= declared) {
                    return malformedAt(name, line,
                                       formatText("more glyphs than CHARS says (%ld)", declared));
                }
                if (doc.glyphs.empty()) doc.headerEnd = lineStart;
                g = {};
                g.name = std::string(w[1]);
                g.leadStart = doc.glyphs.empty() ? lineStart : lastGlyphEnd;
                g.firstLine = lineStart;
                g.advance = static_cast<int>(fontAdvance);
                haveBox = false;
                state = State::Glyph;
            } else if (key == "ENDFONT") {
                if (declared >= 0 && static_cast<long>(doc.glyphs.size()) != declared) {
                    return malformedAt(name, line,
                                       formatText("CHARS says %ld glyphs, the font has %zu",
                                                  declared, doc.glyphs.size()));
                }
                if (doc.glyphs.empty()) doc.headerEnd = lineStart;
                doc.tailStart = doc.glyphs.empty() ? lineStart : lastGlyphEnd;
                state = State::Done;
            } else if ((key == "CHARS" || key == "FONTBOUNDINGBOX") && !doc.glyphs.empty()) {
                // A save rewrites them in the header only.
                return malformedAt(name, line, std::string(key) + " after the first glyph");
            } else if (key == "CHARS") {
                if (!number(w[1], declared) || declared < 0) {
                    return malformedAt(name, line, "CHARS needs a count");
                }
                if (declared > limits::BdfGlyphs) {
                    return malformedAt(
                        name, line,
                        formatText("CHARS %ld, more than %d glyphs", declared, limits::BdfGlyphs));
                }
                doc.charsLine = lineStart;
                doc.charsLineEnd = end;
                doc.charsRead = static_cast<int>(declared);
                doc.glyphs.reserve(static_cast<size_t>(declared));
            } else if (key == "FONTBOUNDINGBOX") {
                // Its sides within a reach of the origin, which every glyph
                // is within too, so that a box widened to a glyph stays there.
                const long reach = limits::BdfBoxReach;
                if (!number(w[1], a) || !number(w[2], b) || !number(w[3], c) || !number(w[4], d)) {
                    return malformedAt(name, line, "FONTBOUNDINGBOX needs four numbers");
                }
                if (!within(a, 0, 2 * reach) || !within(b, 0, 2 * reach) ||
                    !within(c, -reach, reach - a) || !within(d, -reach, reach - b)) {
                    return malformedAt(
                        name, line,
                        formatText("a bounding box of %ld x %ld at %ld, %ld", a, b, c, d));
                }
                doc.boxWidth = static_cast<int>(a);
                doc.boxHeight = static_cast<int>(b);
                doc.boxX = static_cast<int>(c);
                doc.boxY = static_cast<int>(d);
                doc.boxLine = lineStart;
                doc.boxLineEnd = end;
                boxGiven = true;
            } else if (key == "SIZE") {
                if (number(w[1], a) && number(w[2], b)) {
                    sizePoints = std::clamp(a, 0L, 10000L);
                    sizeResolution = std::clamp(b, 0L, 10000L);
                }
            } else if (key == "DWIDTH") {
                if (number(w[1], a))
                    fontAdvance =
                        std::clamp<long>(a, -limits::BdfGlyphOffset, limits::BdfGlyphOffset);
            } else if (key == "FONT_ASCENT" && number(w[1], a)) {
                doc.ascent = static_cast<int>(std::clamp(a, -10000L, 10000L));
                ascentGiven = true;
            } else if (key == "FONT_DESCENT" && number(w[1], a)) {
                doc.descent = static_cast<int>(std::clamp(a, -10000L, 10000L));
                descentGiven = true;
            } else if (key == "POINT_SIZE" && number(w[1], a)) {
                doc.pointSize10 = static_cast<int>(std::clamp(a, 0L, 100000L));
            } else if (key == "RESOLUTION_X" && number(w[1], a)) {
                doc.resolutionX = static_cast<int>(std::clamp(a, 0L, 10000L));
            } else if (key == "FONT") {
                fontName = lineText.substr(std::min(lineText.size(), lineText.find("FONT") + 5));
            } else if (key == "CHARSET_REGISTRY") {
                doc.registry = std::string(unquoted(w[1]));
            } else if (key == "CHARSET_ENCODING") {
                doc.registryEncoding = std::string(unquoted(w[1]));
            }
            break;
        case State::Glyph:
            if (key == "ENCODING") {
                if (!number(w[1], a) || !within(a, -1, INT_MAX)) {
                    return malformedAt(name, line, "ENCODING needs a number from -1 up");
                }
                g.encoding = a;
            } else if (key == "DWIDTH") {
                if (!number(w[1], a)) return malformedAt(name, line, "DWIDTH needs a number");
                if (!within(a, -limits::BdfGlyphOffset, limits::BdfGlyphOffset)) {
                    return malformedAt(
                        name, line,
                        formatText("an advance of %ld, more than %d", a, limits::BdfGlyphOffset));
                }
                g.advance = static_cast<int>(a);
            } else if (key == "BBX") {
                if (!number(w[1], a) || !number(w[2], b) || !number(w[3], c) || !number(w[4], d)) {
                    return malformedAt(name, line, "BBX needs four numbers");
                }
                if (!within(a, 0, limits::BdfGlyphSide) || !within(b, 0, limits::BdfGlyphSide)) {
                    return malformedAt(name, line,
                                       formatText("a glyph box of %ld x %ld; at most %d x %d", a, b,
                                                  limits::BdfGlyphSide, limits::BdfGlyphSide));
                }
                if (!within(c, -limits::BdfGlyphOffset, limits::BdfGlyphOffset) ||
                    !within(d, -limits::BdfGlyphOffset, limits::BdfGlyphOffset)) {
                    return malformedAt(
                        name, line,
                        formatText("a glyph offset of %ld, %ld; at most %d either way", c, d,
                                   limits::BdfGlyphOffset));
                }
                g.width = static_cast<int>(a);
                g.height = static_cast<int>(b);
                g.xOffset = static_cast<int>(c);
                g.yOffset = static_cast<int>(d);
                haveBox = true;
            } else if (key == "BITMAP") {
                if (!haveBox) return malformedAt(name, line, "BITMAP before BBX");
                stride = packedRowBytes(g.width);
                g.rows.assign(stride * static_cast<size_t>(g.height), 0);
                rowsLeft = g.height;
                state = State::Bitmap;
            } else if (key == "ENDCHAR") {
                return malformedAt(name, line, "a glyph without BITMAP");
            } else if (key == "STARTCHAR" || key == "ENDFONT") {
                return malformedAt(name, line, "a glyph without ENDCHAR");
            }
            break;
        case State::Bitmap: // its rows are read: ENDCHAR must follow
            if (key != "ENDCHAR") {
                return malformedAt(name, line,
                                   formatText("more bitmap rows than BBX says (%d)", g.height));
            }
            g.lineEnd = next;
            g.readAdvance = g.advance;
            lastGlyphEnd = next;
            doc.glyphs.push_back(std::move(g));
            g = {};
            state = State::Header;
            break;
        case State::Done:
            break;
        }
    }
    if (state != State::Done) {
        if (state == State::Start)
            return malformedAt(name, line, "it does not begin with STARTFONT");
        return malformedAt(name, line, "it ends before ENDFONT");
    }
    if (!ascentGiven && boxGiven) doc.ascent = doc.boxHeight + doc.boxY;
    if (!descentGiven && boxGiven) doc.descent = -doc.boxY;
    if (doc.pointSize10 == 0) doc.pointSize10 = static_cast<int>(sizePoints * 10);
    if (doc.resolutionX == 0) doc.resolutionX = static_cast<int>(sizeResolution);
    if (doc.registry.empty() && std::count(fontName.begin(), fontName.end(), '-') == 14) {
        const size_t last = fontName.rfind('-');
        const size_t before = fontName.rfind('-', last - 1);
        doc.registry = std::string(fontName.substr(before + 1, last - before - 1));
        doc.registryEncoding = std::string(fontName.substr(last + 1));
    }
    std::string upper = doc.registry;
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    doc.encodingKind = upper.empty()                             ? BdfEncodingKind::Unknown
                       : upper.rfind("ISO10646", 0) == 0         ? BdfEncodingKind::Unicode
                       : upper.find("BIG5") != std::string::npos ? BdfEncodingKind::Big5
                                                                 : BdfEncodingKind::Other;
    doc.reindex();
    out = std::move(doc);
    return {};
}

Outcome readBdfDocument(const std::string& path, BdfDocument& out) {
    out = {};
    std::string text;
    const FileReadStatus status = readFileLimited(path, limits::BdfFileBytes, text);
    if (status != FileReadStatus::Ok) {
        const Failure kind = status == FileReadStatus::TooLarge         ? Failure::TooLarge
                             : status == FileReadStatus::NotRegularFile ? Failure::NotRegularFile
                                                                        : Failure::NotFound;
        return {kind,
                0,
                {formatText("Could not read %s: %s", quotedPath(path).c_str(),
                            readFailureReason(path, status).c_str()),
                 " ", MessageButtons::Ok, MessageIcon::Question}};
    }
    return parseBdfDocument(std::move(text), path, out);
}

std::string bdfDocumentText(const BdfDocument& doc) {
    if (!doc.changed()) return doc.text;
    const std::string& t = doc.text;
    const std::string_view all(t);
    std::string out;
    out.reserve(t.size() + t.size() / 8 + 4096);

    // The header, with CHARS and FONTBOUNDINGBOX rewritten when they no
    // longer say what the font holds.
    std::vector<std::pair<std::pair<size_t, size_t>, std::string>> rewrites;
    if (static_cast<int>(doc.glyphs.size()) != doc.charsRead && doc.charsLineEnd > doc.charsLine) {
        rewrites.push_back(
            {{doc.charsLine, doc.charsLineEnd}, "CHARS " + std::to_string(doc.glyphs.size())});
    }
    int left = doc.boxX, bottom = doc.boxY;
    int right = doc.boxX + doc.boxWidth, top = doc.boxY + doc.boxHeight;
    for (const BdfDocGlyph& g : doc.glyphs) {
        if (!g.edited || g.width == 0 || g.height == 0) continue;
        left = std::min(left, g.xOffset);
        bottom = std::min(bottom, g.yOffset);
        right = std::max(right, g.xOffset + g.width);
        top = std::max(top, g.yOffset + g.height);
    }
    if ((left != doc.boxX || bottom != doc.boxY || right != doc.boxX + doc.boxWidth ||
         top != doc.boxY + doc.boxHeight) &&
        doc.boxLineEnd > doc.boxLine) {
        rewrites.push_back(
            {{doc.boxLine, doc.boxLineEnd},
             "FONTBOUNDINGBOX " + boxText(right - left, top - bottom, left, bottom)});
    }
    std::sort(rewrites.begin(), rewrites.end());
    size_t from = 0;
    for (const auto& [range, line] : rewrites) {
        out += all.substr(from, range.first - from);
        out += line;
        from = range.second;
    }
    out += all.substr(from, doc.headerEnd - from);

    for (const BdfDocGlyph& g : doc.glyphs) {
        out += g.carried;
        if (g.added()) {
            appendAddedGlyph(out, doc, g);
            continue;
        }
        out += all.substr(g.leadStart, g.firstLine - g.leadStart);
        if (g.edited)
            appendEditedGlyph(out, doc, g);
        else
            out += all.substr(g.firstLine, g.lineEnd - g.firstLine);
    }
    out += doc.carriedToTail;
    out += all.substr(doc.tailStart);
    return out;
}

Outcome writeBdfDocument(const std::string& path, const BdfDocument& doc) {
    return writeFileSafely(path, bdfDocumentText(doc));
}

Outcome saveBdfDocument(const std::string& path, BdfDocument& doc) {
    std::string text = bdfDocumentText(doc);
    if (Outcome written = writeFileSafely(path, text); !written.ok()) return written;
    BdfDocument saved;
    if (Outcome read = parseBdfDocument(std::move(text), path, saved); !read.ok()) return read;
    doc = std::move(saved);
    return {};
}

std::string bdfEncodingLabel(const BdfDocument& doc) {
    if (doc.registry.empty()) return "no registry (glyphs by ENCODING)";
    std::string label = doc.registry;
    if (!doc.registryEncoding.empty()) label += "-" + doc.registryEncoding;
    if (doc.encodingKind == BdfEncodingKind::Unicode) label += " (Unicode)";
    return printable(label);
}

} // namespace dedur
