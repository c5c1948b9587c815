#include "code/codejob.h"

#include <cctype>
#include <filesystem>

#include "document/patternstore.h"
#include "panel/lcdimage.h"
#include "panel/panelexport.h"

namespace dedur {

namespace {

struct ArtTable {
    char of[256];
    constexpr ArtTable() : of() {
        for (char& c : of) c = '.';
        of[DOT_ON] = '#';
    }
};
constexpr ArtTable art;

std::vector<std::string> artRows(const uint8_t* dots, int width, int height) {
    std::vector<std::string> rows(static_cast<size_t>(height), std::string());
    for (int y = 0; y < height; ++y) {
        std::string& row = rows[static_cast<size_t>(y)];
        row.resize(static_cast<size_t>(width));
        const uint8_t* from = dots + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x) {
            // A table, not a branch: random dots would miss every other guess.
            row[static_cast<size_t>(x)] = art.of[from[x]];
        }
    }
    return rows;
}

} // namespace

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

CodeJob makeCodeJob(const Document& doc, const std::vector<uint8_t>& flags,
                    const std::map<int, std::string>& names, const CodeOptions& options,
                    const std::string& path) {
    CodeJob job;
    job.file = std::filesystem::path(path).filename().string();
    job.name = options.name.empty() ? identifierFromFileName(path) : options.name;
    job.layout = options.layout;
    job.invert = options.invert;
    job.progmem = options.progmem;
    size_t wanted = 0;
    for (size_t i = 0; i < flags.size() && i < static_cast<size_t>(doc.patternCount); ++i) {
        wanted += flags[i] == 1;
    }
    job.patterns.reserve(wanted);
    std::vector<uint8_t> dots;
    forEachRecord(doc, [&](int i, const PatternHeader& h, const uint8_t*) {
        if (static_cast<size_t>(i) >= flags.size() || flags[static_cast<size_t>(i)] != 1) {
            return true;
        }
        if (h.width > MaxPatternSide || h.height > MaxPatternSide) return true;
        dots.assign(static_cast<size_t>(h.width) * static_cast<size_t>(h.height), DOT_OFF);
        recordDots(doc, i, dots.data());
        PanelDefinition definition = doc.panelDefinition;
        if (options.ownDirections) {
            definition.leftToRight = h.leftToRight;
            definition.topToBottom = h.topToBottom;
        }
        CodePattern p;
        p.number = i + 1;
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
        p.seg = h.beginSeg;
        p.com = h.beginCom;
        p.lr = definition.leftToRight;
        p.tb = definition.topToBottom;
        if (options.layout == CodeLayout::Panel) {
            if (const auto off = firstDotOffPanel(h, definition)) {
                p.offPanel = offPanelMessage(p.number, *off).text;
            }
        }
        p.bytes = layoutBytes(dots.data(), h.width, h.height, options.layout, options.invert, h,
                              definition);
        p.rows = artRows(dots.data(), h.width, h.height);
        job.patterns.push_back(std::move(p));
        return true;
    });
    return job;
}

} // namespace dedur
