#include "bdfcommands.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

#include "base/limits.h"
#include "base/message.h"
#include "base/safewrite.h"
#include "code/codejob.h"
#include "commands.h"
#include "fonts/bdfdocument.h"
#include "fonts/big5codec.h"
#include "image/imagefile.h"

namespace dedur::cli {

namespace {

bool endsWith(const std::string& text, std::string_view tail) {
    if (text.size() < tail.size()) return false;
    return std::equal(tail.begin(), tail.end(), text.end() - static_cast<long>(tail.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

bool readFont(const std::string& path, BdfDocument& doc) {
    if (const Outcome read = readBdfDocument(path, doc); !read.ok()) {
        failure(read.message.text);
        return false;
    }
    return true;
}

// How a glyph is named on the sheet and in glyph's line: its code point in a
// Unicode font, its ENCODING in hexadecimal in others.
std::string codeLabel(const BdfDocument& doc, long encoding) {
    if (encoding < 0) return "-1";
    const bool unicode = doc.encodingKind == BdfEncodingKind::Unicode;
    return formatText(unicode ? "U+%04lX" : "%04lX", encoding);
}

// One UTF-8 character, the whole of `text`; -1 otherwise.
long singleCharacter(std::string_view text) {
    if (text.empty()) return -1;
    const auto lead = static_cast<unsigned char>(text[0]);
    const size_t length = lead < 0x80       ? 1
                          : lead >> 5 == 6  ? 2
                          : lead >> 4 == 14 ? 3
                          : lead >> 3 == 30 ? 4
                                            : 0;
    if (length == 0 || text.size() != length) return -1;
    long cp = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >> 6 != 2) return -1;
        cp = cp << 6 | (c & 0x3F);
    }
    static constexpr long Least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < Least[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
    return cp;
}

bool allOf(std::string_view text, const char* set) {
    return !text.empty() && text.find_first_not_of(set) == std::string_view::npos;
}

// The ENCODING the argument names in this font: U+XXXX or a character by its
// code point (turned into its Big5 code in a Big5 font), 0xHHHH or a number
// of two or more digits as the ENCODING itself. -1 with `why` otherwise.
long encodingOfArgument(const BdfDocument& doc, const std::string& arg, std::string& why) {
    constexpr const char* Hex = "0123456789abcdefABCDEF";
    long codePoint = -1;
    if ((arg.rfind("U+", 0) == 0 || arg.rfind("u+", 0) == 0) && arg.size() <= 8 &&
        allOf(std::string_view(arg).substr(2), Hex)) {
        codePoint = static_cast<long>(uncheckedHexValue(arg.substr(2)));
        if (codePoint > 0x10FFFF) codePoint = -1;
    } else if ((arg.rfind("0x", 0) == 0 || arg.rfind("0X", 0) == 0) && arg.size() <= 10 &&
               allOf(std::string_view(arg).substr(2), Hex)) {
        return static_cast<long>(uncheckedHexValue(arg.substr(2)));
    } else if (arg.size() >= 2 && arg.size() <= 9 && allOf(arg, "0123456789")) {
        return std::stol(arg);
    } else {
        codePoint = singleCharacter(arg);
    }
    if (codePoint < 0) {
        why = "give a character, U+XXXX, 0xHHHH or a number, not \"" + printable(arg) + "\"";
        return -1;
    }
    if (doc.encodingKind != BdfEncodingKind::Big5) return codePoint;
    const std::string bytes = encodeBig5(static_cast<char32_t>(codePoint));
    if (bytes.size() == 1) return static_cast<unsigned char>(bytes[0]);
    if (bytes.size() != 2) {
        why = formatText("U+%04lX has no Big5 code", codePoint);
        return -1;
    }
    return static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]);
}

// The sheet's small built-in figures, 3 x 5 pixels each, a row of three bits
// (high bit left) per entry.
constexpr std::string_view FigureChars = "0123456789ABCDEFU+-";
constexpr std::array<std::array<uint8_t, 5>, 19> Figures = {{
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
    {2, 5, 7, 5, 5}, {6, 5, 6, 5, 6}, {3, 4, 4, 4, 3}, {6, 5, 5, 5, 6}, {7, 4, 7, 4, 7},
    {7, 4, 7, 4, 4}, {5, 5, 5, 5, 7}, {0, 2, 7, 2, 0}, {0, 0, 7, 0, 0},
}};
constexpr int FigureAdvance = 4; // 3 wide and a blank column

enum Ink : uint8_t { Paper = 0, Black = 1, Grey = 2 };

void fill(IndexedImage& image, int x, int y, int w, int h, uint8_t ink) {
    for (int row = y; row < y + h; ++row) {
        std::fill_n(image.pixels.begin() + static_cast<long>(row) * image.width + x, w, ink);
    }
}

void drawFigures(IndexedImage& image, int left, int top, const std::string& text, int pixel) {
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t which = FigureChars.find(text[i]);
        if (which == std::string_view::npos) continue;
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 3; ++x) {
                if (!(Figures[which][static_cast<size_t>(y)] >> (2 - x) & 1)) continue;
                fill(image, left + (static_cast<int>(i) * FigureAdvance + x) * pixel,
                     top + y * pixel, pixel, pixel, Black);
            }
        }
    }
}

} // namespace

