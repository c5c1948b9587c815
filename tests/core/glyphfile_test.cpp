#include <gtest/gtest.h>

#include "fonts/big5.h"
#include "fonts/glyphfile.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::readBytes;
using dedur::test::TempDir;
using dedur::test::writeBytes;

TEST(Big5, GlyphIndexAtTheRangeEdges) {
    const std::pair<int, int> cases[] = {
        {0xA440, 0},    {0xA47E, 62},   {0xA4A1, 63},    {0xA4FE, 156},  {0xA540, 157},
        {0xC67E, 5400}, {0xC940, 5401}, {0xF9FE, 13093}, {0xC6A1, 5401}, {0xC6FE, 5494},
        {0xC67F, -1},   {0xC740, -1},   {0xA3FE, -1},    {0xFA40, -1},   {0xA4A0, -1}};
    for (const auto& [code, index] : cases) {
        EXPECT_EQ(index, big5GlyphIndex(code >> 8, code & 0xFF)) << std::hex << code;
    }
}

TEST(Big5, NumberToCodeInvertsTheIndex) {
    EXPECT_EQ(0xA440, glyphNumberToCode(1));
    EXPECT_EQ(0xC940, glyphNumberToCode(5402));
    EXPECT_EQ(0xF9FE, glyphNumberToCode(13094));
    for (int n = 1; n <= Big5GlyphCount; ++n) {
        const uint16_t code = glyphNumberToCode(n);
        ASSERT_EQ(n - 1, big5GlyphIndex(code >> 8, code & 0xFF)) << n;
    }
}

class GlyphFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        makeFontPaths(fe, dir.path().string());
        // Every byte tells its own offset (modulo 251), so a read shows where it came from.
        std::string bytes(13094 * 72, '\0');
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i % 251);
        writeBytes(fe.std16x15Path, bytes.substr(0, 13094 * 30));
        writeBytes(fe.std24Path, bytes);
        writeBytes(fe.asciiPath, bytes.substr(0, 128 * 15));
    }

    static bool startsAt(const uint8_t* buffer, size_t offset, size_t size) {
        for (size_t i = 0; i < size; ++i) {
            if (buffer[i] != (offset + i) % 251) return false;
        }
        return true;
    }

    TempDir dir;
    FontEdit fe;
};

TEST_F(GlyphFiles, RecordsAreAddressedByCode) {
    const struct {
        EditMode mode;
        uint16_t code;
        int index;     // -1: no glyph
        size_t offset; // where the record starts in the file
    } cases[] = {
        {EditMode::Font16x15, 0xA440, 0, 0},
        {EditMode::Font16x15, 0xA4A1, 63, 1890},
        {EditMode::Font16x15, 0xC940, 5401, 162030},
        {EditMode::Font16x15, 0xC6A1, 5401, 162030},
        {EditMode::Font24x24, 0xC940, 5401, 5401 * 72},
        {EditMode::Font16x15, 0xC67F, -1, 0},
        {EditMode::Pattern, 0xA440, -1, 0},
    };
    for (const auto& c : cases) {
        uint8_t buffer[72];
        const int index = accessBig5Glyph(fe, c.mode, c.code >> 8, c.code & 0xFF, buffer,
                                          GlyphAccess::Read, nullptr);
        EXPECT_EQ(c.index, index) << std::hex << c.code;
        const size_t size = c.mode == EditMode::Font24x24 ? 72 : 30;
        EXPECT_TRUE(index < 0 || startsAt(buffer, c.offset, size)) << std::hex << c.code;
    }
    uint8_t buffer[15];
    EXPECT_EQ(1, accessAsciiGlyph(fe, 65, buffer, GlyphAccess::Read, nullptr));
    EXPECT_TRUE(startsAt(buffer, 975, 15));
}

TEST_F(GlyphFiles, WriteReplacesOneRecordOnly) {
    const std::string before = readBytes(fe.std16x15Path);
    uint8_t record[30];
    for (int i = 0; i < 30; ++i) record[i] = static_cast<uint8_t>(0xF0 + i % 16);
    ASSERT_EQ(63, accessBig5Glyph(fe, EditMode::Font16x15, 0xA4, 0xA1, record, GlyphAccess::Write,
                                  nullptr));
    const std::string after = readBytes(fe.std16x15Path);
    ASSERT_EQ(before.size(), after.size());
    EXPECT_EQ(before.substr(0, 1890), after.substr(0, 1890));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(record), 30), after.substr(1890, 30));
    EXPECT_EQ(before.substr(1920), after.substr(1920));
}

TEST_F(GlyphFiles, ReadPastTheEndGivesZeros) {
    writeBytes(fe.specialSuppPath, std::string(40, '\xFF'));
    uint8_t buffer[30];
    ASSERT_EQ(1, accessSpecialGlyph(fe, EditMode::SpecialSupp16x15, 1, buffer, GlyphAccess::Read,
                                    nullptr));
    EXPECT_EQ(0xFF, buffer[9]);
    EXPECT_EQ(0x00, buffer[10]);
    EXPECT_EQ(-1, accessSpecialGlyph(fe, EditMode::SpecialSupp16x15, 365, buffer, GlyphAccess::Read,
                                     nullptr));
}

TEST(GlyphDots, BitsBecomeDotsMostSignificantFirst) {
    Document doc;
    doc.editType = EditMode::Font16x15;
    uint8_t record[30] = {0x80, 0x01};
    glyphToDots(doc, EditMode::Font16x15, record);
    EXPECT_EQ("1000000000000001", std::string(doc.workDots.begin(), doc.workDots.begin() + 16));
    EXPECT_EQ(std::string(16, '0'),
              std::string(doc.workDots.begin() + 16, doc.workDots.begin() + 32));

    uint8_t ascii[15] = {0x41};
    glyphToDots(doc, EditMode::Ascii8x15, ascii);
    EXPECT_EQ("01000001", std::string(doc.workDots.begin(), doc.workDots.begin() + 8));

    uint8_t big[72] = {0x00, 0x80, 0x01};
    glyphToDots(doc, EditMode::Font24x24, big);
    EXPECT_EQ("000000001000000000000001",
              std::string(doc.workDots.begin(), doc.workDots.begin() + 24));
}

TEST(GlyphDots, PackingAndUnpackingAgree) {
    Document doc;
    doc.editType = EditMode::Font16x15;
    std::array<uint8_t, 30> record16;
    std::array<uint8_t, 72> record24;
    for (size_t i = 0; i < record24.size(); ++i) record24[i] = static_cast<uint8_t>(i * 37 + 11);
    std::copy_n(record24.begin(), 30, record16.begin());
    glyphToDots(doc, EditMode::Font16x15, record16.data());
    EXPECT_EQ(record16, packGlyph16(doc));
    glyphToDots(doc, EditMode::Font24x24, record24.data());
    EXPECT_EQ(record24, packGlyph24(doc));
}

namespace {

// Records of 30, 72, 15, 30 and 30 bytes; the numbered files keep record 0
// unused before glyph 1.
TEST(GlyphFile, ExpectedSizes) {
    const std::pair<EditMode, long> sizes[] = {
        {EditMode::Font16x15, 392820},       {EditMode::Font24x24, 942768},
        {EditMode::Ascii8x15, 1920},         {EditMode::Special16x15, 12240},
        {EditMode::SpecialSupp16x15, 10950},
    };
    for (const auto& [mode, size] : sizes) EXPECT_EQ(size, expectedGlyphFileSize(mode));
}

} // namespace
