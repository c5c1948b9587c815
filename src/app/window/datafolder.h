#pragma once

#include <QString>

namespace dedur {

// The editor's own working folder when it is started from the launcher:
// $XDG_DATA_HOME/dedur (~/.local/share/dedur).
QString dataFolder();

// Makes the data folder when missing, makes it the current directory and
// writes the glyph files of the font-edit modes there when any is missing
// (those already there, perhaps with edited glyphs, are kept), with a bar
// that can cancel them. An empty result, or what went wrong; `entered` says
// whether the editor works in the folder now (it must stop when not).
QString enterDataFolder(bool& entered);

} // namespace dedur
