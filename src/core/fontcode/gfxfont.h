#pragma once

#include "fontcode/fontformats.h"

namespace dedur {

// Adafruit GFX's GFXfont in one C file: the bitmap (each glyph's dots run on
// without row padding, most significant bit first, padded to a byte at its
// end), one GFXglyph per code from first to last (empty ones for codes the
// font lacks) and the GFXfont. The library draws codes 0 to 255 only: with
// output.gfxRemap the characters go onto codes from 0x20 and a table of
// their code points and NAME_codes(), from UTF-8 text to codes, follow.
Outcome writeGfxFont(const BdfFont& font, const FontOutput& output, const CodeSink& sink);
Outcome gfxDrawnFont(const BdfFont& font, const FontOutput& output, BdfFont& out);

} // namespace dedur
