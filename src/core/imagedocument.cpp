#include "imagedocument.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "base/fileread.h"
#include "base/limits.h"
#include "base/safewrite.h"
#include "code/codejob.h"
#include "document/dotpacking.h"
#include "document/patternfile.h"
#include "image/gifanimation.h"
#include "image/imagefile.h"
#include "image/xbmfile.h"

namespace dedur {

namespace {

Outcome refused(const std::string& path, const std::string& why) {
    return Outcome::refused(
        {quotedPath(path) + " " + why, " ", MessageButtons::Ok, MessageIcon::Question});
}

std::string sizeText(uint64_t width, uint64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// Checked on the sizes a header declares, before any pixel is decoded.
Outcome sideRefusal(const std::string& path, uint64_t width, uint64_t height, uint64_t frames) {
    const uint64_t side = limits::ImageSide;
    if (width < 1 || height < 1 || width > side || height > side) {
        return refused(path, "is " + sizeText(width, height) +
                                 " pixels; an image is opened of 1 to " + std::to_string(side) +
                                 " pixels a side");
    }
    if (width * height * frames > limits::ImageDocumentDots) {
        return refused(path, "has " + std::to_string(frames) + " frames of " +
                                 sizeText(width, height) +
                                 " pixels; an image is opened of at most " +
                                 std::to_string(limits::ImageDocumentDots) + " pixels in all");
    }
    return {};
}

// The PBM header's width and height as written (digits only).
bool pbmHeader(std::string_view data, std::string_view& width, std::string_view& height) {
    size_t at = 2;
    const auto number = [&](std::string_view& digits) {
        for (;;) {
            while (at < data.size() && std::isspace(static_cast<unsigned char>(data[at]))) ++at;
            if (at >= data.size() || data[at] != '#') break;
            while (at < data.size() && data[at] != '\n') ++at;
        }
        const size_t start = at;
        while (at < data.size() && data[at] >= '0' && data[at] <= '9') ++at;
        digits = data.substr(start, at - start);
        return !digits.empty();
    };
    return number(width) && number(height);
}

// Digits as a number, any too long to hold taken as more than every limit.
uint64_t declared(std::string_view digits) {
    if (digits.size() > 12) return uint64_t{1} << 40;
    uint64_t value = 0;
    for (char c : digits) value = value * 10 + uint64_t(c - '0');
    return value;
}

// A pixel is a set dot when it is darker than middle grey laid over white;
// a fully transparent one stays clear.
void packRgba(const RgbaImage& image, std::vector<uint8_t>& store) {
    const size_t at = store.size();
    PatternHeader header;
    header.width = static_cast<int16_t>(image.width);
    header.height = static_cast<int16_t>(image.height);
    store.resize(at + recordLength(header), 0);
    encodeHeader(header, store.data() + at);
    uint8_t* rows = store.data() + at + HeaderSize;
    const size_t stride = packedRowBytes(image.width);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p =
                image.rgba.data() + 4 * (size_t(y) * size_t(image.width) + size_t(x));
            const int alpha = p[3];
            const auto over = [alpha](int c) { return (c * alpha + 255 * (255 - alpha)) / 255; };
            const int grey = (299 * over(p[0]) + 587 * over(p[1]) + 114 * over(p[2])) / 1000;
            if (grey < 128) rows[size_t(y) * stride + size_t(x / 8)] |= uint8_t(1u << (x % 8));
        }
    }
}

void packXbm(const XbmPicture& picture, std::vector<uint8_t>& store) {
    PatternHeader header;
    header.width = static_cast<int16_t>(picture.width);
    header.height = static_cast<int16_t>(picture.height);
    const size_t at = store.size();
    store.resize(at + HeaderSize);
    encodeHeader(header, store.data() + at);
    store.insert(store.end(), picture.bits.begin(), picture.bits.end());
    // The store keeps no bit past a row's width.
    const size_t stride = packedRowBytes(picture.width);
    if (picture.width % 8 == 0) return;
    const uint8_t keep = uint8_t((1u << (picture.width % 8)) - 1);
    for (int y = 0; y < picture.height; ++y) {
        store[at + HeaderSize + size_t(y + 1) * stride - 1] &= keep;
    }
}

// How often a GIF plays, as GifAnimation counts (0 for ever, 1 once): from
// the browsers' loop extension, which holds the repeats after the first.
int gifPlays(std::string_view data) {
    for (const std::string_view id : {"NETSCAPE2.0", "ANIMEXTS1.0"}) {
        const size_t at = data.find(id);
        if (at == std::string_view::npos || at < 3 || uint8_t(data[at - 1]) != 11 ||
            data.size() - at < id.size() + 4 || data[at + id.size()] != 3 ||
            data[at + id.size() + 1] != 1) {
            continue;
        }
        const int repeats = uint8_t(data[at + id.size() + 2]) | uint8_t(data[at + id.size() + 3])
                                                                    << 8;
        return repeats == 0 ? 0 : std::min(repeats + 1, limits::GifLoopsMax);
    }
    return 1;
}

struct ReadImage {
    std::vector<uint8_t> store;
    int frames = 0;
    std::map<int, int> delays;
    ImageFacts facts;
};

Outcome readGif(std::string_view data, const std::string& path, ReadImage& out) {
    const auto le16 = [&data](size_t at) {
        return uint64_t(uint8_t(data[at])) | uint64_t(uint8_t(data[at + 1])) << 8;
    };
    // The screen's size first, said as an image's.
    if (data.size() < 10) return refused(path, "is a damaged GIF image (cut short)");
    if (Outcome sides = sideRefusal(path, le16(6), le16(8), 1); !sides.ok()) return sides;
    int frames = 0;
    if (Outcome checked = checkGifHeaders(data, path, limits::ImageSide, limits::GifFrames, frames);
        !checked.ok()) {
        return checked;
    }
    if (Outcome sides = sideRefusal(path, le16(6), le16(8), uint64_t(std::max(frames, 1)));
        !sides.ok()) {
        return sides;
    }
    Outcome drawn = eachGifFrame(data, path, limits::ImageSide, limits::GifFrames,
                                 [&out](const RgbaImage& screen, int delayMs) {
                                     packRgba(screen, out.store);
                                     ++out.frames;
                                     // Under two hundredths players show a
                                     // frame for the usual tenth of a second.
                                     if (delayMs >= 20) {
                                         out.delays[out.frames] =
                                             std::min(delayMs, limits::FrameDelayMs);
                                     }
                                 });
    if (!drawn.ok()) return drawn;
    if (out.frames == 0) return refused(path, "is a GIF image without a frame");
    // A still picture has no delay to keep.
    if (out.frames == 1) out.delays.clear();
    out.facts.loops = gifPlays(data);
    return {};
}

Outcome readImage(std::string_view data, const std::string& path, ReadImage& out) {
    static const char pngSignature[] = "\x89PNG\r\n\x1a\n";
    out.frames = 1;
    if (data.substr(0, 3) == "GIF") {
        out.facts.format = ImageFormat::Gif;
        out.frames = 0;
        return readGif(data, path, out);
    }
    RgbaImage image;
    if (data.compare(0, 8, pngSignature, 8) == 0) {
        out.facts.format = ImageFormat::Png;
        if (data.size() < 24 || data.compare(12, 4, "IHDR") != 0) {
            return refused(path, "is a damaged PNG image");
        }
        const auto be32 = [&data](size_t at) {
            uint64_t v = 0;
            for (size_t i = 0; i < 4; ++i) v = v << 8 | uint8_t(data[at + i]);
            return v;
        };
        if (Outcome sides = sideRefusal(path, be32(16), be32(20), 1); !sides.ok()) return sides;
    } else if (data.size() > 2 && data[0] == 'P' && (data[1] == '1' || data[1] == '4')) {
        out.facts.format = ImageFormat::Pbm;
        std::string_view width, height;
        if (!pbmHeader(data, width, height)) return refused(path, "is a damaged PBM image");
        if (declared(width) > uint64_t(limits::ImageSide) ||
            declared(height) > uint64_t(limits::ImageSide)) {
            return refused(path, "is " + std::string(width.substr(0, 24)) + " x " +
                                     std::string(height.substr(0, 24)) +
                                     " pixels; an image is opened of 1 to " +
                                     std::to_string(limits::ImageSide) + " pixels a side");
        }
        if (Outcome sides = sideRefusal(path, declared(width), declared(height), 1); !sides.ok()) {
            return sides;
        }
    } else {
        XbmPicture picture;
        std::string why;
        if (!parseXbm(data, limits::ImageSide, limits::ImageDocumentDots, picture, why)) {
            if (data.find("#define") == std::string_view::npos) {
                return refused(path, "is not a PBM, XBM, PNG or GIF image");
            }
            return refused(path, "is a damaged XBM image: " + why);
        }
        out.facts.format = ImageFormat::Xbm;
        out.facts.xbmName = picture.name;
        out.facts.xbmHotSpot = picture.hotSpot;
        packXbm(picture, out.store);
        return {};
    }
    const uint64_t side = limits::ImageSide;
    if (Outcome decoded = decodeImage(data, path, image, side * side); !decoded.ok()) {
        return decoded;
    }
    packRgba(image, out.store);
    return {};
}

void takeImage(Document& doc, ReadImage& read) {
    setDocumentKind(doc, DocumentKind::Image);
    doc.editType = EditMode::Pattern;
    doc.store = std::move(read.store);
    doc.patternCount = read.frames;
    doc.currentPattern = 0;
    invalidateRecordIndex(doc);
    reloadWorkDots(doc);
    doc.modifiedFlag = false;
}

} // namespace

