#include "fontcode/lvglfont.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "base/limits.h"
#include "code/codeformats.h"
#include "code/commenttext.h"
#include "code/glyphsubset.h"

namespace dedur {

namespace {

// A glyph's description in the widths lv_font_fmt_txt_glyph_dsc_t gives
// its fields, so that the preview reads what LVGL would read.
struct GlyphDsc {
    uint32_t bitmapIndex : 20 = 0;
    uint32_t advW : 12 = 0; // advance x 16
    uint8_t boxW = 0;
    uint8_t boxH = 0;
    int8_t ofsX = 0;
    int8_t ofsY = 0;
};

// One lv_font_fmt_txt_cmap_t, in its fields' widths: a gapless range
// (FORMAT0_TINY) or a sparse list of offsets from rangeStart (SPARSE_TINY).
struct Cmap {
    uint32_t rangeStart = 0;
    uint16_t rangeLength = 0;
    uint16_t glyphIdStart = 0;
    bool sparse = false;
    std::vector<uint16_t> offsets;
};

// The font as the C file's arrays hold it; glyph id 0 is reserved.
struct Tables {
    std::vector<uint8_t> bitmap;
    std::vector<GlyphDsc> dsc;
    std::vector<Cmap> cmaps;
    int lineHeight = 0;
    int baseLine = 0;
};

Outcome refused(const std::string& why) {
    return Outcome::refused({why, " ", MessageButtons::Ok, MessageIcon::Question});
}

// Characters shown beside their code point, in messages and comments:
// not controls, direction marks, surrogates or the backslash (which could
// join a comment to the next line).
bool shownCharacter(long c) {
    return c > 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0) && !(c >= 0xD800 && c < 0xE000) &&
           c != '\\' && !directionMark(c) && c <= 0x10FFFF;
}

std::string glyphName(long c) {
    std::string name = "the glyph of " + codePointText(c);
    if (shownCharacter(c)) {
        name += " (";
        name += utf8(static_cast<char32_t>(c));
        name += ')';
    }
    return name;
}

// Every identifier and macro the file itself names; the font's own name
// must be none of them.
constexpr std::string_view FileIdentifiers[] = {"glyph_bitmap",
                                                "glyph_dsc",
                                                "cmaps",
                                                "font_dsc",
                                                "cache",
                                                "lv_font_get_glyph_dsc_fmt_txt",
                                                "lv_font_get_bitmap_fmt_txt",
                                                "uint8_t",
                                                "uint16_t"};

std::string nameProblem(const std::string& name) {
    if (std::string problem = codeNameProblem(name); !problem.empty()) return problem;
    const std::string quoted = '"' + name + '"';
    for (std::string_view taken : FileIdentifiers) {
        if (name == taken) return quoted + " is a name the font's own file uses";
    }
    if (name.compare(0, 13, "unicode_list_") == 0) {
        return quoted + " is like the names of the font's code-point lists (unicode_list_N)";
    }
    // lvgl.h declares lv_* and defines LV_* and LVGL*: a font so named would
    // clash with one of them, or with a built-in font, beside it.
    std::string head = name.substr(0, 4);
    for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (head.compare(0, 3, "lv_") == 0 || head == "lvgl") {
        return quoted + " begins as LVGL's own names do (lv_, LV_, LVGL)";
    }
    return {};
}

bool emptyGlyph(const BdfGlyph& g) {
    return g.width <= 0 || g.height <= 0 || isSpaceCharacter(g.encoding);
}

// The glyphs' descriptions and bitmap, each glyph checked against what its
// description can hold before it is placed.
Outcome encodeGlyphs(const BdfFont& font, Tables& t) {
    if (font.glyphs.size() > static_cast<size_t>(limits::LvglGlyphs)) {
        return refused("The font has " + std::to_string(font.glyphs.size()) +
                       " glyphs; LVGL numbers at most " + std::to_string(limits::LvglGlyphs) +
                       " in a font, so " +
                       glyphName(font.glyphs[static_cast<size_t>(limits::LvglGlyphs)].encoding) +
                       " and those after it cannot be written");
    }
    t.dsc.assign(1, GlyphDsc{});
    t.dsc.reserve(font.glyphs.size() + 1);
    long previous = 0;
    for (const BdfGlyph& g : font.glyphs) {
        const std::string who = glyphName(g.encoding);
        if (g.encoding <= 0 || g.encoding > 0x10FFFF) {
            return refused(g.encoding == 0
                               ? "LVGL never draws " + who + ": U+0000 ends its text"
                               : "Cannot write " + who + ": it is not a Unicode code point");
        }
        if (g.encoding <= previous) {
            return refused("Cannot write " + who + ": the glyphs are not in code-point order");
        }
        previous = g.encoding;
        if (g.advance < 0 || g.advance > limits::LvglAdvance) {
            return refused(g.advance < 0
                               ? "Cannot write " + who + ": it has no advance"
                               : "Cannot write " + who + ": its advance " +
                                     std::to_string(g.advance) + " passes the " +
                                     std::to_string(limits::LvglAdvance) + " LVGL can hold");
        }
        GlyphDsc d;
        d.advW = static_cast<uint32_t>(g.advance * 16) & 0xFFF;
        if (!emptyGlyph(g)) {
            if (g.width > limits::LvglGlyphSide || g.height > limits::LvglGlyphSide) {
                return refused("Cannot write " + who + ": its box " + std::to_string(g.width) +
                               "x" + std::to_string(g.height) + " passes the " +
                               std::to_string(limits::LvglGlyphSide) + " dots LVGL can hold");
            }
            for (int offset : {g.xOffset, g.yOffset}) {
                if (offset < limits::LvglOffsetMin || offset > limits::LvglOffsetMax) {
                    return refused("Cannot write " + who + ": its box stands " +
                                   std::to_string(offset) + " dots from the origin; LVGL holds " +
                                   std::to_string(limits::LvglOffsetMin) + " to " +
                                   std::to_string(limits::LvglOffsetMax));
                }
            }
            const size_t dots = static_cast<size_t>(g.width) * static_cast<size_t>(g.height);
            const size_t bytes = (dots + 7) / 8;
            if (t.bitmap.size() + bytes > limits::LvglBitmapBytes) {
                return refused("Cannot write " + who + ": the bitmap would pass the 1 MB (" +
                               std::to_string(limits::LvglBitmapBytes) +
                               " bytes) LVGL can index; write fewer glyphs");
            }
            d.bitmapIndex = static_cast<uint32_t>(t.bitmap.size()) & 0xFFFFF;
            d.boxW = static_cast<uint8_t>(g.width);
            d.boxH = static_cast<uint8_t>(g.height);
            d.ofsX = static_cast<int8_t>(g.xOffset);
            d.ofsY = static_cast<int8_t>(g.yOffset);
            // Row after row with no padding between rows, the first dot in
            // the top bit of a byte.
            size_t at = t.bitmap.size();
            t.bitmap.resize(at + bytes, 0);
            for (size_t i = 0; i < dots; ++i) {
                if (i < g.dots.size() && g.dots[i] == '1') {
                    t.bitmap[at + i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
                }
            }
        }
        t.dsc.push_back(d);
    }
    return {};
}

// A run of glyphs whose code points follow one another without a gap.
struct Run {
    size_t first = 0; // index of its first glyph
    size_t count = 0;
    uint32_t code = 0; // its first code point
};

// The cmaps that cost fewest bytes when each cmap costs `cmapCost` and each
// entry of a sparse list two: over the runs, each either a gapless range of
// its own (split where it passes a cmap's span) or part of a sparse list of
// consecutive runs spanning at most LvglCmapSpan code points. The cheapest
// sparse start for each end comes from a window of starts kept in order of
// cost, so the search is linear in the runs.
std::vector<Cmap> planCmaps(const BdfFont& font, const std::vector<Run>& runs, uint64_t cmapCost) {
    const size_t n = runs.size();
    const auto lastCode = [&](size_t r) { return runs[r].code + runs[r].count - 1; };
    std::vector<uint64_t> before(n + 1, 0); // glyphs before run i
    for (size_t i = 0; i < n; ++i) before[i + 1] = before[i] + runs[i].count;
    std::vector<uint64_t> cost(n + 1, 0);
    std::vector<size_t> from(n + 1, 0);
    std::vector<bool> sparse(n + 1, false);
    std::deque<size_t> window; // starts, their keys rising
    const auto key = [&](size_t i) { return cost[i] - 2 * before[i] + 2 * before[n]; };
    size_t low = 0;
    for (size_t j = 1; j <= n; ++j) {
        const size_t last = j - 1;
        const uint64_t span = runs[last].count;
        cost[j] =
            cost[last] + cmapCost * ((span + limits::LvglCmapSpan - 1) / limits::LvglCmapSpan);
        from[j] = last;
        sparse[j] = false;
        while (!window.empty() && key(window.back()) >= key(last)) window.pop_back();
        window.push_back(last);
        while (low < j && uint64_t{lastCode(last)} - runs[low].code + 1 > limits::LvglCmapSpan) {
            ++low;
        }
        while (!window.empty() && window.front() < low) window.pop_front();
        if (!window.empty()) {
            const size_t i = window.front();
            const uint64_t viaSparse = cost[i] + cmapCost + 2 * (before[j] - before[i]);
            if (viaSparse < cost[j]) {
                cost[j] = viaSparse;
                from[j] = i;
                sparse[j] = true;
            }
        }
    }
    std::vector<Cmap> cmaps;
    for (size_t j = n; j > 0; j = from[j]) {
        const size_t i = from[j];
        if (sparse[j]) {
            Cmap c;
            c.sparse = true;
            c.rangeStart = runs[i].code;
            c.rangeLength = static_cast<uint16_t>(lastCode(j - 1) - c.rangeStart + 1);
            c.glyphIdStart = static_cast<uint16_t>(runs[i].first + 1);
            for (size_t r = i; r < j; ++r) {
                for (size_t k = 0; k < runs[r].count; ++k) {
                    c.offsets.push_back(static_cast<uint16_t>(
                        font.glyphs[runs[r].first + k].encoding - c.rangeStart));
                }
            }
            cmaps.push_back(std::move(c));
        } else {
            // Pieces pushed last first, as the whole list is turned round.
            const Run& run = runs[i];
            size_t pieces = (run.count + limits::LvglCmapSpan - 1) / limits::LvglCmapSpan;
            while (pieces-- > 0) {
                const size_t skip = pieces * limits::LvglCmapSpan;
                Cmap c;
                c.rangeStart = run.code + static_cast<uint32_t>(skip);
                c.rangeLength =
                    static_cast<uint16_t>(std::min<size_t>(limits::LvglCmapSpan, run.count - skip));
                c.glyphIdStart = static_cast<uint16_t>(run.first + skip + 1);
                cmaps.push_back(std::move(c));
            }
        }
    }
    std::reverse(cmaps.begin(), cmaps.end());
    return cmaps;
}

// The cmaps of the font: the fewest bytes on a 32-bit target (a cmap is 24
// bytes, an entry of a sparse list 2). Where that takes more cmaps than LVGL
// counts, each cmap is made dearer until runs merge into few enough.
std::vector<Cmap> makeCmaps(const BdfFont& font) {
    std::vector<Run> runs;
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        const uint32_t code = static_cast<uint32_t>(font.glyphs[i].encoding);
        if (!runs.empty() && runs.back().code + runs.back().count == code) {
            ++runs.back().count;
        } else {
            runs.push_back({i, 1, code});
        }
    }
    uint64_t cmapCost = 24;
    std::vector<Cmap> cmaps = planCmaps(font, runs, cmapCost);
    while (cmaps.size() > static_cast<size_t>(limits::LvglCmaps)) {
        cmapCost *= 4;
        cmaps = planCmaps(font, runs, cmapCost);
    }
    return cmaps;
}

Outcome encode(const BdfFont& font, const FontOutput& output, Tables& t) {
    if (const std::string problem = nameProblem(output.name); !problem.empty()) {
        return refused("The font's name cannot be used: " + problem + "; give another with --name");
    }
    if (Outcome made = encodeGlyphs(font, t); !made.ok()) return made;
    t.cmaps = makeCmaps(font);
    t.lineHeight = font.ascent + font.descent;
    t.baseLine = font.descent;
    return {};
}

// Text handed to the sink in pieces of about 64 KB; stops once the sink
// says so.
class Out {
  public:
    explicit Out(const CodeSink& sink) : sink_(sink) { text_.reserve(Piece + 256); }
    Out& operator<<(std::string_view text) {
        text_ += text;
        if (text_.size() >= Piece) flush();
        return *this;
    }
    Out& operator<<(long long value) { return *this << std::string_view(std::to_string(value)); }
    void flush() {
        if (!stopped_ && !text_.empty()) stopped_ = !sink_(text_);
        text_.clear();
    }
    bool stopped() const { return stopped_; }

