#include "fonts/bdf.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "base/fileread.h"
#include "base/limits.h"
#include "base/message.h"
#include "base/numbertext.h"
#include "base/textlines.h"
#include "fonts/big5.h"
#include "fonts/big5codec.h"

namespace dedur {

namespace {

Outcome malformedAt(const std::string& name, int line, const std::string& why) {
    return Outcome::refused({formatText("\"%s\" is not a BDF font this program reads (line %d: %s)",
                                        printable(name).c_str(), line, why.c_str()),
                             " ", MessageButtons::Ok, MessageIcon::Question});
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r')) ++at;
        const size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r') ++at;
        if (at > start) out.push_back(line.substr(start, at - start));
    }
    return out;
}

bool integer(std::string_view text, long& out) {
    if (text.empty()) return false;
    const bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.size() > 9) return false;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    out = negative ? -value : value;
    return true;
}

bool isBlank(std::string_view record) {
    return std::all_of(record.begin(), record.end(), [](char c) { return c == 0; });
}

} // namespace

bool isSpaceCharacter(long c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

GlyphFileShape glyphFileShape(GlyphFileKind kind) {
    switch (kind) {
    case GlyphFileKind::Big5_16x15:
        return {16, 15, 30, Big5GlyphCount, 13};
    case GlyphFileKind::Big5_24x24:
        return {24, 24, 72, Big5GlyphCount, 21};
    case GlyphFileKind::Symbol16x15:
        return {16, 15, 30, 408, 13};
    case GlyphFileKind::SymbolSupp16x15:
        return {16, 15, 30, 365, 13};
    default:
        return {8, 15, 15, 128, 12};
    }
}

std::string glyphFileProblem(const std::string& path, GlyphFileKind kind) {
    struct stat st {};
    if (path.empty() || (::lstat(path.c_str(), &st) != 0 && errno == ENOENT)) return {};
    FileReadStatus status = FileReadStatus::CannotOpen;
    const int fd = openRegularFile(path, status, &st);
    if (fd < 0) return readFailureReason(path, status);
    ::close(fd);
    const GlyphFileShape s = glyphFileShape(kind);
    const auto expected = static_cast<long long>(s.records) * s.recordBytes;
    if (static_cast<long long>(st.st_size) <= expected) return {};
    return formatText("it holds %lld bytes, more than the %lld of its %d glyphs",
                      static_cast<long long>(st.st_size), expected, s.records);
}

bool readGlyphFile(const std::string& path, GlyphFileKind kind, std::string& out,
                   std::string& why) {
    out.clear();
    why = glyphFileProblem(path, kind);
    if (!why.empty()) return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return true;
    const GlyphFileShape s = glyphFileShape(kind);
    const FileReadStatus status = readFileLimited(
        path, static_cast<size_t>(s.records) * static_cast<size_t>(s.recordBytes), out);
    if (status == FileReadStatus::Ok) return true;
    // Changed since the look just now.
    why = readFailureReason(path, status);
    return false;
}

namespace {

// Each record's Big5 code and code point, and the record of each code point,
// made at the first use of a kind: a font's worth of codes one at a time
// through the converters costs more than writing the font.
struct KindTables {
    std::vector<uint16_t> codes;
    std::vector<long> codePoints;
    // The record of each code point: the first record that stands for it.
    // Those of the Basic Multilingual Plane by index (-1: none), the few
    // above it in code-point order.
    std::vector<int16_t> bmpRecords;
    std::vector<std::pair<char32_t, int>> otherRecords;
};

KindTables makeTables(GlyphFileKind kind) {
    KindTables t;
    const int records = glyphFileShape(kind).records;
    t.codes.assign(static_cast<size_t>(records), 0);
    t.codePoints.assign(static_cast<size_t>(records), -1);
    if (kind == GlyphFileKind::Ascii8x15) {
        for (int r = 1; r < records; ++r) t.codePoints[static_cast<size_t>(r)] = r;
    } else {
        const bool symbols = kind != GlyphFileKind::Big5_16x15 && kind != GlyphFileKind::Big5_24x24;
        uint16_t code = kind == GlyphFileKind::Symbol16x15 ? 0xA140 : 0xC6A1;
        std::string pairs;
        for (int r = symbols ? 1 : 0; r < records; ++r) {
            // The Big5 records C940.. also stand for C6A1..C6FE: each record
            // once, by its own code.
            t.codes[static_cast<size_t>(r)] = symbols ? code : glyphNumberToCode(r + 1);
            if (symbols) code = nextBig5(code);
            pairs += static_cast<char>(t.codes[static_cast<size_t>(r)] >> 8);
            pairs += static_cast<char>(t.codes[static_cast<size_t>(r)] & 0xFF);
        }
        const std::vector<long> bulk = decodeBig5Codes(pairs);
        for (int r = symbols ? 1 : 0, k = 0; r < records; ++r, ++k) {
            long c = bulk[static_cast<size_t>(k)];
            if (c < 0 || (c >= 0xE000 && c <= 0xF8FF)) {
                // Not in the code page, or in its private use area: one by
                // one, with the extensions.
                const uint16_t one = t.codes[static_cast<size_t>(r)];
                const auto character = decodeBig5(one >> 8, one & 0xFF);
                c = character ? static_cast<long>(*character) : -1;
            }
            t.codePoints[static_cast<size_t>(r)] = c;
        }
    }
    static_assert(Big5GlyphCount <= INT16_MAX);
    t.bmpRecords.assign(0x10000, -1);
    for (int r = 0; r < records; ++r) {
        const long c = t.codePoints[static_cast<size_t>(r)];
        if (c >= 0 && c < 0x10000) {
            int16_t& slot = t.bmpRecords[static_cast<size_t>(c)];
            if (slot < 0) slot = static_cast<int16_t>(r);
        } else if (c >= 0x10000) {
            t.otherRecords.emplace_back(static_cast<char32_t>(c), r);
        }
    }
    std::stable_sort(t.otherRecords.begin(), t.otherRecords.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return t;
}

const KindTables& tablesOf(GlyphFileKind kind) {
    static KindTables tables[5];
    static bool made[5] = {};
    const auto i = static_cast<size_t>(kind);
    if (!made[i]) {
        tables[i] = makeTables(kind);
        made[i] = true;
    }
    return tables[i];
}

} // namespace

long codePointOfRecord(GlyphFileKind kind, int record) {
    const KindTables& t = tablesOf(kind);
    if (record < 0 || static_cast<size_t>(record) >= t.codePoints.size()) return -1;
    return t.codePoints[static_cast<size_t>(record)];
}

uint16_t big5CodeOfRecord(GlyphFileKind kind, int record) {
    const KindTables& t = tablesOf(kind);
    if (record < 0 || static_cast<size_t>(record) >= t.codes.size()) return 0;
    return t.codes[static_cast<size_t>(record)];
}

int recordOfCodePoint(GlyphFileKind kind, char32_t codePoint) {
    const KindTables& t = tablesOf(kind);
    if (codePoint < 0x10000) return t.bmpRecords[codePoint];
    const auto found = std::lower_bound(
        t.otherRecords.begin(), t.otherRecords.end(), codePoint,
        [](const std::pair<char32_t, int>& item, char32_t c) { return item.first < c; });
    return found == t.otherRecords.end() || found->first != codePoint ? -1 : found->second;
}

std::vector<uint8_t> recordDots(const uint8_t* record, GlyphFileKind kind) {
    const GlyphFileShape s = glyphFileShape(kind);
    const int stride = (s.width + 7) / 8;
    std::vector<uint8_t> dots(static_cast<size_t>(s.width * s.height), '0');
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            if (record[y * stride + x / 8] >> (7 - x % 8) & 1) {
                dots[static_cast<size_t>(y * s.width + x)] = '1';
            }
        }
    }
    return dots;
}

