#include "fonts/glyphfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "base/fileread.h"

#include "base/safewrite.h"
#include "document/patternstore.h"
#include "fonts/big5.h"
#include "settings/settingsfile.h"

namespace dedur {

GlyphKind glyphKind(EditMode editType) {
    switch (editType) {
    case EditMode::Font16x15:
        return {16, 15, 30, Big5GlyphCount};
    case EditMode::Font24x24:
        return {24, 24, 72, Big5GlyphCount};
    case EditMode::Ascii8x15:
        return {8, 15, 15, 127};
    case EditMode::Special16x15:
        return {16, 15, 30, 407};
    case EditMode::SpecialSupp16x15:
        return {16, 15, 30, 364};
    default:
        return {};
    }
}

void makeFontPaths(FontEdit& fe, const std::string& directory) {
    fe.std16x15Path = makeWorkPath(directory, Std16x15FileName);
    fe.std24Path = makeWorkPath(directory, Std24FileName);
    fe.asciiPath = makeWorkPath(directory, AsciiFileName);
    fe.specialPath = makeWorkPath(directory, SpecialFileName);
    fe.specialSuppPath = makeWorkPath(directory, SpecialSuppFileName);
}

std::string fontPathFor(const FontEdit& fe, EditMode editType) {
    switch (editType) {
    case EditMode::Font16x15:
        return fe.std16x15Path;
    case EditMode::Font24x24:
        return fe.std24Path;
    case EditMode::Ascii8x15:
        return fe.asciiPath;
    case EditMode::Special16x15:
        return fe.specialPath;
    case EditMode::SpecialSupp16x15:
        return fe.specialSuppPath;
    default:
        return {};
    }
}

bool accessGlyphRecord(const std::string& path, long record, int size, uint8_t* buffer,
                       GlyphAccess operation, Message* error) {
    const auto openFailure = [&](const char* why = "") {
        if (error) {
            *error = {formatText("%s Open Failure !%s", printable(path).c_str(), why), "",
                      MessageButtons::Ok, MessageIcon::None};
        }
        return false;
    };
    const long offset = record * size;
    if (operation != GlyphAccess::Read) {
        const Outcome outcome =
            writeFileRange(path, static_cast<uint64_t>(offset), buffer, static_cast<size_t>(size));
        if (outcome.failure == Failure::Refused && outcome.error == NotRegularFile)
            return openFailure("\n(it is not a regular file)");
        if (outcome.failedToOpen()) return openFailure();
        if (!outcome.ok()) {
            if (error) *error = outcome.message;
            return false;
        }
        return true;
    }
    FileReadStatus status = FileReadStatus::CannotOpen;
    const int fd = path.empty() ? -1 : openRegularFile(path, status);
    if (fd < 0) {
        return openFailure(status == FileReadStatus::NotRegularFile ? "\n(it is not a regular file)"
                                                                    : "");
    }
    // Past the end of a short file the record reads blank.
    std::memset(buffer, 0, static_cast<size_t>(size));
    size_t done = 0;
    while (offset >= 0 && done < static_cast<size_t>(size)) {
        const ssize_t n = ::pread(fd, buffer + done, static_cast<size_t>(size) - done,
                                  static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return true;
}

long expectedGlyphFileSize(EditMode editType) {
    const GlyphKind kind = glyphKind(editType);
    const bool numbered = editType != EditMode::Font16x15 && editType != EditMode::Font24x24;
    return static_cast<long>(kind.count + (numbered ? 1 : 0)) * kind.recordSize;
}

Message glyphFileSizeWarning(const FontEdit& fe, EditMode editType) {
    const std::string path = fontPathFor(fe, editType);
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
    const long expected = expectedGlyphFileSize(editType);
    if (status.st_size == expected) return {};
    const char* then = status.st_size > expected
                           ? "What it holds past them would be lost: it is not written, "
                             "no glyph is saved into it and no font imported."
                           : "Glyphs past its end show blank, and saving one there makes the "
                             "file longer.";
    return {formatText("%s holds %lld bytes, not the %ld bytes of %d glyphs of %d bytes.\n%s",
                       printable(path).c_str(), static_cast<long long>(status.st_size), expected,
                       static_cast<int>(expected / glyphKind(editType).recordSize),
                       glyphKind(editType).recordSize, then),
            " ", MessageButtons::Ok, MessageIcon::Question};
}

int accessBig5Glyph(const FontEdit& fe, EditMode editType, int lead, int trail, uint8_t* buffer,
                    GlyphAccess operation, Message* error) {
    const int index = big5GlyphIndex(lead, trail);
    if (index < 0 || (editType != EditMode::Font16x15 && editType != EditMode::Font24x24))
        return -1;
    const GlyphKind kind = glyphKind(editType);
    if (!accessGlyphRecord(fontPathFor(fe, editType), index, kind.recordSize, buffer, operation,
                           error)) {
        return -1;
    }
    return index;
}

int accessAsciiGlyph(const FontEdit& fe, int number, uint8_t* buffer, GlyphAccess operation,
                     Message* error) {
    const GlyphKind kind = glyphKind(EditMode::Ascii8x15);
    if (number < 1 || number > kind.count) return -1;
    return accessGlyphRecord(fe.asciiPath, number, kind.recordSize, buffer, operation, error) ? 1
                                                                                              : -1;
}

int accessSpecialGlyph(const FontEdit& fe, EditMode editType, int number, uint8_t* buffer,
                       GlyphAccess operation, Message* error) {
    if (editType != EditMode::Special16x15 && editType != EditMode::SpecialSupp16x15) return -1;
    const GlyphKind kind = glyphKind(editType);
    if (number < 1 || number > kind.count) return -1;
    return accessGlyphRecord(fontPathFor(fe, editType), number, kind.recordSize, buffer, operation,
                             error)
               ? 1
               : -1;
}

void glyphToDots(Document& doc, EditMode editType, const uint8_t* record) {
    const GlyphKind kind = glyphKind(editType);
    const int bytesPerRow = kind.width / 8;
    size_t out = 0;
    for (int row = 0; row < kind.height; ++row) {
        uint32_t bits = 0;
        for (int b = 0; b < bytesPerRow; ++b) bits = bits << 8 | record[row * bytesPerRow + b];
        for (int bit = kind.width - 1; bit >= 0; --bit) {
            doc.workDots[out++] = (bits >> bit & 1) ? DOT_ON : DOT_OFF;
        }
    }
    storeWorkDots(doc);
}

namespace {

template <size_t N> std::array<uint8_t, N> pack(const Document& doc, int width, int height) {
    std::array<uint8_t, N> record{};
    const int bytesPerRow = width / 8;
    for (int row = 0; row < height; ++row) {
        uint32_t bits = 0;
        for (int x = 0; x < width; ++x) {
            bits = bits << 1 | (doc.workDots[static_cast<size_t>(row * width + x)] == DOT_ON);
        }
        for (int b = 0; b < bytesPerRow; ++b) {
            record[static_cast<size_t>(row * bytesPerRow + b)] =
                static_cast<uint8_t>(bits >> (8 * (bytesPerRow - 1 - b)));
        }
    }
    return record;
}

} // namespace

std::array<uint8_t, 30> packGlyph16(const Document& doc) {
    return pack<30>(doc, 16, 15);
}

std::array<uint8_t, 72> packGlyph24(const Document& doc) {
    return pack<72>(doc, 24, 24);
}

} // namespace dedur