std::optional<ImageFormat> imageFormatOfPath(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return std::nullopt;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "pbm") return ImageFormat::Pbm;
    if (extension == "xbm") return ImageFormat::Xbm;
    if (extension == "png") return ImageFormat::Png;
    if (extension == "gif") return ImageFormat::Gif;
    return std::nullopt;
}

const char* imageFormatName(ImageFormat format) {
    switch (format) {
    case ImageFormat::Xbm:
        return "XBM";
    case ImageFormat::Png:
        return "PNG";
    case ImageFormat::Gif:
        return "GIF";
    case ImageFormat::Pbm:
        break;
    }
    return "PBM";
}

std::string xbmNameOfPath(const std::string& path) {
    std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    if (const size_t dot = name.find('.'); dot != std::string::npos) name.resize(dot);
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) name.insert(0, "image_");
    return name;
}

Outcome decodeImageDocument(std::string_view data, const std::string& name, Document& doc,
                            std::map<int, int>& delays, ImageFacts& facts) {
    ReadImage read;
    if (Outcome outcome = readImage(data, name, read); !outcome.ok()) return outcome;
    delays = std::move(read.delays);
    facts = std::move(read.facts);
    takeImage(doc, read);
    return {};
}

Outcome readImageDocument(const std::string& path, Document& doc, Sidecar& sidecar,
                          ImageFacts& facts) {
    std::string data;
    const FileReadStatus status = readFileLimited(path, limits::ImageFileBytes, data);
    if (status != FileReadStatus::Ok) return Outcome::refused(imageReadRefusal(path, status));
    const FileStamp stamp = fileStamp(path);
    ReadImage read;
    if (Outcome outcome = readImage(data, path, read); !outcome.ok()) return outcome;
    data = std::string();
    Sidecar beside;
    if (Outcome outcome = readSidecar(path, beside, read.frames); !outcome.ok()) return outcome;
    beside.delays = std::move(read.delays);
    sidecar = std::move(beside);
    facts = std::move(read.facts);
    takeImage(doc, read);
    doc.patternFileName = path;
    doc.fileStamp = stamp;
    return {};
}

