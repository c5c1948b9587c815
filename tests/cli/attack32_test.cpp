// Hostile uses of this round's writers through the real dedur-cli.
#include <gtest/gtest.h>

#include "clirun.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::Cli;
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
        {"render a.pat out.gif --range 4", 1, "4: \"a.pat\" has 3 patterns\n"},
        {"render a.pat out.gif --range 1,9-12", 1, "9-12: \"a.pat\" has 3 patterns\n"},
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

} // namespace
