#include "panel/panelview.h"

#include <array>

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
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "code/codejob.h"
#include "editor.h"
#include "panel/panelexport.h"

namespace dedur {

PanelView::PanelView(const Editor& editor, QWidget* parent)
    : QWidget(parent, Qt::Tool), editor_(editor) {
    setObjectName("panelView");
    setWindowTitle("Panel view");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Margin, RulerTop + PanelComLines * Scale + Margin, Margin, Margin);
    showAll_ = new QCheckBox("Show all", this);
    showAll_->setToolTip("Every pattern's dots at its place, as the firmware composes the screen");
    connect(showAll_, &QCheckBox::toggled, this, [this] {
        combineAll();
        update();
    });
    layout->addWidget(showAll_);
    // Playback of a range of patterns as the panel will show them.
    auto* playing = new QHBoxLayout;
    play_ = new QPushButton("Play", this);
    playRange_ = new QLineEdit(this);
    playRange_->setPlaceholderText("all, or 1-5");
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
    connect(play_, &QPushButton::clicked, this, [this] { playing_ ? stop() : play(); });
    warning_ = new QLabel(this);
    warning_->setObjectName("warning");
    warning_->setWordWrap(true);
    warning_->setStyleSheet("color: #C00000");
    layout->addWidget(warning_);
    bytes_ = new QPlainTextEdit(this);
    bytes_->setReadOnly(true);
    bytes_->setLineWrapMode(QPlainTextEdit::NoWrap);
    bytes_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(bytes_);
    // Wide enough for the panel and for a whole line of the bytes.
    const int textWidth = QFontMetrics(bytes_->font()).horizontalAdvance(QString(70, 'M')) +
                          bytes_->verticalScrollBar()->sizeHint().width() + 2 * Margin + 8;
    const int width = std::max(RulerLeft + PanelSegLines * Scale + Margin, textWidth);
    setMinimumWidth(width);
    resize(width, RulerTop + PanelComLines * Scale + Margin + 280);
}

QRect PanelView::panelRect() const {
    return {RulerLeft, RulerTop, PanelSegLines * Scale, PanelComLines * Scale};
}

QRect PanelView::outlineRect(const PatternOutline& o) const {
    return {RulerLeft + (o.segFirst - 1) * Scale, RulerTop + (o.comFirst - 1) * Scale,
            (o.segLast - o.segFirst + 1) * Scale, (o.comLast - o.comFirst + 1) * Scale};
}

void PanelView::play() {
    const Document& doc = editor_.document;
    if (doc.editType != EditMode::Pattern) return;
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
    update();
}

