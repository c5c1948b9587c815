#include "panel/panelview.h"

#include <array>

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "base/limits.h"
#include "code/codejob.h"
#include "editor.h"
#include "panel/panelexport.h"

namespace dedur {

namespace {

// The panel at the chosen dot size, inside the scroll area; what it shows
// and what a click does are the view's.
class PanelCanvas : public QWidget {
  public:
    PanelCanvas(PanelView& view, QWidget* parent) : QWidget(parent), view_(view) {
        setObjectName("panelCanvas");
        setMouseTracking(true);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        view_.paintPanel(p);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        view_.pointerMovedTo(event->position().toPoint());
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) view_.clickedAt(event->position().toPoint());
    }
    void leaveEvent(QEvent*) override { view_.pointerMovedTo({-1, -1}); }

  private:
    PanelView& view_;
};

const QColor PanelGreen(170, 190, 150);
const QColor EighthLine(150, 170, 130);
const QColor OtherDots(80, 100, 80);
// The other patterns while a frame plays: just above the panel's green, so
// the frame stands out.
const QColor DimmedDots(145, 165, 128);
const QColor FrameDots(20, 30, 20);

} // namespace

PanelView::PanelView(const Editor& editor, QWidget* parent)
    : QWidget(parent, Qt::Tool), editor_(editor) {
    setObjectName("panelView");
    setWindowTitle("Panel view");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    // The panel scrolls as a whole, rulers included, so that no zoom and
    // no window size cuts the SEG and COM numbers off.
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("panelScroll");
    scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    canvas_ = new PanelCanvas(*this, scroll_);
    canvas_->setFixedSize(canvasSize());
    scroll_->setWidget(canvas_);
    // The rulers are drawn where the view stands: all of it anew on a scroll.
    const auto repaint = [this] { canvas_->update(); };
    connect(scroll_->horizontalScrollBar(), &QScrollBar::valueChanged, this, repaint);
    connect(scroll_->verticalScrollBar(), &QScrollBar::valueChanged, this, repaint);
    layout->addWidget(scroll_, 3);
    pointer_ = new QLabel(this);
    pointer_->setObjectName("pointer");
    pointer_->setTextFormat(Qt::PlainText);
    layout->addWidget(pointer_);

    auto* viewing = new QHBoxLayout;
    auto* dotLabel = new QLabel("&Dot size:", this);
    dotSizeBox_ = new QSpinBox(this);
    dotSizeBox_->setObjectName("dotSize");
    dotSizeBox_->setRange(limits::PanelViewDotMin, limits::PanelViewDotMax);
    dotSizeBox_->setSuffix(" px");
    dotSizeBox_->setValue(dot_);
    dotSizeBox_->setToolTip("Pixels a SEG or COM line is drawn with (Ctrl with +, - or the wheel)");
    dotLabel->setBuddy(dotSizeBox_);
    connect(dotSizeBox_, &QSpinBox::valueChanged, this, &PanelView::setDotSize);
    showAll_ = new QCheckBox("Show all", this);
    showAll_->setToolTip("Every pattern's dots at its place, as the firmware composes the screen");
    connect(showAll_, &QCheckBox::toggled, this, [this] {
        combineAll();
        canvas_->update();
    });
    viewing->addWidget(dotLabel);
    viewing->addWidget(dotSizeBox_);
    viewing->addSpacing(12);
    viewing->addWidget(showAll_);
    viewing->addStretch(1);
    layout->addLayout(viewing);

    // Playback of a range of patterns as the panel will show them.
    auto* playing = new QHBoxLayout;
    play_ = new QPushButton("Play", this);
    play_->setToolTip("Space plays or stops anywhere in this window");
    playRange_ = new QLineEdit(this);
    playRange_->setPlaceholderText("all, or 1-5");
    playRange_->setToolTip("The patterns to play. Return plays them; Space types a space while "
                           "you type here, and plays or stops otherwise");
    connect(playRange_, &QLineEdit::returnPressed, this, [this] {
        if (playing_) stop();
        play();
    });
    loop_ = new QCheckBox("Loop", this);
    loop_->setChecked(true);
    frameLabel_ = new QLabel(this);
    playing->addWidget(play_);
    playing->addWidget(playRange_, 1);
    playing->addWidget(loop_);
    playing->addWidget(frameLabel_, 1);
    layout->addLayout(playing);
    frameTimer_.setSingleShot(true);
    connect(&frameTimer_, &QTimer::timeout, this, &PanelView::stepFrame);
    connect(play_, &QPushButton::clicked, this, &PanelView::togglePlay);
    warning_ = new QLabel(this);
    warning_->setObjectName("warning");
    warning_->setWordWrap(true);
    warning_->setStyleSheet("color: #C00000");
    layout->addWidget(warning_);
    bytes_ = new QPlainTextEdit(this);
    bytes_->setReadOnly(true);
    bytes_->setLineWrapMode(QPlainTextEdit::NoWrap);
    bytes_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(bytes_, 2);
    // Space, the zoom keys and the wheel reach the view from every part of it.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    // Wide enough for a whole line of the bytes and the panel at its first size.
    const int textWidth = QFontMetrics(bytes_->font()).horizontalAdvance(QString(70, 'M')) +
                          bytes_->verticalScrollBar()->sizeHint().width() + 2 * Margin + 8;
    const QSize canvas = canvasSize();
    const int frame = 2 * scroll_->frameWidth();
    setMinimumSize(200, 200);
    resize(std::max(canvas.width() + frame + 2 * Margin, textWidth),
           canvas.height() + frame + Margin + 300);
}

