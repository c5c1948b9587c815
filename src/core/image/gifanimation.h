#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/outcome.h"
#include "image/imagefile.h"

namespace dedur {

// Animated GIF through giflib: patterns as frames out, frames as pictures in.

// The frames in order, each drawn at the top-left of a screen as large as the
// largest, with its delay in milliseconds (GIF counts hundredths: rounded,
// at least 2) and cleared to the background after it shows; `loops` 0 plays
// for ever. Empty on failure.
std::string encodeGif(const std::vector<IndexedImage>& frames, const std::vector<int>& delaysMs,
                      int loops);

struct GifFrame {
    RgbaImage image; // the whole screen as it stands at this frame
    int delayMs = 0;
};

// The most frames an animation brings in as patterns.
inline constexpr int MaxGifFrames = 1000;

// Every frame of a GIF as the screen shows it then (each frame's disposal of
// the one before applied). Refused with the reason: not a GIF, damaged, a
// screen wider or taller than `maxSide`, or more than `maxFrames` frames.
Outcome decodeGifFrames(std::string_view data, const std::string& name, int maxSide, int maxFrames,
                        std::vector<GifFrame>& out, bool firstOnly = false);

// Frames a GIF has, 0 when it is none (or damaged, or larger than an image
// may be): counted, not drawn.
int gifFrameCount(std::string_view data);

} // namespace dedur
