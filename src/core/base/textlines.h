#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace dedur {

// Reads text the way a fixed-size line buffer does: CR LF counts as a single
// line end, and a line longer than the buffer comes back in pieces. `limit`
// is the number of characters one piece may hold, line end included.
struct LinePiece {
    std::string_view text; // without the line end
    bool hasLineEnd = false;

    size_t length() const { return text.size() + (hasLineEnd ? 1 : 0); }
    // Character i of the piece as a line buffer would hold it ('\n' last).
    char at(size_t i) const { return i < text.size() ? text[i] : (hasLineEnd ? '\n' : '\0'); }
};

// Where the bytes of a long text come from when they are not all in memory.
class TextSource {
  public:
    virtual ~TextSource() = default;
    // The bytes from offset `from` on: at least `want` of them unless the
    // text ends sooner (a shorter view means the end). The view lasts until
    // the next call.
    virtual std::string_view bytesFrom(uint64_t from, size_t want) = 0;
    // The text's length as far as it is known beforehand (0 when not).
    virtual uint64_t expectedSize() const = 0;
};

class LineReader {
  public:
    explicit LineReader(std::string_view buffer) : window_(buffer), windowAtEnd_(true) {}
    explicit LineReader(TextSource& source) : source_(&source) {}

    // The next piece; its text lasts until the next call.
    bool next(LinePiece& piece, size_t limit);
    void rewind() { pos_ = 0; }
    // Offset of the next piece in the text.
    uint64_t position() const { return pos_; }
    uint64_t expectedSize() const { return source_ ? source_->expectedSize() : window_.size(); }
    // Bytes looked at while searching for line ends: each byte about once,
    // however many pieces its line is read in.
    size_t bytesSearched() const { return searched_; }

  private:
    // Makes `want` bytes from pos_ visible, or all that are left.
    std::string_view visible(size_t want);

    TextSource* source_ = nullptr;
    std::string_view window_; // the bytes from windowStart_ on
    uint64_t windowStart_ = 0;
    bool windowAtEnd_ = false; // window_ runs to the end of the text
    uint64_t pos_ = 0;
    size_t searched_ = 0;
};

} // namespace dedur