Outcome newImageDocument(Document& doc, int width, int height) {
    if (width < 1 || height < 1 || width > limits::ImageSide || height > limits::ImageSide) {
        return Outcome::refused(
            {"An image is 1 to " + std::to_string(limits::ImageSide) + " dots a side, not " +
                 sizeText(uint64_t(std::max(width, 0)), uint64_t(std::max(height, 0))),
             " ", MessageButtons::Ok, MessageIcon::Question});
    }
    PatternHeader header;
    header.width = static_cast<int16_t>(width);
    header.height = static_cast<int16_t>(height);
    setDocumentKind(doc, DocumentKind::Image);
    doc.editType = EditMode::Pattern;
    doc.store.assign(recordLength(header), 0);
    encodeHeader(header, doc.store.data());
    doc.patternCount = 1;
    doc.currentPattern = 0;
    invalidateRecordIndex(doc);
    reloadWorkDots(doc);
    doc.modifiedFlag = false;
    doc.patternFileName.clear();
    doc.fileStamp = {};
    return {};
}

namespace {

// A frame's dots as palette indices: 0 white, 1 black.
IndexedImage frameImage(const PatternHeader& header, const uint8_t* packed) {
    IndexedImage image;
    image.width = header.width;
    image.height = header.height;
    image.palette = {0xFFFFFF, 0x000000};
    image.pixels.resize(size_t(header.width) * size_t(header.height));
    const size_t stride = packedRowBytes(header.width);
    for (int y = 0; y < header.height; ++y) {
        for (int x = 0; x < header.width; ++x) {
            image.pixels[size_t(y) * size_t(header.width) + size_t(x)] =
                packed[size_t(y) * stride + size_t(x / 8)] >> (x % 8) & 1;
        }
    }
    return image;
}

} // namespace