bool isBdfPath(const std::string& path) {
    return endsWith(path, ".bdf");
}

int bdfGlyph(const ParsedArgs& args) {
    const Command& self = glyphCommand();
    if (args.positional.size() != 2) {
        return usageError(self, "a BDF font takes the glyph as U+XXXX, a character or a number");
    }
    if (args.has("code") || args.has("number") || args.has("kind") || args.has("c-array")) {
        return usageError(self, "--code, --number, --kind and --c-array are for the glyph files");
    }
    const std::string& path = args.positional[0];
    BdfDocument doc;
    if (!readFont(path, doc)) return 1;
    std::string why;
    const long encoding = encodingOfArgument(doc, args.positional[1], why);
    if (encoding < 0) return usageError(self, why);
    const int index = doc.glyphIndexOf(encoding);
    if (index < 0) {
        return failure(quotedPath(path) + " has no glyph for " + codeLabel(doc, encoding));
    }
    const BdfDocGlyph& g = doc.glyphs[static_cast<size_t>(index)];
    std::string out =
        formatText("%s %s BBX %d %d %d %d DWIDTH %d\n", codeLabel(doc, g.encoding).c_str(),
                   printable(g.name).c_str(), g.width, g.height, g.xOffset, g.yOffset, g.advance);
    for (int y = 0; y < g.height; ++y) {
        for (int x = 0; x < g.width; ++x) out += g.dot(x, y) ? '1' : '0';
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return standardOutputWritten() ? 0 : 1;
}

int bdfInfo(const std::string& path) {
    BdfDocument doc;
    if (!readFont(path, doc)) return 1;
    const long unencoded = std::count_if(doc.glyphs.begin(), doc.glyphs.end(),
                                         [](const BdfDocGlyph& g) { return g.encoding < 0; });
    std::string out = formatText("BDF glyphs=%zu box=%dx%d offset=%d,%d ascent=%d descent=%d "
                                 "encoding=\"%s\"",
                                 doc.glyphs.size(), doc.boxWidth, doc.boxHeight, doc.boxX, doc.boxY,
                                 doc.ascent, doc.descent, bdfEncodingLabel(doc).c_str());
    if (unencoded > 0) out += formatText(" unencoded=%ld", unencoded);
    // Only the first glyph of an ENCODING is reached by its code.
    if (doc.duplicateEncodings > 0) out += formatText(" duplicates=%d", doc.duplicateEncodings);
    out += '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
    return standardOutputWritten() ? 0 : 1;
}

int renderBdfSpecimen(const ParsedArgs& args) {
    const Command& self = renderCommand();
    const std::string& path = args.positional[0];
    const std::string& target = args.positional[1];
    for (const char* option : {"pattern", "all", "grid", "loop"}) {
        if (args.has(option)) {
            return usageError(self, std::string("--") + option + " is not for a BDF font");
        }
    }
    int scale = 2, columns = 16;
    std::string error;
    if (!numberOption(args, "scale", 1, limits::RenderScaleMax, scale, error) ||
        !numberOption(args, "columns", 1, 1000, columns, error)) {
        return usageError(self, error);
    }
    if (endsWith(target, ".gif")) return usageError(self, "a BDF font is drawn as PNG, PBM or XBM");
    BdfDocument doc;
    if (!readFont(path, doc)) return 1;
    long first = 0, last = LONG_MAX;
    if (const auto range = args.value("range")) {
        const size_t dash = range->find('-', 1);
        std::string why;
        first =
            dash == std::string::npos ? -1 : encodingOfArgument(doc, range->substr(0, dash), why);
        last = first < 0 ? -1 : encodingOfArgument(doc, range->substr(dash + 1), why);
        if (first < 0 || last < first) {
            return usageError(self, "--range of a BDF font is FIRST-LAST, each U+XXXX or 0xHHHH");
        }
    }
    if (!outputAllowed(path, target, args.has("force"))) return 1;

    // Every glyph in one cell of the box that holds them all, on one baseline.
    int left = doc.boxX, bottom = doc.boxY;
    int right = doc.boxX + doc.boxWidth, top = doc.boxY + doc.boxHeight;
    size_t labelChars = 2;
    std::vector<int> order;
    order.reserve(doc.glyphs.size());
    for (size_t i = 0; i < doc.glyphs.size(); ++i) {
        const BdfDocGlyph& g = doc.glyphs[i];
        if (args.has("range") && (g.encoding < first || g.encoding > last)) continue;
        order.push_back(static_cast<int>(i));
        if (g.width > 0 && g.height > 0) {
            left = std::min(left, g.xOffset);
            bottom = std::min(bottom, g.yOffset);
            right = std::max(right, g.xOffset + g.width);
            top = std::max(top, g.yOffset + g.height);
        }
        labelChars = std::max(labelChars, codeLabel(doc, g.encoding).size());
    }
    // By code; glyphs outside the encoding last, in the file's order.
    std::stable_sort(order.begin(), order.end(), [&doc](int a, int b) {
        const auto key = [&doc](int i) {
            const long e = doc.glyphs[static_cast<size_t>(i)].encoding;
            return e < 0 ? LONG_MAX : e;
        };
        return key(a) < key(b);
    });
    const int boxW = std::max(right - left, 1), boxH = std::max(top - bottom, 1);
    const int figure = std::min(scale, std::max(2, scale / 2)); // a figure's pixel
    const long labelW = static_cast<long>(labelChars) * FigureAdvance * figure - figure;
    const long gap = 4L * scale + 4;
    const long cellW = std::max<long>(long{boxW} * scale, labelW) + gap;
    const long cellH = long{boxH} * scale + 2L * figure + 5L * figure + gap;
    const long margin = 24;
    const long count = std::max<long>(static_cast<long>(order.size()), 1);
    const long across = std::min<long>(columns, count);
    const long down = (count + across - 1) / across;
    const uint64_t width = static_cast<uint64_t>(2 * margin + across * cellW - gap);
    const uint64_t height = static_cast<uint64_t>(2 * margin + down * cellH - gap);
    if (width * height > limits::SpecimenPixels) {
        return failure(
            formatText("A sheet of %zu glyphs at scale %d would be %llu x %llu pixels, "
                       "more than the %llu a sheet may have; give a smaller --scale or a --range",
                       order.size(), scale, static_cast<unsigned long long>(width),
                       static_cast<unsigned long long>(height),
                       static_cast<unsigned long long>(limits::SpecimenPixels)));
    }
    IndexedImage sheet;
    sheet.width = static_cast<int>(width);
    sheet.height = static_cast<int>(height);
    sheet.palette = {0xFFFFFF, 0x000000, 0xC8C8C8};
    sheet.pixels.assign(width * height, Paper);
    for (size_t k = 0; k < order.size(); ++k) {
        const BdfDocGlyph& g = doc.glyphs[static_cast<size_t>(order[k])];
        const int cellX = static_cast<int>(margin + static_cast<long>(k) % across * cellW);
        const int cellY = static_cast<int>(margin + static_cast<long>(k) / across * cellH);
        const int boxX = cellX + static_cast<int>((cellW - gap - long{boxW} * scale) / 2);
        // The baseline in grey under the box's row 0, the glyph's dots over it.
        if (bottom < 0 && top > 0) fill(sheet, boxX, cellY + top * scale, boxW * scale, 1, Grey);
        for (int y = 0; y < g.height; ++y) {
            for (int x = 0; x < g.width; ++x) {
                if (!g.dot(x, y)) continue;
                const int col = g.xOffset - left + x;
                const int row = top - (g.yOffset + g.height) + y;
                fill(sheet, boxX + col * scale, cellY + row * scale, scale, scale, Black);
            }
        }
        const std::string label = codeLabel(doc, g.encoding);
        const int labelLeft =
            cellX +
            static_cast<int>((cellW - gap -
                              (static_cast<long>(label.size()) * FigureAdvance * figure - figure)) /
                             2);
        drawFigures(sheet, labelLeft, cellY + boxH * scale + 2 * figure, label, figure);
    }
    const std::string bytes = endsWith(target, ".pbm") ? encodePbm(sheet)
                              : endsWith(target, ".xbm")
                                  ? encodeXbm(sheet, identifierFromFileName(target))
                                  : encodePng(sheet);
    if (bytes.empty()) return failure("The image could not be made");
    if (const Outcome written = writeFileSafely(target, bytes); !written.ok()) {
        return failure(written.message.text);
    }
    return 0;
}

} // namespace dedur::cli

// render's help text names it.
static_assert(dedur::limits::SpecimenPixels == 67108864);
