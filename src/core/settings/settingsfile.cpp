#include "settings/settingsfile.h"

#include <algorithm>
#include <string_view>

#include "base/fileread.h"
#include "base/safewrite.h"
#include "base/textlines.h"

namespace dedur {

namespace {

constexpr size_t ReaderLimit = 253;
constexpr size_t WriterLimit = 255;
constexpr char EndMarker = 0x1A;

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string upperCase(std::string text) {
    for (char& c : text) c = upper(c);
    return text;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i])) return false;
    }
    return true;
}

bool isHeader(std::string_view line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

std::string_view headerName(std::string_view line) {
    return line.substr(1, line.size() - 2);
}

// Upper-cases the ASCII letters of the line up to its first '='.
std::string upperToEquals(std::string_view line) {
    std::string out(line);
    for (char& c : out) {
        if (c == '=') break;
        c = upper(c);
    }
    return out;
}

// The buffer as a line reader holds it: the text, then the line end.
std::string bufferOf(const LinePiece& piece) {
    std::string line(piece.text);
    if (piece.hasLineEnd) line.push_back('\n');
    return line;
}

} // namespace

std::string readSetting(const std::string* text, const char* section, const std::string& key,
                        size_t capacity) {
    std::string value;
    if (key.empty() || !text) return value;
    const std::string wanted = upperCase(key);
    capacity = std::min<size_t>(capacity, 250);
    LineReader reader(*text);
    LinePiece piece;
    bool entered = false;
    while (reader.next(piece, ReaderLimit)) {
        const char first = piece.at(0);
        if (first == EndMarker) break;
        if (first == '\0' || first == ' ' || first == '\n' || first == ';' || first == '*') {
            continue;
        }
        const std::string_view line = piece.text;
        if (section) {
            if (isHeader(line)) {
                if (entered) return value;
                entered = equalIgnoringCase(headerName(line), section);
                continue;
            }
            if (!entered) continue;
        }
        const std::string folded = upperToEquals(line);
        if (folded.compare(0, wanted.size(), wanted) != 0 || folded.size() < wanted.size()) {
            continue;
        }
        size_t at = folded.find('=');
        if (at == std::string::npos) return value;
        ++at;
        while (at < line.size() && line[at] == ' ') ++at;
        while (at < line.size() && value.size() + 1 < capacity) {
            if (line[at] == '/' && at + 1 < line.size() && line[at + 1] == '/') break;
            value.push_back(line[at++]);
        }
        while (!value.empty() && value.back() == ' ') value.pop_back();
        return value;
    }
    return value;
}

std::string rewriteSettings(const std::string& text, const char* section, const std::string& key,
                            const std::string& value) {
    std::string out;
    out.reserve(text.size() + key.size() + value.size() + 32);
    // Text written with "\n" becomes CR LF on disk.
    auto put = [&out](std::string_view s) {
        for (char c : s) {
            if (c == '\n') {
                out += "\r\n";
            } else {
                out.push_back(c);
            }
        }
    };
    const std::string wanted = upperCase(key);
    const std::string entry = wanted + " = " + value + "\n";
    bool inSection = false;
    bool written = false;
    int headersOut = 0;
    LineReader reader(text);
    LinePiece piece;
    while (reader.next(piece, WriterLimit)) {
        if (piece.at(0) == EndMarker) break;
        if (written) {
            put(bufferOf(piece));
            continue;
        }
        if (piece.at(0) == '\n') continue; // blank lines before the entry go
        const std::string_view line = piece.text;
        if (section && isHeader(line)) {
            if (inSection) {
                put(entry);
                written = true;
                put("\n");
                put(line);
                put("\n");
                continue;
            }
            if (equalIgnoringCase(headerName(line), section)) inSection = true;
            if (headersOut > 0) put("\n");
            put(line);
            put("\n");
            ++headersOut;
            continue;
        }
        if (section && !inSection) {
            put(line);
            put("\n");
            continue;
        }
        const std::string folded = upperToEquals(line);
        if (folded.size() >= wanted.size() && folded.compare(0, wanted.size(), wanted) == 0) {
            put(entry);
            written = true;
        } else {
            put(folded);
            put("\n");
        }
    }
    if (section && !inSection) {
        if (headersOut > 0) put("\n");
        put("[");
        put(section);
        put("]\n");
    }
    if (!written) put(entry);
    return out;
}

bool readSettingsFile(const std::string& path, std::string& text) {
    return readFileLimited(path, MaxSettingsFileSize, text) == FileReadStatus::Ok;
}

bool writeSetting(const std::string& path, const char* section, const std::string& key,
                  const std::string& value) {
    if (key.empty()) return false;
    std::string text;
    if (!readSettingsFile(path, text)) return false;
    return writeFileSafely(path, rewriteSettings(text, section, key, value), FileRole::Program)
        .ok();
}

std::string makeWorkPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && (directory.back() == '/' || directory.back() == '\\')) {
        return directory + name;
    }
    return directory + "/" + name;
}

} // namespace dedur