  private:
    static constexpr size_t Piece = size_t{64} << 10;
    const CodeSink& sink_;
    std::string text_;
    bool stopped_ = false;
};

std::string glyphComment(long c) {
    std::string out = "/* " + codePointText(c);
    if (shownCharacter(c)) {
        out += " \"";
        out += utf8(static_cast<char32_t>(c));
        out += '"';
    }
    return out + " */";
}

constexpr std::string_view Hex = "0123456789abcdef";

// LVGL 9.3 and later: the stride of the bitmaps and the static bitmaps.
constexpr std::string_view From93 =
    "#if LVGL_VERSION_MAJOR > 9 || (LVGL_VERSION_MAJOR == 9 && LVGL_VERSION_MINOR >= 3)\n";

void writeText(const BdfFont& font, const FontOutput& output, const Tables& t,
               const CodeSink& sink) {
    Out out(sink);
    const std::string& name = output.name;
    out << "/*\n * " << name << ": a font for LVGL 8 and 9 (lv_font_fmt_txt), 1 bit per dot\n";
    if (!output.comment.empty()) out << " * " << commentText(output.comment) << "\n";
    out << " * Size: " << static_cast<long long>(t.lineHeight) << " px line ("
        << static_cast<long long>(font.ascent) << " above the baseline, "
        << static_cast<long long>(font.descent) << " below), "
        << static_cast<long long>(font.glyphs.size()) << " glyphs\n"
        << " * Elsewhere: LV_FONT_DECLARE(" << name << ");\n */\n\n";
    out << "#ifdef __has_include\n"
           "#if __has_include(\"lvgl.h\")\n"
           "#ifndef LV_LVGL_H_INCLUDE_SIMPLE\n"
           "#define LV_LVGL_H_INCLUDE_SIMPLE\n"
           "#endif\n"
           "#endif\n"
           "#endif\n\n"
           "#ifdef LV_LVGL_H_INCLUDE_SIMPLE\n"
           "#include \"lvgl.h\"\n"
           "#else\n"
           "#include \"lvgl/lvgl.h\"\n"
           "#endif\n\n"
           "#if !defined(LVGL_VERSION_MAJOR) || LVGL_VERSION_MAJOR < 8\n"
           "#error \"This font is for LVGL 8 and later\"\n"
           "#endif\n\n";

    // Each glyph's box row after row, 1 bit per dot, the first in the top
    // bit; a glyph starts on a byte of its own.
    out << "static LV_ATTRIBUTE_LARGE_CONST const uint8_t glyph_bitmap[] = {\n";
    if (t.bitmap.empty()) out << "    0x00 /* no glyph has dots */\n";
    std::string line;
    for (size_t g = 0; g < font.glyphs.size() && !out.stopped(); ++g) {
        const GlyphDsc& d = t.dsc[g + 1];
        const size_t begin = d.bitmapIndex;
        const size_t end =
            begin + (static_cast<size_t>(d.boxW) * static_cast<size_t>(d.boxH) + 7) / 8;
        out << "    " << glyphComment(font.glyphs[g].encoding) << "\n";
        for (size_t i = begin; i < end; i += 16) {
            line = "   ";
            for (size_t k = i; k < std::min(end, i + 16); ++k) {
                const uint8_t b = t.bitmap[k];
                line += " 0x";
                line += Hex[b >> 4];
                line += Hex[b & 15];
                line += ',';
            }
            line += '\n';
            out << line;
        }
    }
    out << "};\n\n";

    out << "static const lv_font_fmt_txt_glyph_dsc_t glyph_dsc[] = {\n";
    for (size_t id = 0; id < t.dsc.size() && !out.stopped(); ++id) {
        const GlyphDsc& d = t.dsc[id];
        out << "    {.bitmap_index = " << static_cast<long long>(d.bitmapIndex)
            << ", .adv_w = " << static_cast<long long>(d.advW)
            << ", .box_w = " << static_cast<long long>(d.boxW)
            << ", .box_h = " << static_cast<long long>(d.boxH)
            << ", .ofs_x = " << static_cast<long long>(d.ofsX)
            << ", .ofs_y = " << static_cast<long long>(d.ofsY) << "}, ";
        if (id == 0) {
            out << "/* reserved */\n";
        } else {
            out << "/* " << codePointText(font.glyphs[id - 1].encoding) << " */\n";
        }
    }
    out << "};\n\n";

    // The code points of each sparse cmap, as offsets from its first.
    for (size_t c = 0; c < t.cmaps.size() && !out.stopped(); ++c) {
        if (!t.cmaps[c].sparse) continue;
        out << "static const uint16_t unicode_list_" << static_cast<long long>(c) << "[] = {\n";
        const std::vector<uint16_t>& offsets = t.cmaps[c].offsets;
        for (size_t i = 0; i < offsets.size(); i += 12) {
            line = "   ";
            for (size_t k = i; k < std::min(offsets.size(), i + 12); ++k) {
                line += " 0x";
                for (int shift = 12; shift >= 0; shift -= 4)
                    line += Hex[(offsets[k] >> shift) & 15];
                line += ',';
            }
            line += '\n';
            out << line;
        }
        out << "};\n\n";
    }

    if (!t.cmaps.empty()) {
        out << "static const lv_font_fmt_txt_cmap_t cmaps[] = {\n";
        for (size_t c = 0; c < t.cmaps.size() && !out.stopped(); ++c) {
            const Cmap& m = t.cmaps[c];
            const std::string list = "unicode_list_" + std::to_string(c);
            out << "    {.range_start = " << static_cast<long long>(m.rangeStart)
                << ", .range_length = " << static_cast<long long>(m.rangeLength)
                << ", .glyph_id_start = " << static_cast<long long>(m.glyphIdStart)
                << ",\n     .unicode_list = " << (m.sparse ? std::string_view(list) : "NULL")
                << ", .glyph_id_ofs_list = NULL, .list_length = "
                << static_cast<long long>(m.sparse ? m.offsets.size() : 0) << ",\n     .type = "
                << (m.sparse ? "LV_FONT_FMT_TXT_CMAP_SPARSE_TINY"
                             : "LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY")
                << "},\n";
        }
        out << "};\n\n";
    }

    out << "#if LVGL_VERSION_MAJOR == 8\n"
           "/* LVGL 8 keeps the last glyph it looked up here */\n"
           "static lv_font_fmt_txt_glyph_cache_t cache;\n"
           "#endif\n\n"
           "static const lv_font_fmt_txt_dsc_t font_dsc = {\n"
           "    .glyph_bitmap = glyph_bitmap,\n"
           "    .glyph_dsc = glyph_dsc,\n"
        << (t.cmaps.empty() ? "    .cmaps = NULL,\n" : "    .cmaps = cmaps,\n")
        << "    .kern_dsc = NULL,\n"
           "    .kern_scale = 0,\n"
           "    .cmap_num = "
        << static_cast<long long>(t.cmaps.size())
        << ",\n"
           "    .bpp = 1,\n"
           "    .kern_classes = 0,\n"
           "    .bitmap_format = 0,\n"
           "#if LVGL_VERSION_MAJOR == 8\n"
           "    .cache = &cache,\n"
           "#endif\n"
        << From93
        << "    .stride = 0,\n"
           "#endif\n"
           "};\n\n";

    out << "const lv_font_t " << name
        << " = {\n"
           "    .get_glyph_dsc = lv_font_get_glyph_dsc_fmt_txt,\n"
           "    .get_glyph_bitmap = lv_font_get_bitmap_fmt_txt,\n"
           "    .line_height = "
        << static_cast<long long>(t.lineHeight)
        << ",\n"
           "    .base_line = "
        << static_cast<long long>(t.baseLine)
        << ",\n"
           "    .subpx = LV_FONT_SUBPX_NONE,\n"
           "    .underline_position = -1,\n"
           "    .underline_thickness = 1,\n"
        << From93
        << "    .static_bitmap = 1,\n"
           "#endif\n"
           "    .dsc = &font_dsc,\n"
           "#if LVGL_VERSION_MAJOR >= 9 || LVGL_VERSION_MINOR >= 2\n"
           "    .fallback = NULL,\n"
           "#endif\n"
           "#if LVGL_VERSION_MAJOR >= 9\n"
           "    .user_data = NULL,\n"
           "#endif\n"
           "};\n";
    out.flush();
}

// The glyph id LVGL finds for a code point: the first cmap whose range
// holds it answers, by its place in a gapless range or by a binary search
// of its sparse list (0 when the list lacks it).
uint32_t lookUp(const std::vector<Cmap>& cmaps, uint32_t letter) {
    if (letter == 0) return 0;
    for (const Cmap& m : cmaps) {
        const uint32_t rcp = letter - m.rangeStart;
        if (rcp >= m.rangeLength) continue;
        if (!m.sparse) return uint32_t{m.glyphIdStart} + rcp;
        size_t low = 0, high = m.offsets.size();
        while (low < high) {
            const size_t mid = low + (high - low) / 2;
            if (m.offsets[mid] < rcp) {
                low = mid + 1;
            } else if (m.offsets[mid] > rcp) {
                high = mid;
            } else {
                return uint32_t{m.glyphIdStart} + static_cast<uint32_t>(mid);
            }
        }
        return 0;
    }
    return 0;
}

} // namespace

