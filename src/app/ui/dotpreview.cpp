#include "ui/dotpreview.h"

#include <QPainter>
#include <algorithm>

namespace dedur {

namespace {
constexpr int Gap = 24;
constexpr int Line = 18; // a line of text
constexpr int Margin = 8;

const QColor Off(0xF4, 0xF4, 0xF4);
const QColor GridLine(0xC8, 0xC8, 0xC8);
// A dot that differs: lit by mistake in dark red, missing in pale red.
const QColor LitWrong(0xB0, 0x10, 0x10);
const QColor Missing(0xF2, 0xA8, 0xA8);
} // namespace

DotPreview::DotPreview(QWidget* parent) : QWidget(parent) {
    setMinimumSize(260, 160);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void DotPreview::setDots(int width, int height, std::vector<uint8_t> expected,
                         std::vector<uint8_t> shown, const QString& title, const QString& note) {
    width_ = width;
    height_ = height;
    expected_ = std::move(expected);
    shown_ = std::move(shown);
    title_ = title;
    note_ = note;
    update();
}

int DotPreview::differences() const {
    if (shown_.empty() || shown_.size() != expected_.size()) return -1;
    int count = 0;
    for (size_t i = 0; i < expected_.size(); ++i) count += expected_[i] != shown_[i];
    return count;
}

QString DotPreview::displayCaption() const {
    const int differ = differences();
    if (differ < 0) return {};
    QString caption = differ == 0 ? QString("The display shows")
                                  : QString("The display shows (%1 %2 differ)")
                                        .arg(differ)
                                        .arg(differ == 1 ? "dot" : "dots");
    if (!note_.isEmpty()) caption += "\n" + note_;
    return caption;
}

int DotPreview::captionHeight() const {
    return note_.isEmpty() ? Line : 2 * Line;
}

QSize DotPreview::sizeHint() const {
    return {2 * 96 * 3 + Gap + Margin, 96 * 3 + 3 * Line + Margin};
}

int DotPreview::cell() const {
    if (width_ <= 0 || height_ <= 0) return 1;
    const int across = (width() - Gap - Margin) / (2 * width_);
    const int down = (height() - captionHeight() - Line - Margin) / height_;
    return std::clamp(std::min(across, down), 1, 16);
}

void DotPreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (width_ <= 0 || height_ <= 0 || expected_.size() != size_t(width_) * size_t(height_)) {
        return;
    }
    const int c = cell();
    const int side = width_ * c;
    const int top = captionHeight();
    const auto box = [&](const QRect& r, const QColor& fill) {
        p.fillRect(r, fill);
        if (c >= 4) {
            p.setPen(GridLine);
            p.drawRect(r.adjusted(0, 0, -1, -1));
        }
    };
    const auto drawGrid = [&](int left, const std::vector<uint8_t>& dots, bool marked) {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const size_t i = static_cast<size_t>(y * width_ + x);
                const bool on = dots[i] == '1';
                const bool differs = marked && dots[i] != expected_[i];
                box(QRect(left + x * c, top + y * c, c, c),
                    on        ? (differs ? LitWrong : QColor(Qt::black))
                    : differs ? Missing
                              : Off);
            }
        }
    };
    const QColor text = palette().color(QPalette::WindowText);
    p.setPen(text);
    p.drawText(QRect(4, 0, side + Gap, Line), Qt::AlignLeft | Qt::AlignVCenter, title_);
    drawGrid(4, expected_, false);
    const int right = 4 + side + Gap;
    if (differences() < 0) {
        p.drawText(QRect(right, 0, width() - right, Line), Qt::AlignLeft | Qt::AlignVCenter,
                   "The display cannot read these bytes");
        return;
    }
    p.setPen(text);
    p.drawText(QRect(right, 0, width() - right, top), Qt::AlignLeft | Qt::AlignTop,
               displayCaption());
    drawGrid(right, shown_, true);

    // The legend of the two marks, under the grids.
    const int legendTop = top + height_ * c + 6;
    int x = 4;
    for (const auto& [colour, name] :
         {std::pair{LitWrong, QString("lit by mistake")}, std::pair{Missing, QString("missing")}}) {
        p.fillRect(QRect(x, legendTop + 3, 12, 12), colour);
        p.setPen(GridLine);
        p.drawRect(QRect(x, legendTop + 3, 11, 11));
        p.setPen(text);
        const QRect label(x + 16, legendTop, fontMetrics().horizontalAdvance(name) + 4, Line);
        p.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, name);
        x = label.right() + 16;
    }
}

} // namespace dedur
