#include "image/photofile.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>
#include <stb_image.h>

#include "base/limits.h"

namespace dedur {

namespace {

Outcome damaged(const std::string& path, const char* kind) {
    return Outcome::refused(
        {formatText("\"%s\" is a damaged %s image", printable(path).c_str(), kind), " ",
         MessageButtons::Ok, MessageIcon::Question});
}

// libjpeg reports a fault through its error manager; ours jumps back out of
// the decoder instead of ending the program.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf back;
    bool cutShort = false; // libjpeg fills what is missing with grey: not dots
    bool manyScans = false;
};

[[noreturn]] void jumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->back, 1);
}

// Each progressive scan is a pass over every block of the picture, and a
// scan takes a few bytes: a small file of many scans would take hours.
void countScans(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > limits::JpegScans) {
        reinterpret_cast<JpegErrors*>(info->err)->manyScans = true;
        jumpBack(info);
    }
}

void noteWarning(j_common_ptr info, int level) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    // The data ending early, or at a marker before the last row.
    const int code = errors->manager.msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) errors->cutShort = true;
}

// Everything here is plain data, so that the jump out of libjpeg leaves
// nothing behind but what jpeg_destroy_decompress frees.
// The row buffer is the caller's for the same reason.
bool runJpeg(const unsigned char* bytes, unsigned long size, uint64_t maxPixels, RgbaImage& out,
             std::vector<unsigned char>& row, uint64_t& width, uint64_t& height, bool& manyScans) {
    jpeg_decompress_struct info;
    JpegErrors errors;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = countScans;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpBack;
    errors.manager.emit_message = noteWarning;
    if (setjmp(errors.back)) {
        jpeg_destroy_decompress(&info);
        manyScans = errors.manyScans;
        return false;
    }
    jpeg_create_decompress(&info);
    info.progress = &progress;
    jpeg_mem_src(&info, bytes, size);
    jpeg_read_header(&info, TRUE);
    width = info.image_width;
    height = info.image_height;
    if (width * height > maxPixels) {
        jpeg_destroy_decompress(&info);
        return true; // the caller refuses by the size
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    out.rgba.assign(static_cast<size_t>(out.width) * static_cast<size_t>(out.height) * 4, 255);
    row.resize(static_cast<size_t>(out.width) * 3);
    while (info.output_scanline < info.output_height) {
        const auto y = static_cast<size_t>(info.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        uint8_t* to = out.rgba.data() + y * static_cast<size_t>(out.width) * 4;
        for (int x = 0; x < out.width; ++x)
            std::copy_n(&row[static_cast<size_t>(x) * 3], 3, to + x * 4);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return !errors.cutShort;
}

uint64_t le(std::string_view data, size_t at, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | static_cast<uint8_t>(data[at + static_cast<size_t>(i)]);
    return v;
}

// An uncompressed BMP cut short would be read as blank rows: its rows must
// all be there.
bool bmpRowsPresent(std::string_view data) {
    if (data.size() < 26) return false;
    const uint64_t headerSize = le(data, 14, 4);
    uint64_t width = 0, height = 0, bits = 0, compression = 0;
    if (headerSize == 12) {
        width = le(data, 18, 2);
        height = le(data, 20, 2);
        bits = le(data, 24, 2);
    } else {
        if (data.size() < 34) return false;
        width = le(data, 18, 4);
        const auto h = static_cast<int32_t>(le(data, 22, 4));
        height = static_cast<uint64_t>(h < 0 ? -static_cast<int64_t>(h) : h);
        bits = le(data, 28, 2);
        compression = le(data, 30, 4);
    }
    if (compression != 0 && compression != 3) return true; // run-length: the decoder checks
    const uint64_t stride = (width * bits + 31) / 32 * 4;
    return le(data, 10, 4) + stride * height <= data.size();
}

} // namespace

bool isBmp(std::string_view data) {
    return data.size() >= 26 && data.compare(0, 2, "BM") == 0;
}

bool isJpeg(std::string_view data) {
    return data.size() >= 3 && data.compare(0, 3, "\xFF\xD8\xFF", 3) == 0;
}

Outcome decodeBmp(std::string_view data, const std::string& path, RgbaImage& out,
                  uint64_t maxPixels) {
    const auto* bytes = reinterpret_cast<const stbi_uc*>(data.data());
    const int size = static_cast<int>(std::min<size_t>(data.size(), 0x7FFFFFFF));
    int w = 0, h = 0, channels = 0;
    // A box without pixels would become a pattern without dots.
    if (!stbi_info_from_memory(bytes, size, &w, &h, &channels) || w <= 0 || h <= 0) {
        return damaged(path, "BMP");
    }
    if (Outcome refused =
            imageSizeRefusal(path, static_cast<uint64_t>(w), static_cast<uint64_t>(h), maxPixels);
        !refused.ok()) {
        return refused;
    }
    if (!bmpRowsPresent(data)) return damaged(path, "BMP");
    stbi_uc* pixels = stbi_load_from_memory(bytes, size, &w, &h, &channels, 4);
    if (!pixels) return damaged(path, "BMP");
    out.width = w;
    out.height = h;
    out.rgba.assign(pixels, pixels + static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    stbi_image_free(pixels);
    return {};
}

Outcome decodeJpeg(std::string_view data, const std::string& path, RgbaImage& out,
                   uint64_t maxPixels) {
    uint64_t width = 0, height = 0;
    RgbaImage image;
    std::vector<unsigned char> row;
    bool manyScans = false;
    if (!runJpeg(reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()), maxPixels, image, row, width, height,
                 manyScans)) {
        if (manyScans) {
            return Outcome::refused({formatText("\"%s\" is a JPEG image of more than %d scans; "
                                                "it is not imported",
                                                printable(path).c_str(), limits::JpegScans),
                                     " ", MessageButtons::Ok, MessageIcon::Question});
        }
        return damaged(path, "JPEG");
    }
    if (Outcome refused = imageSizeRefusal(path, width, height, maxPixels); !refused.ok()) {
        return refused;
    }
    out = std::move(image);
    return {};
}

} // namespace dedur
