#include "textclip/textcommands.h"

#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include "editor.h"
#include "settings/settingsfile.h"
#include "textclip/inputtextdialog.h"
#include "textclip/logfont.h"
#include "textclip/logfontrecord.h"
#include "ui/centeronscreen.h"
#include "ui/editorview.h"
#include "ui/prompts.h"

namespace dedur {

void TextCommands::loadFonts() {
    for (const auto& [name, font] :
         {std::pair{MessageFontFileName, &messageFont}, std::pair{EditFontFileName, &editFont}}) {
        const std::string path = makeWorkPath(editor_.startupDirectory, name);
        FileReadStatus why = FileReadStatus::Ok;
        if (auto r = readLogFontFile(path, &why)) {
            *font = fontFromRecord(*r);
        } else if (why == FileReadStatus::NotRegularFile) {
            prompts_.showMessage(view_.owner(),
                                 {formatText("\"%s\" is not a regular file; the default font is "
                                             "used instead.",
                                             printable(path).c_str()),
                                  " ", MessageButtons::Ok, MessageIcon::Question});
        }
    }
}

void TextCommands::chooseMessageFont() {
    chooseFontFile(view_.owner(), makeWorkPath(editor_.startupDirectory, MessageFontFileName),
                   messageFont);
}

bool TextCommands::chooseEditFont(QWidget* owner) {
    return chooseFontFile(owner, makeWorkPath(editor_.startupDirectory, EditFontFileName),
                          editFont);
}

bool TextCommands::chooseFontFile(QWidget* owner, const std::string& path, QFont& font) {
    LogFontRecord record = readLogFontFile(path).value_or(LogFontRecord{});
    QFont chosen = fontFromRecord(record);
    if (!prompts_.chooseFont(owner, chosen)) return false;
    recordFromFont(chosen, record);
    // The font is used for this run even when it could not be kept.
    if (const Outcome outcome = writeLogFontFile(path, record); !outcome.ok()) {
        prompts_.showMessage(owner, outcome.message);
    }
    font = chosen;
    return true;
}

void TextCommands::showInputText() {
    const bool opening = !inputText_;
    if (opening) inputText_ = new InputTextDialog(*this, view_.owner());
    inputText_->show();
    const QRect screen = inputText_->screen() ? inputText_->screen()->geometry() : QRect();
    if (opening || (!screen.isNull() && !screen.contains(inputText_->frameGeometry()))) {
        centerOnScreen(inputText_);
    }
    inputText_->raise();
    inputText_->edit()->setFocus();
}

void TextCommands::checkHint(QPoint globalPosition) {
    if (inputText_) inputText_->checkHint(globalPosition);
}

} // namespace dedur
