#pragma once

#include <QString>

#include "ui/controller.h"

namespace dedur {

struct BdfGlyphShape;

// The code point (or ENCODING) that `text` names: "U+4E00", "u+1f600",
// "0x41", or a single character; -1 when it names none.
long glyphCodeOf(const QString& text);

// The Glyph menu of a BDF font open as a document: stepping to a glyph by
// number, by character or by code point, its metrics and advance, and
// glyphs added and deleted. Every change of a glyph is one step of the undo
// history; a step never crosses to another glyph (the history starts anew
// at each glyph).
class FontDocumentCommands : public Controller {
  public:
    using Controller::Controller;

    bool isOpen() const;
    void goToGlyph(int number);
    // Glyph > Go to glyph...: a typed character or U+XXXX.
    void askGoTo();
    // A character typed over the grid: its glyph, when the font has one.
    void typedText(const QString& text);
    void metrics();
    // The advance marker dropped at `advance` dots from the origin.
    void setAdvance(int advance);
    void addGlyph();
    void deleteGlyph();
    // "U+4E00 uni4E00", for titles and questions.
    QString glyphLabel(int index) const;

  private:
    // The current glyph takes `shape` as one undoable step.
    void reshape(const BdfGlyphShape& shape);
    void showCurrent();
};

} // namespace dedur
