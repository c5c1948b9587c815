#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/outcome.h"
#include "image/imagefile.h"

namespace dedur {

// BMP and JPEG, the photographs and screenshots people bring: their size is
// read off the header and refused before a pixel is decoded.
bool isBmp(std::string_view data);
bool isJpeg(std::string_view data);
Outcome decodeBmp(std::string_view data, const std::string& path, RgbaImage& out,
                  uint64_t maxPixels);
Outcome decodeJpeg(std::string_view data, const std::string& path, RgbaImage& out,
                   uint64_t maxPixels);

} // namespace dedur
