#include <filesystem>

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