QSize PanelView::canvasSize() const {
    return {RulerLeft + PanelSegLines * dot_ + Margin, RulerTop + PanelComLines * dot_ + Margin};
}

QRect PanelView::canvasPanelRect() const {
    return {RulerLeft, RulerTop, PanelSegLines * dot_, PanelComLines * dot_};
}

QRect PanelView::panelRect() const {
    const QRect panel = canvasPanelRect();
    return {canvas_->mapTo(this, panel.topLeft()), panel.size()};
}

QRect PanelView::outlineRect(const PatternOutline& o) const {
    return {RulerLeft + (o.segFirst - 1) * dot_, RulerTop + (o.comFirst - 1) * dot_,
            (o.segLast - o.segFirst + 1) * dot_, (o.comLast - o.comFirst + 1) * dot_};
}

void PanelView::setDotSize(int pixels) {
    pixels = std::clamp(pixels, limits::PanelViewDotMin, limits::PanelViewDotMax);
    if (dotSizeBox_->value() != pixels) dotSizeBox_->setValue(pixels); // comes back here
    if (pixels == dot_) return;
    // The middle of what shows stays in the middle.
    QScrollBar* across = scroll_->horizontalScrollBar();
    QScrollBar* down = scroll_->verticalScrollBar();
    const QSize room = scroll_->viewport()->size();
    const double x = (across->value() + room.width() / 2.0 - RulerLeft) / dot_;
    const double y = (down->value() + room.height() / 2.0 - RulerTop) / dot_;
    dot_ = pixels;
    canvas_->setFixedSize(canvasSize());
    across->setValue(int(RulerLeft + x * dot_ - room.width() / 2.0));
    down->setValue(int(RulerTop + y * dot_ - room.height() / 2.0));
    canvas_->update();
}

void PanelView::togglePlay() {
    playing_ ? stop() : play();
}

void PanelView::play() {
    const Document& doc = editor_.document;
    if (doc.editType != EditMode::Pattern) return;
    // Space types into the range again only once the user types there again.
    playRange_->setModified(false);
    const std::string text = playRange_->text().trimmed().toStdString();
    const PanelRange range = parsePanelRange(text.empty() ? RangeChoice::All : RangeChoice::Numbers,
                                             text, doc.patternCount, doc.currentPattern);
    frames_.clear();
    for (int i = 0; range.ok() && i < doc.patternCount; ++i) {
        if (range.panelFlags[static_cast<size_t>(i)] == 1) frames_.push_back(i);
    }
    if (frames_.empty()) {
        warning_->setText(QString::fromStdString(range.outcome.message.text));
        warning_->setVisible(true);
        return;
    }
    playing_ = true;
    play_->setText("Stop");
    frameAt_ = 0;
    showFrame();
}

void PanelView::stop() {
    frameTimer_.stop();
    playing_ = false;
    playRange_->setModified(false);
    play_->setText("Play");
    frameLabel_->clear();
    refresh(true);
}

int PanelView::framePattern() const {
    return playing_ && frameAt_ < frames_.size() ? frames_[frameAt_] + 1 : 0;
}

void PanelView::stepFrame() {
    if (!playing_) return;
    if (++frameAt_ >= frames_.size()) {
        if (!loop_->isChecked()) {
            stop();
            return;
        }
        frameAt_ = 0;
    }
    showFrame();
}

