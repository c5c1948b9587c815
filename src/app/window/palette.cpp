#include "window/palette.h"

#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/artwork.h"
#include "window/commandtable.h"

namespace dedur {

namespace {

QString keyName(const CommandRow& row) {
    return QKeySequence(QKeyCombination(row.modifiers, Qt::Key(row.key)))
        .toString(QKeySequence::NativeText);
}

} // namespace

std::vector<PaletteButton> makePaletteTable() {
    std::vector<const CommandRow*> rows;
    for (const CommandRow& row : commandTable()) {
        if (row.palette.order > 0) rows.push_back(&row);
    }
    std::sort(rows.begin(), rows.end(), [](const CommandRow* a, const CommandRow* b) {
        return a->palette.order < b->palette.order;
    });
    std::vector<PaletteButton> table;
    for (const CommandRow* row : rows) {
        const PaletteLook& look = row->palette;
        PaletteButton b{};
        b.left = -1;
        b.normalImage = look.normal;
        b.pressedImage = look.pressed;
        b.latchedImage = look.latched;
        b.disabledImage = look.disabled;
        b.currentImage = look.current;
        b.savedImage = look.current;
        b.marked = look.marked;
        b.enabled = look.enabled;
        b.command = row->id;
        b.tooltip = look.tooltip;
        b.group = look.group;
        table.push_back(b);
    }
    return table;
}

QString paletteKeyNames(int command) {
    QStringList names;
    for (const CommandRow& row : commandTable()) {
        if (row.key != 0 && row.id == command)
            names.prepend(keyName(row));
        else if (row.key != 0 && row.sameAs == command)
            names << keyName(row);
    }
    return names.join(", ");
}

PaletteStrip::PaletteStrip(QWidget* parent, QWidget* tooltipParent)
    : QWidget(parent), buttons_(makePaletteTable()), tooltipParent_(tooltipParent) {
    setFixedHeight(PaletteStripHeight);
    setMouseTracking(true);
}

PaletteButton* PaletteStrip::find(int command) {
    for (PaletteButton& b : buttons_) {
        if (b.command == command) return &b;
    }
    return nullptr;
}

int PaletteStrip::findMarked() const {
    for (size_t i = 0; i < buttons_.size(); ++i) {
        if (buttons_[i].marked) return static_cast<int>(i);
    }
    return -1;
}

int PaletteStrip::findPressed() const {
    for (size_t i = 0; i < buttons_.size(); ++i) {
        if (buttons_[i].pressed) return static_cast<int>(i);
    }
    return -1;
}

void PaletteStrip::layoutButtons(int x, int y) {
    int left = x;
    int previousGroup = buttons_.empty() ? 0 : buttons_.front().group;
    for (PaletteButton& b : buttons_) {
        if (b.group != previousGroup) left += 8;
        previousGroup = b.group;
        b.left = left;
        b.right = left + 24;
        b.top = y;
        b.bottom = y + 24;
        left = b.right;
    }
    update();
}

int PaletteStrip::createNavigationStrip(bool withNumberBox) {
    delete numberBox_;
    delete lowLabel_;
    delete scrollBar_;
    delete countLabel_;
    delete nameLabel_;
    // Dialog units of 8 x 16 pixels: one row 20 pixels high.
    const int y = 4;
    const int h = 20;
    int x = 4;
    if (withNumberBox) {
        numberBox_ = new NumberField(this);
        numberBox_->setObjectName("numberBox");
        numberBox_->setGeometry(x, y, 68, h);
        numberBox_->setMaxLength(5);
        connect(numberBox_, &NumberField::notify, this, &PaletteStrip::numberBoxNotified);
        numberBox_->show();
    }
    x += 68 + 1;
    lowLabel_ = new QLabel("1", this);
    lowLabel_->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    lowLabel_->setGeometry(x, y, 16, h);
    lowLabel_->show();
    x += 16 + 1;
    scrollBar_ = new QScrollBar(Qt::Horizontal, this);
    scrollBar_->setObjectName("navigation");
    scrollBar_->setGeometry(x, y, 154, h);
    scrollBar_->setRange(1, 1);
    scrollBar_->setPageStep(1);
    scrollBar_->setFocusPolicy(Qt::NoFocus);
    connect(scrollBar_, &QScrollBar::actionTriggered, this, &PaletteStrip::navigate);
    scrollBar_->show();
    x += 154 + 1;
    countLabel_ = new QLabel("1", this);
    countLabel_->setObjectName("count");
    countLabel_->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    countLabel_->setFrameStyle(QFrame::Box | QFrame::Plain);
    countLabel_->setAutoFillBackground(true);
    countLabel_->setGeometry(x, y, 40, h);
    countLabel_->show();
    x += 40 + 8;
    nameLabel_ = new QLabel(this);
    nameLabel_->setObjectName("patternName");
    nameLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    nameLabel_->setGeometry(x, y, 320, h);
    nameLabel_->show();
    return y + h + 3;
}

void PaletteStrip::showNavigation(int number, int count, const QString& name) {
    scrollBar_->blockSignals(true);
    scrollBar_->setRange(1, std::max(count, 1));
    scrollBar_->setValue(number);
    scrollBar_->setSliderPosition(number);
    scrollBar_->blockSignals(false);
    if (numberBox_) numberBox_->setText(QString::number(number));
    countLabel_->setText(QString::number(count));
    fitCountLabel();
    if (nameLabel_) nameLabel_->setText(name);
}

// The label is about as wide as five digits; a count too long for it is
// shown in a smaller font rather than cut off.
void PaletteStrip::fitCountLabel() {
    QFont font = this->font();
    const int room = countLabel_->contentsRect().width() - 2;
    const int needed = QFontMetrics(font).horizontalAdvance(countLabel_->text());
    if (needed > room && room > 0) {
        if (font.pointSizeF() > 0) {
            font.setPointSizeF(font.pointSizeF() * room / needed);
        } else {
            font.setPixelSize(std::max(1, font.pixelSize() * room / needed));
        }
    }
    countLabel_->setFont(font);
}

void PaletteStrip::setImage(PaletteButton& b, int image) {
    b.currentImage = image;
}

void PaletteStrip::setButtonEnabled(int command, bool enabled) {
    PaletteButton* b = find(command);
    if (!b || b->enabled == enabled) return;
    b->enabled = enabled;
    setImage(*b, enabled ? b->normalImage : b->disabledImage);
    repaintButtons();
}

void PaletteStrip::markTool(int command) {
    const int marked = findMarked();
    if (marked >= 0 && buttons_[static_cast<size_t>(marked)].command == command) return;
    if (marked >= 0) {
        PaletteButton& old = buttons_[static_cast<size_t>(marked)];
        old.marked = false;
        setImage(old, old.enabled ? old.normalImage : old.disabledImage);
    }
    if (PaletteButton* b = find(command)) {
        b->marked = true;
        setImage(*b, b->latchedImage >= 0 ? b->latchedImage : b->normalImage);
    }
    repaintButtons();
}

void PaletteStrip::repaintButtons() {
    if (buttons_.empty() || buttons_.front().left < 0) {
        update();
        return;
    }
    repaint(0, buttons_.front().top, width(), buttons_.front().bottom - buttons_.front().top + 1);
}

void PaletteStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(0, 0, width() - 1, PaletteStripHeight - 1);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(0, 0, width() - 1, 0);
    p.setPen(Qt::white);
    p.drawLine(0, 1, width() - 1, 1);
    for (const PaletteButton& b : buttons_) {
        if (b.left < 0) continue;
        const QPixmap image = paletteImage(b.currentImage);
        if (!image.isNull()) p.drawPixmap(b.left, b.top, image);
    }
}

void PaletteStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    bool repaintNeeded = false;
    for (PaletteButton& b : buttons_) {
        if (!b.contains(at)) continue;
        closeTooltip(b);
        if (!b.enabled) {
            emit beep();
            return;
        }
        b.pressed = true;
        b.savedImage = b.currentImage;
        setImage(b, b.pressedImage);
        repaintNeeded = true;
    }
    if (repaintNeeded) repaintButtons();
}

void PaletteStrip::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int pressedIndex = findPressed();
    if (pressedIndex < 0) return;
    PaletteButton& b = buttons_[static_cast<size_t>(pressedIndex)];
    const QPoint at = event->position().toPoint();
    if (!b.contains(at)) {
        b.pressed = false;
        setImage(b, b.savedImage);
        repaintButtons();
        return;
    }
    closeTooltip(b);
    setImage(b, b.latchedImage >= 0 ? b.latchedImage : b.normalImage);
    if (!b.marked) {
        const int marked = findMarked();
        if (marked >= 0) buttons_[static_cast<size_t>(marked)].marked = false;
        b.marked = true;
        if (b.latchedImage >= 0) {
            for (PaletteButton& other : buttons_) {
                if (&other != &b && other.group == b.group && other.latchedImage >= 0) {
                    setImage(other, other.normalImage);
                }
            }
        }
    }
    b.pressed = false;
    repaintButtons();
    emit commandPosted(b.command);
}

