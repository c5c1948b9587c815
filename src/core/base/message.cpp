#include "base/message.h"

#include <cstdarg>
#include <cstdio>

namespace dedur {

std::string formatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(length));
    }
    va_end(args);
    return text;
}

std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            static const char digits[] = "0123456789abcdef";
            out += "\\x";
            out.push_back(digits[byte >> 4]);
            out.push_back(digits[byte & 15]);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string quotedPath(std::string_view path) {
    std::string quoted = "\"";
    quoted += printable(path);
    quoted += '"';
    return quoted;
}

} // namespace dedur
