#include "code/codelayout.h"

#include <algorithm>
#include <array>

#include "base/nametable.h"
#include "document/patternstore.h"
#include "panel/lcdimage.h"
#include "panel/memoryimport.h"
#include "panel/panelexport.h"

namespace dedur {

namespace {

constexpr NamedValue<CodeLayout> LayoutNames[] = {{CodeLayout::RowsMsb, "rows-msb"},
                                                  {CodeLayout::RowsLsb, "rows-lsb"},
                                                  {CodeLayout::PagesLsb, "pages-lsb"},
                                                  {CodeLayout::PagesMsb, "pages-msb"},
                                                  {CodeLayout::Panel, "panel"}};

// Kept to one line each: the editor lists them beside the layouts.
constexpr NamedValue<CodeLayout> LayoutDescriptions[] = {
    {CodeLayout::RowsMsb, "rows from the top, leftmost dot in bit 7"},
    {CodeLayout::RowsLsb, "rows from the top, leftmost dot in bit 0 (XBM)"},
    {CodeLayout::PagesLsb, "8-row pages, a byte per column, top dot in bit 0"},
    {CodeLayout::PagesMsb, "8-row pages, a byte per column, top dot in bit 7"},
    {CodeLayout::Panel, "this panel's display memory (the binary export)"}};

size_t rowStride(int width) {
    return (static_cast<size_t>(width) + 7) / 8;
}

// Where dot (x, y) lives in a row or page layout: byte and bit.
struct BitPlace {
    size_t byte;
    int bit;
};
BitPlace placeOf(CodeLayout layout, int width, int x, int y) {
    switch (layout) {
    case CodeLayout::RowsMsb:
        return {static_cast<size_t>(y) * rowStride(width) + static_cast<size_t>(x / 8), 7 - x % 8};
    case CodeLayout::RowsLsb:
        return {static_cast<size_t>(y) * rowStride(width) + static_cast<size_t>(x / 8), x % 8};
    case CodeLayout::PagesLsb:
        return {static_cast<size_t>(y / 8) * static_cast<size_t>(width) + static_cast<size_t>(x),
                y % 8};
    default:
        return {static_cast<size_t>(y / 8) * static_cast<size_t>(width) + static_cast<size_t>(x),
                7 - y % 8};
    }
}

size_t gridByteCount(CodeLayout layout, int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    if (layout == CodeLayout::RowsMsb || layout == CodeLayout::RowsLsb) {
        return rowStride(width) * static_cast<size_t>(height);
    }
    return (static_cast<size_t>(height) + 7) / 8 * static_cast<size_t>(width);
}

constexpr uint8_t DotOn = '1';

} // namespace

const char* layoutName(CodeLayout layout) {
    return nameIn(LayoutNames, layout);
}

std::optional<CodeLayout> layoutNamed(std::string_view name) {
    return valueNamed(LayoutNames, name);
}

const char* layoutDescription(CodeLayout layout) {
    return nameIn(LayoutDescriptions, layout);
}

std::vector<uint8_t> layoutBytes(const uint8_t* dots, int width, int height, CodeLayout layout,
                                 bool invert, const PatternHeader& header,
                                 const PanelDefinition& definition) {
    if (layout == CodeLayout::Panel) {
        std::vector<uint8_t> placed(dots, dots + std::max(width * height, 0));
        if (invert) {
            for (uint8_t& d : placed) d = d == '1' ? '0' : '1';
        }
        std::string bytes;
        appendPanelBinary(bytes, buildLcdImage(placed.data(), header, definition));
        return {bytes.begin(), bytes.end()};
    }
    std::vector<uint8_t> bytes(gridByteCount(layout, width, height), 0);
    const uint8_t flip = invert ? 1 : 0;
    const bool rows = layout == CodeLayout::RowsMsb || layout == CodeLayout::RowsLsb;
    const bool msb = layout == CodeLayout::RowsMsb || layout == CodeLayout::PagesMsb;
    // Without branches on the dots: patterns of random dots would miss every
    // other prediction.
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = dots + static_cast<size_t>(y) * static_cast<size_t>(width);
        if (rows) {
            uint8_t* out = bytes.data() + static_cast<size_t>(y) * rowStride(width);
            for (int x0 = 0; x0 < width; x0 += 8) {
                unsigned byte = 0;
                const int n = std::min(8, width - x0);
                for (int k = 0; k < n; ++k) {
                    byte |= static_cast<unsigned>((row[x0 + k] == DotOn) ^ flip)
                            << (msb ? 7 - k : k);
                }
                out[x0 >> 3] = static_cast<uint8_t>(byte);
            }
        } else {
            uint8_t* out = bytes.data() + static_cast<size_t>(y >> 3) * static_cast<size_t>(width);
            const int bit = msb ? 7 - (y & 7) : y & 7;
            for (int x = 0; x < width; ++x) {
                out[x] = static_cast<uint8_t>(out[x] | ((row[x] == DotOn) ^ flip) << bit);
            }
        }
    }
    return bytes;
}

