#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "base/safewrite.h"
#include "commands.h"
#include "document/patternfile.h"

namespace dedur::cli {

bool outputAllowed(const std::vector<std::string>& inputs, const std::string& output, bool force) {
    // Same device and inode, links followed: a hard link or a symbolic link
    // to an input is that input.
    for (const std::string& input : inputs) {
        std::error_code error;
        if (input.empty() || !std::filesystem::equivalent(input, output, error)) continue;
        std::string why = quotedPath(output) + " is the input file";
        if (input != output) why.append(" ").append(quotedPath(input));
        failure(why + "; give another output file");
        return false;
    }
    if (fileExists(output) && !force) {
        failure(quotedPath(output) + " exists; give --force to replace it");
        return false;
    }
    return true;
}

bool outputAllowed(const std::string& input, const std::string& output, bool force) {
    return outputAllowed(std::vector<std::string>{input}, output, force);
}

bool standardOutputWritten() {
    static bool failed = false; // said once, however often asked
    if (failed) return false;
    errno = 0;
    std::cout.flush();
    if (std::cout && std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
    const int error = errno;
    failed = true;
    std::cerr << "dedur-cli: could not write to standard output"
              << (error ? std::string(": ") + std::strerror(error) : std::string()) << "\n";
    return false;
}

bool writeOut(const std::vector<std::string>& inputs, const ParsedArgs& args,
              const std::function<void(const CodeSink&)>& make) {
    const auto output = args.value("output");
    if (!output) {
        make([](std::string_view piece) {
            std::cout.write(piece.data(), static_cast<std::streamsize>(piece.size()));
            return bool(std::cout);
        });
        return standardOutputWritten();
    }
    if (!outputAllowed(inputs, *output, args.has("force"))) return false;
    ByteStream stream;
    stream.produce = [&make](const ByteStream::Put& put) { make(put); };
    if (const Outcome written = writeFileSafely(*output, stream); !written.ok()) {
        failure(written.message.text);
        return false;
    }
    return true;
}

bool writeOut(const std::string& source, const ParsedArgs& args,
              const std::function<void(const CodeSink&)>& make) {
    return writeOut(std::vector<std::string>{source}, args, make);
}

} // namespace dedur::cli
