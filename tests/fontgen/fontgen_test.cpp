#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "fontgen.h"
#include "fonts/big5.h"
#include "fonts/big5codec.h"
#include "fonts/glyphfile.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::readBytes;
using dedur::test::TempDir;

namespace {

// The fonts are made once for the whole suite: it takes a fraction of a second.
class GeneratedFonts : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir = new TempDir;
        result = new fontgen::Result(fontgen::makeFonts(dir->path().string(), false));
        makeFontPaths(fontEdit, dir->path().string());
    }
    static void TearDownTestSuite() {
        delete result;
        delete dir;
    }

    static const fontgen::FileReport* report(const std::string& name) {
        for (const auto& f : result->files) {
            if (f.name == name) return &f;
        }
        return nullptr;
    }

    static bool blank(const std::string& bytes, size_t record, size_t size) {
        for (size_t i = record * size; i < (record + 1) * size; ++i) {
            if (bytes[i] != 0) return false;
        }
        return true;
    }

    static TempDir* dir;
    static fontgen::Result* result;
    static FontEdit fontEdit;
};

TempDir* GeneratedFonts::dir = nullptr;
fontgen::Result* GeneratedFonts::result = nullptr;
FontEdit GeneratedFonts::fontEdit;

} // namespace

TEST(Big5Codec, DecodesAndEncodesThroughCodePage950) {
    EXPECT_EQ(U'\u4E00', decodeBig5(0xA4, 0x40)); // 一
    EXPECT_EQ(U'\u4E2D', decodeBig5(0xA4, 0xA4)); // 中
    EXPECT_EQ(U'\u3000', decodeBig5(0xA1, 0x40));
    EXPECT_EQ(U'\u2460', decodeBig5(0xC6, 0xA1)); // ① from the ETEN extension
    EXPECT_EQ(std::string("\xA4\xA4"), encodeBig5(U'\u4E2D'));
    EXPECT_EQ(std::string("A"), encodeBig5(U'A'));
    EXPECT_EQ(std::string(), encodeBig5(U'\U0001F600'));
}

TEST_F(GeneratedFonts, EveryBig5RecordHasAGlyphWithinItsCell) {
    ASSERT_TRUE(result->ok) << result->error;
    for (const char* name : {Std16x15FileName, Std24FileName, SpecialFileName}) {
        ASSERT_TRUE(report(name));
        EXPECT_EQ(0, report(name)->missing) << name;
        EXPECT_EQ(0, report(name)->clipped) << name;
    }
    const std::string small = readBytes(fontEdit.std16x15Path);
    const std::string large = readBytes(fontEdit.std24Path);
    for (size_t k = 0; k < 13094; ++k) {
        ASSERT_FALSE(blank(small, k, 30)) << "16x15 record " << k;
        ASSERT_FALSE(blank(large, k, 72)) << "24x24 record " << k;
    }
}

TEST_F(GeneratedFonts, CodesC6A1AliasTheRecordsOfC940) {
    ASSERT_TRUE(result->ok) << result->error;
    uint8_t alias[72];
    uint8_t owner[72];
    for (EditMode type : {EditMode::Font16x15, EditMode::Font24x24}) {
        ASSERT_EQ(5401,
                  accessBig5Glyph(fontEdit, type, 0xC6, 0xA1, alias, GlyphAccess::Read, nullptr));
        ASSERT_EQ(5401,
                  accessBig5Glyph(fontEdit, type, 0xC9, 0x40, owner, GlyphAccess::Read, nullptr));
        EXPECT_EQ(0, std::memcmp(alias, owner, static_cast<size_t>(glyphKind(type).recordSize)));
    }
    // The C6A1.. characters themselves live in the supplement, record 1 on.
    const std::string supplement = readBytes(fontEdit.specialSuppPath);
    EXPECT_TRUE(blank(supplement, 0, 30));
    EXPECT_FALSE(blank(supplement, 1, 30));
}

TEST_F(GeneratedFonts, AsciiRecordsAreTheirCharacters) {
    ASSERT_TRUE(result->ok) << result->error;
    const std::string ascii = readBytes(fontEdit.asciiPath);
    EXPECT_TRUE(blank(ascii, 0, 15));
    EXPECT_TRUE(blank(ascii, ' ', 15));
    for (int c = '!'; c <= '~'; ++c)
        EXPECT_FALSE(blank(ascii, static_cast<size_t>(c), 15)) << char(c);
}

// The editor shows a bar from the progress and may stop the work at any
// report: a stop must leave the folder as it was, never a file in part.
TEST(MakeFontsProgress, CountsUpToTheEndAndStopsWithoutWriting) {
    struct Case {
        const char* what;
        int stopAfterReports; // -1: never stopped
    };
    for (const Case& c :
         {Case{"to the end", -1}, Case{"at the start", 0}, Case{"at the last report", -2}}) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        std::vector<std::pair<int, int>> reports;
        int lastReports = -1;
        if (c.stopAfterReports == -2) {
            // How many reports a whole run gives, to stop at its last.
            TempDir probe;
            int n = 0;
            fontgen::makeFonts(probe.path().string(), false, {}, [&n](int, int) {
                ++n;
                return true;
            });
            lastReports = n - 1;
        }
        const int stopAt = c.stopAfterReports == -2 ? lastReports : c.stopAfterReports;
        const fontgen::Result made =
            fontgen::makeFonts(dir.path().string(), false, {}, [&](int done, int total) {
                reports.emplace_back(done, total);
                return stopAt < 0 || static_cast<int>(reports.size()) <= stopAt;
            });
        ASSERT_FALSE(reports.empty());
        for (size_t i = 1; i < reports.size(); ++i) {
            EXPECT_LT(reports[i - 1].first, reports[i].first) << "report " << i;
            EXPECT_EQ(reports[0].second, reports[i].second);
        }
        EXPECT_EQ(0, reports.front().first);
        if (stopAt < 0) {
            ASSERT_TRUE(made.ok) << made.error;
            EXPECT_EQ(reports.back().first, reports.back().second);
            EXPECT_EQ(5u, made.files.size());
            // Enough reports for a bar that moves, not one per glyph.
            EXPECT_GT(reports.size(), 20u);
            EXPECT_LT(reports.size(), 200u);
        } else {
            EXPECT_FALSE(made.ok);
            EXPECT_TRUE(made.cancelled);
            EXPECT_EQ(static_cast<size_t>(stopAt) + 1, reports.size());
            EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
        }
    }
}

// A link to nothing at a glyph file's name is kept as it is: the maker
// never creates the file it points to.
TEST(MakeFontsProgress, KeepsALinkToNothing) {
    TempDir dir;
    TempDir elsewhere;
    const std::string target = elsewhere.file("planted");
    std::filesystem::create_symlink(target, dir.file("STD24.fon"));
    const fontgen::Result made = fontgen::makeFonts(dir.path().string(), false);
    ASSERT_TRUE(made.ok) << made.error;
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("STD24.fon")));
    for (const fontgen::FileReport& f : made.files)
        EXPECT_EQ(f.name == "STD24.fon", f.kept) << f.name;
}
