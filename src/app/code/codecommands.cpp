#include "code/codecommands.h"

#include "code/codedialog.h"
#include "editor.h"
#include "ui/editorview.h"

namespace dedur {

void CodeCommands::exportCode() {
    if (editor_.document.editType != EditMode::Pattern) return;
    // What shows is what is written: a floating block is dropped first.
    view_.commitSelection();
    CodeDialog dialog(view_.owner(), prompts_, editor_);
    view_.showDialog(&dialog);
    dialog.rememberChoices();
}

} // namespace dedur
