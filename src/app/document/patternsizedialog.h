#pragma once

#include <QDialog>

#include "ui/centeronscreen.h"

#include "document/patternstore.h"

namespace dedur {

class NumberField;
class Prompts;

// "Pattern Size": a new width and height for the current pattern, checked
// against its placement on the panel.
class PatternSizeDialog : public ScreenCentred<QDialog> {
    Q_OBJECT
  public:
    PatternSizeDialog(QWidget* parent, Prompts& prompts, const PatternHeader& header);

    NumberField* widthField() const { return width_; }
    NumberField* heightField() const { return height_; }
    // The size accepted with OK.
    int newWidth() const { return newWidth_; }
    int newHeight() const { return newHeight_; }

    // OK: clamps with a beep, checks the placement; closes with 1 when the
    // size changed, 0 when it did not.
    void ok();

  private:
    void fieldNotified(NumberField* field, int code);

    Prompts& prompts_;
    PatternHeader header_;
    NumberField* width_;
    NumberField* height_;
    int newWidth_ = 0;
    int newHeight_ = 0;
};

} // namespace dedur
