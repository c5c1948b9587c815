#include "fontcode/lvglfont.h"

namespace dedur {

// Not built yet: refused with that reason.
Outcome writeLvglFont(const BdfFont&, const FontOutput&, const CodeSink&) {
    return Outcome::refused(
        {"The lvgl font format is not built yet", " ", MessageButtons::Ok, MessageIcon::Question});
}

Outcome lvglDrawnFont(const BdfFont&, const FontOutput&, BdfFont&) {
    return Outcome::refused(
        {"The lvgl font format is not built yet", " ", MessageButtons::Ok, MessageIcon::Question});
}

} // namespace dedur