std::vector<std::pair<long, int>> fontRecords(std::string_view fileBytes, GlyphFileKind kind,
                                              int& blank, int& unmapped) {
    const GlyphFileShape s = glyphFileShape(kind);
    std::vector<std::pair<long, int>> order;
    order.reserve(static_cast<size_t>(s.records));
    blank = 0;
    unmapped = 0;
    for (int r = 0; r < s.records; ++r) {
        const size_t at = static_cast<size_t>(r) * static_cast<size_t>(s.recordBytes);
        if (at + static_cast<size_t>(s.recordBytes) > fileBytes.size()) break;
        const long codePoint = codePointOfRecord(kind, r);
        // A space is drawn with nothing and still moves the pen: it stays.
        if (!isSpaceCharacter(codePoint) &&
            isBlank(fileBytes.substr(at, static_cast<size_t>(s.recordBytes)))) {
            blank += codePoint >= 0 || r > 0;
            continue;
        }
        if (codePoint < 0) {
            ++unmapped;
            continue;
        }
        order.emplace_back(codePoint, r);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    order.erase(std::unique(order.begin(), order.end(),
                            [](const auto& a, const auto& b) { return a.first == b.first; }),
                order.end());
    return order;
}

BdfExport exportBdf(std::string_view fileBytes, GlyphFileKind kind, const std::string& name) {
    int blank = 0, unmapped = 0;
    const auto order = fontRecords(fileBytes, kind, blank, unmapped);
    BdfExport written = exportBdfGlyphs(fileBytes, kind, name, order);
    written.blank = blank;
    written.unmapped = unmapped;
    return written;
}

BdfExport exportBdfGlyphs(std::string_view fileBytes, GlyphFileKind kind, const std::string& name,
                          const std::vector<std::pair<long, int>>& recordsByCodePoint) {
    std::vector<BdfCell> cells;
    cells.reserve(recordsByCodePoint.size());
    const size_t recordBytes = static_cast<size_t>(glyphFileShape(kind).recordBytes);
    for (const auto& [codePoint, record] : recordsByCodePoint) {
        if (record < 0) {
            cells.push_back({codePoint, nullptr, 0});
        } else {
            cells.push_back(
                {codePoint,
                 reinterpret_cast<const uint8_t*>(fileBytes.data()) +
                     static_cast<size_t>(record) * recordBytes,
                 kind == GlyphFileKind::Ascii8x15 ? uint16_t{0} : big5CodeOfRecord(kind, record)});
        }
    }
    return exportBdfCells(kind, name, cells);
}

BdfExport exportBdfCells(GlyphFileKind kind, const std::string& name,
                         const std::vector<BdfCell>& order) {
    const GlyphFileShape s = glyphFileShape(kind);
    const int stride = (s.width + 7) / 8;
    BdfExport result;
    const int descent = s.height - s.ascent;
    // At 72 dots per inch a point is a dot: the point size is the pixel size.
    constexpr int resolution = 72;
    const int pointSize = s.height * 10; // in tenths, as POINT_SIZE counts
    // The advance in thousandths of the point size, as SWIDTH counts.
    const long swidth = std::lround(s.width * 72000.0 / (pointSize / 10.0 * resolution));
    std::string& out = result.text;
    out.reserve(order.size() * static_cast<size_t>(120 + s.height * (stride * 2 + 1)));
    out += "STARTFONT 2.1\n";
    out += formatText("FONT -dedur-%s-Medium-R-Normal--%d-%d-%d-%d-C-%d-ISO10646-1\n", name.c_str(),
                      s.height, pointSize, resolution, resolution, s.width * 10);
    out += formatText("SIZE %d %d %d\n", pointSize / 10, resolution, resolution);
    out += formatText("FONTBOUNDINGBOX %d %d 0 %d\n", s.width, s.height, -descent);
    out += "STARTPROPERTIES 10\n";
    out += formatText("PIXEL_SIZE %d\n", s.height);
    out += formatText("POINT_SIZE %d\n", pointSize);
    out += formatText("RESOLUTION_X %d\nRESOLUTION_Y %d\n", resolution, resolution);
    out += formatText("AVERAGE_WIDTH %d\n", s.width * 10);
    out += formatText("FONT_ASCENT %d\n", s.ascent);
    out += formatText("FONT_DESCENT %d\n", descent);
    out += "CHARSET_REGISTRY \"ISO10646\"\n";
    out += "CHARSET_ENCODING \"1\"\n";
    out += "SPACING \"C\"\n";
    out += "ENDPROPERTIES\n";
    out += "CHARS " + std::to_string(order.size()) + "\n";
    // The same for every glyph of the file, made once.
    const std::string metrics = formatText("SWIDTH %ld 0\nDWIDTH %d 0\nBBX %d %d 0 %d\nBITMAP\n",
                                           swidth, s.width, s.width, s.height, -descent);
    const auto hex = [&out](unsigned long value, int digits) {
        char text[16];
        int n = 0;
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
            text[n++] = HexDigits[(value >> shift) & 0xF];
        }
        // A code point above U+FFFF takes the digits it needs.
        for (unsigned long rest = value >> (4 * digits); rest; rest >>= 4) {
            std::memmove(text + 1, text, static_cast<size_t>(n++));
            text[0] = HexDigits[rest & 0xF];
        }
        out.append(text, static_cast<size_t>(n));
    };
    static const uint8_t blank[72] = {};
    for (const BdfCell& cell : order) {
        const long codePoint = cell.codePoint;
        const uint8_t* bytes = cell.record ? cell.record : blank;
        out += "STARTCHAR U+";
        hex(static_cast<unsigned long>(codePoint), 4);
        if (cell.big5 != 0) {
            out += "_BIG5_";
            hex(cell.big5, 4);
        }
        // The X11 tools take code points up to U+FFFF only: one above stands
        // as a glyph outside the encoding, its code point in its name alone.
        if (codePoint > 0xFFFF) {
            out += "\nENCODING -1\n";
        } else {
            out += "\nENCODING ";
            out += std::to_string(codePoint);
            out += '\n';
        }
        out += metrics;
        // The rows: two hex digits a byte and a line end, written in place.
        const size_t at = out.size();
        out.resize(at + static_cast<size_t>(s.height * (2 * stride + 1)));
        char* p = out.data() + at;
        for (int y = 0; y < s.height; ++y) {
            for (int k = 0; k < stride; ++k) {
                const uint8_t b = bytes[y * stride + k];
                *p++ = HexDigits[b >> 4];
                *p++ = HexDigits[b & 0xF];
            }
            *p++ = '\n';
        }
        out += "ENDCHAR\n";
        ++result.written;
    }
    out += "ENDFONT\n";
    return result;
}

