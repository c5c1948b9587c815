#include "panel/panelcommands.h"

#include <QFile>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "base/fileread.h"
#include "base/limits.h"
#include "editor.h"
#include "editorsettings.h"
#include "grid/history.h"
#include "panel/exportdialog.h"
#include "panel/lcdimage.h"
#include "panel/memoryimport.h"
#include "panel/paneldefinitioncheck.h"
#include "panel/paneldefinitiondialog.h"
#include "panel/panelview.h"
#include "ui/editorview.h"
#include "ui/prompts.h"

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
            // Kept beside the file for the scripts that make its code.
            editor_.sidecar.panel = d;
            view_.refreshHistoryButtons();
            view_.repaintGrid(true);
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

void PanelCommands::importData() {
    Document& doc = editor_.document;
    if (doc.editType != EditMode::Pattern) {
        prompts_.beep();
        return;
    }
    const QString chosen = prompts_.askOpenFileName(
        view_.owner(), QString(),
        "LCD address DATA file (*.DAT)|*.DAT|LCD address BINARY file (*.BIN)|*.BIN|"
        "All files (*.*)|*.*|",
        "Import panel data");
    if (chosen.isEmpty()) return;
    const std::string path = QFile::encodeName(chosen).toStdString();
    std::string data;
    if (readFileLimited(path, limits::MemoryFileBytes, data) != FileReadStatus::Ok) {
        prompts_.showMessage(view_.owner(),
                             {formatText("Could not read \"%s\"", printable(path).c_str()), " ",
                              MessageButtons::Ok, MessageIcon::Question});
        return;
    }
    view_.commitSelection();
    // The pattern's own place, the directions the export uses.
    PatternHeader header;
    getHeader(doc, doc.currentPattern, header);
    std::vector<uint8_t> dots(static_cast<size_t>(doc.patternDotCount), DOT_OFF);
    const bool text = chosen.endsWith(".DAT", Qt::CaseInsensitive);
    if (failed(importPanelData(data, text, header, doc.panelDefinition, std::nullopt, 0,
                               dots.data()))) {
        return;
    }
    pushUndo(editor_.history, doc, editor_.selection);
    std::copy(dots.begin(), dots.end(), doc.workDots.begin());
    storeWorkDots(doc);
    doc.modifiedFlag = true;
    view_.refreshHistoryButtons();
    view_.repaintGrid(true);
}

void PanelCommands::refreshPanelView(bool outlines) {
    if (panelView_ && panelView_->isVisible()) panelView_->refresh(outlines);
}

void PanelCommands::showPanelView() {
    if (!panelView_) {
        panelView_ = new PanelView(editor_, view_.owner());
        QObject::connect(panelView_, &PanelView::patternChosen, panelView_, [this](int number) {
            if (number != editor_.currentNumber) view_.goToPattern(number);
            refreshPanelView(true);
        });
        QObject::connect(panelView_, &PanelView::placeChanged, panelView_,
                         [this](const QRect& place) {
                             savePanelViewRect(editor_, {place.left(), place.top(),
                                                         place.right() + 1, place.bottom() + 1});
                         });
        // A saved place is fitted onto the screen: a hand-edited one could ask
        // for a window of gigabytes, or one nobody can reach.
        const QRect screen = view_.owner()->screen()->availableGeometry();
        if (const auto r =
                fitOnScreen(editor_.settings.panelViewRect, screen.width(), screen.height(), 100)) {
            panelView_->setGeometry(screen.left() + r->left, screen.top() + r->top,
                                    r->right - r->left + 1, r->bottom - r->top + 1);
        } else {
            panelView_->move(view_.owner()->geometry().right() - panelView_->width() - 20,
                             view_.owner()->geometry().top() + 80);
        }
    }
    panelView_->show();
    panelView_->raise();
    panelView_->refresh(true);
}

} // namespace dedur
