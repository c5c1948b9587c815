#include "textlines.h"

#include <cstring>

namespace dedur {

bool LineReader::next(LinePiece& piece, size_t limit) {
    if (pos_ >= buffer_.size() || limit == 0) return false;
    const char* start = buffer_.data() + pos_;
    const size_t rest = buffer_.size() - pos_;
    // A long line comes in many pieces; its end is looked for once.
    if (!lineEndKnown_ || lineEnd_ < pos_) {
        const void* end = std::memchr(start, '\n', rest);
        lineEnd_ = end ? pos_ + static_cast<size_t>(static_cast<const char*>(end) - start)
                       : buffer_.size();
        searched_ += lineEnd_ - pos_ + (end ? 1 : 0);
        lineEndKnown_ = true;
    }
    const bool found = lineEnd_ < buffer_.size();
    size_t contentLength;
    size_t consumedWithEnd;
    if (found) {
        const size_t lf = lineEnd_ - pos_;
        contentLength = (lf > 0 && start[lf - 1] == '\r') ? lf - 1 : lf;
        consumedWithEnd = lf + 1;
    } else {
        contentLength = rest;
        consumedWithEnd = rest;
    }
    if (found && contentLength + 1 <= limit) {
        piece.text = std::string_view(start, contentLength);
        piece.hasLineEnd = true;
        pos_ += consumedWithEnd;
    } else if (contentLength < limit) {
        // Last line without a line end.
        piece.text = std::string_view(start, contentLength);
        piece.hasLineEnd = false;
        pos_ += consumedWithEnd;
    } else {
        piece.text = std::string_view(start, limit);
        piece.hasLineEnd = false;
        pos_ += limit;
    }
    return true;
}

} // namespace dedur
