#include "panelcommands.h"

#include "../grid/gridwidget.h"
#include "../shell/editorview.h"
#include "../shell/prompts.h"
#include "editor.h"
#include "exportdialog.h"
#include "panel/lcdimage.h"
#include "panel/paneldefinitioncheck.h"
#include "paneldefinitiondialog.h"

namespace dedur {

void PanelCommands::definition() {
    Document& doc = editor_.document;
    PanelDefinitionDialog dialog(
        view_.owner(), prompts_, doc.panelDefinition, [this](const PanelDefinition& d) {
            Document& document = editor_.document;
            if (document.editType != EditMode::Pattern) {
                document.panelDefinition = d;
                return;
            }
            view_.commitSelection();
            applyPanelDefinition(document, editor_.history, editor_.selection, d);
            view_.refreshHistoryButtons();
            view_.gridView().repaintAll(true);
        });
    if (view_.showDialog(&dialog) == 1) doc.panelDefinition = dialog.definition();
}

// In the font modes too: the pattern document stays loaded there.
void PanelCommands::exportData() {
    ExportDialog dialog(view_.owner(), prompts_, editor_);
    view_.showDialog(&dialog);
}

void PanelCommands::selectionReport() {
    PatternHeader header;
    getHeader(editor_.document, -1, header);
    if (const auto block = fetchSelectionBlock(editor_.document, editor_.selection, header)) {
        prompts_.showMessage(nullptr, block->message);
    }
}

} // namespace dedur
