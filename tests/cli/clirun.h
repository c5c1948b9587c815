#pragma once

// Runs the real dedur-cli in a temporary folder of its own and hands back
// the exit status and both streams.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "document/patternfile.h"
#include "editor.h"
#include "testsupport.h"

namespace dedur::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string quote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) {
        if (c == '\'') {
            q += "'\\''";
        } else {
            q.push_back(c);
        }
    }
    return q + "'";
}

class Cli : public ::testing::Test {
  protected:
    // `limit`: the shell's file size limit for the run, in blocks.
    CliResult run(const std::vector<std::string>& args, int limit = 0) {
        std::string command = "cd ";
        if (limit > 0) command = "ulimit -f " + std::to_string(limit) + " && cd ";
        command.append(quote(dir.path().string())).append(" && ").append(quote(DEDUR_CLI));
        for (const std::string& a : args) command.append(" ").append(quote(a));
        command.append(" >").append(quote(dir.file(".out")));
        command.append(" 2>").append(quote(dir.file(".err")));
        const int raw = std::system(command.c_str());
        CliResult r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readBytes(dir.file(".out"));
        r.err = readBytes(dir.file(".err"));
        return r;
    }

    // The arguments as one line, split at spaces.
    CliResult run(const std::string& line, int limit = 0) {
        std::vector<std::string> args;
        std::istringstream words(line);
        for (std::string w; words >> w;) args.push_back(w);
        return run(args, limit);
    }

    std::string path(const std::string& name) const { return dir.file(name); }

    std::vector<std::string> rows(const std::string& name, int index) {
        Document doc = load(name);
        return test::recordRows(doc, index);
    }

    Document load(const std::string& name) {
        Document doc;
        EXPECT_TRUE(readPatternFile(doc, path(name)).ok());
        return doc;
    }

    TempDir dir;
};

} // namespace dedur::test
