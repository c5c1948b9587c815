// dedur-cli code and names through the real program: templates that would
// recurse or nest without end, outputs that are inputs, names that would not
// compile, bytes worked out by hand, and standard output that cannot be
// written.
#include <gtest/gtest.h>

#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "clirun.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::Cli;
using dedur::test::CliResult;
using dedur::test::readBytes;
using dedur::test::Refusal;
using dedur::test::writeBytes;

namespace {

// Two patterns: 3 x 2 "101"/"011" and 9 x 2 "100000001"/"011111110".
const char* const TwoPatterns = "PATTERN\r\n2\r\n"
                                "SIZE 3 2 1 1 0 2\r\n101\r\n011\r\n"
                                "SIZE 9 2 1 1 0 2\r\n100000001\r\n011111110\r\n";

std::string nested(int depth, const std::string& inner, const char* section = "patterns") {
    std::string text;
    for (int i = 0; i < depth; ++i) text.append("{{#").append(section).append("}}");
    text += inner;
    for (int i = 0; i < depth; ++i) text.append("{{/").append(section).append("}}");
    return text;
}

class Code : public Cli {
  protected:
    void SetUp() override {
        writeBytes(path("a.pat"), TwoPatterns);
        writeBytes(path("self.mustache"), "{{name}}\n{{> self.mustache}}\n");
        writeBytes(path("deep.mustache"), "top\n\n" + nested(20000, "x"));
        // 64 deep, twice: the depth is counted down as sections close.
        writeBytes(path("ok64.mustache"),
                   nested(64, "", "first") + nested(64, "", "first") + "{{count}}");
        writeBytes(path("delims.mustache"), "{{=<% %>=}}\n<%> self.mustache %>\n");
        writeBytes(path("twins.pat"), TwoPatterns);
        writeBytes(path("twins.pat.toml"), "[names]\n1 = 'twin'\n2 = 'twin'\n");
        for (const char* clash : {"cased", "dflt", "kw"}) {
            writeBytes(path(std::string(clash) + ".pat"), TwoPatterns);
        }
        writeBytes(path("cased.pat.toml"), "[names]\n1 = 'x'\n2 = 'X'\n");
        writeBytes(path("dflt.pat.toml"), "[names]\n2 = 'dflt_1'\n");
        writeBytes(path("kw.pat.toml"), "[names]\n1 = 'while'\n");
        writeBytes(path("deep65.mustache"), "\n" + nested(65, "", "first"));
        writeBytes(path("big.mustache"), std::string((size_t{1} << 20) + 1, 'x'));
        writeBytes(path("t.mustache"), "{{name}}\n");
        writeBytes(path("exists.h"), "kept");
    }
};

// Every refusal leaves the files as they were.
// "" for says: the command succeeds.
const Refusal Refusals[] = {
    // Templates are checked before rendering, naming the line.
    {"code a.pat --template self.mustache", 1,
     "\"self.mustache\" cannot be used at line 2: partials ({{> ...}}) are not taken"},
    {"code a.pat --template delims.mustache", 1,
     "\"delims.mustache\" cannot be used at line 2: partials ({{> ...}}) are not taken"},
    {"code a.pat --template deep.mustache", 1,
     "\"deep.mustache\" cannot be used at line 3: sections nest more than 64 deep"},
    {"code a.pat --template deep65.mustache", 1, "at line 2: sections nest more than 64 deep"},
    {"code a.pat --template big.mustache", 1, "\"big.mustache\""},
    // Outputs that are inputs, --force or not.
    {"code a.pat --output a.pat --force", 1, "\"a.pat\" is the input file"},
    {"code a.pat --template t.mustache --output t.mustache --force", 1,
     "\"t.mustache\" is the input file"},
    {"code a.pat --template t.mustache --output ./link.mustache --force", 1,
     "\"./link.mustache\" is the input file \"t.mustache\""},
    {"code a.pat --output hard.pat --force", 1, "\"hard.pat\" is the input file \"a.pat\""},
    {"code a.pat --output a.pat.toml --force", 1, "\"a.pat.toml\" is the input file"},
    {"code a.pat --profile prof.toml --output prof.toml --force", 1,
     "\"prof.toml\" is the input file"},
    {"code a.pat --output exists.h", 1, "\"exists.h\" exists; give --force to replace it"},
    // Names.
    {"code a.pat --name int", 1, "\"int\" is a keyword"},
    {"code a.pat --name 9lives", 2, "--name must be a C identifier"},
    {"code a.pat --format rust --name a --range 1", 0, ""},
    {"names a.pat two", 2, "give the pattern with --pattern"},
    {"names a.pat --pattern 1 __x", 1, "reserved to the compiler"},
    {"names a.pat --pattern 1 uint8_t", 1, "<stdint.h>"},
    {"names a.pat --pattern 1 INT_LEAST16_MAX", 1, "<stdint.h>"},
    {"names a.pat --pattern 1 UINT64_C", 1, "<stdint.h>"},
    {"names a.pat --pattern 1 a_2", 1, "\"a_2\" would give \"a_2\" in c, which pattern 2 uses"},
    {"names a.pat --pattern 2 a_COUNT", 1,
     "would give \"a_COUNT\" in c, which the file's tables use"},
    {"names a.pat --pattern 1 A_H", 1, "would give \"A_H\" in c, which the file's tables use"},
    {"names a.pat --pattern 2 ONE_WIDTH", 1, "\"ONE_WIDTH\" in rust, which pattern 1 uses"},
    {"names a.pat --pattern 2 one_HEIGHT", 1,
     "would give \"one_HEIGHT\" in c, which pattern 1 uses"},
    // Names that clash, written into the sidecar by hand, are refused by code.
    {"code twins.pat --format rust", 1,
     "The names clash: pattern 1 and pattern 2 would both be \"TWIN\" in rust; rename one"},
    {"code twins.pat --template t.mustache", 1,
     "The names clash: pattern 1 and pattern 2 would both be \"twin\" in c; rename one"},
    {"code cased.pat --format rust", 1, "pattern 1 and pattern 2 would both be \"X\" in rust"},
    {"code cased.pat --format c", 0, ""},
    {"code dflt.pat --format asm", 1, "pattern 1 and pattern 2 would both be \"dflt_1\""},
    {"code kw.pat --format json", 1, "The name of pattern 1 cannot be used: \"while\""},
    {"names a.pat --pattern 2 One", 1, "\"ONE\" in rust, which pattern 1 uses"},
    {"names a.pat --pattern 1 x_fb", 0, ""},
    {"names a.pat --pattern 9 nine", 1, "Pattern 9 is not in"},
    // The panel layout places every pattern, with a template too.
    {"code off.pat --layout panel --template t.mustache", 1, "runs off the panel (SEG 97, COM 1)"},
};

} // namespace

