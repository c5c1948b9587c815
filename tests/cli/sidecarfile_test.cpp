// A pattern file and its sidecar through the real dedur-cli: read whole or
// left alone, changed together or not at all, one writer at a time.

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

#include "base/limits.h"
#include "clirun.h"

using namespace dedur;
using dedur::test::Cli;
using dedur::test::quote;
using dedur::test::readBytes;
using dedur::test::Refusal;
using dedur::test::repeated;
using dedur::test::writeBytes;

namespace {

bool isLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

} // namespace

// Every command that would have to write the sidecar refuses one it could
// not read whole, and changes neither file; a listing says why and stops.
TEST_F(Cli, ASidecarNotReadWholeIsNeverWrittenOver) {
    ASSERT_EQ(0, run("new a.pat --count 3 --size 2x2").status);
    ASSERT_EQ(0, std::system(("cd " + quote(dir.path().string()) +
                              " && convert -delay 25 -size 2x2 xc:black xc:white xc:black "
                              "-loop 0 anim.gif")
                                 .c_str()));
    const std::string pat = readBytes(path("a.pat"));
    const struct {
        const char* name;
        std::string text;
        const char* says;
    } sidecars[] = {
        {"a bad entry", "[names]\n1 = 'kept'\n2 = '9lives'\n", "names.2 must be"},
        {"a number past the patterns", "[names]\n1 = 'kept'\n4 = 'four'\n",
         "names.4 must be a pattern number from 1 to 3"},
        {"the largest number", "[names]\n2147483647 = 'far'\n", "names.2147483647 must be"},
        {"a delay of 0", "[delays]\n1 = 0\n", "given 1 to 655350 milliseconds"},
        {"nested tables", "[" + repeated("a.", 60000) + "a]\n", "nested deeper than 8, line 1"},
        {"dotted keys", "\n" + repeated("a.", 60000) + "a = 1\n", "nested deeper than 8, line 2"},
        {"too large", "[names]\n" + std::string(limits::SidecarBytes, '#'), "too large"},
    };
    const char* const commands[] = {
        "names a.pat",
        "names a.pat --pattern 1 one",
        "names a.pat --pattern 1 --remove",
        "frames a.pat",
        "frames a.pat --range 1-2 --delay 250",
        "add a.pat",
        "add a.pat --at 1",
        "delete a.pat --pattern 1",
        "move a.pat --pattern 1 --to 3",
        "import-image a.pat anim.gif --append",
    };
    for (const auto& sidecar : sidecars) {
        writeBytes(path("a.pat.toml"), sidecar.text);
        for (const char* command : commands) {
            const auto r = run(command);
            EXPECT_EQ(1, r.status) << sidecar.name << ": " << command << "\n" << r.err;
            EXPECT_NE(std::string::npos, r.err.find(sidecar.says))
                << sidecar.name << ": " << command << "\n"
                << r.err.substr(0, 300);
            EXPECT_EQ(pat, readBytes(path("a.pat"))) << sidecar.name << ": " << command;
            EXPECT_EQ(sidecar.text, readBytes(path("a.pat.toml")))
                << sidecar.name << ": " << command;
        }
    }
    // Code only looks names up: it goes on without them, the file untouched.
    writeBytes(path("a.pat.toml"), sidecars[4].text);
    const auto code = run("code a.pat");
    EXPECT_EQ(0, code.status) << code.err;
    EXPECT_NE(std::string::npos, code.err.find("nested deeper than 8")) << code.err;
    EXPECT_EQ(sidecars[4].text, readBytes(path("a.pat.toml")));
    // Placing patterns leaves their numbers alone: the sidecar is not its business.
    writeBytes(path("a.pat.toml"), sidecars[0].text);
    ASSERT_EQ(0, run("place a.pat --pattern 1 --seg 3").status) << run("place a.pat").err;
    EXPECT_EQ(sidecars[0].text, readBytes(path("a.pat.toml")));
}

