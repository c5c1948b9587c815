#include <filesystem>
#include <iostream>

#include "base/safewrite.h"
#include "commands.h"
#include "document/patternfile.h"

namespace dedur::cli {

bool outputAllowed(const std::string& input, const std::string& output, bool force) {
    std::error_code error;
    if (std::filesystem::equivalent(input, output, error)) {
        failure(quotedPath(output) + " is the input file; give another output file");
        return false;
    }
    if (fileExists(output) && !force) {
        failure(quotedPath(output) + " exists; give --force to replace it");
        return false;
    }
    return true;
}

bool writeOut(const std::string& source, const ParsedArgs& args,
              const std::function<void(const CodeSink&)>& make) {
    const auto output = args.value("output");
    if (!output) {
        make([](std::string_view piece) {
            std::cout.write(piece.data(), static_cast<std::streamsize>(piece.size()));
            return bool(std::cout);
        });
        std::cout.flush();
        return bool(std::cout);
    }
    if (!outputAllowed(source, *output, args.has("force"))) return false;
    ByteStream stream;
    stream.produce = [&make](const ByteStream::Put& put) { make(put); };
    if (const Outcome written = writeFileSafely(*output, stream); !written.ok()) {
        failure(written.message.text);
        return false;
    }
    return true;
}

} // namespace dedur::cli
