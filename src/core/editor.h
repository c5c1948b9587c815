#pragma once

#include <string>

#include "code/sidecar.h"
#include "document/patternstore.h"
#include "fonts/bdfdocument.h"
#include "fonts/glyphfile.h"
#include "grid/drawingtools.h"
#include "grid/history.h"
#include "grid/selection.h"
#include "settings/settings.h"

namespace dedur {

// Everything one editing session owns. The application keeps exactly one;
// each test builds its own.
struct Editor {
    Document document;
    History history;
    Selection selection;
    GridInteraction grid;
    Settings settings;
    FontEdit fontEdit;
    // The BDF font a font document edits; its glyphs are the document's records.
    BdfDocument font;
    // What the pattern file cannot hold (names, code profiles), kept beside it.
    Sidecar sidecar;
    // The code profile last chosen in this run: the panel view shows its bytes.
    std::string codeProfile;
    std::string startupDirectory; // where the settings and glyph files live
    // The number the navigation shows: the pattern's, or in a font mode the
    // glyph's (from 1).
    int currentNumber = 1;
    // A link stood at the settings file's name: said once at start-up.
    bool settingsLinkRefused = false;
    // A settings write failed (a read-only file, a full disk): said once.
    mutable bool settingsWriteFailed = false;

    Editor() = default;
    explicit Editor(std::string directory) : startupDirectory(std::move(directory)) {
        makeFontPaths(fontEdit, startupDirectory);
    }
};

// The first of the document's invariants (see Document) that does not hold,
// nullptr when all do.
const char* brokenInvariant(const Editor& editor);

} // namespace dedur
