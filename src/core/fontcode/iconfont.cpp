#include "fontcode/iconfont.h"

namespace dedur {

// Not built yet.
BdfFont iconFont(const CodeJob&, const IconFontOptions&) {
    return {};
}

Outcome writeIconFont(FontFormat, const CodeJob&, const IconFontOptions&, const FontOutput&,
                      const CodeSink&) {
    return Outcome::refused(
        {"Icon fonts are not built yet", " ", MessageButtons::Ok, MessageIcon::Question});
}

} // namespace dedur
