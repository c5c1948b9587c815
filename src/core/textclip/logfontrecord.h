#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "base/fileread.h"

#include "base/safewrite.h"

namespace dedur {

inline constexpr int LogFontRecordSize = 60;
inline constexpr const char* EditFontFileName = "EDIT.$LF";
inline constexpr const char* MessageFontFileName = "MYMSG.$LF";

// The 60-byte font record of "EDIT.$LF" and "MYMSG.$LF", little-endian.
struct LogFontRecord {
    int32_t height = 0;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    std::array<char, 32> faceName{};

    std::string face() const; // up to the first NUL (31 characters at most)
    void setFace(const std::string& name);
    bool operator==(const LogFontRecord&) const = default;
};

LogFontRecord decodeLogFont(const uint8_t* bytes);
std::array<uint8_t, LogFontRecordSize> encodeLogFont(const LogFontRecord& record);
// Nothing when the file cannot be read (`why` says why: a pipe or a device at
// the name is refused unread); a short file reads as zeros beyond it.
std::optional<LogFontRecord> readLogFontFile(const std::string& path,
                                             FileReadStatus* why = nullptr);
Outcome writeLogFontFile(const std::string& path, const LogFontRecord& record);

} // namespace dedur