void PaletteStrip::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const int pressedIndex = findPressed();
    if (pressedIndex >= 0) {
        PaletteButton& b = buttons_[static_cast<size_t>(pressedIndex)];
        if (b.contains(at) && b.currentImage != b.pressedImage) {
            setImage(b, b.pressedImage);
            repaintButtons();
        } else if (!b.contains(at) && b.currentImage != b.savedImage) {
            setImage(b, b.savedImage);
            repaintButtons();
            emit beep();
        }
        return;
    }
    PaletteButton* hit = nullptr;
    for (PaletteButton& b : buttons_) {
        if (b.contains(at)) {
            hit = &b;
            break;
        }
    }
    for (PaletteButton& b : buttons_) {
        if (&b != hit) closeTooltip(b);
    }
    if (hit && !hit->tooltipWindow) showTooltip(*hit);
}

void PaletteStrip::leaveEvent(QEvent*) {
    if (findPressed() < 0) tooltipCheck();
}

void PaletteStrip::showTooltip(PaletteButton& b) {
    auto* tip = new QLabel(QString::fromLatin1(b.tooltip), tooltipParent_);
    tip->setObjectName("paletteTooltip");
    tip->setAlignment(Qt::AlignCenter);
    tip->setFrameStyle(QFrame::Box | QFrame::Plain);
    tip->setAutoFillBackground(true);
    if (b.enabled) {
        QPalette colours = tip->palette();
        colours.setColor(QPalette::Window, QColor(255, 0, 0));
        colours.setColor(QPalette::WindowText, QColor(255, 255, 255));
        tip->setPalette(colours);
    }
    const QSize text = tip->fontMetrics().size(0, tip->text());
    const QPoint origin = mapTo(tooltipParent_, QPoint(b.left + 1, b.bottom + 1));
    tip->setGeometry(origin.x(), origin.y(), text.width() + 6, text.height() + 4);
    tip->show();
    tip->raise();
    b.tooltipWindow = tip;
    // The tooltip's text is the classic one; the keys stand beside it, in
    // a lighter box of their own.
    const QString keys = paletteKeyNames(b.command);
    if (keys.isEmpty()) return;
    auto* keyTip = new QLabel(keys, tooltipParent_);
    keyTip->setObjectName("paletteKeys");
    keyTip->setAlignment(Qt::AlignCenter);
    keyTip->setFrameStyle(QFrame::Box | QFrame::Plain);
    keyTip->setAutoFillBackground(true);
    QPalette colours = keyTip->palette();
    if (b.enabled) {
        colours.setColor(QPalette::Window, QColor(255, 224, 224));
        colours.setColor(QPalette::WindowText, QColor(160, 0, 0));
    } else {
        colours.setColor(QPalette::WindowText, QColor(96, 96, 96));
    }
    keyTip->setPalette(colours);
    const QSize keyText = keyTip->fontMetrics().size(0, keys);
    keyTip->setGeometry(tip->geometry().right() + 3, tip->y(), keyText.width() + 6, tip->height());
    keyTip->show();
    keyTip->raise();
    b.keyWindow = keyTip;
}

void PaletteStrip::closeTooltip(PaletteButton& b) {
    delete b.tooltipWindow;
    delete b.keyWindow;
}

void PaletteStrip::reshowTooltip() {
    for (PaletteButton& b : buttons_) {
        if (!b.tooltipWindow) continue;
        if (b.contains(mapFromGlobal(QCursor::pos()))) {
            for (QLabel* window : {b.tooltipWindow.data(), b.keyWindow.data()}) {
                if (!window) continue;
                window->hide();
                window->show();
                window->raise();
            }
        }
        return;
    }
}

void PaletteStrip::tooltipCheck() {
    for (PaletteButton& b : buttons_) {
        if (!b.tooltipWindow) continue;
        if (!b.contains(mapFromGlobal(QCursor::pos())) || !underMouse()) closeTooltip(b);
        return;
    }
}

void PaletteStrip::destroyTooltips() {
    for (PaletteButton& b : buttons_) closeTooltip(b);
}

} // namespace dedur
