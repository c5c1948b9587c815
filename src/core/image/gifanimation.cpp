#include "image/gifanimation.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <optional>

#include "base/limits.h"
#include "base/message.h"
#include "image/giframes.h"

namespace dedur {

namespace {

struct Reader {
    std::string_view data;
    size_t at = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* bytes, int length) {
    auto* r = static_cast<Reader*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(std::max(length, 0)), r->data.size() - r->at);
    std::memcpy(bytes, r->data.data() + r->at, n);
    r->at += n;
    return static_cast<int>(n);
}

Outcome refusal(const std::string& name, const std::string& why) {
    return Outcome::refused(
        {quotedPath(name) + " " + why, " ", MessageButtons::Ok, MessageIcon::Question});
}

Outcome damaged(const std::string& name, const GifFileType* gif) {
    const char* why = gif ? GifErrorString(gif->Error) : nullptr;
    return refusal(name, std::string("is a damaged GIF image (") + (why ? why : "?") + ")");
}

struct Closer {
    GifFileType* gif;
    ~Closer() {
        int error = 0;
        if (gif) DGifCloseFile(gif, &error);
    }
};

std::string sizeText(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

// What a reader of the records is told of each frame, its raster not yet read.
struct FrameHeader {
    const GifImageDesc& desc;
    const GraphicsControlBlock& control;
    const ColorMapObject* colours;
};

// What a reader of a frame did with its raster.
enum class Raster { Skip, Read, Failed };

// Walks a GIF's records. Each frame's size is checked from its descriptor
// before its raster is touched; `onFrame` reads the raster (DGifGetLine) or
// leaves it to be skipped undecoded. Stops after `stopAfter` frames. A walk
// that only counts (`drawn` false) does not mind how many pixels a frame has.
template <typename OnFrame>
Outcome walkGif(std::string_view data, const std::string& name, int maxSide, int maxFrames,
                int stopAfter, int& frames, OnFrame onFrame, bool drawn = true) {
    frames = 0;
    if (data.size() < 6 ||
        (data.compare(0, 6, "GIF87a") != 0 && data.compare(0, 6, "GIF89a") != 0)) {
        return refusal(name, "is not a GIF image");
    }
    Reader reader{data, 0};
    int error = 0;
    Closer closer{DGifOpen(&reader, readFromMemory, &error)};
    GifFileType* gif = closer.gif;
    if (!gif) return refusal(name, "is a damaged GIF image");
    if (gif->SWidth < 1 || gif->SHeight < 1 || gif->SWidth > maxSide || gif->SHeight > maxSide) {
        return refusal(name, "is " + sizeText(gif->SWidth, gif->SHeight) +
                                 "; a pattern side must be 1 to " + std::to_string(maxSide));
    }
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) != GIF_OK) return damaged(name, gif);
        if (type == TERMINATE_RECORD_TYPE) break;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK) return damaged(name, gif);
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                DGifExtensionToGCB(block[0], block + 1, &control);
            }
            while (block) {
                if (DGifGetExtensionNext(gif, &block) != GIF_OK) return damaged(name, gif);
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) return damaged(name, gif);
        if (DGifGetImageDesc(gif) != GIF_OK) return damaged(name, gif);
        const GifImageDesc& d = gif->Image;
        if (d.Width < 1 || d.Height < 1 || d.Width > maxSide || d.Height > maxSide) {
            return refusal(name, "holds a frame of " + sizeText(d.Width, d.Height) +
                                     "; a pattern side must be 1 to " + std::to_string(maxSide));
        }
        if (drawn && uint64_t(d.Width) * uint64_t(d.Height) > limits::ImagePixels) {
            return refusal(name, "holds a frame of " + sizeText(d.Width, d.Height) +
                                     "; an image of more than " +
                                     std::to_string(limits::ImagePixels) +
                                     " pixels is not imported");
        }
        if (++frames > maxFrames) {
            return refusal(name, "holds more than " + std::to_string(maxFrames) +
                                     " frames; at most " + std::to_string(maxFrames) +
                                     " are taken");
        }
        const ColorMapObject* colours = d.ColorMap ? d.ColorMap : gif->SColorMap;
        const Raster raster = onFrame(gif, FrameHeader{d, control, colours});
        if (raster == Raster::Failed) return damaged(name, gif);
        if (raster == Raster::Skip) {
            int size = 0;
            GifByteType* block = nullptr;
            if (DGifGetCode(gif, &size, &block) != GIF_OK) return damaged(name, gif);
            while (block) {
                if (DGifGetCodeNext(gif, &block) != GIF_OK) return damaged(name, gif);
            }
        }
        control = GraphicsControlBlock{};
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        if (frames >= stopAfter) break;
    }
    if (frames < 1) return refusal(name, "holds no picture");
    return {};
}

