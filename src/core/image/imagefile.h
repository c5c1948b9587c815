#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/fileread.h"
#include "base/limits.h"
#include "base/outcome.h"

namespace dedur {

// Pixels as red, green, blue, alpha bytes, rows from the top.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// "NAME has W x H pixels; ...", or nothing when the size is within the limit.
Outcome imageSizeRefusal(const std::string& path, uint64_t width, uint64_t height,
                         uint64_t maxPixels = limits::ImagePixels);
// The same, read off a PNG file's header (nothing for other files).
Outcome imageHeaderRefusal(std::string_view data, const std::string& path,
                           uint64_t maxPixels = limits::ImagePixels);
// Why an image file could not be read, as a message.
Message imageReadRefusal(const std::string& path, FileReadStatus status);

// A PNG or PBM (P1/P4) file. Refused with a message when the file is not one
// of them, is damaged, or has more than `maxPixels` pixels.
Outcome readImageFile(const std::string& path, RgbaImage& out,
                      uint64_t maxPixels = limits::ImagePixels);

// The same on a file's bytes already in memory.
Outcome decodeImage(std::string_view data, const std::string& name, RgbaImage& out,
                    uint64_t maxPixels = limits::ImagePixels);

// An image of palette indices, rows from the top.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;   // index into `palette`
    std::vector<uint32_t> palette; // 0xRRGGBB
};

// The bytes of a PNG of the image: 1 bit per pixel for two colours, 2 bits
// for up to four, 8 otherwise.
std::string encodePng(const IndexedImage& image);
// The image in one bit a pixel, a pixel black when its colour is darker than
// middle grey: a binary PBM (P4), or an XBM named `name` (a C identifier).
std::string encodePbm(const IndexedImage& image);
// An XBM may carry a hot spot (x, y).
std::string encodeXbm(const IndexedImage& image, const std::string& name,
                      const std::optional<std::pair<int, int>>& hotSpot = std::nullopt);

} // namespace dedur
