#include "fonts/big5codec.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace dedur {

namespace {

// One converter per direction and code page, opened on first use.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool convert(const char* in, size_t inLength, char* out, size_t& outLength) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        size_t left = inLength;
        char* dst = out;
        size_t room = outLength;
        const size_t result = iconv(cd_, &src, &left, &dst, &room);
        if (result == static_cast<size_t>(-1) || left != 0) return false;
        if (iconv(cd_, nullptr, nullptr, &dst, &room) == static_cast<size_t>(-1)) return false;
        outLength -= room;
        return true;
    }

  private:
    iconv_t cd_;
};

std::optional<char32_t> decodeWith(Converter& converter, int lead, int trail) {
    const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    unsigned char out[8];
    size_t length = sizeof out;
    if (!converter.convert(in, 2, reinterpret_cast<char*>(out), length) || length != 4) {
        return std::nullopt;
    }
    return static_cast<char32_t>(out[0] << 24 | out[1] << 16 | out[2] << 8 | out[3]);
}

bool privateUse(char32_t c) {
    return c >= 0xE000 && c <= 0xF8FF;
}

} // namespace

std::optional<char32_t> decodeBig5(int lead, int trail) {
    static thread_local Converter cp950("UTF-32BE", "CP950");
    static thread_local Converter hkscs("UTF-32BE", "BIG5-HKSCS");
    auto c = decodeWith(cp950, lead, trail);
    if (!c || privateUse(*c)) {
        const auto extension = decodeWith(hkscs, lead, trail);
        if (extension && !privateUse(*extension)) return extension;
    }
    return c;
}

std::vector<long> decodeBig5Codes(std::string_view pairs) {
    static thread_local Converter cp950("UTF-32BE", "CP950");
    const size_t count = pairs.size() / 2;
    std::vector<long> out(count, -1);
    std::vector<char> utf32(count * 4);
    size_t length = utf32.size();
    if (cp950.convert(pairs.data(), count * 2, utf32.data(), length) && length == utf32.size()) {
        for (size_t i = 0; i < count; ++i) {
            const auto* p = reinterpret_cast<const unsigned char*>(utf32.data()) + 4 * i;
            out[i] = static_cast<long>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
        }
        return out;
    }
    // One code the page lacks stops the whole: then each on its own.
    for (size_t i = 0; i < count; ++i) {
        const auto c = decodeWith(cp950, static_cast<uint8_t>(pairs[2 * i]),
                                  static_cast<uint8_t>(pairs[2 * i + 1]));
        if (c) out[i] = static_cast<long>(*c);
    }
    return out;
}

std::string encodeBig5(char32_t character) {
    static thread_local Converter cp950("CP950", "UTF-32BE");
    const char in[4] = {static_cast<char>(character >> 24), static_cast<char>(character >> 16),
                        static_cast<char>(character >> 8), static_cast<char>(character)};
    char out[8];
    size_t length = sizeof out;
    if (!cp950.convert(in, 4, out, length)) return {};
    return std::string(out, length);
}

} // namespace dedur