int writeToStream(GifFileType* gif, const GifByteType* bytes, int length) {
    const auto& put = *static_cast<const ByteStream::Put*>(gif->UserData);
    return put(std::string_view(reinterpret_cast<const char*>(bytes), size_t(length))) ? length : 0;
}

int writeToString(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<std::string*>(gif->UserData)
        ->append(reinterpret_cast<const char*>(bytes), size_t(length));
    return length;
}

// A frame read into shared rows: its pixels clamped to the palette, clear
// beyond its own size.
struct ReadFrame {
    SharedRows rows;
    int width = 1;
    int height = 1;
    int delay = 2; // hundredths
};

ReadFrame readFrame(const GifAnimation& a, int index, std::vector<GifPixelType>& line) {
    GifFrameSource f = a.frame(index);
    // A frame cut to the screen: giflib only fails when the output does.
    ReadFrame read{SharedRows(a.width, a.height), std::clamp(f.width, 1, a.width),
                   std::clamp(f.height, 1, a.height),
                   std::max(2, (std::min(f.delayMs, limits::FrameDelayMs) + 5) / 10)};
    const auto top = static_cast<GifPixelType>(a.palette.size() - 1);
    for (int y = 0; y < read.height; ++y) {
        line.assign(size_t(a.width), 0);
        f.row(y, line.data());
        for (int x = 0; x < read.width; ++x) line[size_t(x)] = std::min(line[size_t(x)], top);
        std::fill(line.begin() + read.width, line.end(), ClearPixel);
        read.rows.setRow(y, line.data());
    }
    return read;
}

