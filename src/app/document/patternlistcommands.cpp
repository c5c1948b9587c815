#include "document/patternlistcommands.h"

#include <QScrollBar>

#include "base/limits.h"
#include "code/codeformats.h"
#include "code/codejob.h"
#include "document/patternsizedialog.h"
#include "editor.h"
#include "grid/resize.h"
#include "panel/paneldefinitioncheck.h"
#include "panel/panelexport.h"
#include "ui/commandids.h"
#include "ui/editorview.h"
#include "ui/numberfield.h"
#include "ui/prompts.h"

namespace dedur {

void PatternListCommands::add(bool insert) {
    Document& doc = editor_.document;
    if (doc.editType != EditMode::Pattern) return;
    view_.commitSelection();
    // A picture's new frame is the current frame's size, placed nowhere; the
    // frames together stay within what an image document holds.
    PatternHeader frame;
    frame.width = doc.patternWidth;
    frame.height = doc.patternHeight;
    const bool image = doc.kind == DocumentKind::Image;
    if (image && (doc.patternCount >= limits::GifFrames ||
                  (doc.store.size() + recordLength(frame)) * 8 >
                      limits::ImageDocumentDots + 8 * HeaderSize * (doc.patternCount + 1))) {
        prompts_.beep();
        return;
    }
    if (insert) {
        insertPattern(doc, image ? &frame : nullptr);
        shiftNames(editor_.sidecar, doc.currentPattern + 1, 1);
    } else {
        appendPattern(doc, image ? &frame : nullptr);
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
    shiftNames(editor_.sidecar, doc.currentPattern + 1, -1);
    deletePattern(doc);
    view_.repaintGrid(true);
    editor_.currentNumber = doc.currentPattern + 1;
    view_.showNavigation(editor_.currentNumber);
    view_.refreshButton(CmdDeletePattern);
}

void PatternListCommands::nameCurrent() {
    Document& doc = editor_.document;
    if (doc.editType != EditMode::Pattern) return;
    const int number = doc.currentPattern + 1;
    auto& names = editor_.sidecar.names;
    const auto named = names.find(number);
    QString text = named == names.end() ? QString() : QString::fromStdString(named->second);
    for (;;) {
        if (!prompts_.askText(view_.owner(), "Pattern name",
                              QString("The name of pattern %1 in code (a C identifier; empty "
                                      "for none):")
                                  .arg(number),
                              text)) {
            return;
        }
        text = text.trimmed();
        if (text.isEmpty()) break;
        // Every format must compile the name beside the others.
        const std::string problem =
            patternNameProblem(names, number, text.toStdString(), doc.patternCount,
                               doc.patternFileName.empty() ? "pattern.pat" : doc.patternFileName);
        if (problem.empty()) break;
        prompts_.showMessage(view_.owner(),
                             {problem + ".", " ", MessageButtons::Ok, MessageIcon::Question});
    }
    const std::string name = text.toStdString();
    const std::string before = named == names.end() ? std::string() : named->second;
    if (name == before) return;
    // One step of the history, as every other change.
    pushNameUndo(editor_.history, doc, editor_.selection, number, before);
    view_.refreshHistoryButtons();
    if (name.empty()) {
        names.erase(number);
    } else {
        names[number] = name;
    }
    // Kept beside the file when it is saved next.
    doc.modifiedFlag = true;
    view_.showNavigation(number);
}

void PatternListCommands::frameDelay() {
    Document& doc = editor_.document;
    if (doc.editType != EditMode::Pattern) return;
    const int number = doc.currentPattern + 1;
    QString text = QString::number(editor_.sidecar.delayOf(number));
    const Message wrong{"Give the milliseconds (1 to 655350), or a range and the milliseconds "
                        "such as \"1-5: 250\".",
                        " ", MessageButtons::Ok, MessageIcon::Question};
    for (;;) {
        if (!prompts_.askText(view_.owner(), "Frame delay",
                              QString("Milliseconds pattern %1 shows as a frame (or \"1-5: 250\" "
                                      "for a range):")
                                  .arg(number),
                              text)) {
            return;
        }
        const QStringList parts = text.split(':');
        bool ok = false;
        const int ms = parts.last().trimmed().toInt(&ok);
        std::vector<uint8_t> flags(static_cast<size_t>(doc.patternCount), 0);
        if (parts.size() == 1) {
            flags[static_cast<size_t>(doc.currentPattern)] = 1;
        } else if (parts.size() == 2) {
            const PanelRange range = parsePanelRange(
                RangeChoice::Numbers, parts.first().toStdString(), doc.patternCount, 0);
            if (!range.ok()) ok = false;
            for (size_t i = 0; ok && i < flags.size(); ++i) flags[i] = range.panelFlags[i];
        } else {
            ok = false;
        }
        if (!ok || ms < 1 || ms > Sidecar::MaxFrameDelay) {
            prompts_.showMessage(view_.owner(), wrong);
            continue;
        }
        for (size_t i = 0; i < flags.size(); ++i) {
            if (flags[i] != 1) continue;
            if (ms == Sidecar::DefaultFrameDelay) {
                editor_.sidecar.delays.erase(static_cast<int>(i) + 1);
            } else {
                editor_.sidecar.delays[static_cast<int>(i) + 1] = ms;
            }
        }
        // Kept beside the file when it is saved next.
        doc.modifiedFlag = true;
        return;
    }
}

void PatternListCommands::goTo(int number) {
    Document& doc = editor_.document;
    number = std::clamp(number, 1, std::max(doc.patternCount, 1));
    if (number == editor_.currentNumber) return;
    view_.commitSelection();
    doc.currentPattern = number - 1;
    reloadWorkDots(doc);
    // A font's history is one glyph's: a step undone on another glyph would
    // give it the first one's dots.
    if (doc.kind == DocumentKind::Font) editor_.history = {};
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
