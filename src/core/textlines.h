#pragma once

#include <cstddef>
#include <string>
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
    void rewind() { pos_ = 0; }
    bool atEnd() const { return pos_ >= buffer_.size(); }

  private:
    std::string_view buffer_;
    size_t pos_ = 0;
};

// Reads a whole file into `out`; false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& out);

} // namespace dedur