void PanelView::showFrame() {
    const Document& doc = editor_.document;
    const int index = frames_[frameAt_];
    if (index >= doc.patternCount) {
        stop();
        return;
    }
    PatternHeader header;
    getHeader(doc, index, header);
    std::array<uint8_t, WorkDotsSize> dots{};
    recordDots(doc, index, dots.data());
    image_ = buildLcdImage(dots.data(), header, doc.panelDefinition);
    const int delay = editor_.sidecar.delayOf(index + 1);
    frameLabel_->setText(QString("Frame %1 of %2: pattern %3, %4 ms")
                             .arg(frameAt_ + 1)
                             .arg(frames_.size())
                             .arg(index + 1)
                             .arg(delay));
    frameTimer_.start(delay);
    canvas_->update();
}

bool PanelView::viewKey(QKeyEvent* event, QObject* from) {
    const int key = event->key();
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (key == Qt::Key_Space && !control) {
        // Typing a range: "2, 4-6" has spaces in it.
        if (from == playRange_ && playRange_->isModified()) return false;
        if (!event->isAutoRepeat()) togglePlay();
        return true;
    }
    if (!control) return false;
    if (key == Qt::Key_Plus || key == Qt::Key_Equal) {
        setDotSize(dot_ + 1);
    } else if (key == Qt::Key_Minus) {
        setDotSize(dot_ - 1);
    } else if (key == Qt::Key_0) {
        setDotSize(DefaultDot);
    } else {
        return false;
    }
    return true;
}

bool PanelView::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        return viewKey(static_cast<QKeyEvent*>(event), watched);
    case QEvent::KeyRelease: {
        // A button clicks when Space is let go; the press was the view's.
        const auto* key = static_cast<QKeyEvent*>(event);
        return key->key() == Qt::Key_Space && qobject_cast<QAbstractButton*>(watched);
    }
    case QEvent::FocusIn:
        if (watched == playRange_) playRange_->setModified(false);
        return false;
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier) ||
            (watched != canvas_ && watched != scroll_->viewport())) {
            return false;
        }
        const int steps = wheel->angleDelta().y();
        if (steps != 0) setDotSize(dot_ + (steps > 0 ? 1 : -1));
        return true;
    }
    default:
        return false;
    }
}

void PanelView::keyPressEvent(QKeyEvent* event) {
    if (!viewKey(event, this)) QWidget::keyPressEvent(event);
}

void PanelView::refresh(bool outlinesChanged) {
    const Document& doc = editor_.document;
    if (doc.editType != EditMode::Pattern) {
        outlines_.clear();
        image_ = LcdImage{};
        warning_->setText("The panel view shows the patterns of pattern mode.");
        bytes_->clear();
        canvas_->update();
        return;
    }
    if (outlinesChanged || outlines_.size() != static_cast<size_t>(doc.patternCount)) {
        outlines_ = patternOutlines(doc);
    } else {
        outlines_[static_cast<size_t>(doc.currentPattern)] =
            patternOutline(doc, doc.currentPattern);
    }
    if (playing_) {
        canvas_->update();
        return;
    }
    // The record of the current pattern, as the export reads it.
    PatternHeader header;
    getHeader(doc, doc.currentPattern, header);
    std::array<uint8_t, WorkDotsSize> dots{};
    recordDots(doc, doc.currentPattern, dots.data());
    image_ = buildLcdImage(dots.data(), header, doc.panelDefinition);
    const PatternOutline& current = outlines_[static_cast<size_t>(doc.currentPattern)];
    warning_->setText(QString::fromStdString(current.offPanel));
    warning_->setVisible(!current.offPanel.empty());
    // What the export would write, or why it writes nothing: the dots
    // still on the panel are not what it would give.
    std::string text;
    if (!current.offPanel.empty()) {
        text = current.offPanel + "\n";
    } else if (image_.highOffset >= image_.lowOffset) {
        appendPanelText(text, image_, doc.currentPattern + 1);
    }
    appendProfileBytes(text);
    combineAll();
    QString shown = QString::fromStdString(text);
    shown.remove('\r');
    bytes_->setPlainText(shown.trimmed());
    canvas_->update();
}

