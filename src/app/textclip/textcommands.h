#pragma once

#include "ui/controller.h"
#include <QFont>
#include <QPoint>
#include <string>

class QWidget;

namespace dedur {

class InputTextDialog;

// The input-text strip and the two fonts kept in "MYMSG.$LF" and "EDIT.$LF".
class TextCommands : public Controller {
  public:
    using Controller::Controller;

    // Both font records, as the editor starts; a pipe or a device at a
    // record's name is said to be one, and the default font stays.
    void loadFonts();
    void chooseMessageFont();
    // The font of the strip, chosen over `owner`; true when one was chosen.
    bool chooseEditFont(QWidget* owner);
    // Opened in the middle of the screen; shown again where the user left it,
    // unless that is partly off the screen.
    void showInputText();
    // The timer's check of the strip's hint.
    void checkHint(QPoint globalPosition);

    InputTextDialog* inputText() const { return inputText_; }
    Prompts& prompts() { return prompts_; }

    QFont messageFont;
    QFont editFont;

  private:
    // Font dialog over a 60-byte font file; true when one was chosen.
    bool chooseFontFile(QWidget* owner, const std::string& path, QFont& font);

    InputTextDialog* inputText_ = nullptr;
};

} // namespace dedur
