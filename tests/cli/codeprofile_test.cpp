// Code profiles and pattern choices through the real dedur-cli: what a
// profile keeps is what the command writes, and a range never quietly
// becomes another one.

#include "clirun.h"

using namespace dedur;
using dedur::test::Cli;
using dedur::test::readBytes;
using dedur::test::Refusal;
using dedur::test::writeBytes;

namespace {

class CodeChoice : public Cli {
  protected:
    // Five 8 x 2 patterns, pattern N with dot (N - 1, 0) set, so that each
    // pattern's bytes tell which one was written.
    void makeFive() {
        ASSERT_EQ(0, run("new five.pat --count 5 --size 8x2").status);
        for (int n = 1; n <= 5; ++n) {
            const std::string number = std::to_string(n);
            ASSERT_EQ(0, run("draw five.pat --pattern " + number + " point " +
                             std::to_string(n - 1) + ",0")
                             .status);
        }
    }
};

} // namespace

TEST_F(CodeChoice, ARangePastTheLastPatternIsRefusedAndNamed) {
    ASSERT_NO_FATAL_FAILURE(makeFive());
    const Refusal rows[] = {
        {"code five.pat --range 4-9", 1, "4-9: \"five.pat\" has 5 patterns"},
        {"code five.pat --range 6", 1, "6: \"five.pat\" has 5 patterns"},
        {"code five.pat --range 1,3,7~8", 1, "7~8: \"five.pat\" has 5 patterns"},
        {"code five.pat --range 4-9 --format gfx-font", 1, "4-9: \"five.pat\" has 5 patterns"},
        {"code five.pat --range 2-5", 0, ""},
        {"code five.pat --range 5", 0, ""},
    };
    for (const Refusal& row : rows) {
        const test::CliResult r = expectOutcome(row);
        if (row.status != 0) {
            EXPECT_EQ("", r.out) << row.line;
        }
    }
    // The last pattern alone: dot 4 of its first row, bit 3 in rows-msb.
    const test::CliResult last = run("code five.pat --range 5 --format json");
    EXPECT_NE(std::string::npos, last.out.find("[8, 0]")) << last.out;
}

// A profile kept with "current" writes the pattern it was kept on; one kept
// with a range writes that range; one from before "current" existed reads
// as it always did.
TEST_F(CodeChoice, AProfileWritesThePatternsItWasKeptWith) {
    ASSERT_NO_FATAL_FAILURE(makeFive());
    writeBytes(path("five.pat.toml"),
               "[profiles.cur]\nformat = 'json'\nlayout = 'rows-msb'\npatterns = 'current'\n"
               "pattern = 3\n"
               "[profiles.range]\nformat = 'json'\nlayout = 'rows-msb'\npatterns = '2, 4'\n"
               "[profiles.old]\nformat = 'json'\nlayout = 'rows-msb'\n"
               "[profiles.gone]\nformat = 'json'\nlayout = 'rows-msb'\npatterns = 'current'\n"
               "pattern = 7\n"
               "[profiles.past]\nformat = 'json'\nlayout = 'rows-msb'\npatterns = '4-6'\n");
    struct Row {
        const char* profile;
        std::vector<const char*> bytes; // each pattern's, as JSON writes them
    };
    const Row rows[] = {
        {"cur", {"[32, 0]"}},
        {"range", {"[64, 0]", "[16, 0]"}},
        {"old", {"[128, 0]", "[64, 0]", "[32, 0]", "[16, 0]", "[8, 0]"}},
    };
    for (const Row& row : rows) {
        const test::CliResult r = run(std::string("code five.pat --profile ") + row.profile);
        ASSERT_EQ(0, r.status) << row.profile << "\n" << r.err;
        size_t count = 0;
        for (size_t at = r.out.find("\"bytes\""); at != std::string::npos;
             at = r.out.find("\"bytes\"", at + 1)) {
            ++count;
        }
        EXPECT_EQ(row.bytes.size(), count) << row.profile << "\n" << r.out;
        size_t from = 0;
        for (const char* bytes : row.bytes) {
            from = r.out.find(bytes, from);
            EXPECT_NE(std::string::npos, from) << row.profile << " " << bytes << "\n" << r.out;
        }
    }
    expectOutcome({"code five.pat --profile gone", 1, "has pattern = 7; \"five.pat\" has 5"});
    expectOutcome({"code five.pat --profile past", 1, "4-6: \"five.pat\" has 5 patterns"});
    // The command line's choice still goes over the profile's.
    const test::CliResult over = run("code five.pat --profile cur --pattern 1");
    EXPECT_NE(std::string::npos, over.out.find("[128, 0]")) << over.out;

    writeBytes(path("bad.pat"), readBytes(path("five.pat")));
    writeBytes(path("bad.pat.toml"), "[profiles.p]\npatterns = 'current'\npattern = 0\n");
    expectOutcome({"code bad.pat --all", 0, "pattern must be a pattern number"});
}

// The heading of the code names the file it is written to, as the editor's
// Save names it; on standard output it is named after the code.
TEST_F(CodeChoice, TheHeadingNamesTheFileWritten) {
    ASSERT_NO_FATAL_FAILURE(makeFive());
    struct Row {
        const char* line;
        const char* file;
        const char* first;
    };
    const Row rows[] = {
        {"code five.pat --range 1 --name logo --output beep.h", "beep.h",
         "/* beep.h: made by dedur from five.pat, layout rows-msb"},
        {"code five.pat --range 1 --format rust --output out.rs", "out.rs",
         "// out.rs: made by dedur from five.pat, layout rows-msb"},
        {"code five.pat --range 1 --format asm --layout pages-lsb --output a.s", "a.s",
         "; a.s: made by dedur from five.pat, layout pages-lsb"},
        {"code five.pat --range 1 --name logo", nullptr,
         "/* logo.h: made by dedur from five.pat, layout rows-msb"},
    };
    for (const Row& row : rows) {
        const test::CliResult r = run(std::string(row.line));
        ASSERT_EQ(0, r.status) << row.line << "\n" << r.err;
        const std::string text = row.file ? readBytes(path(row.file)) : r.out;
        EXPECT_EQ(row.first, text.substr(0, text.find('\n'))) << row.line;
    }
}

TEST_F(CodeChoice, TheHelpDescribesEveryLayout) {
    const test::CliResult r = run("code --help");
    for (const char* line : {"  --layout L     rows-msb (default): rows from the top, leftmost",
                             "                 rows-lsb: rows from the top, leftmost dot in bit 0",
                             "                 pages-lsb: 8-row pages, a byte per column, top dot",
                             "                 pages-msb: 8-row pages, a byte per column, top dot",
                             "                 panel: this panel's display memory"}) {
        EXPECT_NE(std::string::npos, r.out.find(line)) << line << "\n" << r.out;
    }
}
