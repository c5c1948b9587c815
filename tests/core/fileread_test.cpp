#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "base/fileread.h"
#include "base/message.h"
#include "document/patternfile.h"
#include "testsupport.h"

using namespace dedur;
using namespace dedur::test;
namespace fs = std::filesystem;

namespace {

// Texts larger than the file reader's window: read from a file they give
// what they give read from memory, whichever way they are read.
std::string manyPatterns(int count, const char* size, const std::string& row, int rows) {
    std::string text = "PATTERN\r\n";
    for (int i = 0; i < count; ++i) {
        text.append("SIZE ").append(size).append(" 1 1 0 2\r\n");
        for (int r = 0; r < rows; ++r) text.append(row).append(i % 3 == 0 ? "\n" : "\r\n");
    }
    return text;
}

TEST(PatternFile, FilesReadLikeTheSameTextInMemory) {
    const std::string junkLine =
        "PATTERN\r\n1\r\n" + std::string(16 << 20, '1') + "\r\nSIZE 2 1 1 1 0 2\r\n11\r\n";
    const std::string texts[] = {
        junkLine,
        manyPatterns(2000, "96 48", "10" + std::string(94, '1'), 48),
        // Patterns without their rows need more room than the file's size.
        manyPatterns(60000, "96 96", "", 0),
        "PATTERN with a first line longer than the signature SIZE 2 1\r\n" +
            manyPatterns(30000, "8 8", "1000000", 8).substr(9),
    };
    TempDir dir;
    for (const std::string& text : texts) {
        Document fromMemory;
        const Outcome expected = readPatternText(fromMemory, text, "a.pat");
        writeBytes(dir.file("a.pat"), text);
        Document fromFile;
        const Outcome got = readPatternFile(fromFile, dir.file("a.pat"));
        EXPECT_EQ(expected.failure, got.failure) << got.message.text;
        EXPECT_EQ(fromMemory.patternCount, fromFile.patternCount);
        EXPECT_TRUE(fromMemory.store == fromFile.store);
    }
    Document doc;
    ASSERT_TRUE(readPatternText(doc, junkLine, "big.pat").ok());
    EXPECT_EQ(std::vector<std::string>{"11"}, recordRows(doc, 0));
}

struct LimitCase {
    const char* name;
    std::function<std::string(const TempDir&)> make; // returns the path to read
    size_t limit;
    FileReadStatus status;
    size_t bytes;
    const char* reason; // what a message says of it
};

// A pipe with a writer that never writes: reading it would wait for ever.
int heldFifo = -1;

// clang-format off
const LimitCase LimitCases[] = {
    {"SmallFile", [](const TempDir& d) { writeBytes(d.file("a"), "abc"); return d.file("a"); },
     3, FileReadStatus::Ok, 3, ""},
    {"SparseFileAboveTheLimitIsNotRead",
     [](const TempDir& d) { writeBytes(d.file("a"), ""); fs::resize_file(d.file("a"), uint64_t{40} << 30); return d.file("a"); },
     MaxPatternFileSize, FileReadStatus::TooLarge, 0, "it is too large"},
    {"EndlessDeviceIsRefusedUnread", [](const TempDir&) { return std::string("/dev/zero"); },
     100000, FileReadStatus::NotRegularFile, 0, "it is not a regular file"},
    {"PipeWithAWriterIsRefusedUnread",
     [](const TempDir& d) { ::mkfifo(d.file("fifo").c_str(), 0600); heldFifo = ::open(d.file("fifo").c_str(), O_RDWR | O_CLOEXEC); return d.file("fifo"); },
     100, FileReadStatus::NotRegularFile, 0, "it is not a regular file"},
    {"Missing", [](const TempDir& d) { return d.file("missing"); }, 100, FileReadStatus::CannotOpen, 0, "there is no such file"},
    {"DanglingLink", [](const TempDir& d) { fs::create_symlink(d.file("nowhere"), d.file("link")); return d.file("link"); },
     100, FileReadStatus::CannotOpen, 0, "it is a link to nothing"},
    {"Directory", [](const TempDir& d) { return d.path().string(); }, 100, FileReadStatus::NotRegularFile, 0, "it is not a regular file"},
};
// clang-format on

class ReadLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(ReadLimit, ReadsOrRefuses) {
    TempDir dir;
    std::string out = "stale";
    const std::string path = GetParam().make(dir);
    const FileReadStatus status = readFileLimited(path, GetParam().limit, out);
    EXPECT_EQ(GetParam().status, status);
    EXPECT_EQ(GetParam().bytes, out.size());
    EXPECT_EQ(GetParam().reason, readFailureReason(path, status));
    if (heldFifo >= 0) ::close(heldFifo);
    heldFifo = -1;
}

INSTANTIATE_TEST_SUITE_P(Files, ReadLimit, ::testing::ValuesIn(LimitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Printable, EscapesControlCharactersOnly) {
    EXPECT_EQ("\\x1b[2J\\x07a\\x7f", printable("\x1b[2J\aa\x7f"));
    EXPECT_EQ("C:\\dir\\\xa4\xa4.pat", printable("C:\\dir\\\xa4\xa4.pat"));
    Document doc;
    const Outcome result = readPatternText(doc, "\x1b[2J\x1b[31mX\r\n", "a.pat");
    EXPECT_EQ("Pattern file head (\\x1b[2J\\x1b[31mX)(PATTERN) error", result.message.text);
}

} // namespace