void PanelView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !playRange_->hasFocus()) {
        playing_ ? stop() : play();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PanelView::refresh(bool outlinesChanged) {
    const Document& doc = editor_.document;
    if (doc.editType != EditMode::Pattern) {
        outlines_.clear();
        image_ = LcdImage{};
        warning_->setText("The panel view shows the patterns of pattern mode.");
        bytes_->clear();
        update();
        return;
    }
    if (outlinesChanged || outlines_.size() != static_cast<size_t>(doc.patternCount)) {
        outlines_ = patternOutlines(doc);
    } else {
        outlines_[static_cast<size_t>(doc.currentPattern)] =
            patternOutline(doc, doc.currentPattern);
    }
    if (playing_) {
        update();
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
    std::string text;
    if (image_.highOffset >= image_.lowOffset) {
        appendPanelText(text, image_, doc.currentPattern + 1);
    }
    appendProfileBytes(text);
    combineAll();
    QString shown = QString::fromStdString(text);
    shown.remove('\r');
    bytes_->setPlainText(shown.trimmed());
    update();
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

int PanelView::patternAt(QPoint point) const {
    // The current pattern first, then the later ones, which are drawn on top.
    const int current = editor_.document.currentPattern;
    if (current < static_cast<int>(outlines_.size()) &&
        outlines_[static_cast<size_t>(current)].visible &&
        outlineRect(outlines_[static_cast<size_t>(current)]).contains(point)) {
        return current + 1;
    }
    for (auto it = outlines_.rbegin(); it != outlines_.rend(); ++it) {
        if (it->visible && outlineRect(*it).contains(point)) return it->number;
    }
    return 0;
}

void PanelView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect panel = panelRect();
    p.fillRect(panel, QColor(170, 190, 150));
    p.setPen(QColor(150, 170, 130));
    for (int seg = 8; seg < PanelSegLines; seg += 8) {
        p.drawLine(panel.left() + seg * Scale, panel.top(), panel.left() + seg * Scale,
                   panel.bottom());
    }
    for (int com = 8; com < PanelComLines; com += 8) {
        p.drawLine(panel.left(), panel.top() + com * Scale, panel.right(),
                   panel.top() + com * Scale);
    }
    paintRulers(p, panel);
    // With "Show all", every pattern's dots, the current one's darker on top.
    if (showAll_->isChecked() && all_.highOffset >= all_.lowOffset) {
        for (int offset = all_.lowOffset; offset <= all_.highOffset; ++offset) {
            const uint8_t byte = all_.bytes[static_cast<size_t>(offset)];
            for (int bit = 0; bit < 8; ++bit) {
                if (!((byte >> bit) & 1)) continue;
                const SegCom at = segComOf({offset, bit});
                p.fillRect(panel.left() + (at.seg - 1) * Scale, panel.top() + (at.com - 1) * Scale,
                           Scale, Scale, QColor(80, 100, 80));
            }
        }
    }
    // The current pattern's dots, from the display memory it would export.
    if (image_.highOffset >= image_.lowOffset) {
        for (int offset = image_.lowOffset; offset <= image_.highOffset; ++offset) {
            const uint8_t byte = image_.bytes[static_cast<size_t>(offset)];
            for (int bit = 0; bit < 8; ++bit) {
                if (!((byte >> bit) & 1)) continue;
                const SegCom at = segComOf({offset, bit});
                p.fillRect(panel.left() + (at.seg - 1) * Scale, panel.top() + (at.com - 1) * Scale,
                           Scale, Scale, QColor(20, 30, 20));
            }
        }
    }
    const int current = editor_.document.currentPattern;
    for (const PatternOutline& o : outlines_) {
        if (!o.visible || o.number == current + 1) continue;
        p.setPen(o.offPanel.empty() ? QColor(60, 60, 140) : QColor(200, 0, 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(outlineRect(o).adjusted(0, 0, -1, -1));
    }
    if (current < static_cast<int>(outlines_.size())) {
        const PatternOutline& o = outlines_[static_cast<size_t>(current)];
        if (o.visible) {
            p.setPen(QPen(o.offPanel.empty() ? QColor(0, 90, 255) : QColor(230, 0, 0), 2));
            p.drawRect(outlineRect(o).adjusted(0, 0, -1, -1));
        }
    }
}

void PanelView::paintRulers(QPainter& p, const QRect& panel) const {
    p.setPen(palette().color(QPalette::WindowText));
    QFont small = font();
    small.setPixelSize(10);
    p.setFont(small);
    // SEG 1, 9, 17 ... over the panel, COM 1, 9, 17 ... left of it: the lines
    // of each byte of display memory begin there.
    for (int seg = 1; seg <= PanelSegLines; seg += 8) {
        const int x = panel.left() + (seg - 1) * Scale;
        p.drawLine(x, panel.top() - 4, x, panel.top() - 1);
        p.drawText(QRect(x - 12, 0, 40, RulerTop - 4), Qt::AlignLeft | Qt::AlignBottom,
                   QString::number(seg));
    }
    for (int com = 1; com <= PanelComLines; com += 8) {
        const int y = panel.top() + (com - 1) * Scale;
        p.drawLine(panel.left() - 4, y, panel.left() - 1, y);
        p.drawText(QRect(0, y - 6, RulerLeft - 6, 12), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(com));
    }
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

void PanelView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (const int number = patternAt(event->position().toPoint())) emit patternChosen(number);
}

void PanelView::hideEvent(QHideEvent*) {
    if (playing_) stop();
    emit placeChanged(frameGeometry());
}

} // namespace dedur