Outcome writeImageDocument(const std::string& path, const Document& doc, const Sidecar& sidecar,
                           const ImageFacts& facts, ImageFormat format, int frame) {
    std::vector<std::pair<PatternHeader, const uint8_t*>> frames;
    forEachRecord(doc, [&frames](int, const PatternHeader& header, const uint8_t* packed) {
        frames.emplace_back(header, packed);
        return true;
    });
    if (frames.empty() || int(frames.size()) != doc.patternCount) {
        return refused(path, "was not written: the document's frames are damaged");
    }
    if (frame >= int(frames.size())) {
        return refused(path, "was not written: there is no frame " + std::to_string(frame + 1));
    }
    if (frame < 0 && frames.size() > 1 && format != ImageFormat::Gif) {
        return refused(path, std::string("was not written: the image has ") +
                                 std::to_string(frames.size()) + " frames; a " +
                                 imageFormatName(format) +
                                 " file holds one (save the frames as GIF)");
    }
    if (frame >= 0) frames = {frames[size_t(frame)]};
    for (const auto& [header, packed] : frames) {
        if (header.width < 1 || header.height < 1 || header.width > limits::ImageSide ||
            header.height > limits::ImageSide) {
            return refused(path, "was not written: a frame is " +
                                     sizeText(uint64_t(std::max<int>(header.width, 0)),
                                              uint64_t(std::max<int>(header.height, 0))) +
                                     " dots");
        }
    }
    // The delays are the GIF's own; what else the sidecar holds stays beside.
    // A sidecar that cannot be written refuses the save before the image is
    // touched.
    Sidecar beside = sidecar;
    beside.delays.clear();
    const bool withSidecar = beside.chosen() || fileExists(sidecarPath(path));
    if (withSidecar) {
        if (Outcome writable = checkWritable(sidecarPath(path), FileRole::Program);
            !writable.ok()) {
            writable.message = writeFailureMessage(sidecarPath(path), writable);
            return writable;
        }
    }
    Outcome written;
    if (format == ImageFormat::Gif) {
        GifAnimation animation;
        for (const auto& [header, packed] : frames) {
            animation.width = std::max<int>(animation.width, header.width);
            animation.height = std::max<int>(animation.height, header.height);
        }
        animation.loops = std::clamp(facts.loops, 0, limits::GifLoopsMax);
        animation.frames = int(frames.size());
        animation.keepEveryFrame = true;
        const int first = std::max(frame, 0);
        animation.frame = [&frames, &sidecar, first](int i) {
            // Named apart: clang captures no structured binding.
            const PatternHeader header = frames[size_t(i)].first;
            const uint8_t* packed = frames[size_t(i)].second;
            GifFrameSource source{header.width, header.height, sidecar.delayOf(first + i + 1),
                                  nullptr};
            const size_t stride = packedRowBytes(header.width);
            source.row = [header, packed, stride](int y, uint8_t* row) {
                const uint8_t* bits = packed + size_t(y) * stride;
                for (int x = 0; x < header.width; ++x) row[x] = bits[x / 8] >> (x % 8) & 1;
            };
            return source;
        };
        written = writeFileSafely(path, gifByteStream(animation));
    } else {
        const IndexedImage image = frameImage(frames.front().first, frames.front().second);
        std::string bytes;
        if (format == ImageFormat::Pbm) {
            bytes = encodePbm(image);
        } else if (format == ImageFormat::Png) {
            bytes = encodePng(image);
        } else {
            const std::string name =
                isIdentifier(facts.xbmName) ? facts.xbmName : xbmNameOfPath(path);
            std::optional<std::pair<int, int>> hotSpot = facts.xbmHotSpot;
            if (hotSpot && (hotSpot->first >= image.width || hotSpot->second >= image.height)) {
                hotSpot.reset();
            }
            bytes = encodeXbm(image, name, hotSpot);
        }
        if (bytes.empty()) return refused(path, "was not written: the image could not be encoded");
        written = writeFileSafely(path, bytes);
    }
    if (!written.ok()) {
        written.message = writeFailureMessage(path, written);
        return written;
    }
    return withSidecar ? writeSidecar(path, beside) : Outcome{};
}

} // namespace dedur
