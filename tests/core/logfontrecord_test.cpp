#include <gtest/gtest.h>

#include "testsupport.h"
#include "textclip/logfontrecord.h"

using namespace dedur;
using dedur::test::TempDir;
using dedur::test::writeBytes;

TEST(LogFontRecord, FieldsSitAtTheirOffsets) {
    LogFontRecord r;
    r.height = -16;
    r.weight = 700;
    r.italic = 1;
    r.charSet = 136;
    r.pitchAndFamily = 0x31;
    r.setFace("Sans Serif");
    const auto bytes = encodeLogFont(r);
    EXPECT_EQ(0xF0, bytes[0]);
    EXPECT_EQ(0xFF, bytes[3]);
    EXPECT_EQ(0xBC, bytes[16]);
    EXPECT_EQ(0x02, bytes[17]);
    EXPECT_EQ(1, bytes[20]);
    EXPECT_EQ(136, bytes[23]);
    EXPECT_EQ(0x31, bytes[27]);
    EXPECT_EQ('S', bytes[28]);
    EXPECT_EQ(0, bytes[38]);
    EXPECT_EQ(r, decodeLogFont(bytes.data()));
}

TEST(LogFontRecord, FileRoundTripAndShortFiles) {
    TempDir dir;
    LogFontRecord r;
    r.height = -24;
    r.setFace("Mono");
    ASSERT_TRUE(writeLogFontFile(dir.file("EDIT.$LF"), r).ok());
    EXPECT_EQ(60u, std::filesystem::file_size(dir.file("EDIT.$LF")));
    EXPECT_EQ(r, *readLogFontFile(dir.file("EDIT.$LF")));
    writeBytes(dir.file("MYMSG.$LF"), "\x0A");
    EXPECT_EQ(10, readLogFontFile(dir.file("MYMSG.$LF"))->height);
    EXPECT_FALSE(readLogFontFile(dir.file("none.$LF")));
}
