#include "image/imagefile.h"
#include "image/photofile.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <png.h>

#include "base/fileread.h"
#include "base/numbertext.h"
#include "image/gifanimation.h"
#include "image/xbmfile.h"

namespace dedur {

namespace {

Outcome refusal(const std::string& path, const char* why) {
    return Outcome::refused({formatText("\"%s\" %s", printable(path).c_str(), why), " ",
                             MessageButtons::Ok, MessageIcon::Question});
}

struct PngReadState {
    std::string_view data;
    size_t at = 0;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (state->data.size() - state->at < length) png_error(png, "file cut short");
    std::memcpy(out, state->data.data() + state->at, length);
    state->at += length;
}

void quietWarning(png_structp, png_const_charp) {}

// A damaged file is reported by our own message, not on the console.
[[noreturn]] void quietError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// What a PNG read needs, made before libpng may jump back: the function
// that calls setjmp holds nothing a jump would skip.
struct PngReadJob {
    PngReadState* state;
    RgbaImage* out;
    uint64_t maxPixels;
    std::vector<png_bytep>* rows;
};

bool runPngRead(const PngReadJob& job) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, job.state, readFromMemory);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width == 0 || height == 0 || uint64_t{width} * height > job.maxPixels) {
        png_error(png, "size");
    }
    // Whatever the file's form, 8-bit RGBA comes out.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    job.out->width = static_cast<int>(width);
    job.out->height = static_cast<int>(height);
    job.out->rgba.assign(size_t{width} * height * 4, 0);
    job.rows->resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        (*job.rows)[y] = job.out->rgba.data() + size_t{y} * width * 4;
    }
    png_read_image(png, job.rows->data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool decodePng(std::string_view data, RgbaImage& out, uint64_t maxPixels) {
    PngReadState state{data, 0};
    std::vector<png_bytep> rows;
    return runPngRead({&state, &out, maxPixels, &rows});
}

// An X bitmap (xbmfile.h), the leftmost dot of each byte in bit 0.
bool decodeXbm(std::string_view data, RgbaImage& out, uint64_t maxPixels) {
    XbmPicture picture;
    std::string why;
    if (!parseXbm(data, 1 << 16, maxPixels, picture, why)) return false;
    const size_t stride = (static_cast<size_t>(picture.width) + 7) / 8;
    out.width = picture.width;
    out.height = picture.height;
    out.rgba.assign(static_cast<size_t>(out.width) * static_cast<size_t>(out.height) * 4, 0xFF);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            if (!(picture.bits[static_cast<size_t>(y) * stride + static_cast<size_t>(x / 8)] >>
                      (x % 8) &
                  1)) {
                continue;
            }
            uint8_t* p = out.rgba.data() + 4 * (static_cast<size_t>(y) * out.width + x);
            p[0] = p[1] = p[2] = 0;
        }
    }
    return true;
}

// PBM: "P1" (digits) or "P4" (packed bits), a set bit is black.
bool decodePbm(std::string_view data, RgbaImage& out, uint64_t maxPixels) {
    size_t at = 2;
    auto skip = [&] {
        for (;;) {
            while (at < data.size() && std::strchr(" \t\r\n", data[at])) ++at;
            if (at < data.size() && data[at] == '#') {
                while (at < data.size() && data[at] != '\n') ++at;
                continue;
            }
            return;
        }
    };
    auto number = [&](long& value) {
        skip();
        value = 0;
        const size_t start = at;
        while (at < data.size() && data[at] >= '0' && data[at] <= '9' && value < 1000000) {
            value = value * 10 + (data[at++] - '0');
        }
        return at > start;
    };
    long width = 0, height = 0;
    if (!number(width) || !number(height) || width <= 0 || height <= 0 ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > maxPixels) {
        return false;
    }
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.rgba.assign(static_cast<size_t>(width * height) * 4, 0xFF);
    const bool packed = data[1] == '4';
    if (packed) ++at; // the single white space after the height
    const size_t rowBytes = static_cast<size_t>((width + 7) / 8);
    for (long y = 0; y < height; ++y) {
        for (long x = 0; x < width; ++x) {
            bool black;
            if (packed) {
                const size_t byte =
                    at + static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x / 8);
                if (byte >= data.size()) return false;
                black = (static_cast<uint8_t>(data[byte]) >> (7 - x % 8)) & 1;
            } else {
                skip();
                if (at >= data.size() || (data[at] != '0' && data[at] != '1')) return false;
                black = data[at++] == '1';
            }
            if (black) {
                uint8_t* p = out.rgba.data() + static_cast<size_t>(y * width + x) * 4;
                p[0] = p[1] = p[2] = 0;
            }
        }
    }
    return true;
}

