// Any BDF text is read or refused without harm; what is read is placed into
// a glyph file without writing past it, and a refusal leaves nothing behind.
#include <cstdlib>
#include <string>

#include "fonts/bdf.h"
#include "fuzzinput.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const GlyphFileKind kind = static_cast<GlyphFileKind>(in.range(0, 2));
    const bool onlyBlank = in.byte() & 1;
    const std::string text = in.rest();
    BdfFont font;
    if (!parseBdf(text, "fuzz.bdf", font).ok()) {
        if (!font.glyphs.empty()) std::abort();
        return 0;
    }
    std::string file;
    const BdfImport placed = importBdf(font, kind, onlyBlank, file);
    const GlyphFileShape shape = glyphFileShape(kind);
    if (file.size() != static_cast<size_t>(shape.records * shape.recordBytes)) std::abort();
    if (placed.placed + placed.skipped != static_cast<int>(font.glyphs.size())) std::abort();
    return 0;
}
