#pragma once

#include <QScrollBar>

#include "editorfixture.h"
#include "fontgen.h"
#include "fonts/glyphfile.h"

namespace dedur::test {

// An editor whose start-up directory holds freshly made glyph files.
struct FontFixture : EditorFixture {
    explicit FontFixture(const std::string& settings = "") : EditorFixture(settings, false) {
        const fontgen::Result made = fontgen::makeFonts(dir.path().string(), false);
        if (!made.ok) qFatal("%s", made.error.c_str());
        launch();
    }
    QScrollBar* bar() { return window->palette()->scrollBar(); }
};

// The record of Big5 `code` in the glyph file of `type`.
inline std::vector<uint8_t> glyphRecord(Editor& editor, EditMode type, uint16_t code) {
    std::vector<uint8_t> bytes(72);
    accessBig5Glyph(editor.fontEdit, type, code >> 8, code & 0xFF, bytes.data(), GlyphAccess::Read,
                    nullptr);
    bytes.resize(static_cast<size_t>(glyphKind(type).recordSize));
    return bytes;
}

// The 16 x 15 glyph the grid shows, as a record.
inline std::vector<uint8_t> shownGlyph16(const Document& doc) {
    const auto r = packGlyph16(doc);
    return {r.begin(), r.end()};
}

} // namespace dedur::test
