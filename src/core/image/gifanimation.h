#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/outcome.h"
#include "base/safewrite.h"
#include "image/imagefile.h"

namespace dedur {

// Animated GIF through giflib: patterns as frames out, frames as pictures in.

// One frame to write: its size, how long it shows, and its pixels a row at a
// time (palette indices), asked for only while the frame is written.
struct GifFrameSource {
    int width = 0;
    int height = 0;
    int delayMs = 100;
    std::function<void(int y, uint8_t* row)> row;
};

// An animation written frame by frame. Each frame stands at the top-left of
// a screen as large as the largest, clear beyond it; what the GIF holds of
// it is the rectangle that changed since the frame before, and a frame the
// same as the one before adds its delay to that one's. The screen and the
// frames beside it are kept a distinct row once, so a frame drawn at a large
// scale costs few rows. `loops` 0 plays for ever. Two colours give a GIF of
// one bit a pixel, up to four of two.
struct GifAnimation {
    int width = 1;
    int height = 1;
    std::vector<uint32_t> palette = {0xFFFFFF, 0x000000}; // 0xRRGGBB
    int loops = 0;
    int frames = 0;
    std::function<GifFrameSource(int index)> frame;
    // Every frame written, the same as the one before or not: a document's
    // frames stay as many as they were.
    bool keepEveryFrame = false;
};

// The GIF's bytes as they are made, for writeFileSafely. A delay in
// milliseconds becomes hundredths of a second: rounded, at least 2.
ByteStream gifByteStream(const GifAnimation& animation);

// The same whole in memory, for small animations; empty on failure.
std::string encodeGif(const GifAnimation& animation);
std::string encodeGif(const std::vector<IndexedImage>& frames, const std::vector<int>& delaysMs,
                      int loops);

struct GifFrame {
    RgbaImage image; // the whole screen as it stands at this frame
    int delayMs = 0;
};

// What a GIF declares, read from its headers without decoding a pixel: its
// frame count in `frames`. Refused with the reason when it is not a GIF, is
// damaged, its screen or one of its frames is wider or taller than
// `maxSide`, or it holds more than `maxFrames` frames.
Outcome checkGifHeaders(std::string_view data, const std::string& name, int maxSide, int maxFrames,
                        int& frames);

// The frames a GIF holds, counted from its headers, whatever their sizes
// (maxFrames + 1 for more); 0 when it is not a GIF or is damaged.
int gifFrameCount(std::string_view data, int maxFrames);

// Every frame of a GIF as the screen shows it then (each frame's disposal of
// the one before applied; a frame reaching past the screen is cut at its
// edge). Refused as checkGifHeaders refuses, before any pixel is decoded.
// With `firstOnly` the first frame alone is read, the others unlooked at.
Outcome decodeGifFrames(std::string_view data, const std::string& name, int maxSide, int maxFrames,
                        std::vector<GifFrame>& out, bool firstOnly = false);
// The same, each screen handed to `each` as it is drawn instead of kept, so
// that a long animation holds one screen at a time.
Outcome eachGifFrame(std::string_view data, const std::string& name, int maxSide, int maxFrames,
                     const std::function<void(const RgbaImage& screen, int delayMs)>& each);

} // namespace dedur
