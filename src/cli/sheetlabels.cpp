#include "sheetlabels.h"

#include <algorithm>

#include "document/patternstore.h"
#include "glyphrenderer.h"

namespace dedur::cli {

namespace {

constexpr const char* LabelFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

// One line of text, a character per cell.
InkBitmap drawLine(fontgen::GlyphRenderer& font, const std::string& text, int cellWidth,
                   int cellHeight) {
    InkBitmap line{static_cast<int>(text.size()) * cellWidth, cellHeight, {}};
    line.ink.assign(static_cast<size_t>(line.width * line.height), 0);
    for (size_t i = 0; i < text.size(); ++i) {
        fontgen::Cell cell(cellWidth, cellHeight);
        if (!font.render(static_cast<unsigned char>(text[i]), cell)) continue;
        for (int y = 0; y < cellHeight; ++y) {
            for (int x = 0; x < cellWidth; ++x) {
                if (cell.dots[static_cast<size_t>(y * cellWidth + x)]) {
                    line.ink[static_cast<size_t>(y * line.width) + i * cellWidth +
                             static_cast<size_t>(x)] = 1;
                }
            }
        }
    }
    return line;
}

// Lines one under the other, each centred.
InkBitmap stack(const std::vector<InkBitmap>& lines) {
    InkBitmap out;
    for (const InkBitmap& l : lines) {
        out.width = std::max(out.width, l.width);
        out.height += l.height;
    }
    out.ink.assign(static_cast<size_t>(out.width * out.height), 0);
    int top = 0;
    for (const InkBitmap& l : lines) {
        const int left = (out.width - l.width) / 2;
        for (int y = 0; y < l.height; ++y) {
            std::copy_n(l.ink.begin() + y * l.width, l.width,
                        out.ink.begin() + (top + y) * out.width + left);
        }
        top += l.height;
    }
    return out;
}

} // namespace

std::vector<InkBitmap> sheetLabels(const Document& doc, const std::map<int, std::string>& names,
                                   int scale) {
    // Legible at scale 1, in proportion above it.
    const int pixelSize = std::clamp(2 * scale + 8, 11, 28);
    const int cellHeight = pixelSize * 3 / 2; // room for "_" and descenders
    const int cellWidth = (pixelSize * 3 + 4) / 5;
    std::string error;
    const auto font = fontgen::openFreeTypeFont(LabelFont, 0, 0, pixelSize, cellHeight, error);
    if (!font) return {};
    std::vector<InkBitmap> labels;
    labels.reserve(static_cast<size_t>(doc.patternCount));
    forEachRecord(doc, [&](int i, const PatternHeader& h, const uint8_t*) {
        std::string first = std::to_string(i + 1);
        if (const auto named = names.find(i + 1); named != names.end()) {
            first += " " + named->second;
        }
        // An image's frames have no place on the panel.
        std::string second = std::to_string(h.width) + " x " + std::to_string(h.height);
        if (doc.kind != DocumentKind::Image) {
            second += "  SEG " + std::to_string(h.beginSeg) + " COM " + std::to_string(h.beginCom);
        }
        labels.push_back(stack({drawLine(*font, first, cellWidth, cellHeight),
                                drawLine(*font, second, cellWidth, cellHeight)}));
        return true;
    });
    return labels;
}

} // namespace dedur::cli
