// Hostile uses of this round's writers through the real dedur-cli.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "clirun.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::Cli;
using dedur::test::CliResult;
using dedur::test::Refusal;

namespace {

class AnimationRange : public Cli {
  protected:
    void SetUp() override {
        ASSERT_EQ(0, run("new a.pat --count 3 --size 2x2").status);
        ASSERT_EQ(0, run("draw a.pat --pattern 2 point 1,1").status);
    }
};

// A number past the last pattern would be read as the last one, so the GIF
// would show frames nobody asked for; it is refused and nothing is written.
TEST_F(AnimationRange, PastTheLastPatternIsRefused) {
    const Refusal rows[] = {
        {"render a.pat out.gif --range 2-5", 1, "2-5: \"a.pat\" has 3 patterns\n"},
        {"render a.pat out.gif --range 99999999999", 1, "has 3 patterns\n"},
    };
    const auto before = folderBytes();
    for (const Refusal& row : rows) {
        expectOutcome(row);
        EXPECT_EQ(before, folderBytes()) << row.line;
    }
}

TEST_F(AnimationRange, WithinTheFileIsWritten) {
    for (const char* range : {"1-3", "3,1", "2"}) {
        const std::string out = std::string("r") + range[0] + ".gif";
        const auto r = run({"render", "a.pat", out, "--range", range});
        EXPECT_EQ(0, r.status) << range << "\n" << r.err;
        EXPECT_TRUE(std::filesystem::is_regular_file(path(out))) << range;
    }
}

// The glyph files' names in a folder are not the user's files: whatever is
// planted there, --force never writes through it, and a refusal of one name
// leaves every other name as it was.
TEST_F(Cli, MakeFontsForcedNeverWritesThroughWhatStandsAtAName) {
    namespace fs = std::filesystem;
    fs::create_directories(path("elsewhere"));
    test::writeBytes(path("elsewhere/victim"), "keep");
    struct Planted {
        const char* name;
        std::function<void(const std::string&)> plant;
        const char* says;
    };
    const Planted rows[] = {
        {"STD24.fon",
         [this](const std::string& at) { fs::create_symlink(path("elsewhere/victim"), at); },
         "a link stands at that name"},
        {"ASCFONT.15", [](const std::string& at) { fs::create_symlink("/dev/null", at); },
         "a link stands at that name"},
        {"SPCFSUPP.15", [](const std::string& at) { ASSERT_EQ(0, ::mkfifo(at.c_str(), 0644)); },
         "not a regular file"},
    };
    for (const Planted& row : rows) {
        const std::string folder = path(std::string("d-") + row.name);
        fs::create_directories(folder);
        const std::string at = folder + "/" + row.name;
        row.plant(at);
        const CliResult r = run({"make-fonts", folder, "--force"});
        EXPECT_EQ(1, r.status) << row.name << "\n" << r.err;
        EXPECT_NE(std::string::npos, r.err.find(row.says)) << row.name << "\n" << r.err;
        // Only the planted entry, untouched; no glyph file beside it.
        int entries = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++entries;
        EXPECT_EQ(1, entries) << row.name;
        EXPECT_FALSE(fs::is_regular_file(fs::symlink_status(at))) << row.name;
        EXPECT_EQ("keep", test::readBytes(path("elsewhere/victim"))) << row.name;
    }
}

} // namespace