std::vector<uint8_t> rowBytesFromPacked(const uint8_t* packed, int width, int height,
                                        CodeLayout layout, bool invert) {
    static const auto reversed = [] {
        std::array<uint8_t, 256> table{};
        for (int b = 0; b < 256; ++b) {
            for (int bit = 0; bit < 8; ++bit) {
                if (b >> bit & 1) table[b] = static_cast<uint8_t>(table[b] | 0x80 >> bit);
            }
        }
        return table;
    }();
    const size_t stride = rowStride(width);
    std::vector<uint8_t> bytes(packed, packed + gridByteCount(layout, width, height));
    // The dots of each byte of a row: all eight, but fewer in the last.
    const uint8_t lastMask = static_cast<uint8_t>(0xFF >> (8 - (width - 1) % 8 - 1));
    for (size_t i = 0; i < bytes.size(); ++i) {
        uint8_t b = bytes[i];
        if (invert) b = static_cast<uint8_t>(~b & ((i + 1) % stride == 0 ? lastMask : 0xFF));
        bytes[i] = layout == CodeLayout::RowsMsb ? reversed[b] : b;
    }
    return bytes;
}

std::vector<uint8_t> dotsFromLayout(const std::vector<uint8_t>& bytes, int width, int height,
                                    CodeLayout layout, bool invert, const PatternHeader& header,
                                    const PanelDefinition& definition) {
    if (width <= 0 || height <= 0) return {};
    std::vector<uint8_t> dots(static_cast<size_t>(width) * static_cast<size_t>(height), '0');
    if (layout == CodeLayout::Panel) {
        const std::string data(bytes.begin(), bytes.end());
        if (!importPanelData(data, false, header, definition, std::nullopt, 0, dots.data()).ok()) {
            return {};
        }
    } else {
        if (bytes.size() < gridByteCount(layout, width, height)) return {};
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const BitPlace p = placeOf(layout, width, x, y);
                const bool on = (bytes[p.byte] >> p.bit) & 1;
                dots[static_cast<size_t>(y) * static_cast<size_t>(width) + x] = on ? '1' : '0';
            }
        }
    }
    if (invert) {
        for (uint8_t& d : dots) d = d == '1' ? '0' : '1';
    }
    return dots;
}

DotsAsRead readDots(const std::vector<uint8_t>& bytes, int width, int height, CodeLayout layout,
                    const PatternHeader& header, const PanelDefinition& definition) {
    DotsAsRead out;
    if (width <= 0 || height <= 0) return out;
    if (layout == CodeLayout::Panel) {
        // As many as the panel export of this pattern writes, whatever its dots.
        const std::vector<uint8_t> blank(static_cast<size_t>(width) * static_cast<size_t>(height),
                                         '0');
        out.read =
            layoutBytes(blank.data(), width, height, layout, false, header, definition).size();
    } else {
        out.read = gridByteCount(layout, width, height);
    }
    std::vector<uint8_t> fitted(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                                   bytes.size(), out.read)));
    fitted.resize(out.read, 0);
    out.dots = dotsFromLayout(fitted, width, height, layout, false, header, definition);
    if (out.dots.empty()) {
        out.dots.assign(static_cast<size_t>(width) * static_cast<size_t>(height), '0');
    }
    return out;
}

} // namespace dedur
