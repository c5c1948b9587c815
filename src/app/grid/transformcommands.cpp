#include "grid/transformcommands.h"

#include "editor.h"
#include "grid/gridwidget.h"
#include "ui/editorview.h"
#include "ui/prompts.h"

namespace dedur {

bool TransformCommands::allowedIn(const Editor& editor) {
    const EditMode mode = editor.document.editType;
    return mode == EditMode::Pattern || mode == EditMode::Font16x15 || mode == EditMode::Font24x24;
}

void TransformCommands::apply(const Transform& transform) {
    if (!allowedIn(editor_)) {
        prompts_.beep();
        return;
    }
    GridWidget& grid = view_.gridView();
    const GridGeometry g = grid.geometry();
    if (failed(transformPattern(editor_.document, editor_.history, editor_.selection, transform,
                                g.px(), g.py()))) {
        return;
    }
    // A turned pattern changes its size: the whole grid is painted anew.
    grid.repaintAll(true);
    view_.refreshHistoryButtons();
}

} // namespace dedur
