#include "fontcode/gfxfont.h"

namespace dedur {

// Not built yet: refused with that reason.
Outcome writeGfxFont(const BdfFont&, const FontOutput&, const CodeSink&) {
    return Outcome::refused(
        {"The gfx font format is not built yet", " ", MessageButtons::Ok, MessageIcon::Question});
}

Outcome gfxDrawnFont(const BdfFont&, const FontOutput&, BdfFont&) {
    return Outcome::refused(
        {"The gfx font format is not built yet", " ", MessageButtons::Ok, MessageIcon::Question});
}

} // namespace dedur