Outcome writeLvglFont(const BdfFont& font, const FontOutput& output, const CodeSink& sink) {
    Tables t;
    if (Outcome made = encode(font, output, t); !made.ok()) return made;
    writeText(font, output, t, sink);
    return {};
}

Outcome lvglDrawnFont(const BdfFont& font, const FontOutput& output, BdfFont& out) {
    out = BdfFont{};
    Tables t;
    if (Outcome made = encode(font, output, t); !made.ok()) return made;
    out.ascent = t.lineHeight - t.baseLine;
    out.descent = t.baseLine;
    out.lined = true;
    out.glyphs.reserve(font.glyphs.size());
    for (const BdfGlyph& source : font.glyphs) {
        const uint32_t id = lookUp(t.cmaps, static_cast<uint32_t>(source.encoding));
        if (id == 0 || id >= t.dsc.size()) continue; // LVGL draws nothing for it
        const GlyphDsc& d = t.dsc[id];
        BdfGlyph g;
        g.encoding = source.encoding;
        g.advance = static_cast<int>((d.advW + 8) >> 4);
        g.width = d.boxW;
        g.height = d.boxH;
        g.xOffset = d.ofsX;
        g.yOffset = d.ofsY;
        const size_t dots = static_cast<size_t>(d.boxW) * static_cast<size_t>(d.boxH);
        g.dots.assign(dots, '0');
        for (size_t i = 0; i < dots; ++i) {
            const size_t at = d.bitmapIndex + i / 8;
            if (at < t.bitmap.size() && (t.bitmap[at] & (0x80 >> (i % 8)))) g.dots[i] = '1';
        }
        out.glyphs.push_back(std::move(g));
    }
    return {};
}

} // namespace dedur
