#pragma once

#include <string>

#include "code/codejob.h"

namespace dedur {

// Code text as it is made: handed on a piece at a time when there is a sink
// (a large output is never whole in memory), else kept whole.
struct CodePieces {
    static constexpr size_t Piece = size_t{1} << 17;
    std::string text;
    const CodeSink* sink = nullptr;
    bool going = true;

    explicit CodePieces(const CodeSink* to = nullptr) : sink(to) {
        if (sink) text.reserve(Piece + (size_t{1} << 16));
    }
    // Hands the text on once it is a piece long, or at the end (`last`).
    void handOn(bool last = false) {
        if (!sink || (!last && text.size() < Piece)) return;
        if (going && !text.empty()) going = (*sink)(text);
        text.clear();
    }
};

} // namespace dedur
