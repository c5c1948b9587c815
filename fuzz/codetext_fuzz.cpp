// Any sidecar text reads without harm, and what is read is written and read
// back the same; any template text renders or is refused, never more; any
// strings give a subset's characters, each once in order, or the byte where
// they stop being UTF-8, and the subset of a short glyph file takes no byte
// past its end.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "code/codetemplate.h"
#include "code/glyphsubset.h"
#include "code/sidecar.h"
#include "fuzzinput.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const int mode = in.byte() % 3;
    const std::string text = in.rest();
    if (mode == 2) {
        std::vector<char32_t> characters;
        size_t badAt = 0;
        if (!distinctCharacters(text, characters, badAt)) {
            if (badAt >= text.size()) std::abort();
            return 0;
        }
        for (size_t i = 0; i < characters.size(); ++i) {
            const char32_t c = characters[i];
            if ((i && characters[i - 1] >= c) || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
                std::abort();
            }
        }
        // The first thousand records of a 16x15 file, every one drawn, and
        // an 8x15 file of ASCII.
        static const std::string glyphs(1000 * 30, '\x5A');
        static const std::string ascii(128 * 15, '\x18');
        const GlyphSubset subset =
            makeSubset(glyphs, GlyphFileKind::Big5_16x15, CodeLayout::PagesMsb, characters, ascii);
        if (subset.glyphs.size() + subset.missing.size() != characters.size()) std::abort();
        size_t written = 0;
        writeSubsetC(subset, "fuzz", [&written](std::string_view piece) {
            written += piece.size();
            return true;
        });
        if (written == 0) std::abort();
        return 0;
    }
    if (mode == 1) {
        CodeJob job;
        job.file = "f.pat";
        job.name = "f";
        CodePattern p;
        p.number = 1;
        p.ident = "f_1";
        p.width = 3;
        p.height = 2;
        p.bytes = {0xA0, 0x60};
        p.packed = {0x05, 0x06}; // "#.#", ".##"
        job.patterns = {p, p};
        // A template may expand without end: its reader stops it at 1 MB.
        std::string out;
        const Outcome made = renderCodeTemplate(job, text, "fuzz", [&out](std::string_view piece) {
            out.append(piece.substr(0, (size_t{1} << 20) - std::min(out.size(), size_t{1} << 20)));
            return out.size() < (size_t{1} << 20);
        });
        if (!made.ok() && !out.empty()) std::abort();
        return 0;
    }
    Sidecar read;
    if (!parseSidecar(text, "fuzz.pat", read).ok()) {
        if (!read.empty()) std::abort();
        return 0;
    }
    Sidecar again;
    if (!parseSidecar(formatSidecar(read), "fuzz.pat", again).ok() || !(again == read)) {
        std::abort();
    }
    return 0;
}