// A link planted at the sidecar's name, or a sidecar that cannot be
// written, is found before anything is written: the pattern file keeps its
// bytes and the names stay on their patterns.
TEST_F(Cli, ARefusedSidecarChangesNeitherFile) {
    ASSERT_EQ(0, run("new a.pat --count 3 --size 2x2").status);
    ASSERT_EQ(0, std::system(("cd " + quote(dir.path().string()) +
                              " && convert -delay 25 -size 2x2 xc:black xc:white -loop 0 anim.gif")
                                 .c_str()));
    const std::string names = "[names]\n2 = 'two'\n";
    const std::string pat = readBytes(path("a.pat"));
    const char* const commands[] = {
        "add a.pat --at 1",
        "delete a.pat --pattern 1",
        "move a.pat --pattern 2 --to 3",
        "import-image a.pat anim.gif --append",
    };
    enum class Target { Link, ReadOnly };
    for (const Target target : {Target::Link, Target::ReadOnly}) {
        for (const char* command : commands) {
            std::filesystem::remove(path("a.pat.toml"));
            writeBytes(path("elsewhere.toml"), names);
            if (target == Target::Link) {
                std::filesystem::create_symlink("elsewhere.toml", path("a.pat.toml"));
            } else {
                writeBytes(path("a.pat.toml"), names);
                std::filesystem::permissions(path("a.pat.toml"),
                                             std::filesystem::perms::owner_read);
            }
            const auto r = run(command);
            EXPECT_EQ(1, r.status) << command << "\n" << r.err;
            EXPECT_NE(std::string::npos, r.err.find("Could not write \"a.pat.toml\": "))
                << command << "\n"
                << r.err;
            EXPECT_EQ(pat, readBytes(path("a.pat"))) << command;
            EXPECT_EQ(names, readBytes(path("a.pat.toml"))) << command;
            EXPECT_EQ(names, readBytes(path("elsewhere.toml"))) << command;
            EXPECT_EQ(target == Target::Link, isLink(path("a.pat.toml"))) << command;
            std::filesystem::permissions(path("a.pat.toml"), std::filesystem::perms::owner_all);
        }
    }
    // A pipe or a folder at the sidecar's name is not read, nor written.
    for (const bool pipe : {true, false}) {
        std::filesystem::remove(path("a.pat.toml"));
        if (pipe) {
            ASSERT_EQ(0, ::mkfifo(path("a.pat.toml").c_str(), 0600));
        } else {
            std::filesystem::create_directory(path("a.pat.toml"));
        }
        for (const char* command : commands) {
            const auto r = run(command);
            EXPECT_EQ(1, r.status) << command << "\n" << r.err;
            EXPECT_NE(std::string::npos, r.err.find("it is not a regular file")) << r.err;
            EXPECT_EQ(pat, readBytes(path("a.pat"))) << command;
        }
    }
    std::filesystem::remove(path("a.pat.toml"));
    // A command that leaves the numbers as they are does not need the sidecar.
    std::filesystem::remove(path("a.pat.toml"));
    std::filesystem::create_symlink("elsewhere.toml", path("a.pat.toml"));
    EXPECT_EQ(0, run("add a.pat").status);
    EXPECT_EQ(names, readBytes(path("elsewhere.toml")));
    EXPECT_EQ("2 two\n", run("names a.pat").out);
}

// Writers of one pattern file take turns: every change of many commands
// started at once survives.
TEST_F(Cli, WritersStartedAtOnceAllKeepTheirChange) {
    // Few enough that the last in line waits far less than the lock's 30 s,
    // even under the sanitizers on a loaded machine.
    constexpr int Patterns = 10, Adds = 8;
    ASSERT_EQ(0, run("new a.pat --count 10 --size 2x2").status);
    std::string script = "cd " + quote(dir.path().string());
    for (int n = 1; n <= Patterns; ++n) {
        script += "\n( " + quote(DEDUR_CLI) + " names a.pat --pattern " + std::to_string(n) + " n" +
                  std::to_string(n) + " || echo names " + std::to_string(n) + " >>failed ) & ( " +
                  quote(DEDUR_CLI) + " frames a.pat --range " + std::to_string(n) + " --delay " +
                  std::to_string(1000 + n) + " || echo frames >>failed ) &";
    }
    script += "\nwait";
    ASSERT_EQ(0, std::system(("bash -c " + quote(script)).c_str()));
    EXPECT_FALSE(std::filesystem::exists(path("failed"))) << readBytes(path("failed"));
    std::string names;
    std::string delays;
    for (int n = 1; n <= Patterns; ++n) {
        names += std::to_string(n) + " n" + std::to_string(n) + "\n";
        delays += std::to_string(n) + " " + std::to_string(1000 + n) + "\n";
    }
    EXPECT_EQ(names, run("names a.pat").out);
    EXPECT_EQ(delays, run("frames a.pat").out);

    // Pattern files are replaced whole by a save: writers of the patterns and
    // the names keep their turns across the new file too. A blank pattern
    // first, so that pattern 1 has no name whichever runs first.
    ASSERT_EQ(0, run("add a.pat --at 1").status);
    std::string adds = "cd " + quote(dir.path().string());
    for (int n = 0; n < Adds; ++n) {
        adds += "\n" + quote(DEDUR_CLI) + " add a.pat --at 1 &\n" + quote(DEDUR_CLI) +
                " names a.pat --pattern 1 --remove &";
    }
    adds += "\nwait";
    ASSERT_EQ(0, std::system(("bash -c " + quote(adds)).c_str()));
    EXPECT_EQ(Patterns + Adds + 1, load("a.pat").patternCount);
    const std::string listed = run("names a.pat").out;
    EXPECT_EQ(size_t(Patterns), static_cast<size_t>(std::count(listed.begin(), listed.end(), '\n')))
        << listed;
}

