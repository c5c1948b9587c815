#pragma once

#include <cstddef>
#include <string_view>

namespace dedur {

// Reads a text buffer the way a fixed-size line buffer does: CR LF counts as a
// single line end, and a line longer than the buffer comes back in pieces.
// `limit` is the number of characters one piece may hold, line end included.
struct LinePiece {
    std::string_view text; // without the line end
    bool hasLineEnd = false;

    size_t length() const { return text.size() + (hasLineEnd ? 1 : 0); }
    // Character i of the piece as a line buffer would hold it ('\n' last).
    char at(size_t i) const { return i < text.size() ? text[i] : (hasLineEnd ? '\n' : '\0'); }
};

class LineReader {
  public:
    explicit LineReader(std::string_view buffer) : buffer_(buffer) {}

    bool next(LinePiece& piece, size_t limit);
    void rewind() {
        pos_ = 0;
        lineEnd_ = 0;
        lineEndKnown_ = false;
    }
    bool atEnd() const { return pos_ >= buffer_.size(); }
    // Bytes looked at while searching for line ends: each byte once, however
    // many pieces its line is read in.
    size_t bytesSearched() const { return searched_; }

  private:
    std::string_view buffer_;
    size_t pos_ = 0;
    size_t lineEnd_ = 0; // the next '\n' at or after pos_, or the buffer's size
    bool lineEndKnown_ = false;
    size_t searched_ = 0;
};

} // namespace dedur
