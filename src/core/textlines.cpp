#include "textlines.h"

#include <cstdio>
#include <cstring>

namespace dedur {

bool LineReader::next(LinePiece& piece, size_t limit) {
    if (pos_ >= buffer_.size() || limit == 0) return false;
    const char* start = buffer_.data() + pos_;
    const size_t rest = buffer_.size() - pos_;
    const void* found = std::memchr(start, '\n', rest);
    size_t contentLength;
    size_t consumedWithEnd;
    if (found) {
        const size_t lf = static_cast<size_t>(static_cast<const char*>(found) - start);
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

bool readWholeFile(const std::string& path, std::string& out) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    out.clear();
    bool ok = true;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0) out.reserve(static_cast<size_t>(size));
        std::rewind(file);
    }
    char chunk[1 << 16];
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file);
        out.append(chunk, got);
        if (got < sizeof chunk) {
            ok = !std::ferror(file);
            break;
        }
    }
    std::fclose(file);
    return ok;
}

} // namespace dedur
