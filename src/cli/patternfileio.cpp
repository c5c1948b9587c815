#include <filesystem>
#include <iostream>

#include "base/safewrite.h"
#include "commands.h"
#include "document/patternfile.h"

namespace dedur::cli {

bool loadPatternFile(const std::string& path, Document& doc) {
    const Outcome result = readPatternFile(doc, path);
    if (!result.ok()) failure(result.message.text);
    return result.ok();
}

bool selectPatternNumber(Document& doc, int number, const std::string& path) {
    if (number < 1 || number > doc.patternCount) {
        failure("Pattern " + std::to_string(number) + " is not in " + quotedPath(path) +
                " (it holds " + std::to_string(doc.patternCount) + ")");
        return false;
    }
    doc.currentPattern = number - 1;
    return true;
}

bool savePatternFile(const std::string& path, Document& doc) {
    const Outcome result = writePatternFile(doc, path);
    if (!result.ok()) failure(result.message.text + "\n(" + result.reason() + ")");
    return result.ok();
}

bool readSidecarOf(const std::string& path, Sidecar& sidecar) {
    const Outcome read = readSidecar(path, sidecar);
    if (!read.ok()) failure(read.message.text);
    return read.ok();
}

bool writeSidecarOf(const std::string& path, const Sidecar& sidecar) {
    const Outcome written = writeSidecar(path, sidecar);
    if (!written.ok()) failure(written.message.text);
    return written.ok();
}

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

bool readDirection(const ParsedArgs& args, const char* name, int fallback, int& code,
                   std::string& error) {
    code = fallback;
    if (!numberOption(args, name, 0, 3, code, error)) {
        error = std::string("--") + name +
                " must be a direction code 0..3 (0 Increase Seg, 1 Decrease Seg, 2 Increase "
                "Com, 3 Decrease Com)";
        return false;
    }
    return true;
}

} // namespace dedur::cli
