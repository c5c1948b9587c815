#pragma once

#include <map>
#include <string>
#include <vector>

#include "image/imagedots.h"

namespace dedur {
struct Document;
}

namespace dedur::cli {

// The label of each pattern on a sheet, drawn in a free monospaced font at a
// size legible at any scale: "NUMBER NAME" over "W x H  SEG s COM c". Empty
// (the sheet then draws numbers of its own) when the font cannot be opened.
std::vector<InkBitmap> sheetLabels(const Document& doc, const std::map<int, std::string>& names,
                                   int scale);

} // namespace dedur::cli
