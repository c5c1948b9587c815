#include "document/newimagedialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "base/limits.h"

namespace dedur {

const std::vector<DisplayPreset>& displayPresets() {
    // The layouts are what these displays' usual controllers take: the
    // OLEDs and the 84 x 48 LCD write a byte down eight rows of a column,
    // the larger LCD and the e-paper a byte along a row.
    static const std::vector<DisplayPreset> presets{
        {"128 x 64 OLED", 128, 64, CodeLayout::PagesLsb},
        {"128 x 32 OLED", 128, 32, CodeLayout::PagesLsb},
        {"84 x 48 LCD", 84, 48, CodeLayout::PagesLsb},
        {"240 x 128 LCD", 240, 128, CodeLayout::RowsMsb},
        {"296 x 128 e-paper", 296, 128, CodeLayout::RowsMsb},
        {"Custom", 64, 64, CodeLayout::RowsMsb},
    };
    return presets;
}

NewImageDialog::NewImageDialog(QWidget* parent) : ScreenCentred<QDialog>(parent) {
    setWindowTitle("New image");
    preset_ = new QComboBox(this);
    preset_->setObjectName("preset");
    for (const DisplayPreset& p : displayPresets()) preset_->addItem(p.name);
    width_ = new QSpinBox(this);
    width_->setObjectName("width");
    height_ = new QSpinBox(this);
    height_->setObjectName("height");
    for (QSpinBox* side : {width_, height_}) {
        side->setRange(1, limits::ImageSide);
        side->setSuffix(" dots");
    }
    layout_ = new QComboBox(this);
    layout_->setObjectName("layout");
    // The panel's layout needs a place on the panel, which a picture has not.
    for (CodeLayout l : AllCodeLayouts) {
        if (l != CodeLayout::Panel) layout_->addItem(layoutName(l), static_cast<int>(l));
    }
    layoutText_ = new QLabel(this);
    layoutText_->setObjectName("layoutText");
    layoutText_->setWordWrap(true);
    format_ = new QComboBox(this);
    format_->setObjectName("format");
    for (ImageFormat f : {ImageFormat::Pbm, ImageFormat::Xbm, ImageFormat::Png, ImageFormat::Gif})
        format_->addItem(imageFormatName(f), static_cast<int>(f));

    auto* form = new QFormLayout;
    form->addRow("Display:", preset_);
    form->addRow("Width:", width_);
    form->addRow("Height:", height_);
    form->addRow("Byte layout:", layout_);
    form->addRow("", layoutText_);
    form->addRow("Format:", format_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(form);
    whole->addWidget(buttons);
    setMinimumWidth(420);

    connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(1); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(0); });
    connect(preset_, &QComboBox::currentIndexChanged, this, &NewImageDialog::presetChosen);
    connect(layout_, &QComboBox::currentIndexChanged, this, &NewImageDialog::describeLayout);
    presetChosen(0);
}

void NewImageDialog::presetChosen(int index) {
    const DisplayPreset& p = displayPresets()[static_cast<size_t>(std::max(index, 0))];
    // Only a custom size is typed; a display's size is its own.
    const bool custom = index + 1 == static_cast<int>(displayPresets().size());
    width_->setValue(p.width);
    height_->setValue(p.height);
    width_->setEnabled(custom);
    height_->setEnabled(custom);
    layout_->setCurrentIndex(layout_->findData(static_cast<int>(p.layout)));
    describeLayout();
}

void NewImageDialog::describeLayout() {
    layoutText_->setText(QString("The display reads %1.").arg(layoutDescription(layout())));
}

int NewImageDialog::imageWidth() const {
    return width_->value();
}

int NewImageDialog::imageHeight() const {
    return height_->value();
}

CodeLayout NewImageDialog::layout() const {
    return static_cast<CodeLayout>(layout_->currentData().toInt());
}

ImageFormat NewImageDialog::format() const {
    return static_cast<ImageFormat>(format_->currentData().toInt());
}

} // namespace dedur
