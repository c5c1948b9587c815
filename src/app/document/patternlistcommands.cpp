#include "document/patternlistcommands.h"

#include <QScrollBar>

#include "document/patternsizedialog.h"
#include "editor.h"
#include "grid/resize.h"
#include "panel/paneldefinitioncheck.h"
#include "ui/commandids.h"
#include "ui/editorview.h"
#include "ui/numberfield.h"
#include "ui/prompts.h"

namespace dedur {

void PatternListCommands::add(bool insert) {
    Document& doc = editor_.document;
    if (doc.editType != EditMode::Pattern) return;
    view_.commitSelection();
    if (insert) {
        insertPattern(doc, nullptr);
    } else {
        appendPattern(doc, nullptr);
        editor_.currentNumber = doc.patternCount;
    }
    view_.repaintGrid(true);
    view_.refreshButton(CmdDeletePattern);
    view_.showNavigation(editor_.currentNumber);
    view_.reshowTooltip();
}

void PatternListCommands::deleteCurrent() {
    Document& doc = editor_.document;
    if (doc.editType != EditMode::Pattern) return;
    if (doc.patternCount <= 1) {
        prompts_.beep();
        return;
    }
    if (prompts_.showMessage(view_.owner(), {"Are you sure to delete ?", "DELETE",
                                             MessageButtons::YesNo, MessageIcon::None}) == IDNO) {
        return;
    }
    view_.commitSelection();
    deletePattern(doc);
    view_.repaintGrid(true);
    editor_.currentNumber = doc.currentPattern + 1;
    view_.showNavigation(editor_.currentNumber);
    view_.refreshButton(CmdDeletePattern);
}

void PatternListCommands::goTo(int number) {
    Document& doc = editor_.document;
    number = std::clamp(number, 1, std::max(doc.patternCount, 1));
    if (number == editor_.currentNumber) return;
    view_.commitSelection();
    doc.currentPattern = number - 1;
    reloadWorkDots(doc);
    editor_.currentNumber = number;
    view_.showNavigation(number);
    view_.repaintGrid(true);
}

void PatternListCommands::numberBoxNotified(int code) {
    NumberField* box = view_.numberBox();
    if (code != NumberField::Changed || !box) return;
    const int count = editor_.document.patternCount;
    int number = box->text().left(5).toInt();
    bool corrected = false;
    if (number > count) {
        number = count;
        corrected = true;
    } else if (number < 1) {
        number = 1;
        corrected = true;
    }
    if (number != editor_.currentNumber) goTo(number);
    if (corrected) box->setText(QString::number(number));
}

void PatternListCommands::changeSize() {
    Document& doc = editor_.document;
    if (doc.editType != EditMode::Pattern) return;
    PatternHeader header{doc.patternWidth, doc.patternHeight, 0, 0, 0, 0};
    getHeader(doc, -1, header);
    PatternSizeDialog dialog(view_.owner(), prompts_, header);
    if (view_.showDialog(&dialog) != 1) return;
    view_.commitSelection();
    changePatternSize(doc, editor_.history, editor_.selection, dialog.newWidth(),
                      dialog.newHeight());
    view_.refreshHistoryButtons();
    view_.repaintGrid(true);
}

} // namespace dedur
