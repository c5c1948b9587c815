#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace dedur {

// The choice of what each frame of an animation writes: the rectangle that
// changed on the screen, and whether the screen is cleared after it shows.

// A screen pixel no frame has painted (or one cleared again).
inline constexpr uint8_t ClearPixel = 0xFF;

// A picture the size of the screen, each distinct row kept once: drawn from
// dots at a scale, a frame repeats every row `scale` times, so the screen,
// the frame being written and the one after it cost a few rows each.
class SharedRows {
  public:
    SharedRows(int width, int height); // every pixel clear
    int width() const { return width_; }
    int height() const { return static_cast<int>(rowAt_.size()); }
    const uint8_t* row(int y) const { return pool_.data() + size_t(rowAt_[size_t(y)]) * width_; }
    void setRow(int y, const uint8_t* pixels);
    bool operator==(const SharedRows& other) const;

  private:
    uint32_t keep(const uint8_t* pixels);
    size_t width_;
    std::vector<uint8_t> pool_; // the distinct rows, width_ bytes each
    std::vector<uint32_t> rowAt_;
    std::unordered_multimap<size_t, uint32_t> byHash_;
};

// Where a frame draws, in screen pixels; empty when nothing changed.
struct FrameRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

// What one frame writes over what the one before left on the screen.
struct FramePlan {
    FrameRect rect;
    bool clearAfter = false; // disposal "restore to background"
};

// A frame stands at the top-left, `frameWidth` x `frameHeight` pixels, clear
// beyond; the frame shown after it covers `nextWidth` x `nextHeight`. The
// rectangle holds every pixel that differs from the screen; when the next
// frame leaves clear some of this one's pixels, this one is cleared after it
// shows and its rectangle reaches over them, as a reader clears only it.
FramePlan planFrame(const SharedRows& screen, const SharedRows& frame, int frameWidth,
                    int frameHeight, int nextWidth, int nextHeight);

// The screen a frame leaves behind: the frame itself, or with its rectangle
// cleared.
SharedRows screenAfter(const SharedRows& frame, const FramePlan& plan);

} // namespace dedur