Outcome parseBdf(std::string_view text, const std::string& name, BdfFont& out) {
    out = {};
    BdfFont font;
    LineReader reader(text);
    LinePiece piece;
    int line = 0;
    bool lineGoesOn = false; // the last piece was not the end of its line
    bool started = false;
    long declared = -1;
    BdfGlyph glyph;
    std::string charName;
    bool inChar = false;
    int bitmapRows = -1; // rows still to read, -1 outside BITMAP
    bool ascentGiven = false, descentGiven = false;
    long boxHeight = 0, boxBottom = 0;
    bool boxGiven = false;
    while (reader.next(piece, limits::BdfLinePiece)) {
        // A line longer than a piece is read by its first: no keyword, number
        // or row a font needs is that long, and the rest (a long comment)
        // must not count as lines of its own.
        const bool continued = lineGoesOn;
        lineGoesOn = !piece.hasLineEnd;
        if (continued) continue;
        ++line;
        const std::vector<std::string_view> w = words(piece.text);
        if (bitmapRows > 0) {
            // One row of hex digits, at least enough for the box's width: a
            // glyph of no width has empty lines for rows, and ENDCHAR is
            // never one.
            const std::string_view key = w.empty() ? std::string_view() : w[0];
            if (key == "ENDCHAR") return malformedAt(name, line, "fewer bitmap rows than BBX says");
            const size_t need = static_cast<size_t>((glyph.width + 7) / 8) * 2;
            if (key.size() < need) return malformedAt(name, line, "a bitmap row is too short");
            for (int x = 0; x < glyph.width; ++x) {
                const int digit = hexDigitValue(key[static_cast<size_t>(x / 4)]);
                if (digit < 0) return malformedAt(name, line, "a bitmap row is not hexadecimal");
                glyph.dots.push_back((digit >> (3 - x % 4) & 1) ? '1' : '0');
            }
            for (size_t k = static_cast<size_t>((glyph.width + 3) / 4); k < need; ++k) {
                if (hexDigitValue(key[k]) < 0) {
                    return malformedAt(name, line, "a bitmap row is not hexadecimal");
                }
            }
            --bitmapRows;
            continue;
        }
        if (w.empty()) continue;
        const std::string_view key = w[0];
        long a = 0, b = 0, c = 0, d = 0;
        if (!started) {
            if (key != "STARTFONT")
                return malformedAt(name, line, "it does not begin with STARTFONT");
            started = true;
            continue;
        }
        if ((key == "CHARSET_REGISTRY" || key == "FONT") && w.size() > 1) {
            // The registry's property, or the last fields of the font's name
            // ("-...-Big5.ETen-0").
            std::string registry(w[1]);
            for (char& ch : registry)
                ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            if (registry.find("BIG5") != std::string::npos) font.big5 = true;
        } else if (key == "FONT_ASCENT" && w.size() > 1 && integer(w[1], a)) {
            font.ascent = static_cast<int>(std::clamp(a, -1000L, 1000L));
            ascentGiven = true;
        } else if (key == "FONT_DESCENT" && w.size() > 1 && integer(w[1], a)) {
            font.descent = static_cast<int>(std::clamp(a, -1000L, 1000L));
            descentGiven = true;
        } else if (key == "FONTBOUNDINGBOX" && !inChar) {
            if (w.size() >= 5 && integer(w[2], b) && integer(w[4], d)) {
                boxHeight = std::clamp(b, -1000L, 1000L);
                boxBottom = std::clamp(d, -1000L, 1000L);
                boxGiven = true;
            }
        } else if (key == "CHARS") {
            if (w.size() < 2 || !integer(w[1], declared) || declared < 0) {
                return malformedAt(name, line, "CHARS needs a count");
            }
            if (declared > limits::BdfGlyphs) {
                return malformedAt(name, line,
                                   formatText("more than %d glyphs", limits::BdfGlyphs));
            }
            font.glyphs.reserve(static_cast<size_t>(declared));
        } else if (key == "STARTCHAR") {
            if (inChar) return malformedAt(name, line, "STARTCHAR inside a glyph");
            if (declared < 0) return malformedAt(name, line, "a glyph before CHARS");
            if (static_cast<long>(font.glyphs.size()) >= declared) {
                return malformedAt(name, line, "more glyphs than CHARS says");
            }
            glyph = {};
            charName = w.size() > 1 ? std::string(w[1]) : std::string();
            inChar = true;
        } else if (key == "ENCODING" && inChar) {
            if (w.size() < 2 || !integer(w[1], a)) {
                return malformedAt(name, line, "ENCODING needs a number");
            }
            // Outside the encoding: the code point its name gives ("U+2008A_...").
            if (a == -1 && charName.size() > 2 && charName.compare(0, 2, "U+") == 0) {
                long named = 0;
                size_t k = 2;
                for (; k < charName.size() && k < 8 && hexDigitValue(charName[k]) >= 0; ++k) {
                    named = named * 16 + hexDigitValue(charName[k]);
                }
                if (k > 2) a = named;
            }
            glyph.encoding = a;
        } else if (key == "DWIDTH" && inChar) {
            if (w.size() > 1 && integer(w[1], a) && a >= 0) {
                glyph.advance = static_cast<int>(std::min<long>(a, limits::BdfGlyphOffset));
            }
        } else if (key == "BBX" && inChar) {
            if (w.size() < 5 || !integer(w[1], a) || !integer(w[2], b) || !integer(w[3], c) ||
                !integer(w[4], d)) {
                return malformedAt(name, line, "BBX needs four numbers");
            }
            if (a < 0 || b < 0 || a > limits::BdfGlyphSide || b > limits::BdfGlyphSide ||
                std::abs(c) > limits::BdfGlyphOffset || std::abs(d) > limits::BdfGlyphOffset) {
                return malformedAt(name, line,
                                   formatText("a glyph box larger than %d x %d",
                                              limits::BdfGlyphSide, limits::BdfGlyphSide));
            }
            glyph.width = static_cast<int>(a);
            glyph.height = static_cast<int>(b);
            glyph.xOffset = static_cast<int>(c);
            glyph.yOffset = static_cast<int>(d);
        } else if (key == "BITMAP" && inChar) {
            glyph.dots.reserve(static_cast<size_t>(glyph.width * glyph.height));
            bitmapRows = glyph.height;
            if (bitmapRows == 0) bitmapRows = -1;
        } else if (key == "ENDCHAR") {
            if (!inChar) return malformedAt(name, line, "ENDCHAR without STARTCHAR");
            if (bitmapRows > 0) return malformedAt(name, line, "fewer bitmap rows than BBX says");
            if (static_cast<int>(glyph.dots.size()) != glyph.width * glyph.height) {
                return malformedAt(name, line, "a glyph without its bitmap");
            }
            font.glyphs.push_back(std::move(glyph));
            glyph = {};
            inChar = false;
            bitmapRows = -1;
        } else if (key == "ENDFONT") {
            if (inChar) return malformedAt(name, line, "ENDFONT inside a glyph");
            if (declared >= 0 && static_cast<long>(font.glyphs.size()) != declared) {
                return malformedAt(name, line,
                                   formatText("CHARS says %ld glyphs, the font has %zu", declared,
                                              font.glyphs.size()));
            }
            // The line from the properties, what they leave out from the box.
            if (!ascentGiven && boxGiven) font.ascent = static_cast<int>(boxHeight + boxBottom);
            if (!descentGiven && boxGiven) font.descent = static_cast<int>(-boxBottom);
            font.lined = (ascentGiven || boxGiven) && font.ascent + font.descent > 0;
            out = std::move(font);
            return {};
        }
    }
    return malformedAt(name, line, "it ends before ENDFONT");
}

