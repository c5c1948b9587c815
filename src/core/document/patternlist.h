#pragma once

#include <cstdint>
#include <vector>

#include "document/patternstore.h"

namespace dedur {

// Changes to the list of patterns as a whole, each in one pass over the
// store. Indexes count from 0. The current pattern becomes the first.

// `count` blank patterns of `header` before pattern `at` (0 to patternCount).
void insertBlankPatterns(Document& doc, int at, int count, const PatternHeader& header);
// Deletes the patterns flagged 1 in `flags`; false (nothing changed) when
// that would leave no pattern.
bool deletePatterns(Document& doc, const std::vector<uint8_t>& flags);
// Pattern `from` to place `to`, the others closing up behind it.
void movePattern(Document& doc, int from, int to);
// A pattern's place on the panel: its left-top dot and directions.
void placePattern(Document& doc, int index, int seg, int com, int leftToRight, int topToBottom);

} // namespace dedur
