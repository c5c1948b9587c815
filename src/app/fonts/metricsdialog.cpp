#include "fonts/metricsdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "base/limits.h"

namespace dedur {

namespace {

QSpinBox* field(QWidget* parent, int low, int high, int value, const char* name) {
    auto* box = new QSpinBox(parent);
    box->setRange(low, high);
    box->setValue(value);
    box->setObjectName(name);
    return box;
}

} // namespace

MetricsDialog::MetricsDialog(QWidget* parent, const QString& glyph, const BdfGlyphShape& s)
    : ScreenCentred<QDialog>(parent) {
    setWindowTitle("Glyph metrics");
    const int side = limits::BdfGlyphSide, reach = limits::BdfGlyphOffset;
    width_ = field(this, 0, side, s.width, "width");
    height_ = field(this, 0, side, s.height, "height");
    x_ = field(this, -reach, reach, s.xOffset, "xOffset");
    y_ = field(this, -reach, reach, s.yOffset, "yOffset");
    advance_ = field(this, -reach, reach, s.advance, "advance");
    auto* form = new QFormLayout;
    form->addRow("Box &width:", width_);
    form->addRow("Box &height:", height_);
    form->addRow("Offset &x (from the origin):", x_);
    form->addRow("Offset &y (from the baseline):", y_);
    form->addRow("&Advance:", advance_);
    auto* note = new QLabel(
        QString("%1\nThe box holds the glyph's dots; a smaller box cuts them, a larger one "
                "adds blank dots around them. A saved glyph's box is its dots' own.")
            .arg(glyph),
        this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

BdfGlyphShape MetricsDialog::chosen() const {
    BdfGlyphShape s;
    s.width = width_->value();
    s.height = height_->value();
    s.xOffset = x_->value();
    s.yOffset = y_->value();
    s.advance = advance_->value();
    return s;
}

} // namespace dedur
