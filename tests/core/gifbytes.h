#pragma once

// GIF files written byte by byte for the tests, and read back the same way:
// no giflib and none of our own code, so that what the program reads and
// writes is checked against the format itself.

#include <cstdint>
#include <string>
#include <vector>

namespace dedur::test {

// LZW codes packed low bit first, as GIF packs them; the width follows the
// decoder's rule: it grows after the code that makes the next free code
// pass the largest of the current width.
class LzwCodes {
  public:
    explicit LzwCodes(int minimumSize) : minimum_(minimumSize) { reset(); }

    int clear() const { return 1 << minimum_; }
    void put(int code) {
        bits_ |= uint64_t(code) << count_;
        count_ += width_;
        while (count_ >= 8) {
            bytes_.push_back(char(bits_ & 0xFF));
            bits_ >>= 8;
            count_ -= 8;
        }
        if (code == clear()) {
            reset();
        } else if (running_ < 4097 && ++running_ > maxCode_ && width_ < 12) {
            maxCode_ <<= 1;
            ++width_;
        }
    }
    // The code stream in sub-blocks, after the minimum code size byte.
    std::string finish() {
        put(clear() + 1);
        if (count_ > 0) bytes_.push_back(char(bits_ & 0xFF));
        std::string out(1, char(minimum_));
        for (size_t at = 0; at < bytes_.size(); at += 255) {
            const size_t n = std::min<size_t>(255, bytes_.size() - at);
            out.push_back(char(n));
            out.append(bytes_, at, n);
        }
        return out + '\0';
    }

  private:
    void reset() {
        width_ = minimum_ + 1;
        running_ = clear() + 2;
        maxCode_ = 1 << width_;
    }
    int minimum_;
    int width_ = 0;
    int running_ = 0;
    int maxCode_ = 0;
    uint64_t bits_ = 0;
    int count_ = 0;
    std::string bytes_;
};

// Any pixels: a clear code before each, so that no string is ever reused.
inline std::string lzwPlain(const std::vector<uint8_t>& pixels) {
    LzwCodes codes(2);
    for (uint8_t p : pixels) {
        codes.put(codes.clear());
        codes.put(p);
    }
    return codes.finish();
}

// `count` pixels of colour 0 in few bytes: after a clear, the strings of
// 1, 2, 3 ... zeros, each the dictionary's newest.
inline std::string lzwZeros(uint64_t count) {
    LzwCodes codes(2);
    codes.put(codes.clear());
    uint64_t longest = 1;
    while (count > 0) {
        if (uint64_t(codes.clear()) + longest + 1 > 4000) {
            codes.put(codes.clear());
            longest = 1;
        }
        const uint64_t length = std::min(longest, count);
        codes.put(length == 1 ? 0 : int(uint64_t(codes.clear()) + length));
        count -= length;
        longest = length + 1;
    }
    return codes.finish();
}

struct GifFrameBytes {
    int left = 0, top = 0, width = 1, height = 1;
    std::string lzw;      // lzwPlain or lzwZeros of width x height pixels
    int disposal = 0;     // 0 none, 1 keep, 2 background, 3 previous
    int transparent = -1; // a colour index, or none
    int delayHundredths = 0;
    bool control = true;     // with a graphic control extension
    bool interlaced = false; // rows 0, 8, 16 ..., then 4, 12 ..., 2, 6 ..., 1, 3 ...
};

// The rows of a frame in the order an interlaced GIF stores them.
inline std::vector<int> interlacedRows(int height) {
    std::vector<int> order;
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = start[pass]; y < height; y += step[pass]) order.push_back(y);
    }
    return order;
}

inline void putLe16(std::string& out, int value) {
    out.push_back(char(value & 0xFF));
    out.push_back(char(value >> 8 & 0xFF));
}

// Black (index 1) and white (index 0), and a colour table of four entries.
inline std::string gifFile(int width, int height, const std::vector<GifFrameBytes>& frames) {
    std::string out = "GIF89a";
    putLe16(out, width);
    putLe16(out, height);
    out += std::string("\x81\x00\x00", 3);
    out += std::string("\xff\xff\xff\x00\x00\x00\x80\x80\x80\xff\x00\x00", 12);
    for (const GifFrameBytes& f : frames) {
        if (f.control) {
            out += std::string("\x21\xf9\x04", 3);
            out.push_back(char(f.disposal << 2 | (f.transparent >= 0 ? 1 : 0)));
            putLe16(out, f.delayHundredths);
            out.push_back(char(f.transparent >= 0 ? f.transparent : 0));
            out.push_back('\0');
        }
        out.push_back(',');
        putLe16(out, f.left);
        putLe16(out, f.top);
        putLe16(out, f.width);
        putLe16(out, f.height);
        out.push_back(f.interlaced ? '\x40' : '\0');
        out += f.lzw;
    }
    return out + ';';
}

// What a GIF's blocks say, walked from the bytes.
struct GifBlocks {
    bool ok = false;
    std::vector<int> controls; // each graphic control's packed field: disposal << 2 | transparency
    std::vector<int> frameWidths; // one per image descriptor
    int loops = -1;               // the browsers' extension's count; -1 without one
};

inline GifBlocks gifBlocks(const std::string& b) {
    GifBlocks g;
    const auto u8 = [&b](size_t at) { return at < b.size() ? int(uint8_t(b[at])) : -1; };
    const auto le16 = [&](size_t at) { return u8(at) | u8(at + 1) << 8; };
    if (b.size() < 13 || b.compare(0, 6, "GIF89a") != 0) return g;
    size_t at = 13 + (u8(10) & 0x80 ? 3u << ((u8(10) & 7) + 1) : 0);
    const auto skipBlocks = [&]() {
        while (at < b.size() && u8(at) > 0) at += size_t(u8(at)) + 1;
        ++at;
    };
    while (at < b.size()) {
        const int kind = u8(at);
        if (kind == ';') {
            g.ok = true;
            return g;
        }
        if (kind == '!') {
            const int label = u8(at + 1);
            if (label == 0xF9) g.controls.push_back(u8(at + 3));
            if (label == 0xFF && b.compare(at + 3, 11, "NETSCAPE2.0") == 0) g.loops = le16(at + 16);
            at += 2;
            skipBlocks();
        } else if (kind == ',') {
            g.frameWidths.push_back(le16(at + 5));
            const int packed = u8(at + 9);
            at += 10 + (packed & 0x80 ? 3u << ((packed & 7) + 1) : 0);
            ++at; // the minimum code size
            skipBlocks();
        } else {
            return g;
        }
    }
    return g;
}

} // namespace dedur::test