// One frame's blocks (graphic control extension, image descriptor and its
// LZW data) as giflib writes them, cut out of a GIF written for it alone.
std::string frameBlocks(const GifAnimation& a, int bits, const GifColorType* colours,
                        const GraphicsControlBlock& control, const FrameRect& r,
                        const std::function<void(int y, GifPixelType* line)>& row) {
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToString, &error);
    if (!gif) return {};
    EGifSetGifVersion(gif, true);
    ColorMapObject* map = GifMakeMapObject(1 << bits, colours);
    bool ok = map && EGifPutScreenDesc(gif, a.width, a.height, bits, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    const size_t from = out.size();
    GifByteType extension[4];
    const size_t length = EGifGCBToExtension(&control, extension);
    ok = ok &&
         EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
             GIF_OK &&
         EGifPutImageDesc(gif, r.left, r.top, r.width, r.height, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(size_t(r.width));
    for (int y = 0; ok && y < r.height; ++y) {
        row(r.top + y, line.data());
        ok = EGifPutLine(gif, line.data(), r.width) == GIF_OK;
    }
    const size_t to = out.size();
    if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
    return ok ? out.substr(from, to - from) : std::string();
}

// Writes the animation through giflib into `put`; false when giflib or `put`
// gave up. Each frame is the rectangle that changed on the screen, drawn
// over what is there, either whole or with its unchanged pixels
// transparent, whichever is smaller; a frame the same as the one before
// adds its delay to that one's.
bool writeGif(const GifAnimation& a, const ByteStream::Put& put) {
    if (a.frames < 1 || a.width < 1 || a.height < 1 || a.width > 65535 || a.height > 65535 ||
        a.palette.empty() || a.palette.size() > 4) {
        return false;
    }
    const int bits = a.palette.size() <= 2 ? 1 : 2;
    GifColorType colours[4] = {};
    for (size_t i = 0; i < a.palette.size(); ++i) {
        colours[i] = {static_cast<GifByteType>(a.palette[i] >> 16),
                      static_cast<GifByteType>(a.palette[i] >> 8),
                      static_cast<GifByteType>(a.palette[i])};
    }
    int error = 0;
    GifFileType* gif = EGifOpen(const_cast<ByteStream::Put*>(&put), writeToStream, &error);
    if (!gif) return false;
    EGifSetGifVersion(gif, true);
    ColorMapObject* map = GifMakeMapObject(1 << bits, colours);
    bool ok = map && EGifPutScreenDesc(gif, a.width, a.height, bits, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    // Played `loops` times (0: for ever), as the browsers' extension says;
    // the count stored is of repeats after the first play, and 0 stored is
    // for ever: a GIF played once goes without the extension.
    const GifByteType netscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    const int repeats = a.loops > 0 ? a.loops - 1 : 0;
    const GifByteType loop[] = {1, static_cast<GifByteType>(repeats & 0xFF),
                                static_cast<GifByteType>(repeats >> 8 & 0xFF)};
    ok = ok && (a.loops == 1 || (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
                                 EGifPutExtensionBlock(gif, sizeof netscape, netscape) == GIF_OK &&
                                 EGifPutExtensionBlock(gif, sizeof loop, loop) == GIF_OK &&
                                 EGifPutExtensionTrailer(gif) == GIF_OK));
    std::vector<GifPixelType> line;
    SharedRows screen(a.width, a.height); // nothing shown yet
    ReadFrame frame = readFrame(a, 0, line);
    const int firstWidth = frame.width, firstHeight = frame.height;
    for (int next = 1; ok;) {
        // The frames after it that show the same add their delays to its,
        // as far as a delay can hold.
        std::optional<ReadFrame> after;
        while (next < a.frames) {
            after = readFrame(a, next++, line);
            if (a.keepEveryFrame || after->rows != frame.rows ||
                frame.delay + after->delay > limits::FrameDelayMs / 10) {
                break;
            }
            frame.delay += after->delay;
            after.reset();
        }
        // The last frame is followed by the first when the animation loops.
        FramePlan plan =
            planFrame(screen, frame.rows, frame.width, frame.height,
                      after ? after->width : firstWidth, after ? after->height : firstHeight);
        // A frame the screen already shows (its delay too long to add to the
        // one before) repaints one pixel.
        if (plan.rect.empty()) plan.rect = {0, 0, 1, 1};
        const FrameRect& r = plan.rect;
        // The colours the changed pixels need, and whether any pixel in the
        // rectangle stays as it was.
        unsigned used = 0;
        bool unchanged = false;
        for (int y = r.top; y < r.top + r.height; ++y) {
            const uint8_t* was = screen.row(y);
            const uint8_t* now = frame.rows.row(y);
            for (int x = r.left; x < r.left + r.width; ++x) {
                if (was[x] == now[x]) {
                    unchanged = true;
                } else {
                    used |= 1u << now[x];
                }
            }
        }
        GraphicsControlBlock control{};
        control.DisposalMode = plan.clearAfter ? DISPOSE_BACKGROUND : DISPOSE_DO_NOT;
        control.UserInputFlag = false;
        control.DelayTime = frame.delay;
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        std::string blocks =
            frameBlocks(a, bits, colours, control, r, [&](int y, GifPixelType* out) {
                std::copy_n(frame.rows.row(y) + r.left, r.width, out);
            });
        // Unchanged pixels in a colour no changed pixel needs: long runs of
        // one index, which LZW packs tighter.
        int transparent = -1;
        for (int c = (1 << bits) - 1; c >= 0 && unchanged; --c) {
            if (!(used >> c & 1u)) {
                transparent = c;
                break;
            }
        }
        if (transparent >= 0) {
            control.TransparentColor = transparent;
            std::string clear =
                frameBlocks(a, bits, colours, control, r, [&](int y, GifPixelType* out) {
                    const uint8_t* was = screen.row(y) + r.left;
                    const uint8_t* now = frame.rows.row(y) + r.left;
                    for (int x = 0; x < r.width; ++x) {
                        out[x] = was[x] == now[x] ? GifPixelType(transparent) : now[x];
                    }
                });
            if (!clear.empty() && clear.size() < blocks.size()) blocks = std::move(clear);
        }
        ok = !blocks.empty() && put(blocks);
        screen = plan.clearAfter ? screenAfter(frame.rows, plan) : std::move(frame.rows);
        if (!after) break;
        frame = std::move(*after);
    }
    if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
    return ok;
}

} // namespace

ByteStream gifByteStream(const GifAnimation& animation) {
    ByteStream stream;
    // The animation's sizes are made safe before giflib sees them, so what
    // can fail is the writing, which the file's writer reports.
    stream.produce = [animation](const ByteStream::Put& put) { (void)writeGif(animation, put); };
    return stream;
}

std::string encodeGif(const GifAnimation& animation) {
    std::string out;
    const bool ok = writeGif(animation, [&out](std::string_view piece) {
        out.append(piece);
        return true;
    });
    return ok ? out : std::string();
}

std::string encodeGif(const std::vector<IndexedImage>& frames, const std::vector<int>& delaysMs,
                      int loops) {
    if (frames.empty()) return {};
    GifAnimation a;
    for (const IndexedImage& f : frames) {
        a.width = std::max(a.width, f.width);
        a.height = std::max(a.height, f.height);
    }
    a.palette = frames.front().palette;
    a.palette.resize(std::clamp<size_t>(a.palette.size(), 2, 4), 0x000000);
    a.loops = loops;
    a.frames = static_cast<int>(frames.size());
    a.frame = [&frames, &delaysMs](int i) {
        const IndexedImage& f = frames[static_cast<size_t>(i)];
        GifFrameSource s{f.width, f.height,
                         static_cast<size_t>(i) < delaysMs.size() ? delaysMs[size_t(i)] : 100,
                         nullptr};
        s.row = [&f](int y, uint8_t* row) {
            std::copy_n(f.pixels.begin() + static_cast<ptrdiff_t>(y) * f.width, f.width, row);
        };
        return s;
    };
    return encodeGif(a);
}

Outcome checkGifHeaders(std::string_view data, const std::string& name, int maxSide, int maxFrames,
                        int& frames) {
    return walkGif(data, name, maxSide, maxFrames, maxFrames + 1, frames,
                   [](GifFileType*, const FrameHeader&) { return Raster::Skip; });
}

int gifFrameCount(std::string_view data, int maxFrames) {
    int frames = 0;
    const Outcome counted = walkGif(
        data, std::string(), 65535, maxFrames, maxFrames + 1, frames,
        [](GifFileType*, const FrameHeader&) { return Raster::Skip; }, false);
    return counted.ok() || frames > maxFrames ? frames : 0;
}

namespace {

using ScreenShown = std::function<void(const RgbaImage& screen, int delayMs)>;

Outcome drawGifFrames(std::string_view data, const std::string& name, int maxSide, int maxFrames,
                      const ScreenShown& shown, bool firstOnly) {
    // Every size and the count first, from the headers alone: nothing is
    // drawn for a GIF that is refused.
    int frames = 0;
    if (!firstOnly) {
        if (Outcome checked = checkGifHeaders(data, name, maxSide, maxFrames, frames);
            !checked.ok()) {
            return checked;
        }
    }
    int width = 0, height = 0;
    // The background is transparent: clear in the dots.
    RgbaImage shownScreen;
    std::vector<uint8_t>& screen = shownScreen.rgba;
    std::vector<uint8_t> before;
    std::vector<GifPixelType> line;
    bool noColours = false;
    const auto drawFrame = [&](GifFileType* gif, const FrameHeader& h) {
        if (screen.empty()) {
            width = shownScreen.width = gif->SWidth;
            height = shownScreen.height = gif->SHeight;
            screen.assign(size_t(width) * size_t(height) * 4, 0);
        }
        if (!h.colours) {
            noColours = true;
            return Raster::Failed;
        }
        if (h.control.DisposalMode == DISPOSE_PREVIOUS) before = screen;
        const GifImageDesc& d = h.desc;
        line.resize(size_t(d.Width));
        // Interlaced rows come in four passes.
        static const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
        const int passes = d.Interlace ? 4 : 1;
        for (int pass = 0; pass < passes; ++pass) {
            for (int y = d.Interlace ? start[pass] : 0; y < d.Height;
                 y += d.Interlace ? step[pass] : 1) {
                if (DGifGetLine(gif, line.data(), d.Width) != GIF_OK) return Raster::Failed;
                const int sy = d.Top + y;
                if (sy >= height) continue;
                for (int x = 0; x < d.Width; ++x) {
                    const int sx = d.Left + x;
                    const int index = line[size_t(x)];
                    if (sx >= width || index == h.control.TransparentColor ||
                        index >= h.colours->ColorCount) {
                        continue;
                    }
                    uint8_t* p = screen.data() + 4 * (size_t(sy) * size_t(width) + size_t(sx));
                    p[0] = h.colours->Colors[index].Red;
                    p[1] = h.colours->Colors[index].Green;
                    p[2] = h.colours->Colors[index].Blue;
                    p[3] = 255;
                }
            }
        }
        shown(shownScreen, h.control.DelayTime * 10);
        // What the next frame finds.
        if (h.control.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = d.Top; y < std::min(height, d.Top + d.Height); ++y) {
                for (int x = d.Left; x < std::min(width, d.Left + d.Width); ++x) {
                    std::memset(screen.data() + 4 * (size_t(y) * size_t(width) + size_t(x)), 0, 4);
                }
            }
        } else if (h.control.DisposalMode == DISPOSE_PREVIOUS && !before.empty()) {
            screen = before;
        }
        return Raster::Read;
    };
    const Outcome drawn =
        walkGif(data, name, maxSide, maxFrames, firstOnly ? 1 : maxFrames, frames, drawFrame);
    if (noColours) return refusal(name, "is a damaged GIF image (a frame without colours)");
    return drawn;
}

} // namespace

Outcome decodeGifFrames(std::string_view data, const std::string& name, int maxSide, int maxFrames,
                        std::vector<GifFrame>& out, bool firstOnly) {
    out.clear();
    const Outcome drawn = drawGifFrames(
        data, name, maxSide, maxFrames,
        [&out](const RgbaImage& screen, int delayMs) {
            out.push_back({screen, delayMs});
        },
        firstOnly);
    if (!drawn.ok()) out.clear();
    return drawn;
}

Outcome eachGifFrame(std::string_view data, const std::string& name, int maxSide, int maxFrames,
                     const std::function<void(const RgbaImage& screen, int delayMs)>& each) {
    return drawGifFrames(data, name, maxSide, maxFrames, each, false);
}

} // namespace dedur
