#pragma once

#include <QDialog>

#include "fonts/bdfdocument.h"
#include "ui/centeronscreen.h"

class QLabel;
class QSpinBox;

namespace dedur {

// Glyph > Metrics...: a glyph's box (its size and the offset of its
// lower-left corner from the origin) and its advance, each field held to the
// limits of a BDF glyph.
class MetricsDialog : public ScreenCentred<QDialog> {
  public:
    MetricsDialog(QWidget* parent, const QString& glyph, const BdfGlyphShape& shape);

    // The values as the fields hold them (the rows are the caller's).
    BdfGlyphShape chosen() const;

    QSpinBox* widthBox() const { return width_; }
    QSpinBox* heightBox() const { return height_; }
    QSpinBox* xBox() const { return x_; }
    QSpinBox* yBox() const { return y_; }
    QSpinBox* advanceBox() const { return advance_; }

  private:
    QSpinBox* width_;
    QSpinBox* height_;
    QSpinBox* x_;
    QSpinBox* y_;
    QSpinBox* advance_;
};

} // namespace dedur
