#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "../message.h"

namespace dedur {

// Pixels as red, green, blue, alpha bytes, rows from the top.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// A PNG or PBM (P1/P4) file. Refused with a message when the file is not one
// of them, is damaged, or has more than `maxPixels` pixels.
std::optional<Message> readImageFile(const std::string& path, RgbaImage& out,
                                     uint64_t maxPixels = uint64_t{1} << 24);

// The same on a file's bytes already in memory.
std::optional<Message> decodeImage(std::string_view data, const std::string& name, RgbaImage& out,
                                   uint64_t maxPixels = uint64_t{1} << 24);

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

} // namespace dedur
