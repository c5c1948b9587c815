#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dedur::fontgen {

// A cell of dots, row-major, 1 = ink.
struct Cell {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> dots;
    bool clipped = false;

    Cell(int w, int h) : width(w), height(h), dots(static_cast<size_t>(w * h), 0) {}
    bool blank() const;
    void clear();
    // Glyph record: rows of width / 8 bytes, leftmost dot in the top bit.
    std::vector<uint8_t> record() const;
};

// One source font at one pixel size, drawn into cells with one baseline for
// all its glyphs.
class GlyphRenderer {
  public:
    virtual ~GlyphRenderer() = default;
    // Draws `code` (Unicode, or the font's own code for code-indexed fonts)
    // into the cell; false when the font has no glyph for it.
    virtual bool render(uint32_t code, Cell& cell) = 0;
};

// A FreeType face: `strikeHeight` > 0 picks the embedded bitmap strike of that
// height, otherwise outlines are drawn at `pixelSize`. `faceIndex` selects a
// face of a collection.
std::unique_ptr<GlyphRenderer> openFreeTypeFont(const std::string& path, long faceIndex,
                                                int strikeHeight, int pixelSize, int cellHeight,
                                                std::string& error);
// A console font (PSF 1 or 2, gzipped or not) of 8 dot wide glyphs, by Unicode.
std::unique_ptr<GlyphRenderer> openConsoleFont(const std::string& path, std::string& error);

} // namespace dedur::fontgen
