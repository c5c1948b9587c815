#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "document/patternstore.h"

namespace dedur::test {

// A fresh directory under the system temp dir, removed afterwards.
class TempDir {
  public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("dedur-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::string repeated(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

// Sets the work dots of the current pattern from rows of '1'/'0' and stores them.
inline void setRows(Document& doc, std::initializer_list<const char*> rows) {
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; row[x]; ++x)
            doc.workDots[static_cast<size_t>(y * doc.patternWidth + x)] =
                static_cast<uint8_t>(row[x]);
        ++y;
    }
    storeWorkDots(doc);
}

// The work dots as rows of text.
inline std::vector<std::string> rowsOf(const Document& doc) {
    std::vector<std::string> rows;
    for (int y = 0; y < doc.patternHeight; ++y) {
        rows.emplace_back(reinterpret_cast<const char*>(doc.workDots.data()) + y * doc.patternWidth,
                          static_cast<size_t>(doc.patternWidth));
    }
    return rows;
}

// The dots of record i as rows of text.
inline std::vector<std::string> recordRows(Document& doc, int index) {
    PatternHeader header;
    std::vector<std::string> rows;
    if (auto dots = selectPattern(doc, index, header, false)) {
        for (int y = 0; y < header.height; ++y) {
            rows.emplace_back(reinterpret_cast<const char*>(dots->data()) + y * header.width,
                              static_cast<size_t>(header.width));
        }
    }
    return rows;
}

// A document of the given patterns, first one current.
inline Document documentOf(std::initializer_list<PatternHeader> headers) {
    Document doc;
    doc.store.clear();
    invalidateRecordIndex(doc);
    doc.patternCount = 0;
    for (const PatternHeader& h : headers) {
        appendPattern(doc, &h);
    }
    doc.currentPattern = 0;
    reloadWorkDots(doc);
    doc.modifiedFlag = false;
    return doc;
}

} // namespace dedur::test
