#pragma once

#include <QDialog>

#include "code/codelayout.h"
#include "imagedocument.h"
#include "ui/centeronscreen.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace dedur {

// A display a new picture is drawn for: its size and the byte layout its
// controller reads.
struct DisplayPreset {
    const char* name;
    int width;
    int height;
    CodeLayout layout;
};

// The presets in the order the dialog lists them; the last is "Custom".
const std::vector<DisplayPreset>& displayPresets();

// "New image": a display preset (or a custom size of 1 to the image limit a
// side), the byte layout kept for Export code, and the file format.
class NewImageDialog : public ScreenCentred<QDialog> {
    Q_OBJECT
  public:
    explicit NewImageDialog(QWidget* parent);

    QComboBox* presetBox() const { return preset_; }
    QSpinBox* widthBox() const { return width_; }
    QSpinBox* heightBox() const { return height_; }
    QComboBox* layoutBox() const { return layout_; }
    QComboBox* formatBox() const { return format_; }

    int imageWidth() const;
    int imageHeight() const;
    CodeLayout layout() const;
    ImageFormat format() const;

  private:
    void presetChosen(int index);
    void describeLayout();

    QComboBox* preset_;
    QSpinBox* width_;
    QSpinBox* height_;
    QComboBox* layout_;
    QLabel* layoutText_;
    QComboBox* format_;
};

} // namespace dedur
