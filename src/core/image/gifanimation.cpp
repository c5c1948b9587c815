#include "image/gifanimation.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>

#include "base/message.h"

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

int writeToString(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<std::string*>(gif->UserData)
        ->append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
    return length;
}

Outcome refusal(const std::string& name, const std::string& why) {
    return Outcome::refused(
        {quotedPath(name) + " " + why, " ", MessageButtons::Ok, MessageIcon::Question});
}

struct Closer {
    GifFileType* gif;
    ~Closer() {
        int error = 0;
        if (gif) DGifCloseFile(gif, &error);
    }
};

} // namespace

std::string encodeGif(const std::vector<IndexedImage>& frames, const std::vector<int>& delaysMs,
                      int loops) {
    if (frames.empty()) return {};
    int width = 1, height = 1;
    for (const IndexedImage& f : frames) {
        width = std::max(width, f.width);
        height = std::max(height, f.height);
    }
    if (width > 65535 || height > 65535) return {};
    // Four colours are room for every palette the renderer uses (white,
    // black, grey); index 0 is the background a frame is cleared to.
    GifColorType colours[4] = {{255, 255, 255}, {0, 0, 0}, {192, 192, 192}, {255, 255, 255}};
    const std::vector<uint32_t>& palette = frames.front().palette;
    for (size_t i = 0; i < palette.size() && i < 4; ++i) {
        colours[i] = {static_cast<GifByteType>(palette[i] >> 16),
                      static_cast<GifByteType>(palette[i] >> 8),
                      static_cast<GifByteType>(palette[i])};
    }
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToString, &error);
    if (!gif) return {};
    EGifSetGifVersion(gif, true);
    ColorMapObject* map = GifMakeMapObject(4, colours);
    bool ok = map && EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    // Played `loops` times (0: for ever), as the browsers' extension says.
    const GifByteType netscape[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    // The count stored is of repeats after the first play.
    const int repeats = loops > 0 ? loops - 1 : 0;
    const GifByteType loop[] = {1, static_cast<GifByteType>(repeats & 0xFF),
                                static_cast<GifByteType>(repeats >> 8 & 0xFF)};
    ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, sizeof netscape, netscape) == GIF_OK &&
         EGifPutExtensionBlock(gif, sizeof loop, loop) == GIF_OK &&
         EGifPutExtensionTrailer(gif) == GIF_OK;
    std::vector<GifPixelType> line;
    for (size_t i = 0; ok && i < frames.size(); ++i) {
        const IndexedImage& f = frames[i];
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_BACKGROUND;
        control.UserInputFlag = false;
        const int ms = i < delaysMs.size() ? delaysMs[i] : 100;
        control.DelayTime = std::max(2, (ms + 5) / 10);
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) ==
                 GIF_OK &&
             EGifPutImageDesc(gif, 0, 0, f.width, f.height, false, nullptr) == GIF_OK;
        line.resize(static_cast<size_t>(std::max(f.width, 1)));
        for (int y = 0; ok && y < f.height; ++y) {
            for (int x = 0; x < f.width; ++x) {
                line[static_cast<size_t>(x)] = static_cast<GifPixelType>(
                    std::min<int>(f.pixels[static_cast<size_t>(y) * f.width + x], 3));
            }
            ok = EGifPutLine(gif, line.data(), f.width) == GIF_OK;
        }
    }
    if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
    return ok ? out : std::string();
}

int gifFrameCount(std::string_view data) {
    if (data.size() < 6 || data.compare(0, 3, "GIF") != 0) return 0;
    Reader reader{data, 0};
    int error = 0;
    Closer closer{DGifOpen(&reader, readFromMemory, &error)};
    GifFileType* gif = closer.gif;
    if (!gif || uint64_t(gif->SWidth) * uint64_t(gif->SHeight) > MaxImagePixels) return 0;
    return DGifSlurp(gif) == GIF_OK ? gif->ImageCount : 0;
}

