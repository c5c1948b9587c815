#pragma once

#include <string>

#include "cliargs.h"

namespace dedur::cli {

// A path the commands take as a BDF font (by its extension, any case).
bool isBdfPath(const std::string& path);

// glyph FONT.bdf U+XXXX|CHAR|NUMBER: the glyph's metrics line and its rows.
int bdfGlyph(const ParsedArgs& args);
// info FONT.bdf: one line of the font's glyph count, box, line and encoding.
int bdfInfo(const std::string& path);
// render FONT.bdf OUT.png|.pbm|.xbm: a specimen sheet of every glyph with its
// code under it.
int renderBdfSpecimen(const ParsedArgs& args);

} // namespace dedur::cli
