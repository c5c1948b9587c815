#include "patternfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "../fileread.h"
#include "../safewrite.h"
#include "../textlines.h"

namespace dedur {

namespace {

constexpr size_t SignatureLimit = 31;
constexpr size_t LineLimit = 255;

bool isHeaderLine(const LinePiece& piece) {
    if (piece.length() < 4) return false;
    static const char size[] = "SIZE";
    for (size_t i = 0; i < 4; ++i) {
        char c = piece.at(i);
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != size[i]) return false;
    }
    return true;
}

bool isSeparator(char c) {
    return c == ' ' || c == '=' || c == '*';
}

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Decimal conversion as atoi does it: leading white space, a sign, digits.
long long toInteger(std::string_view token) {
    size_t i = 0;
    while (i < token.size() && isSpace(token[i])) ++i;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
    long long value = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
        if (value < 1000000000000LL) value = value * 10 + (token[i] - '0');
    }
    return negative ? -value : value;
}

// The six numbers after the keyword; missing ones are 0.
PatternHeader parseHeaderLine(const LinePiece& piece) {
    // The line as the buffer holds it, line end included: the end of line is
    // part of the last token, and atoi skips it.
    std::string_view line = piece.text;
    const size_t length = piece.length();
    int16_t values[6] = {0, 0, 0, 0, 0, 0};
    size_t i = 0;
    int token = 0;
    while (token < 7) {
        while (i < length && isSeparator(piece.at(i))) ++i;
        if (i >= length) break;
        const size_t start = i;
        while (i < length && !isSeparator(piece.at(i))) ++i;
        if (token > 0) {
            const size_t end = std::min(i, line.size());
            const std::string_view text = start < end ? line.substr(start, end - start) : "";
            values[token - 1] = static_cast<int16_t>(static_cast<uint16_t>(toInteger(text)));
        }
        ++token;
    }
    return {values[0], values[1], values[2], values[3], values[4], values[5]};
}

ReadResult tooLarge(const std::string& path) {
    return {ReadStatus::TooLarge, patternFileTooLarge(path)};
}

ReadResult noPattern() {
    return {ReadStatus::NoPattern,
            {"No pattern in file", "error", MessageButtons::Ok, MessageIcon::Question}};
}

bool sideInRange(int side) {
    return side >= 1 && side <= MaxPatternSide;
}

Message badSizeMessage(const std::string& path, int number, const PatternHeader& h) {
    return {formatText("Pattern %d in file \"%s\" has the size %d x %d; a side must be 1 to %d",
                       number, printable(path).c_str(), h.width, h.height, MaxPatternSide),
            "Format error", MessageButtons::Ok, MessageIcon::Question};
}

// The first pass over the text after the signature: the total size of the
// records its headers declare.
ReadResult measurePatterns(LineReader& reader, const std::string& path, size_t& total) {
    LinePiece piece;
    int count = 0;
    while (reader.next(piece, LineLimit)) {
        if (!isHeaderLine(piece)) continue;
        const PatternHeader header = parseHeaderLine(piece);
        ++count;
        if (!sideInRange(header.width) || !sideInRange(header.height)) {
            return {ReadStatus::BadSize, badSizeMessage(path, count, header)};
        }
        total += recordLength(header);
        if (total > MaxPatternData) return tooLarge(path);
    }
    if (count == 0) return noPattern();
    return {};
}

} // namespace

Message patternFileNotFound(const std::string& path, const char* caption) {
    return {formatText("Pattern file \"%s\" not found", printable(path).c_str()), caption,
            MessageButtons::RetryCancel, MessageIcon::Question};
}

Message patternFileTooLarge(const std::string& path) {
    return {formatText("Pattern file \"%s\" holds more patterns than can be loaded",
                       printable(path).c_str()),
            "error", MessageButtons::Ok, MessageIcon::Question};
}

bool exceedsPatternFileSize(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           static_cast<unsigned long long>(status.st_size) > MaxPatternFileSize;
}

Message overwriteQuestion(const std::string& path) {
    return {formatText("%s Does Exists, Overwrite ?", printable(path).c_str()), " ",
            MessageButtons::YesNo, MessageIcon::Question};
}

bool fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

bool fileCanBeRead(const std::string& path) {
    // Non-blocking, so that a pipe without a writer cannot hang the question.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat status {};
    const bool file = ::fstat(fd, &status) == 0 && !S_ISDIR(status.st_mode);
    ::close(fd);
    return file;
}

ReadResult readPatternFile(Document& doc, const std::string& path) {
    std::string text;
    const FileReadStatus status = readFileLimited(path, MaxPatternFileSize, text);
    if (status == FileReadStatus::TooLarge) return tooLarge(path);
    if (status != FileReadStatus::Ok) {
        return {ReadStatus::NotFound, patternFileNotFound(path, "Can't Open File")};
    }
    try {
        return readPatternText(doc, text, path);
    } catch (const std::bad_alloc&) {
        return tooLarge(path);
    }
}

