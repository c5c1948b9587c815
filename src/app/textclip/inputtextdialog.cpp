#include "textclip/inputtextdialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "settings/settingsfile.h"
#include "textclip/logfontrecord.h"
#include "textclip/textcommands.h"
#include "ui/artwork.h"
#include "ui/commandids.h"
#include "ui/prompts.h"
#include "ui/xorframe.h"

namespace dedur {

InputTextDialog::InputTextDialog(TextCommands& texts, QWidget* parent)
    : QDialog(parent), texts_(texts) {
    setWindowTitle(" ");
    setModal(false);
    setMouseTracking(true);
    edit_ = new QLineEdit(this);
    edit_->setObjectName("text");
    edit_->setGeometry(12, 12, 320, 24);
    fontButton_ = new QPushButton("Font", this);
    fontButton_->setGeometry(344, 12, 70, 26);
    fontButton_->setAutoDefault(false);
    copy_ = new QPushButton("Copy", this);
    copy_->setGeometry(344, 48, 70, 26);
    copy_->setAutoDefault(false);
    connect(fontButton_, &QPushButton::clicked, this, &InputTextDialog::chooseFont);
    connect(copy_, &QPushButton::clicked, this, &InputTextDialog::copy);
    connect(edit_, &QLineEdit::textChanged, this, [this] {
        removeMarquee();
        drawSample();
        update();
        updateHint(mapFromGlobal(QCursor::pos()), true);
    });
    edit_->setFont(texts_.editFont);
    layOut();
    edit_->setFocus();
}

void InputTextDialog::layOut() {
    edit_->setFont(texts_.editFont);
    const int h = QFontMetrics(texts_.editFont).boundingRect("I").height();
    edit_->setFixedHeight(h + 2 + 8);
    const QRect e = edit_->geometry();
    // Edges as the strip is measured: right and bottom are its last lines.
    const int top = e.bottom() + 1 + 8;
    sample_ = QRect(QPoint(e.left() - 2, top), QPoint(e.right() + 1 + 2, top + h + 4));
    const int room = sample_.height() - copy_->height();
    copy_->move(copy_->x(), room > 1 ? sample_.top() + room / 2 : sample_.top());
    const int bottom = std::max(sample_.bottom(), copy_->geometry().bottom());
    setFixedSize(fontButton_->geometry().right() + 12, bottom + 12);
    marqueeShown_ = false;
    surface_ = QImage(size(), QImage::Format_RGB32);
    redraw();
}

void InputTextDialog::resizeEvent(QResizeEvent*) {
    if (surface_.size() != size()) {
        surface_ = QImage(size(), QImage::Format_RGB32);
        redraw();
    }
}

void InputTextDialog::redraw() {
    surface_.fill(Qt::white);
    QPainter p(&surface_);
    p.setPen(Qt::black);
    p.drawRect(sample_.adjusted(-2, -2, 1, 1));
    p.end();
    drawSample();
    if (marqueeShown_) xorMarquee(marquee_);
    update();
}

void InputTextDialog::drawSample() {
    QPainter p(&surface_);
    p.fillRect(sample_, Qt::white);
    QString text = edit_->text().left(255);
    copy_->setEnabled(!text.isEmpty());
    if (text.isEmpty()) return;
    p.setFont(texts_.editFont);
    p.setPen(Qt::black);
    const QFontMetrics metrics(texts_.editFont);
    const int x = sample_.left() + 2;
    // Only the leading characters that fit on the strip are drawn.
    while (x + metrics.horizontalAdvance(text) >= sample_.right() + 1 && text.size() >= 3)
        text.chop(1);
    p.drawText(x, sample_.top() + 2 + metrics.ascent(), text);
}

void InputTextDialog::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.drawImage(event->rect(), surface_, event->rect());
}

void InputTextDialog::xorMarquee(const QRect& r) {
    xorFrame(surface_, r.left(), r.top(), r.right(), r.bottom(), surface_.rect());
    update();
}

void InputTextDialog::removeMarquee() {
    if (marqueeShown_) xorMarquee(marquee_);
    marqueeShown_ = false;
}