void appendToString(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

void noFlush(png_structp) {}

} // namespace

Outcome imageSizeRefusal(const std::string& path, uint64_t width, uint64_t height,
                         uint64_t maxPixels) {
    if (width * height <= maxPixels) return {};
    return Outcome::refused(
        {formatText("\"%s\" has %llu x %llu pixels; an image of more than %llu pixels "
                    "is not imported",
                    printable(path).c_str(), static_cast<unsigned long long>(width),
                    static_cast<unsigned long long>(height),
                    static_cast<unsigned long long>(maxPixels)),
         " ", MessageButtons::Ok, MessageIcon::Question});
}

Outcome imageHeaderRefusal(std::string_view data, const std::string& path, uint64_t maxPixels) {
    // A PNG's size stands in its header chunk, before any pixel.
    if (data.size() < 24 || data.compare(0, 8, "\x89PNG\r\n\x1a\n", 8) != 0 ||
        data.compare(12, 4, "IHDR") != 0) {
        return {};
    }
    const auto be32 = [&](size_t at) {
        uint64_t v = 0;
        for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<uint8_t>(data[at + i]);
        return v;
    };
    return imageSizeRefusal(path, be32(16), be32(20), maxPixels);
}

Message imageReadRefusal(const std::string& path, FileReadStatus status) {
    return {formatText("Could not read \"%s\": %s", printable(path).c_str(),
                       readFailureReason(path, status).c_str()),
            " ", MessageButtons::Ok, MessageIcon::Question};
}

Outcome readImageFile(const std::string& path, RgbaImage& out, uint64_t maxPixels) {
    std::string data;
    const FileReadStatus status = readFileLimited(path, limits::ImageFileBytes, data);
    if (status != FileReadStatus::Ok) return Outcome::refused(imageReadRefusal(path, status));
    return decodeImage(data, path, out, maxPixels);
}

Outcome decodeImage(std::string_view data, const std::string& path, RgbaImage& out,
                    uint64_t maxPixels) {
    static const char pngSignature[] = "\x89PNG\r\n\x1a\n";
    if (data.compare(0, 8, pngSignature, 8) == 0) {
        if (Outcome refused = imageHeaderRefusal(data, path, maxPixels); !refused.ok()) {
            return refused;
        }
        if (decodePng(data, out, maxPixels)) return {};
        return refusal(path, "is a damaged PNG image, or one too large");
    }
    if (data.size() > 2 && data[0] == 'P' && (data[1] == '1' || data[1] == '4')) {
        if (decodePbm(data, out, maxPixels)) return {};
        return refusal(path, "is a damaged PBM image, or one too large");
    }
    if (data.substr(0, 3) == "GIF") {
        // The screen's size stands in the header; the first frame alone is
        // read, an animation's others are for the callers that ask.
        if (data.size() >= 10) {
            const auto le16 = [&data](size_t at) {
                return uint64_t(uint8_t(data[at])) | uint64_t(uint8_t(data[at + 1])) << 8;
            };
            if (Outcome refused = imageSizeRefusal(path, le16(6), le16(8), maxPixels);
                !refused.ok()) {
                return refused;
            }
        }
        std::vector<GifFrame> frames;
        if (Outcome decoded = decodeGifFrames(data, path, 65535, 1, frames, true); !decoded.ok()) {
            return decoded;
        }
        out = std::move(frames.front().image);
        return {};
    }
    if (data.substr(0, 7) == "#define") {
        if (decodeXbm(data, out, maxPixels)) return {};
        return refusal(path, "is a damaged XBM image, or one too large");
    }
    if (isBmp(data)) return decodeBmp(data, path, out, maxPixels);
    if (isJpeg(data)) return decodeJpeg(data, path, out, maxPixels);
    return refusal(path, "is not a PNG, PBM, XBM, GIF, BMP or JPEG image");
}

