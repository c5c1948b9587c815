#include <gtest/gtest.h>

#include "settings/settingsfile.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::readBytes;
using dedur::test::TempDir;
using dedur::test::writeBytes;

struct ReadCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::string expected;
};

class SettingsReader : public ::testing::TestWithParam<ReadCase> {};

TEST_P(SettingsReader, FindsTheValue) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(c.expected, readSetting(&c.text, c.section, c.key, 80));
}

// clang-format off
const ReadCase ReadCases[] = {
    {"Plain", "[others]\r\nGRIDX = 9\r\n", "others", "GRIDX", "9"},
    {"StopsAtTheNextSection", "[others]\r\nA = 1\r\n[more]\r\nKEY = 5\r\n", "others", "KEY", ""},
    {"IndentedLineIsInvisible", "[others]\r\n  GRIDX = 9\r\n", "others", "GRIDX", ""},
    {"TrailingCommentDropped", "[others]\r\nDOTCOLOR = 255   // red\r\n", "others", "DOTCOLOR", "255"},
    {"EmbeddedSpacesKept", "[others]\nPATFILE = /My Patterns/a.pat  \n", "others", "PATFILE", "/My Patterns/a.pat"},
    {"SectionIgnoresCase", "[OTHERS]\r\nkey=  v\r\n", "others", "KEY", "v"},
    {"KeyIsAPrefixMatch", "[others]\r\nGRIDXY = 3\r\nGRIDX = 4\r\n", "others", "GRIDX", "3"},
    {"LineWithoutEqualsGivesEmpty", "[others]\r\nGRIDX\r\nGRIDX = 4\r\n", "others", "GRIDX", ""},
    {"OnlySpacesAfterEqualsAreSkipped", "[others]\r\nA =\t5\r\n", "others", "A", "\t5"},
    {"CommentLinesNeverMatch", "[others]\r\n;A = 1\r\n*A = 2\r\nA = 3\r\n", "others", "A", "3"},
    {"EndMarkerStopsReading", "[others]\r\n\x1A\r\nA = 3\r\n", "others", "A", ""},
    {"NullSectionSearchesEverything", "[x]\r\nA = 1\r\n", nullptr, "A", "1"},
    {"ValueKeepsLowerCase", "[others]\r\nstd24x24font = b0a1\r\n", "others", "STD24X24FONT", "b0a1"},
    {"MissingSection", "[others]\r\nA = 1\r\n", "window rect and type", "A", ""},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Lines, SettingsReader, ::testing::ValuesIn(ReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsReader, ValueIsCutToCapacity) {
    const std::string text = "[s]\r\nA = " + std::string(300, 'x') + "\r\n";
    EXPECT_EQ(std::string(79, 'x'), readSetting(&text, "s", "A", 80));
    EXPECT_EQ(std::string(249, 'x'), readSetting(&text, "s", "A", 1000));
    // A long line is read in pieces of 253 characters; the second piece here
    // is an entry of its own.
    const std::string pieces = "[s]\r\n" + std::string(253, 'y') + "A = 7\r\n";
    EXPECT_EQ("7", readSetting(&pieces, "s", "A"));
}

struct WriteCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

class SettingsWriter : public ::testing::TestWithParam<WriteCase> {};

TEST_P(SettingsWriter, RewritesTheText) {
    const WriteCase& c = GetParam();
    EXPECT_EQ(c.after, rewriteSettings(c.before, c.section, c.key, c.value));
}

// clang-format off
const WriteCase WriteCases[] = {
    {"EmptyFile", "", "others", "KEY", "value", "[others]\r\nKEY = value\r\n"},
    {"ReplacesInPlace", "[others]\r\nA = 1\r\nB = 2 // c\r\nC = 3\r\n", "others", "b", "9", "[others]\r\nA = 1\r\nB = 9\r\nC = 3\r\n"},
    {"NewKeyIsLastOfItsSection", "[others]\r\nA = 1\r\n\r\n[window rect and type]\r\nM = 1\r\n", "others", "Z", "2", "[others]\r\nA = 1\r\nZ = 2\r\n\r\n[window rect and type]\r\nM = 1\r\n"},
    {"NewSectionAtTheEnd", "[others]\r\nA = 1\r\n", "window rect and type", "MAINWINRECT", "1,2,3,4", "[others]\r\nA = 1\r\n\r\n[window rect and type]\r\nMAINWINRECT = 1,2,3,4\r\n"},
    {"BlankLinesBeforeTheEntryAreNormalised", "\r\n\r\n[a]\r\n\r\nX = 1\r\n\r\n\r\n[others]\r\n\r\nA = 1\r\n\r\n\r\nB = 2\r\n", "others", "A", "5", "[a]\r\nX = 1\r\n\r\n[others]\r\nA = 5\r\n\r\n\r\nB = 2\r\n"},
    {"UpperCasesUpToTheEntry", "[others]\r\n; note=keep\r\nfoo = Bar\r\nkey = v\r\nlow = x\r\n", "others", "KEY", "w", "[others]\r\n; NOTE=keep\r\nFOO = Bar\r\nKEY = w\r\nlow = x\r\n"},
    {"HeaderSpellingIsKept", "[OTHERS]\r\nA = 1\r\n", "others", "A", "2", "[OTHERS]\r\nA = 2\r\n"},
    {"LoneLineFeedsBecomeCrLf", "[others]\nA = 1\nB = 2\n", "others", "A", "3", "[others]\r\nA = 3\r\nB = 2\r\n"},
    {"EndMarkerEndsTheFile", "[others]\r\nA = 1\r\n\x1A rest\r\n", "others", "B", "2", "[others]\r\nA = 1\r\nB = 2\r\n"},
    {"PrefixMatchReplacesTheLongerKey", "[others]\r\nPATNO = 3\r\n", "others", "PAT", "x", "[others]\r\nPAT = x\r\n"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Lines, SettingsWriter, ::testing::ValuesIn(WriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsWriter, ReplacesTheFileWholeAndNeverCreatesIt) {
    TempDir dir;
    const std::string path = dir.file("DEDUR.INI");
    EXPECT_FALSE(writeSetting(path, "others", "A", "1"));
    EXPECT_FALSE(std::filesystem::exists(path));
    writeBytes(path, "");
    EXPECT_TRUE(writeSetting(path, "others", "A", "1"));
    EXPECT_EQ("[others]\r\nA = 1\r\n", readBytes(path));
    // Nothing is left beside it: no temporary, no "~TMP001.TMP".
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.path()),
                               std::filesystem::directory_iterator()));
}

TEST(SettingsWriter, SkipsAFileTooLargeToRead) {
    TempDir dir;
    const std::string path = dir.file("DEDUR.INI");
    writeBytes(path, "[others]\r\n");
    std::filesystem::resize_file(path, MaxSettingsFileSize + 1);
    EXPECT_FALSE(writeSetting(path, "others", "A", "1"));
    EXPECT_EQ(MaxSettingsFileSize + 1, std::filesystem::file_size(path));
}
