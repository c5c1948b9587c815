#pragma once

#include "fontcode/fontformats.h"

namespace dedur {

Outcome writeGfxFont(const BdfFont& font, const FontOutput& output, const CodeSink& sink);
Outcome gfxDrawnFont(const BdfFont& font, const FontOutput& output, BdfFont& out);

} // namespace dedur
