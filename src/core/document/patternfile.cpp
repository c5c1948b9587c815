#include "document/patternfile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "base/fileread.h"
#include "base/numbertext.h"
#include "base/safewrite.h"
#include "base/textlines.h"

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
            // Far beyond 16 bits the value saturates; the header keeps its low 16 bits.
            values[token - 1] = static_cast<int16_t>(
                static_cast<uint16_t>(leadingDecimal(text, 1000000000000000LL)));
        }
        ++token;
    }
    return {values[0], values[1], values[2], values[3], values[4], values[5]};
}

Outcome tooLarge(const std::string& path) {
    return {Failure::TooLarge, 0, patternFileTooLarge(path)};
}

Outcome noPattern() {
    return {Failure::BadContent,
            0,
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

// What a header asks for, counted as a byte per dot whatever the store
// packs them into.
size_t declaredLength(const PatternHeader& h) {
    return HeaderSize + static_cast<size_t>(h.width) * static_cast<size_t>(h.height);
}

// Every header line seen, those a short pattern swallowed as rows included,
// is checked: a side out of range or more data than can be loaded refuses
// the whole file.
struct HeaderTally {
    int seen = 0;
    size_t declared = 0;
    size_t stored = 0; // what the store needs for them

    std::optional<Outcome> count(const PatternHeader& header, const std::string& path) {
        ++seen;
        if (!sideInRange(header.width) || !sideInRange(header.height)) {
            return Outcome{Failure::BadContent, 0, badSizeMessage(path, seen, header)};
        }
        declared += declaredLength(header);
        if (declared > MaxPatternData) return tooLarge(path);
        stored += recordLength(header);
        return std::nullopt;
    }
};

// Calls the caller's progress report every few megabytes; a file read twice
// reports each pass as half of the work.
class ProgressMeter {
  public:
    ProgressMeter(const FileProgress& report, uint64_t size) : report_(report), size_(size) {}

    void at(uint64_t position) {
        if (!report_ || position < next_) return;
        next_ = position + Step;
        report_(passes_ == 1 ? position : (pass_ * size_ + position) / 2, size_);
    }
    void readTwice() { passes_ = 2; }
    void secondPass() {
        pass_ = 1;
        next_ = 0;
    }

  private:
    static constexpr uint64_t Step = uint64_t{8} << 20;
    const FileProgress& report_;
    uint64_t size_;
    uint64_t next_ = 0;
    int passes_ = 1;
    uint64_t pass_ = 0;
};

// The first of two passes over the text after the signature: the total size
// of the records its headers declare.
Outcome measurePatterns(LineReader& reader, const std::string& path, size_t& total,
                        ProgressMeter& meter) {
    LinePiece piece;
    HeaderTally tally;
    while (reader.next(piece, LineLimit)) {
        if (!isHeaderLine(piece)) continue;
        if (auto refused = tally.count(parseHeaderLine(piece), path)) return *refused;
        meter.at(reader.position());
    }
    if (tally.seen == 0) return noPattern();
    total = tally.stored;
    return {};
}

// Makes the pages of the reserved store up to `needed` (and a few megabytes
// beyond) present in one call per 8 MB instead of one fault per page; the
// pages are made as the store grows, so memory follows the data read.
void prefault(std::vector<uint8_t>& store, size_t needed, size_t& prefaulted) {
    constexpr size_t Chunk = size_t{8} << 20;
    if (needed <= prefaulted || store.capacity() < 2 * Chunk) return;
    const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<uintptr_t>(store.data());
    const uintptr_t from = (begin + prefaulted + page - 1) & ~(page - 1);
    const size_t end = std::min(store.capacity(), std::max(needed, prefaulted) + Chunk);
    const uintptr_t to = (begin + end) & ~(page - 1);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
    prefaulted = end;
}

// The records from the reader's position on. With a tally (reading in one
// pass) the rows are checked for header lines too, as the measuring pass
// would; the store may not grow past `room` then, and `outOfRoom` tells the
// caller to measure first after all.
Outcome buildRecords(LineReader& reader, std::vector<uint8_t>& store, std::vector<size_t>& offsets,
                     HeaderTally* tally, bool& outOfRoom, const std::string& path,
                     ProgressMeter& meter) {
    LinePiece piece;
    size_t prefaulted = store.size();
    size_t declared = 0;
    while (reader.next(piece, LineLimit)) {
        if (!isHeaderLine(piece)) continue;
        const PatternHeader header = parseHeaderLine(piece);
        if (tally) {
            if (auto refused = tally->count(header, path)) return *refused;
        }
        const size_t at = store.size();
        offsets.push_back(at);
        const int records = static_cast<int>(offsets.size());
        if (!sideInRange(header.width) || !sideInRange(header.height)) {
            return {Failure::BadContent, 0, badSizeMessage(path, records, header)};
        }
        declared += declaredLength(header);
        if (declared > MaxPatternData) return tooLarge(path);
        const size_t length = recordLength(header);
        if (tally && at + length > store.capacity()) {
            outOfRoom = true;
            return {};
        }
        prefault(store, at + length, prefaulted);
        store.resize(at + length, 0);
        encodeHeader(header, store.data() + at);
        uint8_t* dots = store.data() + at + HeaderSize;
        const size_t rowBytes = packedRowBytes(header.width);
        for (int row = 0; row < header.height; ++row) {
            if (!reader.next(piece, LineLimit)) break;
            if (tally && isHeaderLine(piece)) {
                // A header swallowed as a row: lost, as the format has always
                // done, but checked all the same.
                if (auto refused = tally->count(parseHeaderLine(piece), path)) return *refused;
            }
            packTextRow(piece.text.data(), piece.text.size(), header.width,
                        dots + static_cast<size_t>(row) * rowBytes);
        }
        meter.at(reader.position());
    }
    return {};
}

// The records read become the document's, with their index.
Outcome adopt(Document& doc, std::vector<uint8_t>& store, std::vector<size_t>& offsets) {
    doc.patternCount = static_cast<int>(offsets.size());
    offsets.push_back(store.size());
    doc.store = std::move(store);
    doc.recordOffsets = std::move(offsets);
    return {};
}

Outcome readPatterns(Document& doc, LineReader& reader, const std::string& path,
                     const FileProgress& progress, bool measureFirst = false) {
    ProgressMeter meter(progress, reader.expectedSize());
    LinePiece piece;
    // The signature: the first line, its last character dropped.
    std::string head;
    if (reader.next(piece, SignatureLimit)) {
        head.assign(piece.text);
        if (piece.hasLineEnd) head.push_back('\n');
        if (!head.empty()) head.pop_back();
    }
    if (head.compare(0, 7, "PATTERN") != 0) {
        return {Failure::BadContent,
                0,
                {formatText("Pattern file head (%s)(%s) error", printable(head).c_str(), "PATTERN"),
                 "Format error", MessageButtons::Ok, MessageIcon::Question}};
    }
    std::vector<uint8_t> store;
    // Where each record starts: the document's index, made while reading.
    std::vector<size_t> offsets;
    bool outOfRoom = false;
    // A signature line read whole is read the same way by both passes: one
    // pass does, into room for a little more than the file holds. Files of
    // short patterns that need more are measured first after all.
    if (piece.hasLineEnd && !measureFirst) {
        const uint64_t size = reader.expectedSize();
        store.reserve(
            static_cast<size_t>(std::min<uint64_t>(size + size / 4 + 4096, MaxPatternData)));
        HeaderTally tally;
        Outcome built = buildRecords(reader, store, offsets, &tally, outOfRoom, path, meter);
        if (!built.ok()) return built;
        if (!outOfRoom && tally.seen == 0) return noPattern();
        if (!outOfRoom) return adopt(doc, store, offsets);
        std::vector<uint8_t>().swap(store);
        offsets.clear();
    }
    // Two passes: count the patterns and their total size, then build.
    meter.readTwice();
    reader.rewind();
    reader.next(piece, SignatureLimit);
    size_t total = 0;
    if (Outcome counted = measurePatterns(reader, path, total, meter); !counted.ok()) {
        return counted;
    }
    store.reserve(total);
    meter.secondPass();
    reader.rewind();
    if (Outcome built = buildRecords(reader, store, offsets, nullptr, outOfRoom, path, meter);
        !built.ok()) {
        return built;
    }
    // The second pass reads the signature line in longer pieces than the
    // first; in a first line of over 31 characters the two can disagree, and
    // a file whose headers all hid there loads nothing.
    if (offsets.empty()) return noPattern();
    return adopt(doc, store, offsets);
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
    return probeRegularFile(path) == FileReadStatus::Ok;
}

Outcome readPatternFile(Document& doc, const std::string& path, const FileProgress& progress) {
    try {
        FileTextSource file;
        switch (file.open(path, MaxPatternFileSize)) {
        case FileTextSource::Opened::Ok: {
            LineReader reader(file);
            const FileStamp stamp = fileStamp(path);
            Outcome result = readPatterns(doc, reader, path, progress);
            if (file.grewTooLarge()) return tooLarge(path);
            if (file.failed())
                return {Failure::NotFound, 0, patternFileNotFound(path, "Can't Open File")};
            if (result.ok()) doc.fileStamp = stamp;
            return result;
        }
        case FileTextSource::Opened::TooLarge:
            return tooLarge(path);
        case FileTextSource::Opened::CannotOpen:
            return {Failure::NotFound, 0, patternFileNotFound(path, "Can't Open File")};
        case FileTextSource::Opened::NotRegularFile:
            break;
        }
        return {Failure::NotRegularFile,
                0,
                {formatText("\"%s\" is not a regular file; a pattern file cannot be read from it",
                            printable(path).c_str()),
                 "Can't Open File", MessageButtons::Ok, MessageIcon::Question}};
    } catch (const std::bad_alloc&) {
        return tooLarge(path);
    }
}

Outcome readPatternText(Document& doc, std::string_view text, const std::string& path,
                        bool measureFirst) {
    try {
        LineReader reader(text);
        return readPatterns(doc, reader, path, {}, measureFirst);
    } catch (const std::bad_alloc&) {
        return tooLarge(path);
    }
}

namespace {

// "SIZE w h seg com lr tb" and the line end; returns the length.
size_t formatHeaderLine(const PatternHeader& h, char* out) {
    char* p = out;
    std::memcpy(p, "SIZE", 4);
    p += 4;
    for (const int value : {int{h.width}, int{h.height}, int{h.beginSeg}, int{h.beginCom},
                            int{h.leftToRight}, int{h.topToBottom}}) {
        *p++ = ' ';
        p = std::to_chars(p, p + 8, value).ptr;
    }
    *p++ = '\r';
    *p++ = '\n';
    return static_cast<size_t>(p - out);
}

// Calls `each` with the header and packed dots of every record the writer
// puts out: up to the first with a side above 96.
template <typename Each> void forEachWrittenRecord(const Document& doc, Each each) {
    forEachRecord(doc, [&](int, const PatternHeader& h, const uint8_t* dots) {
        if (h.width > MaxPatternSide || h.height > MaxPatternSide) return false;
        each(h, dots);
        return true;
    });
}

std::string countLine(const Document& doc) {
    return "PATTERN\r\n" + std::to_string(doc.patternCount) + "\r\n";
}

} // namespace

ByteStream patternFileStream(const Document& doc) {
    uint64_t size = countLine(doc).size();
    char line[80];
    forEachWrittenRecord(doc, [&](const PatternHeader& h, const uint8_t*) {
        const auto width = static_cast<uint64_t>(std::max<int>(h.width, 0));
        size += formatHeaderLine(h, line) +
                static_cast<uint64_t>(std::max<int>(h.height, 0)) * (width + 2);
    });
    return {size, [&doc](const ByteStream::Put& put) {
                // About a megabyte at a time, and room for one more record.
                constexpr size_t Piece = size_t{1} << 20;
                std::string buffer(Piece + 128 + (MaxPatternSide + 2) * MaxPatternSide, '\0');
                const std::string head = countLine(doc);
                head.copy(buffer.data(), head.size());
                size_t used = head.size();
                bool going = true;
                forEachWrittenRecord(doc, [&](const PatternHeader& h, const uint8_t* dots) {
                    if (!going) return;
                    used += formatHeaderLine(h, buffer.data() + used);
                    const size_t rowBytes = packedRowBytes(h.width);
                    const auto width = static_cast<size_t>(std::max<int>(h.width, 0));
                    for (int row = 0; row < h.height; ++row) {
                        unpackRow(dots + static_cast<size_t>(row) * rowBytes, h.width,
                                  buffer.data() + used);
                        used += width;
                        buffer[used++] = '\r';
                        buffer[used++] = '\n';
                    }
                    if (used >= Piece) {
                        going = put(std::string_view(buffer.data(), used));
                        used = 0;
                    }
                });
                if (going && used > 0) put(std::string_view(buffer.data(), used));
            }};
}

std::string formatPatternFile(const Document& doc) {
    const ByteStream stream = patternFileStream(doc);
    std::string out;
    out.reserve(static_cast<size_t>(stream.size));
    stream.produce([&out](std::string_view piece) {
        out.append(piece);
        return true;
    });
    return out;
}

Outcome writePatternFile(Document& doc, const std::string& path, const FileProgress& progress) {
    ByteStream stream = patternFileStream(doc);
    if (progress) {
        stream.produce = [made = std::move(stream.produce), total = stream.size,
                          &progress](const ByteStream::Put& put) {
            uint64_t done = 0;
            made([&](std::string_view piece) {
                done += piece.size();
                progress(done, total);
                return put(piece);
            });
        };
    }
    Outcome outcome = writeFileSafely(path, stream);
    if (!outcome.ok()) {
        outcome.message = {formatText("%s\nfile open error !", printable(path).c_str()),
                           "Open error", MessageButtons::Ok, MessageIcon::Question};
        return outcome;
    }
    doc.modifiedFlag = false;
    doc.fileStamp = fileStamp(path);
    return {};
}

Message changedOnDiskQuestion(const std::string& path) {
    return {formatText("%s\nhas been changed on disk since it was opened or saved here.\n"
                       "Overwrite it with this document?",
                       printable(path).c_str()),
            "Save Pattern", MessageButtons::YesNo, MessageIcon::Question};
}

} // namespace dedur
