#include "ui/dotpreview.h"

#include <QPainter>
#include <algorithm>

namespace dedur {

namespace {
constexpr int Gap = 24;
constexpr int Caption = 18;
} // namespace

DotPreview::DotPreview(QWidget* parent) : QWidget(parent) {
    setMinimumSize(260, 140);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void DotPreview::setDots(int width, int height, std::vector<uint8_t> drawn,
                         std::vector<uint8_t> shown) {
    width_ = width;
    height_ = height;
    drawn_ = std::move(drawn);
    shown_ = std::move(shown);
    update();
}

int DotPreview::differences() const {
    if (shown_.size() != drawn_.size()) return -1;
    int count = 0;
    for (size_t i = 0; i < drawn_.size(); ++i) count += drawn_[i] != shown_[i];
    return count;
}

QSize DotPreview::sizeHint() const {
    return {2 * 96 * 3 + Gap + 8, 96 * 3 + Caption + 8};
}

int DotPreview::cell() const {
    if (width_ <= 0 || height_ <= 0) return 1;
    const int across = (width() - Gap - 8) / (2 * width_);
    const int down = (height() - Caption - 8) / height_;
    return std::clamp(std::min(across, down), 1, 16);
}

void DotPreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (width_ <= 0 || height_ <= 0) return;
    const int c = cell();
    const int side = width_ * c;
    const QColor off(0xF4, 0xF4, 0xF4);
    const QColor grid(0xC8, 0xC8, 0xC8);
    // A dot that differs: lit in dark red, dark in pale red.
    const QColor litWrong(0xB0, 0x10, 0x10);
    const QColor darkWrong(0xF2, 0xA8, 0xA8);
    const auto drawGrid = [&](int left, const std::vector<uint8_t>& dots, bool marked) {
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                const size_t i = static_cast<size_t>(y * width_ + x);
                const QRect r(left + x * c, Caption + y * c, c, c);
                const bool on = dots[i] == '1';
                const bool differs = marked && dots[i] != drawn_[i];
                const QColor lit = differs ? litWrong : QColor(Qt::black);
                p.fillRect(r, on ? lit : differs ? darkWrong : off);
                if (c >= 4) {
                    p.setPen(grid);
                    p.drawRect(r.adjusted(0, 0, -1, -1));
                }
            }
        }
    };
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(4, 0, side, Caption), Qt::AlignLeft | Qt::AlignVCenter, "Pattern");
    const int right = 4 + side + Gap;
    drawGrid(4, drawn_, false);
    p.setPen(palette().color(QPalette::WindowText));
    if (shown_.size() != drawn_.size()) {
        p.drawText(QRect(right, 0, width() - right, Caption), Qt::AlignLeft | Qt::AlignVCenter,
                   "The display cannot read these bytes");
        return;
    }
    const int differ = differences();
    p.drawText(QRect(right, 0, width() - right, Caption), Qt::AlignLeft | Qt::AlignVCenter,
               differ == 0 ? QString("The display shows")
                           : QString("The display shows (%1 dots differ)").arg(differ));
    drawGrid(right, shown_, true);
}

} // namespace dedur
