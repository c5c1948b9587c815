#include "base/textlines.h"

#include <cstring>

namespace dedur {

std::string_view LineReader::visible(size_t want) {
    const uint64_t offset = pos_ - windowStart_;
    if (pos_ >= windowStart_ && offset <= window_.size() &&
        (windowAtEnd_ || window_.size() - offset >= want)) {
        return window_.substr(static_cast<size_t>(offset));
    }
    window_ = source_->bytesFrom(pos_, want);
    windowStart_ = pos_;
    windowAtEnd_ = window_.size() < want;
    return window_;
}

bool LineReader::next(LinePiece& piece, size_t limit) {
    if (limit == 0) return false;
    // A piece ends at a line end within `limit` characters (the CR before it
    // not counted), so one byte more than that decides it.
    const std::string_view rest = visible(limit + 1);
    if (rest.empty()) return false;
    const size_t span = rest.size() < limit + 1 ? rest.size() : limit + 1;
    const char* start = rest.data();
    const void* end = std::memchr(start, '\n', span);
    searched_ += end ? static_cast<size_t>(static_cast<const char*>(end) - start) + 1 : span;
    if (end) {
        const size_t lf = static_cast<size_t>(static_cast<const char*>(end) - start);
        const size_t content = (lf > 0 && start[lf - 1] == '\r') ? lf - 1 : lf;
        if (content + 1 <= limit) {
            piece.text = std::string_view(start, content);
            piece.hasLineEnd = true;
            pos_ += lf + 1;
            return true;
        }
    } else if (rest.size() < limit) {
        // Last line without a line end.
        piece.text = rest;
        piece.hasLineEnd = false;
        pos_ += rest.size();
        return true;
    }
    piece.text = std::string_view(start, limit);
    piece.hasLineEnd = false;
    pos_ += limit;
    return true;
}

} // namespace dedur
