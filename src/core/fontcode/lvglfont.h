#pragma once

#include "fontcode/fontformats.h"

namespace dedur {

Outcome writeLvglFont(const BdfFont& font, const FontOutput& output, const CodeSink& sink);
Outcome lvglDrawnFont(const BdfFont& font, const FontOutput& output, BdfFont& out);

} // namespace dedur