void PanelView::appendProfileBytes(std::string& text) const {
    const auto chosen = editor_.sidecar.profiles.find(editor_.codeProfile);
    if (chosen == editor_.sidecar.profiles.end()) return;
    const CodeProfile& p = chosen->second;
    const Document& doc = editor_.document;
    std::vector<uint8_t> flags(static_cast<size_t>(doc.patternCount), 0);
    flags[static_cast<size_t>(doc.currentPattern)] = 1;
    CodeOptions options;
    options.layout = layoutNamed(p.layout).value_or(CodeLayout::RowsMsb);
    options.invert = p.invert;
    options.ownDirections = false;
    const CodeJob job = makeCodeJob(doc, flags, editor_.sidecar.names, options, "pattern.pat");
    if (job.patterns.empty()) return;
    text += "\n; Profile \"" + chosen->first + "\" (" + layoutName(options.layout) +
            (p.invert ? ", inverted" : "") + "):";
    const std::vector<uint8_t>& bytes = job.patterns.front().bytes;
    for (size_t i = 0; i < bytes.size(); ++i) {
        text += i % 12 == 0 ? "\n" : " ";
        text += formatText("%02X", bytes[i]);
    }
    text += "\n";
}

QString PanelView::bytesText() const {
    return bytes_->toPlainText();
}

std::vector<int> PanelView::patternsUnder(QPoint canvasPoint) const {
    std::vector<std::pair<long, int>> found; // area, number
    for (const PatternOutline& o : outlines_) {
        if (!o.visible) continue;
        const QRect r = outlineRect(o);
        if (r.contains(canvasPoint)) found.emplace_back(long(r.width()) * r.height(), o.number);
    }
    std::sort(found.begin(), found.end());
    std::vector<int> numbers;
    for (const auto& f : found) numbers.push_back(f.second);
    return numbers;
}

int PanelView::clickTarget(const std::vector<int>& under) const {
    if (under.empty()) return 0;
    // From the current pattern on to the next larger one, round again after
    // the largest; from anywhere else, the smallest.
    const auto current = std::find(under.begin(), under.end(), editor_.document.currentPattern + 1);
    if (current == under.end()) return under.front();
    return std::next(current) == under.end() ? under.front() : *std::next(current);
}

int PanelView::patternAt(QPoint point) const {
    return clickTarget(patternsUnder(canvas_->mapFrom(this, point)));
}

void PanelView::pointerMovedTo(QPoint canvasPoint) {
    const QRect panel = canvasPanelRect();
    if (!panel.contains(canvasPoint)) {
        pointer_->clear();
        return;
    }
    QString text = QString("SEG %1, COM %2")
                       .arg((canvasPoint.x() - panel.left()) / dot_ + 1)
                       .arg((canvasPoint.y() - panel.top()) / dot_ + 1);
    const std::vector<int> under = patternsUnder(canvasPoint);
    if (const int target = clickTarget(under)) {
        text += QString(": pattern %1").arg(target);
        const auto name = editor_.sidecar.names.find(target);
        if (name != editor_.sidecar.names.end() && !name->second.empty()) {
            text += " \"" + QString::fromStdString(printable(name->second)) + "\"";
        }
        if (under.size() > 1) {
            const auto at = std::find(under.begin(), under.end(), target) - under.begin();
            text += QString(" (%1 of %2 here; each click takes the next)")
                        .arg(at + 1)
                        .arg(under.size());
        }
    }
    pointer_->setText(text);
}

void PanelView::clickedAt(QPoint canvasPoint) {
    if (const int number = clickTarget(patternsUnder(canvasPoint))) {
        emit patternChosen(number);
        pointerMovedTo(canvasPoint); // the next click's pattern
    }
}

void PanelView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = canvas_->mapFrom(this, event->position().toPoint());
    if (canvas_->rect().contains(at)) clickedAt(at);
}

void PanelView::paintImage(QPainter& p, const QRect& panel, const LcdImage& image,
                           const QColor& colour) const {
    if (image.highOffset < image.lowOffset) return;
    for (int offset = image.lowOffset; offset <= image.highOffset; ++offset) {
        const uint8_t byte = image.bytes[static_cast<size_t>(offset)];
        for (int bit = 0; bit < 8; ++bit) {
            if (!((byte >> bit) & 1)) continue;
            const SegCom at = segComOf({offset, bit});
            p.fillRect(panel.left() + (at.seg - 1) * dot_, panel.top() + (at.com - 1) * dot_, dot_,
                       dot_, colour);
        }
    }
}

