#pragma once

#include <string>

namespace dedur {

struct Editor;

// Where the dot (x, y) of the current pattern lands in display memory, for
// the status bar: "SEG 12 COM 9 $205C.0" (the address and bit as the export
// writes them), or "SEG 97 COM 9 off the panel". In a font mode, the glyph:
// "Big5 A440 No. 1", or "No. 5" where glyphs have no code.
std::string dotPlaceText(const Editor& editor, int x, int y);

} // namespace dedur
