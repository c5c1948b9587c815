#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/outcome.h"

namespace dedur {

struct Document;
struct History;
struct Selection;

enum class TransformKind { FlipHorizontal, FlipVertical, RotateRight, RotateLeft, Invert, Shift };

struct Transform {
    TransformKind kind = TransformKind::Invert;
    int dx = 0; // Shift: dots to the right and down
    int dy = 0;
    bool wrap = false; // Shift: what leaves one side comes in on the other
};

// Row-major dots ('0'/'1') of a width x height block.
struct DotGrid {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> dots;
};

// The block transformed: a rotation of W x H gives H x W; a shift loses the
// dots it moves off the block unless it wraps them.
DotGrid transformDots(const DotGrid& in, const Transform& transform);

// "flip-h", "flip-v", "rotate-right", "rotate-left", "invert", "shift".
std::optional<TransformKind> transformNamed(std::string_view name);

// Transforms the floating block when there is one, otherwise the current
// pattern, after an undo snapshot. A rotated pattern keeps its placement and
// is refused, with the size message, when it would leave the panel. The
// message when refused; nothing when done.
Outcome transformPattern(Document& doc, History& history, Selection& sel,
                         const Transform& transform, int px, int py);

} // namespace dedur
