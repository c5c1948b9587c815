#include "document/patternsizedialog.h"

#include <QLabel>
#include <QPushButton>

#include "grid/resize.h"
#include "ui/numberfield.h"
#include "ui/prompts.h"

namespace dedur {

PatternSizeDialog::PatternSizeDialog(QWidget* parent, Prompts& prompts, const PatternHeader& header)
    : ScreenCentred<QDialog>(parent), prompts_(prompts), header_(header) {
    setWindowTitle("Pattern Size");
    setFixedSize(320, 120);
    // The labels say 2..32; the sizes accepted are 2..96.
    auto* widthLabel = new QLabel("Pattern width (2..32)", this);
    widthLabel->setGeometry(16, 16, 170, 24);
    auto* heightLabel = new QLabel("Pattern height (2..32)", this);
    heightLabel->setGeometry(16, 48, 170, 24);
    width_ = new NumberField(this);
    width_->setObjectName("width");
    width_->setGeometry(190, 16, 50, 24);
    width_->setMaxLength(3);
    width_->setText(QString::number(header.width));
    height_ = new NumberField(this);
    height_->setObjectName("height");
    height_->setGeometry(190, 48, 50, 24);
    height_->setMaxLength(3);
    height_->setText(QString::number(header.height));
    auto* okButton = new QPushButton("OK (Enter)", this);
    okButton->setGeometry(40, 84, 110, 28);
    auto* cancelButton = new QPushButton("Cancel (Esc)", this);
    cancelButton->setGeometry(170, 84, 110, 28);
    connect(okButton, &QPushButton::clicked, this, &PatternSizeDialog::ok);
    connect(cancelButton, &QPushButton::clicked, this, [this] { done(0); });
    connect(width_, &NumberField::notify, this, [this](int code) { fieldNotified(width_, code); });
    connect(height_, &NumberField::notify, this,
            [this](int code) { fieldNotified(height_, code); });
    width_->setFocus();
}

void PatternSizeDialog::fieldNotified(NumberField* field, int code) {
    NumberField* other = field == width_ ? height_ : width_;
    switch (code) {
    case NumberField::Enter:
        if (field == width_) {
            height_->setFocus();
        } else {
            ok();
        }
        break;
    case NumberField::Escape:
        done(0);
        break;
    case NumberField::Previous:
    case NumberField::Next:
        other->setFocus();
        break;
    default:
        break;
    }
}

void PatternSizeDialog::ok() {
    const int width = std::clamp(width_->number(), 2, MaxPatternSide);
    const int height = std::clamp(height_->number(), 2, MaxPatternSide);
    if (width != width_->number() || height != height_->number()) {
        prompts_.beep();
        width_->setText(QString::number(width));
        height_->setText(QString::number(height));
        return;
    }
    for (const Outcome& placed :
         {checkPlacement(width, header_.leftToRight, header_.beginSeg, header_.beginCom, "Width"),
          checkPlacement(height, header_.topToBottom, header_.beginSeg, header_.beginCom,
                         "Height")}) {
        if (!placed.ok()) {
            prompts_.showMessage(this, placed.message);
            return;
        }
    }
    newWidth_ = width;
    newHeight_ = height;
    done(width == header_.width && height == header_.height ? 0 : 1);
}

} // namespace dedur
