#include "image/giframes.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>

namespace dedur {

SharedRows::SharedRows(int width, int height)
    : width_(size_t(std::max(width, 1))), rowAt_(size_t(std::max(height, 1)), 0) {
    pool_.assign(width_, ClearPixel);
    byHash_.emplace(std::hash<std::string_view>()(
                        std::string_view(reinterpret_cast<const char*>(pool_.data()), width_)),
                    0);
}

uint32_t SharedRows::keep(const uint8_t* pixels) {
    const std::string_view text(reinterpret_cast<const char*>(pixels), width_);
    const size_t hash = std::hash<std::string_view>()(text);
    const auto [from, to] = byHash_.equal_range(hash);
    for (auto it = from; it != to; ++it) {
        if (std::memcmp(pool_.data() + size_t(it->second) * width_, pixels, width_) == 0) {
            return it->second;
        }
    }
    const auto id = static_cast<uint32_t>(pool_.size() / width_);
    pool_.insert(pool_.end(), pixels, pixels + width_);
    byHash_.emplace(hash, id);
    return id;
}

void SharedRows::setRow(int y, const uint8_t* pixels) {
    // Most often the row above again.
    if (y > 0 && std::memcmp(row(y - 1), pixels, width_) == 0) {
        rowAt_[size_t(y)] = rowAt_[size_t(y) - 1];
    } else {
        rowAt_[size_t(y)] = keep(pixels);
    }
}

bool SharedRows::operator==(const SharedRows& other) const {
    if (width_ != other.width_ || rowAt_.size() != other.rowAt_.size()) return false;
    for (int y = 0; y < height(); ++y) {
        if (std::memcmp(row(y), other.row(y), width_) != 0) return false;
    }
    return true;
}

FramePlan planFrame(const SharedRows& screen, const SharedRows& frame, int frameWidth,
                    int frameHeight, int nextWidth, int nextHeight) {
    const int width = std::min(frame.width(), screen.width());
    const int height = std::min(frame.height(), screen.height());
    int left = width, right = -1, top = height, bottom = -1;
    const uint8_t *lastA = nullptr, *lastB = nullptr;
    int lastFirst = -1, lastEnd = -1;
    for (int y = 0; y < height; ++y) {
        const uint8_t* a = screen.row(y);
        const uint8_t* b = frame.row(y);
        // A row repeated on both sides differs where it did above.
        if (a != lastA || b != lastB) {
            lastA = a;
            lastB = b;
            lastFirst = 0;
            while (lastFirst < width && a[lastFirst] == b[lastFirst]) ++lastFirst;
            lastEnd = width;
            while (lastEnd > lastFirst && a[lastEnd - 1] == b[lastEnd - 1]) --lastEnd;
        }
        if (lastFirst < lastEnd) {
            left = std::min(left, lastFirst);
            right = std::max(right, lastEnd - 1);
            top = std::min(top, y);
            bottom = y;
        }
    }
    FramePlan plan;
    // Pixels this frame paints that the next leaves clear: a reader clears
    // the frame's rectangle only, so it must reach over them.
    const bool wider = frameWidth > nextWidth, taller = frameHeight > nextHeight;
    if (wider || taller) {
        plan.clearAfter = true;
        const int fromX = wider && !taller ? nextWidth : 0;
        const int fromY = taller && !wider ? nextHeight : 0;
        left = std::min(left, fromX);
        top = std::min(top, fromY);
        right = std::max(right, frameWidth - 1);
        bottom = std::max(bottom, frameHeight - 1);
    }
    if (right >= left && bottom >= top) {
        plan.rect = {left, top, right - left + 1, bottom - top + 1};
    }
    return plan;
}

SharedRows screenAfter(const SharedRows& frame, const FramePlan& plan) {
    SharedRows after(frame.width(), frame.height());
    std::vector<uint8_t> line(size_t(frame.width()));
    for (int y = 0; y < frame.height(); ++y) {
        std::memcpy(line.data(), frame.row(y), line.size());
        if (plan.clearAfter && y >= plan.rect.top && y < plan.rect.top + plan.rect.height) {
            std::fill_n(line.begin() + plan.rect.left, plan.rect.width, ClearPixel);
        }
        after.setRow(y, line.data());
    }
    return after;
}

} // namespace dedur
