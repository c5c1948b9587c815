#pragma once

#include <cstdint>
#include <functional>

#include "document/patternstore.h"
#include "ui/controller.h"

class QProgressDialog;
class QString;

namespace dedur {

struct Message;

// The edit modes: entering a mode, stepping through glyphs, typed Big5
// characters, saving glyphs and the table export.
class FontModeController : public Controller {
  public:
    using Controller::Controller;

    // Navigation strip, palette and document (or glyph) of the current mode.
    void enterEditMode();
    void switchMode(EditMode mode);
    void goToGlyph(int number);
    bool saveGlyph();
    void exportTable();
    // File > Export font as BDF... / Import BDF...: the glyph file of the mode
    // (the Big5 and ASCII ones) out as a BDF font, or a BDF font's glyphs in.
    void exportBdfFont();
    void importBdfFont();
    // The glyphs of some text's characters, for the firmware (Big5 modes).
    void exportSubset();
    // Every typed character, as its code page 950 bytes.
    void typedText(const QString& text);

    // Sees the bar of the glyph files being made at each report (tests).
    std::function<void(QProgressDialog&)> watchGlyphFileBar;

  private:
    // A mode whose glyph file is not there: offers once to make the files.
    void offerGlyphFiles();
    void setUpGlyphScroll();
    bool showGlyph(int number);
    void typedByte(uint8_t byte);
    void warnOfGlyphFileSize(); // once per file and run
    void showAccessError(const Message& error);
    // The mode's glyph file cannot be read whole: said, and true.
    bool refusedAsUnreadable();

    bool glyphFilesOffered_ = false; // this run, whatever the settings could keep
};

} // namespace dedur
