#pragma once

#include <cstdint>
#include <string>

#include "base/message.h"
#include "settings/settings.h"

namespace dedur {

struct Editor;

// The editor's settings in "DEDUR.INI", loaded and saved across its parts:
// the document's file and pattern, the font modes' glyphs, the colours and
// the window places.

// Stores the zoom right away.
void saveZoom(const Editor& editor);
// Stores the code export's last choices and profile (CODEEXPORT, CODEPROFILE).
void saveCodeChoices(const Editor& editor);
// Stores whether the onion skin shows.
void saveOnionSkin(const Editor& editor);
void savePanelViewRect(const Editor& editor, const WindowRect& rect);
// Reads "DEDUR.INI" from the start-up directory into the editor; 1 when read,
// -1 when it was missing and has been created empty, 0 when a symbolic link
// stands at the name (left alone; the defaults stand and nothing is saved).
int loadSettings(Editor& editor);
// What the editor says, once a run, when a settings write failed.
Message settingsWriteFailure(const std::string& directory);
// What the editor says once when loadSettings found a link.
Message settingsLinkRefusal(const std::string& directory);
// Loads from settings text already in memory (what loadSettings does after
// opening the file).
void applySettingsText(Editor& editor, const std::string& text);
// EDITTYPE and the position of the mode: PATFILE/PATNO or a glyph code.
int saveModeSettings(const Editor& editor);
// Stores MAINWINRECT unless the window is minimised.
void saveWindowRect(const Editor& editor, const WindowRect& rect, bool minimised);
// Writes one colour key ("LINECOLOR", "DOTCOLOR" or "BGCOLOR") right away.
void saveColour(const Editor& editor, const char* key, uint32_t colour);

} // namespace dedur
