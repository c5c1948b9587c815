#include "panel/paneldefinitiondialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "ui/numberfield.h"
#include "ui/prompts.h"

namespace dedur {

namespace {

const char* const DirectionTexts[] = {"Increase Seg", "Decrease Seg", "Increase Com",
                                      "Decrease Com"};

// The fields in their keyboard ring order.
const PanelField Ring[] = {PanelField::Seg, PanelField::Com, PanelField::Width, PanelField::Height};

} // namespace

PanelDefinitionDialog::PanelDefinitionDialog(QWidget* parent, Prompts& prompts,
                                             const PanelDefinition& definition,
                                             std::function<void(const PanelDefinition&)> apply)
    : ScreenCentred<QDialog>(parent), prompts_(prompts), definition_(definition),
      apply_(std::move(apply)) {
    setWindowTitle("LCD Panel Definition");
    setFixedSize(440, 250);
    auto* corner = new QGroupBox(" Left-Top Corner ", this);
    corner->setGeometry(12, 8, 180, 90);
    auto makeField = [this](QWidget* parent, const char* label, int x, int y, int value) {
        auto* text = new QLabel(label, parent);
        text->setGeometry(x, y, 60, 24);
        auto* f = new NumberField(parent);
        f->setGeometry(x + 64, y, 60, 24);
        f->setMaxLength(7);
        f->setText(QString::number(value));
        return f;
    };
    seg_ = makeField(corner, "Seg :", 12, 24, definition.beginSeg);
    com_ = makeField(corner, "Com :", 12, 56, definition.beginCom);
    width_ = makeField(this, "Width : ", 24, 112, definition.width);
    height_ = makeField(this, "Height : ", 24, 144, definition.height);
    auto makeList = [this](const char* label, int x, int selected) {
        auto* text = new QLabel(label, this);
        text->setGeometry(x, 8, 110, 24);
        auto* list = new QListWidget(this);
        list->setGeometry(x, 32, 110, 90);
        for (const char* t : DirectionTexts) list->addItem(t);
        list->setCurrentRow(selected);
        return list;
    };
    leftToRight_ = makeList("Left to Right", 204, definition.leftToRight);
    topToBottom_ = makeList("Top to Bottom", 320, definition.topToBottom);
    auto* applyButton = new QPushButton("Apply", this);
    applyButton->setGeometry(204, 200, 70, 30);
    auto* okButton = new QPushButton("OK", this);
    okButton->setGeometry(282, 200, 70, 30);
    okButton->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setGeometry(360, 200, 70, 30);
    connect(applyButton, &QPushButton::clicked, this, &PanelDefinitionDialog::applyNow);
    connect(okButton, &QPushButton::clicked, this, &PanelDefinitionDialog::ok);
    connect(cancel, &QPushButton::clicked, this, [this] { done(0); });
    for (PanelField which : Ring) {
        connect(field(which), &NumberField::notify, this,
                [this, which](int code) { fieldNotified(which, code); });
    }
    seg_->setFocus();
}

NumberField* PanelDefinitionDialog::field(PanelField which) const {
    switch (which) {
    case PanelField::Seg:
        return seg_;
    case PanelField::Com:
        return com_;
    case PanelField::Width:
        return width_;
    case PanelField::Height:
        return height_;
    default:
        return nullptr;
    }
}

void PanelDefinitionDialog::fieldNotified(PanelField which, int code) {
    int at = 0;
    while (Ring[at] != which) ++at;
    switch (code) {
    case NumberField::Changed: {
        int low = 0;
        int high = 0;
        panelFieldRange(which, low, high);
        const int value = field(which)->number();
        if (value < low) field(which)->setText(QString::number(low));
        if (value > high) field(which)->setText(QString::number(high));
        break;
    }
    case NumberField::Enter:
        // Enter in the last field accepts the dialog, as a user expects.
        if (at == 3) {
            ok();
        } else {
            field(Ring[at + 1])->setFocus();
        }
        break;
    case NumberField::Next:
        field(Ring[(at + 1) % 4])->setFocus();
        break;
    case NumberField::Previous:
        field(Ring[(at + 3) % 4])->setFocus();
        break;
    case NumberField::Escape:
        done(0);
        break;
    default:
        break;
    }
}

bool PanelDefinitionDialog::check() {
    PanelDefinitionFields f;
    f.leftToRight = leftToRight_->currentRow();
    f.topToBottom = topToBottom_->currentRow();
    f.beginSeg = seg_->number();
    f.beginCom = com_->number();
    f.width = width_->number();
    f.height = height_->number();
    const PanelDefinitionCheck result = checkPanelDefinition(f);
    if (!result.outcome.ok()) {
        prompts_.showMessage(this, result.outcome.message);
        if (NumberField* focus = field(result.focus)) focus->setFocus();
        return false;
    }
    definition_ = toPanelDefinition(f);
    return true;
}

void PanelDefinitionDialog::ok() {
    if (check()) done(1);
}

void PanelDefinitionDialog::applyNow() {
    if (check() && apply_) apply_(definition_);
}

} // namespace dedur