ReadResult readPatternText(Document& doc, std::string_view text, const std::string& path) {
    LineReader reader(text);
    LinePiece piece;

    // The signature: the first line, its last character dropped.
    std::string head;
    if (reader.next(piece, SignatureLimit)) {
        head.assign(piece.text);
        if (piece.hasLineEnd) head.push_back('\n');
        if (!head.empty()) head.pop_back();
    }
    if (head.compare(0, 7, "PATTERN") != 0) {
        return {ReadStatus::BadHead,
                {formatText("Pattern file head (%s)(%s) error", printable(head).c_str(), "PATTERN"),
                 "Format error", MessageButtons::Ok, MessageIcon::Question}};
    }

    // First pass: count the patterns and their total size.
    size_t total = 0;
    if (ReadResult counted = measurePatterns(reader, path, total); !counted.ok()) return counted;
    // Second pass: build the records. A header swallowed as a row by a short
    // pattern before it is lost here, as the format has always done.
    std::vector<uint8_t> store;
    try {
        store.reserve(total);
    } catch (const std::bad_alloc&) {
        return tooLarge(path);
    }
    int records = 0;
    reader.rewind();
    while (reader.next(piece, LineLimit)) {
        if (!isHeaderLine(piece)) continue;
        const PatternHeader header = parseHeaderLine(piece);
        ++records;
        if (!sideInRange(header.width) || !sideInRange(header.height)) {
            return {ReadStatus::BadSize, badSizeMessage(path, records, header)};
        }
        const size_t at = store.size();
        if (at + recordLength(header) > MaxPatternData) {
            return tooLarge(path);
        }
        store.resize(at + recordLength(header), DOT_OFF);
        encodeHeader(header, store.data() + at);
        uint8_t* dots = store.data() + at + HeaderSize;
        for (int row = 0; row < header.height; ++row) {
            if (!reader.next(piece, LineLimit)) break;
            const size_t n = std::min(piece.text.size(), static_cast<size_t>(header.width));
            uint8_t* out = dots + static_cast<size_t>(row) * static_cast<size_t>(header.width);
            const char* in = piece.text.data();
            // Branch-free so that it vectorises: '1' -> '1', anything else -> '0'.
            for (size_t x = 0; x < n; ++x) out[x] = static_cast<uint8_t>(DOT_OFF + (in[x] == '1'));
        }
    }
    // The second pass reads the signature line in longer pieces than the
    // first; in a first line of over 31 characters the two can disagree, and
    // a file whose headers all hid there loads nothing.
    if (records == 0) return noPattern();
    doc.store = std::move(store);
    invalidateRecordIndex(doc);
    doc.patternCount = records;
    return {};
}

std::string formatPatternFile(const Document& doc) {
    std::string out;
    size_t estimate = 32;
    for (size_t offset = 0; offset + HeaderSize <= doc.store.size();) {
        const PatternHeader h = decodeHeader(doc.store.data() + offset);
        estimate += 48 + static_cast<size_t>(std::max<int>(h.height, 0)) *
                             (static_cast<size_t>(std::max<int>(h.width, 0)) + 2);
        offset += recordLength(h);
    }
    out.reserve(estimate);
    out += "PATTERN\r\n";
    out += std::to_string(doc.patternCount);
    out += "\r\n";
    size_t offset = 0;
    for (int i = 0; i < doc.patternCount && offset + HeaderSize <= doc.store.size(); ++i) {
        const PatternHeader h = decodeHeader(doc.store.data() + offset);
        if (h.width > MaxPatternSide || h.height > MaxPatternSide) break;
        const size_t length = recordLength(h);
        if (offset + length > doc.store.size()) break;
        char line[80];
        const int n = std::snprintf(line, sizeof line, "SIZE %d %d %d %d %d %d\r\n", h.width,
                                    h.height, h.beginSeg, h.beginCom, h.leftToRight, h.topToBottom);
        out.append(line, static_cast<size_t>(n));
        const char* dots = reinterpret_cast<const char*>(doc.store.data() + offset + HeaderSize);
        const size_t width = static_cast<size_t>(std::max<int>(h.width, 0));
        for (int row = 0; row < h.height; ++row) {
            out.append(dots + static_cast<size_t>(row) * width, width);
            out += "\r\n";
        }
        offset += length;
    }
    return out;
}

WriteResult writePatternFile(Document& doc, const std::string& path) {
    const WriteOutcome outcome = writeFileSafely(path, formatPatternFile(doc));
    if (!outcome.ok()) {
        return {false,
                {formatText("%s\nfile open error !", printable(path).c_str()), "Open error",
                 MessageButtons::Ok, MessageIcon::Question},
                outcome.reason()};
    }
    doc.modifiedFlag = false;
    return {true, {}, {}};
}

} // namespace dedur