void InputTextDialog::updateHint(QPoint at, bool afterTextChange) {
    const bool inside = sample_.contains(at);
    if (inside && !edit_->text().isEmpty()) {
        setCursor(toolCursor(CmdSelect));
        if (!hint_) {
            hint_ = new QLabel("Select rectangle to copy", this);
            hint_->setObjectName("hint");
            hint_->setAlignment(Qt::AlignCenter);
            hint_->setFrameStyle(QFrame::Box | QFrame::Plain);
            hint_->setAutoFillBackground(true);
            QPalette colours = hint_->palette();
            colours.setColor(QPalette::Window, QColor(255, 0, 0));
            colours.setColor(QPalette::WindowText, QColor(255, 255, 255));
            hint_->setPalette(colours);
            const QSize text = hint_->fontMetrics().size(0, hint_->text());
            hint_->setGeometry(sample_.left() + 1, sample_.top() - (text.height() + 4) - 2,
                               text.width() + 6, text.height() + 4);
            hint_->show();
        }
        return;
    }
    if (!inside && afterTextChange) return;
    setCursor(Qt::ArrowCursor);
    delete hint_;
}

void InputTextDialog::checkHint(QPoint globalPosition) {
    if (hint_ && !(isVisible() && sample_.contains(mapFromGlobal(globalPosition)))) delete hint_;
}

void InputTextDialog::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton || !sample_.contains(at) || edit_->text().isEmpty())
        return;
    delete hint_;
    dragging_ = true;
    anchor_ = at;
    removeMarquee();
}

void InputTextDialog::mouseMoveEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    if (!dragging_) {
        updateHint(at, false);
        if (!marqueeShown_ && edit_->hasSelectedText()) frameSelectedCharacters();
        return;
    }
    const QPoint clamped(std::clamp(at.x(), sample_.left(), sample_.right()),
                         std::clamp(at.y(), sample_.top(), sample_.bottom()));
    if (clamped != at) QCursor::setPos(mapToGlobal(clamped));
    removeMarquee();
    marquee_ =
        QRect(QPoint(std::min(anchor_.x(), clamped.x()), std::min(anchor_.y(), clamped.y())),
              QPoint(std::max(anchor_.x(), clamped.x()), std::max(anchor_.y(), clamped.y())));
    xorMarquee(marquee_);
    marqueeShown_ = true;
}

void InputTextDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    if (marqueeShown_ &&
        (marquee_.right() - marquee_.left() <= 1 || marquee_.bottom() - marquee_.top() <= 1)) {
        removeMarquee();
    }
}

void InputTextDialog::frameSelectedCharacters() {
    const int start = edit_->selectionStart();
    const int length = static_cast<int>(edit_->selectedText().size());
    if (start < 0 || length == 0 || marqueeShown_) return;
    const QFontMetrics metrics(texts_.editFont);
    const QString text = edit_->text();
    const int left =
        sample_.left() + 1 + (start > 0 ? metrics.horizontalAdvance(text.left(start)) : 0);
    int right = left + metrics.horizontalAdvance(text.mid(start, length)) + 1;
    int top = sample_.top();
    const int bottom = sample_.bottom();
    // Down to just above the highest black pixel of the framed characters.
    for (int y = top; y < bottom; ++y) {
        bool ink = false;
        for (int x = left; x < right && x < surface_.width(); ++x)
            ink = ink || qGray(surface_.pixel(x, y)) == 0;
        if (ink) {
            if (y > sample_.top()) top = y - 1;
            break;
        }
    }
    if (right >= sample_.right() + 1) right = sample_.right();
    marquee_ = QRect(QPoint(left, top), QPoint(right, bottom));
    xorMarquee(marquee_);
    marqueeShown_ = true;
}

void InputTextDialog::copy() {
    const QRect r = marqueeShown_ ? marquee_ : sample_;
    if (r.right() - r.left() > 1 && r.bottom() - r.top() > 1) {
        // The pixels inside the frame; the frame itself stays out.
        QGuiApplication::clipboard()->setImage(surface_.copy(
            QRect(QPoint(r.left() + 1, r.top() + 1), QPoint(r.right() - 1, r.bottom() - 1))));
    } else {
        texts_.prompts().beep();
    }
    edit_->setFocus();
}

void InputTextDialog::chooseFont() {
    if (texts_.chooseEditFont(this)) layOut();
    edit_->setFocus();
}

} // namespace dedur