Outcome decodeGifFrames(std::string_view data, const std::string& name, int maxSide, int maxFrames,
                        std::vector<GifFrame>& out, bool firstOnly) {
    out.clear();
    if (data.size() < 6 ||
        (data.compare(0, 6, "GIF87a") != 0 && data.compare(0, 6, "GIF89a") != 0)) {
        return refusal(name, "is not a GIF image");
    }
    Reader reader{data, 0};
    int error = 0;
    Closer closer{DGifOpen(&reader, readFromMemory, &error)};
    GifFileType* gif = closer.gif;
    if (!gif) return refusal(name, "is a damaged GIF image");
    // Its size is known from the header, before any frame is decoded.
    if (gif->SWidth < 1 || gif->SHeight < 1 || gif->SWidth > maxSide || gif->SHeight > maxSide) {
        return refusal(name, "is " + std::to_string(gif->SWidth) + " x " +
                                 std::to_string(gif->SHeight) +
                                 " pixels; a pattern side must be 1 to " + std::to_string(maxSide));
    }
    // Every frame shown is a whole screen: the screens taken together are
    // bounded as one image is.
    const uint64_t screenPixels = uint64_t(gif->SWidth) * uint64_t(gif->SHeight);
    if (screenPixels > MaxImagePixels) {
        return refusal(name, "is " + std::to_string(gif->SWidth) + " x " +
                                 std::to_string(gif->SHeight) + " pixels; an image of more than " +
                                 std::to_string(MaxImagePixels) + " pixels is not imported");
    }
    if (DGifSlurp(gif) != GIF_OK) {
        return refusal(name, std::string("is a damaged GIF image (") +
                                 (GifErrorString(gif->Error) ? GifErrorString(gif->Error) : "?") +
                                 ")");
    }
    if (gif->ImageCount < 1) return refusal(name, "holds no picture");
    if (!firstOnly && uint64_t(gif->ImageCount) * screenPixels > MaxImagePixels * 4) {
        return refusal(name, "holds " + std::to_string(gif->ImageCount) +
                                 " frames of that size, more than can be taken in");
    }
    if (gif->ImageCount > maxFrames && !firstOnly) {
        return refusal(name, "holds " + std::to_string(gif->ImageCount) + " frames; at most " +
                                 std::to_string(maxFrames) + " are taken");
    }
    const int width = gif->SWidth;
    const int height = gif->SHeight;
    const size_t screenBytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    // The background is transparent: clear in the dots.
    std::vector<uint8_t> screen(screenBytes, 0);
    std::vector<uint8_t> before;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& frame = gif->SavedImages[i];
        GraphicsControlBlock control{};
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &control);
        const ColorMapObject* map =
            frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
        if (!map) return refusal(name, "is a damaged GIF image (a frame without colours)");
        if (control.DisposalMode == DISPOSE_PREVIOUS) before = screen;
        const GifImageDesc& d = frame.ImageDesc;
        for (int y = 0; y < d.Height; ++y) {
            for (int x = 0; x < d.Width; ++x) {
                const int sx = d.Left + x, sy = d.Top + y;
                if (sx < 0 || sy < 0 || sx >= width || sy >= height) continue;
                const int index = frame.RasterBits[static_cast<size_t>(y) * d.Width + x];
                if (index == control.TransparentColor || index >= map->ColorCount) continue;
                uint8_t* p = screen.data() + 4 * (static_cast<size_t>(sy) * width + sx);
                p[0] = map->Colors[index].Red;
                p[1] = map->Colors[index].Green;
                p[2] = map->Colors[index].Blue;
                p[3] = 255;
            }
        }
        GifFrame shown;
        shown.image = {width, height, screen};
        shown.delayMs = control.DelayTime * 10;
        out.push_back(std::move(shown));
        if (firstOnly) break;
        // What the next frame finds.
        if (control.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = 0; y < d.Height; ++y) {
                for (int x = 0; x < d.Width; ++x) {
                    const int sx = d.Left + x, sy = d.Top + y;
                    if (sx < 0 || sy < 0 || sx >= width || sy >= height) continue;
                    std::memset(screen.data() + 4 * (static_cast<size_t>(sy) * width + sx), 0, 4);
                }
            }
        } else if (control.DisposalMode == DISPOSE_PREVIOUS && !before.empty()) {
            screen = before;
        }
    }
    return {};
}

} // namespace dedur