namespace {

struct PngWriteJob {
    const IndexedImage* image;
    std::string* bytes;
    const std::vector<png_color>* palette;
    int depth;
    std::vector<png_byte>* row;
};

// As runPngRead: nothing here that a jump back to setjmp would skip.
bool runPngWrite(const PngWriteJob& job) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const IndexedImage& image = *job.image;
    png_set_write_fn(png, job.bytes, appendToString, noFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), job.depth, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, job.palette->data(), static_cast<int>(job.palette->size()));
    png_write_info(png, info);
    const int perByte = 8 / job.depth;
    std::vector<png_byte>& row = *job.row;
    for (int y = 0; y < image.height; ++y) {
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < image.width; ++x) {
            const unsigned index = image.pixels[static_cast<size_t>(y * image.width + x)];
            const int shift = 8 - job.depth * (x % perByte + 1);
            row[static_cast<size_t>(x / perByte)] |= static_cast<png_byte>(index << shift);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::string encodePng(const IndexedImage& image) {
    std::string bytes;
    const size_t colours = image.palette.size();
    const int depth = colours <= 2 ? 1 : (colours <= 4 ? 2 : 8);
    std::vector<png_color> palette;
    for (uint32_t c : image.palette) {
        palette.push_back({static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8),
                           static_cast<png_byte>(c)});
    }
    const int perByte = 8 / depth;
    std::vector<png_byte> row(static_cast<size_t>((image.width + perByte - 1) / perByte));
    if (!runPngWrite({&image, &bytes, &palette, depth, &row})) return {};
    return bytes;
}

namespace {

// Whether each palette entry prints black.
std::vector<bool> darkEntries(const IndexedImage& image) {
    std::vector<bool> dark;
    for (uint32_t c : image.palette) {
        const int grey =
            (299 * int(c >> 16 & 0xFF) + 587 * int(c >> 8 & 0xFF) + 114 * int(c & 0xFF)) / 1000;
        dark.push_back(grey < 128);
    }
    return dark;
}

// Rows of whole bytes, the first pixel of each byte in bit 7 (`msbFirst`) or 0.
std::vector<uint8_t> packedRows(const IndexedImage& image, bool msbFirst) {
    const std::vector<bool> dark = darkEntries(image);
    const size_t stride = (static_cast<size_t>(image.width) + 7) / 8;
    std::vector<uint8_t> bytes(stride * static_cast<size_t>(image.height), 0);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t index = image.pixels[static_cast<size_t>(y * image.width + x)];
            if (index >= dark.size() || !dark[index]) continue;
            const int bit = msbFirst ? 7 - x % 8 : x % 8;
            bytes[static_cast<size_t>(y) * stride + static_cast<size_t>(x / 8)] |=
                static_cast<uint8_t>(1u << bit);
        }
    }
    return bytes;
}

} // namespace

std::string encodePbm(const IndexedImage& image) {
    const std::vector<uint8_t> bytes = packedRows(image, true);
    std::string out =
        "P4\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n";
    out.append(bytes.begin(), bytes.end());
    return out;
}

std::string encodeXbm(const IndexedImage& image, const std::string& name,
                      const std::optional<std::pair<int, int>>& hotSpot) {
    const std::vector<uint8_t> bytes = packedRows(image, false);
    std::string out = "#define " + name + "_width " + std::to_string(image.width) + "\n#define " +
                      name + "_height " + std::to_string(image.height) + "\n";
    if (hotSpot) {
        out += "#define " + name + "_x_hot " + std::to_string(hotSpot->first) + "\n#define " +
               name + "_y_hot " + std::to_string(hotSpot->second) + "\n";
    }
    out += "static unsigned char " + name + "_bits[] = {";
    for (size_t i = 0; i < bytes.size(); ++i) {
        out += i % 12 == 0 ? "\n   " : " ";
        out += formatText("0x%02x", bytes[i]);
        if (i + 1 < bytes.size()) out += ',';
    }
    out += "};\n";
    return out;
}

} // namespace dedur