// A pattern file that cannot be written once its sidecar was (a file size
// limit of 8 blocks, the pattern file some 14 KB): the sidecar is put back,
// so the names stay on the patterns the file still holds.
TEST_F(Cli, APatternFileNotWrittenPutsTheSidecarBack) {
    ASSERT_EQ(0, run("new a.pat --count 3 --size 96x48").status);
    ASSERT_EQ(0, run("names a.pat --pattern 2 two").status);
    const std::string pat = readBytes(path("a.pat"));
    const std::string names = readBytes(path("a.pat.toml"));
    for (const char* command :
         {"add a.pat --at 1", "delete a.pat --pattern 1", "move a.pat --pattern 2 --to 3"}) {
        const auto r = run(command, 8);
        EXPECT_EQ(1, r.status) << command << "\n" << r.err;
        EXPECT_EQ(pat, readBytes(path("a.pat"))) << command;
        EXPECT_EQ(names, readBytes(path("a.pat.toml"))) << command;
    }
    EXPECT_EQ("2 two\n", run("names a.pat").out);
}

// What the sidecar holds, worked out by hand.
TEST_F(Cli, FramesNamesAndMovesAsWritten) {
    ASSERT_EQ(0, run("new a.pat --count 3 --size 2x2").status);
    const Refusal delays[] = {
        {"frames a.pat --range 1 --delay 0", 2, "--delay must be a whole number from 1 to 655350"},
        {"frames a.pat --range 1", 2, "give --range and --delay together, or neither to list"},
        {"frames a.pat --delay 50", 2, "give --range and --delay together, or neither to list"},
        {"frames a.pat --range 1 --delay 655351", 2,
         "--delay must be a whole number from 1 to 655350"},
        {"frames a.pat --range 1 --delay 655350", 0, ""},
        {"frames a.pat --range 3 --delay 1", 0, ""},
    };
    for (const Refusal& d : delays) expectOutcome(d);
    EXPECT_EQ("1 655350\n2 100\n3 1\n", run("frames a.pat").out);

    // A pattern moved forward takes its name and delay along; those between close up.
    ASSERT_EQ(0, run("names a.pat --pattern 1 first").status);
    ASSERT_EQ(0, run("names a.pat --pattern 2 second").status);
    ASSERT_EQ(0, run("move a.pat --pattern 1 --to 3").status);
    EXPECT_EQ("1 second\n3 first\n", run("names a.pat").out);
    EXPECT_EQ("1 100\n2 1\n3 655350\n", run("frames a.pat").out);

    // The only name removed leaves the delays; all of it removed leaves the
    // sidecar's first line and nothing else.
    ASSERT_EQ(0, run("frames a.pat --range 1-3 --delay 100").status);
    ASSERT_EQ(0, run("names a.pat --pattern 1 --remove").status);
    EXPECT_EQ("# Kept by dedur beside the pattern file: what the pattern format cannot hold.\n"
              "[names]\n3 = 'first'\n",
              readBytes(path("a.pat.toml")));
    ASSERT_EQ(0, run("names a.pat --pattern 3 --remove").status);
    EXPECT_EQ("", run("names a.pat").out);
    EXPECT_EQ("# Kept by dedur beside the pattern file: what the pattern format cannot hold.\n\n",
              readBytes(path("a.pat.toml")));
}
