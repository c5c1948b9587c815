#pragma once

// Runs the real dedur-cli in a temporary folder of its own and hands back
// the exit status and both streams.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "document/patternfile.h"
#include "editor.h"
#include "testsupport.h"

namespace dedur::test {

// The most memory a run of the program held, in kilobytes; -1 when it
// could not be run.
inline long peakKilobytes(const std::vector<std::string>& argv) {
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 2);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return -1;
    return WIFEXITED(status) && WEXITSTATUS(status) != 127 ? usage.ru_maxrss : -1;
}

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// A row of a table of runs: the arguments, the exit status and part of what
// stderr says ("" for anything).
struct Refusal {
    const char* line;
    int status;
    const char* says;
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

// Bytes as JSON writes them: decimal numbers separated by ", ".
inline std::string decimalList(const std::string& bytes) {
    std::string out;
    for (unsigned char b : bytes) out += (out.empty() ? "" : ", ") + std::to_string(b);
    return out;
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

    // A shell line run in the folder, for pipes and other programs: its exit
    // status, its streams left in .out and .err.
    int shell(const std::string& line) {
        const std::string command = "cd " + quote(dir.path().string()) + " && " + line + " >" +
                                    quote(path(".out")) + " 2>" + quote(path(".err"));
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    // Runs the row and checks its exit status and that stderr holds its text.
    CliResult expectOutcome(const Refusal& row) {
        const CliResult r = run(std::string(row.line));
        EXPECT_EQ(row.status, r.status) << row.line << "\n" << r.err;
        EXPECT_NE(std::string::npos, r.err.find(row.says)) << row.line << "\n" << r.err;
        return r;
    }

    // The bytes of every regular file in the folder (the last run's streams
    // left out), to show that a refusal changed nothing.
    std::map<std::string, std::string> folderBytes() const {
        std::map<std::string, std::string> bytes;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (entry.is_regular_file() && name != ".out" && name != ".err")
                bytes[name] = readBytes(entry.path().string());
        }
        return bytes;
    }

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
