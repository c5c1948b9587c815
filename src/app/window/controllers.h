#pragma once

#include "code/codecommands.h"
#include "document/filecommands.h"
#include "document/patternlistcommands.h"
#include "fonts/fontdocument.h"
#include "fonts/fontmodecontroller.h"
#include "grid/gridcommands.h"
#include "grid/transformcommands.h"
#include "panel/panelcommands.h"
#include "textclip/clipboardcommands.h"
#include "textclip/imagecommands.h"
#include "textclip/textcommands.h"

namespace dedur {

// The subjects' controllers, one each, as the window holds them and the
// command table names them.
struct Controllers {
    Controllers(Editor& e, Prompts& p, EditorView& v)
        : clipboard(e, p, v), panel(e, p, v), patterns(e, p, v), files(e, p, v), fonts(e, p, v),
          transforms(e, p, v), images(e, p, v), texts(e, p, v), grid(e, p, v), code(e, p, v),
          fontDocument(e, p, v) {}

    ClipboardCommands clipboard;
    PanelCommands panel;
    PatternListCommands patterns;
    FileCommands files;
    FontModeController fonts;
    TransformCommands transforms;
    ImageCommands images;
    TextCommands texts;
    GridCommands grid;
    CodeCommands code;
    FontDocumentCommands fontDocument;
};

} // namespace dedur
