#include "image/xbmfile.h"

#include <algorithm>
#include <cctype>

namespace dedur {

namespace {

// A small C lexer: identifiers, numbers and single punctuation characters,
// comments and white space skipped. "#define" comes out as one token.
class XbmTokens {
  public:
    explicit XbmTokens(std::string_view text) : text_(text) {}

    std::string_view next() {
        skipBlanks();
        if (at_ >= text_.size()) return {};
        const size_t start = at_;
        const auto word = [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
        };
        if (text_[at_] == '#') ++at_;
        if (at_ < text_.size() && word(text_[at_])) {
            while (at_ < text_.size() && word(text_[at_])) ++at_;
        } else if (at_ == start) {
            ++at_;
        }
        return text_.substr(start, at_ - start);
    }

  private:
    void skipBlanks() {
        for (;;) {
            while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) {
                ++at_;
            }
            if (text_.substr(at_, 2) == "/*") {
                const size_t end = text_.find("*/", at_ + 2);
                at_ = end == std::string_view::npos ? text_.size() : end + 2;
            } else if (text_.substr(at_, 2) == "//") {
                while (at_ < text_.size() && text_[at_] != '\n') ++at_;
            } else {
                return;
            }
        }
    }

    std::string_view text_;
    size_t at_ = 0;
};

// A C integer constant (decimal, 0x hex or 0 octal) up to `max`.
std::optional<long> cNumber(std::string_view token, long max) {
    int base = 10;
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
        base = 16;
        token.remove_prefix(2);
    } else if (token.size() > 1 && token[0] == '0') {
        base = 8;
    }
    if (token.empty()) return std::nullopt;
    long value = 0;
    for (char c : token) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : 99;
        if (digit >= base) return std::nullopt;
        value = value * base + digit;
        if (value > max) return std::nullopt;
    }
    return value;
}

bool endsWith(std::string_view text, std::string_view tail) {
    return text.size() > tail.size() && text.substr(text.size() - tail.size()) == tail;
}

} // namespace

bool parseXbm(std::string_view text, int maxSide, uint64_t maxDots, XbmPicture& out,
              std::string& why) {
    XbmTokens tokens(text);
    long width = -1, height = -1, xHot = -1, yHot = -1;
    std::string_view token = tokens.next();
    // The defines, up to the array's declaration.
    while (token == "#define") {
        const std::string_view name = tokens.next();
        const std::optional<long> value = cNumber(tokens.next(), 1L << 30);
        if (!value) {
            why = "a #define without a number";
            return false;
        }
        if (endsWith(name, "_width")) width = *value;
        if (endsWith(name, "_height")) height = *value;
        if (endsWith(name, "_x_hot")) xHot = *value;
        if (endsWith(name, "_y_hot")) yHot = *value;
        token = tokens.next();
    }
    if (width < 0 || height < 0) {
        why = "no _width and _height defined";
        return false;
    }
    if (width < 1 || height < 1 || width > maxSide || height > maxSide ||
        uint64_t(width) * uint64_t(height) > maxDots) {
        why = "it declares " + std::to_string(width) + " x " + std::to_string(height) +
              " dots; a side may be 1 to " + std::to_string(maxSide);
        return false;
    }
    if (token == "static") token = tokens.next();
    if (token == "const") token = tokens.next();
    if (token == "unsigned") token = tokens.next();
    const bool words = token == "short";
    if (token != "char" && !words) {
        why = "no char array of bits";
        return false;
    }
    const std::string_view name = tokens.next();
    if (!endsWith(name, "_bits") || tokens.next() != "[") {
        why = "no NAME_bits array";
        return false;
    }
    token = tokens.next();
    if (token != "]") token = tokens.next(); // a count given: [32]
    if (token != "]" || tokens.next() != "=" || tokens.next() != "{") {
        why = "no NAME_bits array";
        return false;
    }
    const int unit = words ? 16 : 8;
    const size_t stride = (size_t(width) + unit - 1) / unit * (unit / 8);
    const size_t want = stride * size_t(height) / (unit / 8);
    out.bits.clear();
    out.bits.reserve(stride * size_t(height));
    size_t values = 0;
    token = tokens.next();
    while (token != "}") {
        const std::optional<long> value = cNumber(token, words ? 0xFFFF : 0xFF);
        if (!value) {
            why = token.empty() ? "the array is cut short" : "a value that is not a byte";
            return false;
        }
        if (++values > want) {
            why = "the array holds more values than " + std::to_string(width) + " x " +
                  std::to_string(height) + " dots take (" + std::to_string(want) + ")";
            return false;
        }
        out.bits.push_back(uint8_t(*value));
        if (words) out.bits.push_back(uint8_t(*value >> 8));
        token = tokens.next();
        if (token == ",") {
            token = tokens.next(); // a comma may follow the last value
        } else if (token != "}") {
            why = "the array is cut short";
            return false;
        }
    }
    if (values < want) {
        why = "the array holds " + std::to_string(values) + " values where " +
              std::to_string(width) + " x " + std::to_string(height) + " dots take " +
              std::to_string(want);
        return false;
    }
    // 16-bit rows keep a padding byte the 8-bit form has not.
    if (words && stride != (size_t(width) + 7) / 8) {
        const size_t rowBytes = (size_t(width) + 7) / 8;
        for (size_t y = 0; y < size_t(height); ++y) {
            std::copy_n(out.bits.begin() + std::ptrdiff_t(y * stride), rowBytes,
                        out.bits.begin() + std::ptrdiff_t(y * rowBytes));
        }
        out.bits.resize(rowBytes * size_t(height));
    }
    out.name = std::string(name.substr(0, name.size() - 5));
    out.width = int(width);
    out.height = int(height);
    out.hotSpot.reset();
    if (xHot >= 0 && yHot >= 0) out.hotSpot = std::pair<int, int>(int(xHot), int(yHot));
    return true;
}

} // namespace dedur
