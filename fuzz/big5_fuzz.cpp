// Every Big5 byte pair decodes to nothing or to a character whose encoding
// gives the same pair back (where the code page has one), and every glyph
// record a file may hold turns into dots of the mode's size.
#include <cstdlib>

#include "document/patternstore.h"
#include "fonts/big5.h"
#include "fonts/big5codec.h"
#include "fonts/glyphfile.h"
#include "fuzzinput.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const int lead = in.byte();
    const int trail = in.byte();
    if (const auto character = decodeBig5(lead, trail)) {
        const std::string bytes = encodeBig5(*character);
        if (bytes.size() > 2) std::abort();
    }
    (void)big5GlyphIndex(lead, trail);

    Document doc;
    const auto editType = static_cast<EditMode>(in.range(
        static_cast<int>(EditMode::Font16x15), static_cast<int>(EditMode::SpecialSupp16x15)));
    uint8_t record[72] = {};
    for (uint8_t& b : record) b = in.byte();
    glyphToDots(doc, editType, record);
    if (doc.patternWidth < 1 || doc.patternWidth > 24 || doc.patternHeight < 1 ||
        doc.patternHeight > 24) {
        std::abort();
    }
    return 0;
}
