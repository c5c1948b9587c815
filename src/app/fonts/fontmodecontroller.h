#pragma once

#include <cstdint>

#include "document/patternstore.h"

class QString;

namespace dedur {

struct Editor;
struct Message;
class Prompts;
class EditorView;

// The edit modes: entering a mode, stepping through glyphs, typed Big5
// characters, saving glyphs and the table export.
class FontModeController {
  public:
    FontModeController(Editor& editor, Prompts& prompts, EditorView& view)
        : editor_(editor), prompts_(prompts), view_(view) {}

    // Navigation strip, palette and document (or glyph) of the current mode.
    void enterEditMode();
    void switchMode(EditMode mode);
    void goToGlyph(int number);
    bool saveGlyph();
    void exportTable();
    // Every typed character, as its code page 950 bytes.
    void typedText(const QString& text);

  private:
    void setUpGlyphScroll();
    bool showGlyph(int number);
    void typedByte(uint8_t byte);
    void warnOfGlyphFileSize(); // once per file and run
    void showAccessError(const Message& error);

    Editor& editor_;
    Prompts& prompts_;
    EditorView& view_;
};

} // namespace dedur
