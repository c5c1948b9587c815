// Any bytes given as a font (BDF text, or whatever FreeType is handed) are
// read or refused without harm. What is read is in code-point order, each
// code point once, every box within the limits and holding its dots; it goes
// out as BDF and comes back as the same glyphs.
#include <cstdlib>
#include <string>

#include "base/limits.h"
#include "fontcode/fontsource.h"
#include "fuzzinput.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    // Four bytes of options, then the font. Small sizes keep a run quick;
    // the limits are the same at any size.
    FontSourceOptions options;
    const uint8_t sized = in.byte();
    options.size = sized == 0 ? 0 : limits::FontSourceSizeMin + sized % 37;
    options.face = in.byte() % 3;
    options.all = in.byte() & 1;
    in.byte();
    if (!options.all) options.characters = {U' ', U'A', U'g', 0x4E00, 0x1F600};
    const std::string bytes = in.rest();
    FontSource source;
    if (!readFontSource(bytes, "fuzz", options, source).ok()) {
        if (!source.font.glyphs.empty()) std::abort();
        return 0;
    }
    const auto& glyphs = source.font.glyphs;
    if (static_cast<long>(glyphs.size()) > limits::BdfGlyphs) std::abort();
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const BdfGlyph& g = glyphs[i];
        if ((i > 0 && glyphs[i - 1].encoding >= g.encoding) || g.encoding < 0x20 ||
            g.encoding > 0x10FFFF || g.advance < 0 || g.width < 0 || g.height < 0 ||
            g.width > limits::BdfGlyphSide || g.height > limits::BdfGlyphSide ||
            g.dots.size() != static_cast<size_t>(g.width) * static_cast<size_t>(g.height)) {
            std::abort();
        }
    }
    std::string text;
    writeBdfFont(source.font, "fuzz", [&text](std::string_view piece) {
        text.append(piece);
        return true;
    });
    FontSourceOptions all;
    FontSource again;
    if (!readFontSource(text, "out.bdf", all, again).ok() ||
        again.font.glyphs.size() != glyphs.size()) {
        std::abort();
    }
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const BdfGlyph &a = glyphs[i], &b = again.font.glyphs[i];
        const bool empty = a.width == 0 || a.height == 0;
        if (a.encoding != b.encoding || a.advance != b.advance ||
            (!empty && (a.width != b.width || a.height != b.height || a.xOffset != b.xOffset ||
                        a.yOffset != b.yOffset || a.dots != b.dots))) {
            std::abort();
        }
    }
    return 0;
}
