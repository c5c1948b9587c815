#include "code/commenttext.h"

namespace dedur {

bool directionMark(long c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

size_t directionMarkBytes(std::string_view text, size_t i) {
    const auto b = [&](size_t k) {
        return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u;
    };
    if (b(0) == 0xD8 && b(1) == 0x9C) return 2;
    if (b(0) != 0xE2) return 0;
    const long c = 0x2000 + ((b(1) & 0x3FL) << 6) + (b(2) & 0x3F);
    return (b(1) & 0xC0) == 0x80 && (b(2) & 0xC0) == 0x80 && directionMark(c) ? 3 : 0;
}

std::string commentText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (const size_t mark = directionMarkBytes(text, i); mark > 0) {
            out += '?';
            i += mark - 1;
        } else if (c < 0x20 || c == 0x7F) {
            out += '?';
        } else if ((c == '*' && i + 1 < text.size() && text[i + 1] == '/') ||
                   (c == '/' && i + 1 < text.size() && text[i + 1] == '*')) {
            out += static_cast<char>(c);
            out += ' ';
        } else {
            out += static_cast<char>(c);
        }
    }
    while (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

} // namespace dedur
