#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dedur {

// An X bitmap as X11's tools write it: "#define NAME_width W",
// "#define NAME_height H", an optional hot spot (NAME_x_hot, NAME_y_hot),
// then "static [unsigned] char NAME_bits[] = { 0x.., ... };" (or the older
// 16-bit "short" words), C comments anywhere.
struct XbmPicture {
    std::string name; // NAME of NAME_bits
    int width = 0;
    int height = 0;
    std::optional<std::pair<int, int>> hotSpot;
    // Rows of (width + 7) / 8 bytes, the leftmost dot of each byte in bit 0.
    std::vector<uint8_t> bits;
};

// Reads the text; false with the reason in `why` when it is not such a
// file, a side lies outside 1..maxSide or the dots come to more than
// maxDots (both told before a value of the array is read), or the array
// holds fewer or more values than the size takes.
bool parseXbm(std::string_view text, int maxSide, uint64_t maxDots, XbmPicture& out,
              std::string& why);

} // namespace dedur