TEST_F(Code, RefusalsSayWhyAndChangeNothing) {
    writeBytes(path("off.pat"), "PATTERN\r\n1\r\nSIZE 2 2 96 1 0 2\r\n11\r\n11\r\n");
    writeBytes(path("prof.toml"), "format = \"json\"\n");
    ASSERT_EQ(0, ::link(path("a.pat").c_str(), path("hard.pat").c_str()));
    ASSERT_EQ(0, ::symlink("t.mustache", path("link.mustache").c_str()));
    // Pattern 1 is "one"; the file's own name gives a, a_1, a_2, a_COUNT, A_H.
    ASSERT_EQ(0, run("names a.pat --pattern 1 one").status);
    const std::vector<std::string> files = {"a.pat", "a.pat.toml", "t.mustache", "prof.toml",
                                            "exists.h"};
    for (const Refusal& row : Refusals) {
        std::vector<std::string> before;
        for (const std::string& f : files) before.push_back(readBytes(path(f)));
        const CliResult r = expectOutcome(row);
        if (row.status != 0) {
            EXPECT_EQ(std::string::npos, r.err.find("Aborted")) << row.line;
            for (size_t i = 0; i < files.size(); ++i) {
                EXPECT_EQ(before[i], readBytes(path(files[i]))) << row.line << ": " << files[i];
            }
        }
        if (std::string(row.line).rfind("names a.pat --pattern 1 x_fb", 0) == 0) {
            ASSERT_EQ(0, run("names a.pat --pattern 1 one").status);
        }
    }
    // 64 sections deep is still taken.
    const CliResult ok = run("code a.pat --template ok64.mustache");
    EXPECT_EQ(0, ok.status) << ok.err;
    EXPECT_EQ("2", ok.out);
}

TEST_F(Code, EmptyNameIsRefused) {
    const CliResult r = run(std::vector<std::string>{"code", "a.pat", "--name", ""});
    EXPECT_EQ(2, r.status);
    EXPECT_NE(std::string::npos, r.err.find("--name must be a C identifier"));
    EXPECT_EQ(2, run(std::vector<std::string>{"names", "a.pat", "--pattern", "1", ""}).status);
}

// Bytes worked out by hand from the rows: rows-msb puts the leftmost dot in
// bit 7, rows-lsb in bit 0; the last byte of a row of 3 or 9 dots keeps its
// unused bits clear, inverted or not.
TEST_F(Code, RowLayoutsByHand) {
    const struct {
        const char* args;
        const char* bytes; // of pattern 1, then pattern 2
    } rows[] = {
        {"", "[160, 96]|[128, 128, 127, 0]"},
        {"--layout rows-lsb", "[5, 6]|[1, 1, 254, 0]"},
        {"--invert", "[64, 128]|[127, 0, 128, 128]"},
        {"--layout rows-lsb --invert", "[2, 1]|[254, 0, 1, 1]"},
        {"--layout pages-lsb", "[1, 2, 3]|[1, 2, 2, 2, 2, 2, 2, 2, 1]"},
        {"--layout pages-msb --invert", "[64, 128, 0]|[64, 128, 128, 128, 128, 128, 128, 128, "
                                        "64]"},
    };
    for (const auto& row : rows) {
        const CliResult r = run(std::string("code a.pat --format json ") + row.args);
        ASSERT_EQ(0, r.status) << r.err;
        std::string got;
        for (size_t at = 0; (at = r.out.find("\"bytes\": ", at)) != std::string::npos;) {
            at += 9;
            if (!got.empty()) got += '|';
            got += r.out.substr(at, r.out.find(']', at) + 1 - at);
        }
        EXPECT_EQ(row.bytes, got) << row.args;
    }
}

