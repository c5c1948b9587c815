#include "textclip/logfontrecord.h"

#include "base/fileread.h"
#include "base/limits.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace dedur {

namespace {

int32_t get32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

void put32(uint8_t* p, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(u >> (8 * i));
}

} // namespace

std::string LogFontRecord::face() const {
    const size_t n = strnlen(faceName.data(), faceName.size() - 1);
    return std::string(faceName.data(), n);
}

void LogFontRecord::setFace(const std::string& name) {
    faceName.fill(0);
    std::memcpy(faceName.data(), name.data(), std::min(name.size(), faceName.size() - 1));
}

LogFontRecord decodeLogFont(const uint8_t* b) {
    LogFontRecord r;
    r.height = get32(b);
    r.width = get32(b + 4);
    r.escapement = get32(b + 8);
    r.orientation = get32(b + 12);
    r.weight = get32(b + 16);
    r.italic = b[20];
    r.underline = b[21];
    r.strikeOut = b[22];
    r.charSet = b[23];
    r.outPrecision = b[24];
    r.clipPrecision = b[25];
    r.quality = b[26];
    r.pitchAndFamily = b[27];
    std::memcpy(r.faceName.data(), b + 28, 32);
    return r;
}

std::array<uint8_t, LogFontRecordSize> encodeLogFont(const LogFontRecord& r) {
    std::array<uint8_t, LogFontRecordSize> b{};
    put32(b.data(), r.height);
    put32(b.data() + 4, r.width);
    put32(b.data() + 8, r.escapement);
    put32(b.data() + 12, r.orientation);
    put32(b.data() + 16, r.weight);
    b[20] = r.italic;
    b[21] = r.underline;
    b[22] = r.strikeOut;
    b[23] = r.charSet;
    b[24] = r.outPrecision;
    b[25] = r.clipPrecision;
    b[26] = r.quality;
    b[27] = r.pitchAndFamily;
    std::memcpy(b.data() + 28, r.faceName.data(), 32);
    return b;
}

std::optional<LogFontRecord> readLogFontFile(const std::string& path, FileReadStatus* why) {
    // A record is 60 bytes; the limit only keeps a huge file out of memory.
    std::string data;
    const FileReadStatus status = readFileLimited(path, limits::FontRecordBytes, data);
    if (why) *why = status;
    if (status != FileReadStatus::Ok) return std::nullopt;
    uint8_t bytes[LogFontRecordSize] = {};
    std::memcpy(bytes, data.data(), std::min(data.size(), sizeof bytes));
    return decodeLogFont(bytes);
}

Outcome writeLogFontFile(const std::string& path, const LogFontRecord& record) {
    const auto bytes = encodeLogFont(record);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return writeFileSafely(path, text, FileRole::Program);
}

} // namespace dedur
