#include "fontcode/u8g2font.h"

namespace dedur {

// Not built yet: refused with that reason.
Outcome writeU8g2Font(const BdfFont&, const FontOutput&, const CodeSink&) {
    return Outcome::refused(
        {"The u8g2 font format is not built yet", " ", MessageButtons::Ok, MessageIcon::Question});
}

Outcome u8g2DrawnFont(const BdfFont&, const FontOutput&, BdfFont&) {
    return Outcome::refused(
        {"The u8g2 font format is not built yet", " ", MessageButtons::Ok, MessageIcon::Question});
}

} // namespace dedur
