// Adding, inserting, deleting and visiting patterns, and the navigation strip.
#include <QScrollBar>

#include "../grid/gridwidget.h"
#include "../shell/commandids.h"
#include "../shell/mainwindow.h"
#include "../shell/palette.h"
#include "../shell/prompts.h"
#include "document/resize.h"
#include "panel/paneldefinitioncheck.h"
#include "patternsizedialog.h"

namespace dedur {

void MainWindow::addPattern(bool insert) {
    Document& doc = editor_.document;
    if (doc.editType != EditPattern) return;
    commitSelection();
    if (insert) {
        insertPattern(doc, nullptr);
    } else {
        appendPattern(doc, nullptr);
        editor_.currentNumber = doc.patternCount;
    }
    grid_->repaintAll(true);
    refreshButton(CmdDeletePattern);
    showNavigation(editor_.currentNumber);
    palette_->reshowTooltip();
}

void MainWindow::deleteCurrentPattern() {
    Document& doc = editor_.document;
    if (doc.editType != EditPattern) return;
    if (doc.patternCount <= 1) {
        prompts_.beep();
        return;
    }
    if (prompts_.showMessage(this, {"Are you sure to delete ?", "DELETE", MessageButtons::YesNo,
                                    MessageIcon::None}) == IDNO) {
        return;
    }
    commitSelection();
    deletePattern(doc);
    grid_->repaintAll(true);
    editor_.currentNumber = doc.currentPattern + 1;
    showNavigation(editor_.currentNumber);
    refreshButton(CmdDeletePattern);
}

void MainWindow::goToPattern(int number) {
    Document& doc = editor_.document;
    number = std::clamp(number, 1, std::max(doc.patternCount, 1));
    if (number == editor_.currentNumber) return;
    commitSelection();
    doc.currentPattern = number - 1;
    reloadWorkDots(doc);
    editor_.currentNumber = number;
    showNavigation(number);
    grid_->repaintAll(true);
}

void MainWindow::navigate(int action) {
    QScrollBar* bar = palette_->scrollBar();
    const Document& doc = editor_.document;
    const int max = doc.editType == EditPattern ? doc.patternCount : glyphKind(doc.editType).count;
    int number = editor_.currentNumber;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        number -= 1;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        number += 1;
        break;
    case QAbstractSlider::SliderPageStepSub:
        number -= 5;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        number += 5;
        break;
    case QAbstractSlider::SliderMove:
        number = bar->sliderPosition();
        break;
    case QAbstractSlider::SliderToMinimum:
        number = 1;
        break;
    case QAbstractSlider::SliderToMaximum:
        number = max;
        break;
    default:
        break;
    }
    number = std::clamp(number, 1, std::max(max, 1));
    // The bar moves only as far as the navigation says.
    bar->setSliderPosition(number == editor_.currentNumber ? editor_.currentNumber : number);
    if (number == editor_.currentNumber) return;
    if (doc.editType == EditPattern) {
        editor_.currentNumber = number;
        commitSelection();
        if (palette_->numberBox()) palette_->numberBox()->setText(QString::number(number));
        editor_.document.currentPattern = number - 1;
        reloadWorkDots(editor_.document);
    } else {
        goToGlyph(number);
    }
    editor_.selection.selectionState = SelectionState::None;
    grid_->repaintAll(true);
    bar->setSliderPosition(number);
    setFocus();
}

void MainWindow::numberBoxNotified(int code) {
    NumberField* box = palette_->numberBox();
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
    if (number != editor_.currentNumber) goToPattern(number);
    if (corrected) box->setText(QString::number(number));
}

} // namespace dedur

namespace dedur {

void MainWindow::changeSize() {
    Document& doc = editor_.document;
    if (doc.editType != EditPattern) return;
    PatternHeader header{doc.patternWidth, doc.patternHeight, 0, 0, 0, 0};
    getHeader(doc, -1, header);
    PatternSizeDialog dialog(this, prompts_, header);
    if (runDialog(&dialog) != 1) return;
    commitSelection();
    changePatternSize(doc, editor_.history, editor_.selection, dialog.newWidth(),
                      dialog.newHeight());
    refreshHistoryButtons();
    grid_->repaintAll(true);
}

} // namespace dedur

#include "../panel/exportdialog.h"
#include "../panel/paneldefinitiondialog.h"

namespace dedur {

void MainWindow::panelDefinition() {
    Document& doc = editor_.document;
    PanelDefinitionDialog dialog(
        this, prompts_, doc.panelDefinition, [this](const PanelDefinition& d) {
            Document& document = editor_.document;
            if (document.editType != EditPattern) {
                document.panelDefinition = d;
                return;
            }
            commitSelection();
            applyPanelDefinition(document, editor_.history, editor_.selection, d);
            refreshHistoryButtons();
            grid_->repaintAll(true);
        });
    if (runDialog(&dialog) == 1) doc.panelDefinition = dialog.definition();
}

// In the font modes too: the pattern document stays loaded there.
void MainWindow::panelExport() {
    ExportDialog dialog(this, prompts_, editor_);
    runDialog(&dialog);
}

} // namespace dedur