TEST_F(Code, TemplateValuesAreVerbatimAndInMilliseconds) {
    // A value that looks like a tag, or like HTML, comes out as it is.
    writeBytes(path("{{> file}}&<b>.pat"), TwoPatterns);
    writeBytes(path("v.mustache"),
               "{{file}} {{{file}}} {{name}}\n{{#patterns}}{{number}}:{{name}}:{{delay}} "
               "{{/patterns}}{{total_ms}}\n");
    CliResult r = run(
        std::vector<std::string>{"frames", "{{> file}}&<b>.pat", "--range", "1", "--delay", "250"});
    ASSERT_EQ(0, r.status) << r.err;
    r = run(std::vector<std::string>{"code", "{{> file}}&<b>.pat", "--template", "v.mustache",
                                     "--name", "tag"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("{{> file}}&<b>.pat {{> file}}&<b>.pat tag\n1:tag_1:250 2:tag_2:100 350\n", r.out);

    // --name wins over the pattern's own name for a lone pattern.
    ASSERT_EQ(0, run("names a.pat --pattern 1 bell").status);
    EXPECT_NE(std::string::npos, run("code a.pat --pattern 1 --format asm").out.find("\nbell:\n"));
    r = run("code a.pat --pattern 1 --format asm --name logo");
    EXPECT_NE(std::string::npos, r.out.find("\nlogo:\n")) << r.out;
    EXPECT_EQ(std::string::npos, r.out.find("bell")) << r.out;
}

// A template whose text is over a gigabyte on one line goes out as it is
// made: the program stays small.
TEST_F(Code, HugeTemplateOutputStreams) {
    // 96 x 96 dots: 1152 bytes in rows-msb, so 1152^2 x 1000 bytes.
    std::string pat = "PATTERN\r\n1\r\nSIZE 96 96 1 1 0 2\r\n";
    for (int y = 0; y < 96; ++y) pat += std::string(96, '1') + "\r\n";
    writeBytes(path("big.pat"), pat);
    writeBytes(path("huge.mustache"), nested(1, nested(2, std::string(1000, 'x'), "bytes")));
    const std::string command = "cd " + test::quote(dir.path().string()) + " && { " +
                                test::quote(DEDUR_CLI) +
                                " code big.pat --template huge.mustache; echo $? >rc; } | wc -c "
                                ">count";
    ASSERT_EQ(0, std::system(command.c_str()));
    EXPECT_EQ("0\n", readBytes(path("rc")));
    EXPECT_EQ(std::to_string(1152ull * 1152 * 1000) + "\n", readBytes(path("count")));
    struct rusage usage {};
    ASSERT_EQ(0, ::getrusage(RUSAGE_CHILDREN, &usage));
    EXPECT_LT(usage.ru_maxrss, 200 * 1024) << "kilobytes at the peak";
}

// Standard output that cannot be written is a failure with a message, for
// every command that writes there.
TEST_F(Code, FullStandardOutputFails) {
    ASSERT_EQ(0, run("names a.pat --pattern 1 one").status);
    for (const char* line : {"code a.pat", "code a.pat --template t.mustache", "names a.pat",
                             "frames a.pat", "info a.pat", "--version", "code --help"}) {
        const std::string command = "cd " + test::quote(dir.path().string()) + " && " +
                                    test::quote(DEDUR_CLI) + " " + line + " >/dev/full 2>err";
        const int raw = std::system(command.c_str());
        EXPECT_EQ(1, WIFEXITED(raw) ? WEXITSTATUS(raw) : -1) << line;
        EXPECT_NE(std::string::npos,
                  readBytes(path("err")).find("could not write to standard output"))
            << line;
    }
}

TEST_F(Code, ProfileWithABadValueIsNamed) {
    writeBytes(path("a.pat.toml"), "[profiles.oled]\nlayout = \"diagonal\"\n");
    CliResult r = run("code a.pat --profile oled");
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos,
              r.err.find("The profile \"oled\" in \"a.pat.toml\" has layout = \"diagonal\""))
        << r.err;
    EXPECT_EQ(std::string::npos, r.err.find("usage:")) << r.err;
    // The command line's own value is still a usage error.
    EXPECT_EQ(0, run("code a.pat --profile oled --layout rows-lsb").status);
    EXPECT_EQ(2, run("code a.pat --profile oled --layout diagonal").status);
    writeBytes(path("p.toml"), "format = \"basic\"\n");
    r = run("code a.pat --profile p.toml");
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("The profile file \"p.toml\" has format = \"basic\""))
        << r.err;
}