BdfImport importBdf(const BdfFont& font, GlyphFileKind kind, bool onlyBlank,
                    std::string& fileBytes) {
    const GlyphFileShape s = glyphFileShape(kind);
    const int stride = (s.width + 7) / 8;
    const size_t fullSize = static_cast<size_t>(s.records) * static_cast<size_t>(s.recordBytes);
    if (fileBytes.size() < fullSize) fileBytes.resize(fullSize, '\0');
    // The row of the baseline: the font's line centred on the cell (a font of
    // the cell's height: its ascent at the top), or the file's own.
    const int baseline =
        font.lined ? (s.height - (font.ascent + font.descent)) / 2 + font.ascent : s.ascent;
    BdfImport result;
    for (const BdfGlyph& g : font.glyphs) {
        long codePoint = g.encoding;
        if (font.big5) {
            const auto c = g.encoding > 0 && g.encoding <= 0xFFFF
                               ? decodeBig5(static_cast<int>(g.encoding >> 8),
                                            static_cast<int>(g.encoding & 0xFF))
                               : std::nullopt;
            codePoint = c ? static_cast<long>(*c) : -1;
        }
        const int record = codePoint < 0 || codePoint > 0x10FFFF
                               ? -1
                               : recordOfCodePoint(kind, static_cast<char32_t>(codePoint));
        char* bytes = record < 0 ? nullptr
                                 : fileBytes.data() + static_cast<size_t>(record) *
                                                          static_cast<size_t>(s.recordBytes);
        if (!bytes || (onlyBlank && !isBlank({bytes, static_cast<size_t>(s.recordBytes)}))) {
            ++result.skipped;
            continue;
        }
        std::memset(bytes, 0, static_cast<size_t>(s.recordBytes));
        const int top = baseline - (g.yOffset + g.height);
        const int left =
            g.advance >= 0 ? (s.width - g.advance) / 2 + g.xOffset : (s.width - g.width) / 2;
        bool cut = false;
        for (int y = 0; y < g.height; ++y) {
            for (int x = 0; x < g.width; ++x) {
                if (g.dots[static_cast<size_t>(y * g.width + x)] != '1') continue;
                const int cx = left + x;
                const int cy = top + y;
                if (cx < 0 || cy < 0 || cx >= s.width || cy >= s.height) {
                    cut = true;
                    continue;
                }
                bytes[cy * stride + cx / 8] = static_cast<char>(
                    static_cast<uint8_t>(bytes[cy * stride + cx / 8]) | (0x80 >> (cx % 8)));
            }
        }
        ++result.placed;
        result.cut += cut;
    }
    return result;
}

} // namespace dedur
