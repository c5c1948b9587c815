// Any BDF text is read or refused without harm; what is read is placed into
// a glyph file without writing past it, and a refusal leaves nothing behind.
// What was placed goes out as BDF and comes back as the same records.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "fonts/bdf.h"
#include "fuzzinput.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const GlyphFileKind kind = static_cast<GlyphFileKind>(in.range(0, 4));
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

    // The first drawn records that stand for a code point of their own, out
    // and back in.
    std::vector<std::pair<long, int>> records;
    for (int r = 0; r < shape.records && records.size() < 64; ++r) {
        const long c = codePointOfRecord(kind, r);
        const auto bytes = std::string_view(file).substr(static_cast<size_t>(r) *
                                                             static_cast<size_t>(shape.recordBytes),
                                                         static_cast<size_t>(shape.recordBytes));
        if (c < 0 || recordOfCodePoint(kind, static_cast<char32_t>(c)) != r ||
            bytes.find_first_not_of('\0') == std::string_view::npos) {
            continue;
        }
        records.emplace_back(c, r);
    }
    std::sort(records.begin(), records.end());
    const BdfExport out = exportBdfGlyphs(file, kind, "fuzz", records);
    BdfFont again;
    if (!parseBdf(out.text, "out.bdf", again).ok() || again.glyphs.size() != records.size()) {
        std::abort();
    }
    std::string back;
    if (importBdf(again, kind, false, back).placed != static_cast<int>(records.size()))
        std::abort();
    for (const auto& [c, r] : records) {
        const size_t at = static_cast<size_t>(r) * static_cast<size_t>(shape.recordBytes);
        if (back.compare(at, static_cast<size_t>(shape.recordBytes), file, at,
                         static_cast<size_t>(shape.recordBytes)) != 0) {
            std::abort();
        }
    }
    return 0;
}
