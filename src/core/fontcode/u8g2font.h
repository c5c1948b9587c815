#pragma once

#include "fontcode/fontformats.h"

namespace dedur {

Outcome writeU8g2Font(const BdfFont& font, const FontOutput& output, const CodeSink& sink);
Outcome u8g2DrawnFont(const BdfFont& font, const FontOutput& output, BdfFont& out);

} // namespace dedur
