#pragma once

#include "base/outcome.h"

namespace dedur {

struct Document;
struct History;
struct Selection;

// Whether a side of `value` dots, running in `direction` from the pattern's
// left-top dot, stays on the panel (SEG 1..96, COM 1..48). The message names
// the side ("Width" or "Height").
Outcome checkPlacement(int value, int direction, int beginSeg, int beginCom, const char* name);

// Resizes the current pattern from oldWidth x oldHeight to the current
// patternWidth x patternHeight, anchored at the top-left; the record takes the
// panel definition's header. `workDots` gets the new dots too.
void resizePattern(Document& doc, int oldWidth, int oldHeight);

// The size command after its dialog: snapshot, new size as the default for new
// patterns, resize. Does nothing when the size is unchanged.
void changePatternSize(Document& doc, History& history, const Selection& sel, int width,
                       int height);

} // namespace dedur
