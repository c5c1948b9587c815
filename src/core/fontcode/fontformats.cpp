#include "fontcode/fontformats.h"

#include "fontcode/gfxfont.h"
#include "fontcode/lvglfont.h"
#include "fontcode/u8g2font.h"

namespace dedur {

const char* fontFormatName(FontFormat format) {
    switch (format) {
    case FontFormat::Lvgl:
        return "lvgl";
    case FontFormat::U8g2:
        return "u8g2";
    case FontFormat::Gfx:
        return "gfx";
    }
    return "";
}

std::optional<FontFormat> fontFormatNamed(std::string_view name) {
    for (FontFormat format : AllFontFormats) {
        if (name == fontFormatName(format)) return format;
    }
    return std::nullopt;
}

Outcome writeFont(FontFormat format, const BdfFont& font, const FontOutput& output,
                  const CodeSink& sink) {
    switch (format) {
    case FontFormat::Lvgl:
        return writeLvglFont(font, output, sink);
    case FontFormat::U8g2:
        return writeU8g2Font(font, output, sink);
    case FontFormat::Gfx:
        return writeGfxFont(font, output, sink);
    }
    return {};
}

Outcome drawnFont(FontFormat format, const BdfFont& font, const FontOutput& output, BdfFont& out) {
    switch (format) {
    case FontFormat::Lvgl:
        return lvglDrawnFont(font, output, out);
    case FontFormat::U8g2:
        return u8g2DrawnFont(font, output, out);
    case FontFormat::Gfx:
        return gfxDrawnFont(font, output, out);
    }
    return {};
}

} // namespace dedur
