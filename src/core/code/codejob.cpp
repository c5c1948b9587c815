#include "code/codejob.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <filesystem>

#include "document/dotpacking.h"
#include "document/patternstore.h"
#include "panel/lcdimage.h"
#include "panel/panelexport.h"

namespace dedur {

namespace {

// Eight dots of a packed byte (dot x in bit x) drawn as '#' and '.'.
struct ArtTable {
    char of[256][8];
    constexpr ArtTable() : of() {
        for (int b = 0; b < 256; ++b) {
            for (int x = 0; x < 8; ++x) of[b][x] = (b >> x & 1) ? '#' : '.';
        }
    }
};
constexpr ArtTable art;

} // namespace

void appendArtRow(std::string& out, const CodePattern& p, int y) {
    const size_t stride = packedRowBytes(p.width);
    const size_t start = out.size();
    out.resize(start + stride * 8);
    for (size_t k = 0; k < stride; ++k) {
        std::memcpy(out.data() + start + k * 8,
                    art.of[p.packed[static_cast<size_t>(y) * stride + k]], 8);
    }
    out.resize(start + static_cast<size_t>(p.width));
}

std::string artRow(const CodePattern& p, int y) {
    std::string row;
    appendArtRow(row, p, y);
    return row;
}

bool isIdentifier(std::string_view text) {
    if (text.empty() || std::isdigit(static_cast<unsigned char>(text.front()))) return false;
    for (char c : text) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_') ||
            static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

std::string identifierFromFileName(std::string_view path) {
    std::string stem = std::filesystem::path(std::string(path)).stem().string();
    for (char& c : stem) {
        if (static_cast<unsigned char>(c) >= 0x80 || !std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    if (stem.empty() || std::isdigit(static_cast<unsigned char>(stem.front()))) {
        stem = std::string(1, '_').append(stem);
    }
    return stem;
}

std::string rangePastLast(std::string_view text, int count, std::string_view holder) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string_view::npos) end = text.size();
        // As the range reader takes it: digits, dashes and tildes count.
        std::string piece;
        long long highest = 0;
        long long value = -1;
        for (const char c : text.substr(start, end - start)) {
            if (c >= '0' && c <= '9') {
                value = std::min<long long>((value < 0 ? 0 : value) * 10 + (c - '0'), INT_MAX);
                highest = std::max(highest, value);
            } else if (c == '-' || c == '~') {
                value = -1;
            } else {
                continue;
            }
            piece += c;
        }
        start = end + 1;
        if (highest > count) {
            // A piece pasted a megabyte long is said by its start.
            if (piece.size() > 40) piece.replace(40, std::string::npos, "...");
            std::string why = piece + ": " + std::string(holder) + " has " + std::to_string(count);
            return why + (count == 1 ? " pattern" : " patterns");
        }
    }
    return {};
}

CodeJob makeCodeJob(const Document& doc, const std::vector<uint8_t>& flags,
                    const std::map<int, std::string>& names, const CodeOptions& options,
                    const std::string& path) {
    CodeJob job;
    job.file = std::filesystem::path(path).filename().string();
    job.name = options.name.empty() ? identifierFromFileName(path) : options.name;
    job.layout = options.layout;
    job.invert = options.invert;
    job.progmem = options.progmem;
    job.animation = options.animation;
    size_t wanted = 0;
    for (size_t i = 0; i < flags.size() && i < static_cast<size_t>(doc.patternCount); ++i) {
        wanted += flags[i] == 1;
    }
    job.patterns.reserve(wanted);
    std::vector<uint8_t> dots;
    const bool rowLayout =
        options.layout == CodeLayout::RowsMsb || options.layout == CodeLayout::RowsLsb;
    forEachRecord(doc, [&](int i, const PatternHeader& h, const uint8_t* packed) {
        if (static_cast<size_t>(i) >= flags.size() || flags[static_cast<size_t>(i)] != 1) {
            return true;
        }
        if (h.width > doc.maxSide() || h.height > doc.maxSide()) return true;
        PanelDefinition definition = doc.panelDefinition;
        if (options.ownDirections) {
            definition.leftToRight = h.leftToRight;
            definition.topToBottom = h.topToBottom;
        }
        CodePattern p;
        p.number = i + 1;
        if (const auto d = options.delays.find(p.number); d != options.delays.end()) {
            p.delay = d->second;
        }
        const auto own = names.find(p.number);
        if (wanted == 1) {
            p.ident = options.name.empty() && own != names.end() ? own->second : job.name;
        } else {
            p.ident = own != names.end()
                          ? own->second
                          : std::string(job.name).append("_").append(std::to_string(p.number));
        }
        p.width = h.width;
        p.height = h.height;
        p.onPanel = doc.kind == DocumentKind::Patterns;
        p.noun = doc.kind == DocumentKind::Image  ? "Frame"
                 : doc.kind == DocumentKind::Font ? "Glyph"
                                                  : "Pattern";
        p.seg = h.beginSeg;
        p.com = h.beginCom;
        p.lr = definition.leftToRight;
        p.tb = definition.topToBottom;
        if (options.layout == CodeLayout::Panel) {
            if (const auto off = firstDotOffPanel(h, definition)) {
                p.offPanel = offPanelMessage(p.number, *off).text;
            }
        }
        // The row layouts are the packed rows, a byte at a time; the others
        // need the dots one by one.
        if (rowLayout) {
            p.bytes = rowBytesFromPacked(packed, h.width, h.height, options.layout, options.invert);
        } else {
            dots.assign(static_cast<size_t>(h.width) * static_cast<size_t>(h.height), DOT_OFF);
            unpackDots(packed, h.width, h.height, dots.data());
            p.bytes = layoutBytes(dots.data(), h.width, h.height, options.layout, options.invert, h,
                                  definition);
        }
        p.packed.assign(packed, packed + packedRowBytes(h.width) * static_cast<size_t>(h.height));
        job.patterns.push_back(std::move(p));
        return true;
    });
    return job;
}

} // namespace dedur