void PanelView::paintPanel(QPainter& p) const {
    const QRect panel = canvasPanelRect();
    p.fillRect(panel, PanelGreen);
    p.setPen(EighthLine);
    for (int seg = 8; seg < PanelSegLines; seg += 8) {
        p.drawLine(panel.left() + seg * dot_, panel.top(), panel.left() + seg * dot_,
                   panel.bottom());
    }
    for (int com = 8; com < PanelComLines; com += 8) {
        p.drawLine(panel.left(), panel.top() + com * dot_, panel.right(), panel.top() + com * dot_);
    }
    // With "Show all", every pattern's dots under the current one's (or,
    // while playing, faintly under the frame's).
    if (showAll_->isChecked()) paintImage(p, panel, all_, playing_ ? DimmedDots : OtherDots);
    // The current pattern's dots, from the display memory it would export.
    paintImage(p, panel, image_, FrameDots);
    const int highlighted = playing_ ? framePattern() : editor_.document.currentPattern + 1;
    const PatternOutline* shown = nullptr;
    for (const PatternOutline& o : outlines_) {
        if (!o.visible) continue;
        if (o.number == highlighted) {
            shown = &o;
            continue;
        }
        QColor pen = o.offPanel.empty() ? QColor(60, 60, 140) : QColor(200, 0, 0);
        if (playing_) pen.setAlpha(70);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(outlineRect(o).adjusted(0, 0, -1, -1));
    }
    if (shown) {
        p.setPen(QPen(shown->offPanel.empty() ? QColor(0, 90, 255) : QColor(230, 0, 0), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(outlineRect(*shown).adjusted(0, 0, -1, -1));
    }
    paintRulers(p, panel);
}

void PanelView::paintRulers(QPainter& p, const QRect& panel) const {
    // Scrolled, the rulers stay at the top and left of what shows, over
    // the panel, so that the numbers can always be read.
    const int top = std::max(0, -canvas_->y());
    const int left = std::max(0, -canvas_->x());
    const QColor ground = palette().color(QPalette::Window);
    if (top > 0) p.fillRect(QRect(0, top, canvas_->width(), RulerTop), ground);
    if (left > 0) p.fillRect(QRect(left, 0, RulerLeft, canvas_->height()), ground);
    p.setPen(palette().color(QPalette::WindowText));
    QFont small = font();
    small.setPixelSize(10);
    p.setFont(small);
    // SEG 1, 9, 17 ... over the panel, COM 1, 9, 17 ... left of it: the lines
    // of each byte of display memory begin there.
    for (int seg = 1; seg <= PanelSegLines; seg += 8) {
        const int x = panel.left() + (seg - 1) * dot_;
        if (left > 0 && x - 8 < left + RulerLeft) continue; // under the COM ruler
        p.drawLine(x, top + panel.top() - 4, x, top + panel.top() - 1);
        p.drawText(QRect(x - 16, top, 32, RulerTop - 4), Qt::AlignHCenter | Qt::AlignBottom,
                   QString::number(seg));
    }
    for (int com = 1; com <= PanelComLines; com += 8) {
        const int y = panel.top() + (com - 1) * dot_;
        if (top > 0 && y - 6 < top + RulerTop) continue; // under the SEG ruler
        p.drawLine(left + panel.left() - 4, y, left + panel.left() - 1, y);
        p.drawText(QRect(left, y - 6, RulerLeft - 6, 12), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(com));
    }
    if (top > 0 && left > 0) p.fillRect(QRect(left, top, RulerLeft, RulerTop), ground);
}

void PanelView::combineAll() {
    all_ = LcdImage{};
    const Document& doc = editor_.document;
    if (!showAll_->isChecked() || doc.editType != EditMode::Pattern) return;
    // Dots off the panel are left out, as each pattern's own image leaves them.
    forEachRecord(doc, [&](int, const PatternHeader& h, const uint8_t* packed) {
        if (h.width > MaxPatternSide || h.height > MaxPatternSide) return true;
        const LcdImage image = buildLcdImageFromPacked(packed, h, doc.panelDefinition);
        for (size_t k = 0; k < all_.bytes.size(); ++k) all_.bytes[k] |= image.bytes[k];
        all_.lowOffset = std::min(all_.lowOffset, image.lowOffset);
        all_.highOffset = std::max(all_.highOffset, image.highOffset);
        return true;
    });
}

void PanelView::hideEvent(QHideEvent*) {
    if (playing_) stop();
    emit placeChanged(frameGeometry());
}

} // namespace dedur
