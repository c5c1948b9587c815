#include <map>
#include <unistd.h>
#include <vector>

#include "base/filelock.h"
#include "base/fileread.h"
#include "base/limits.h"
#include "base/safewrite.h"
#include "commands.h"
#include "document/patternfile.h"
#include "imagedocument.h"
#include "patternpair.h"

namespace dedur::cli {

namespace {

// Locks are dropped when the program ends, after its last write.
std::vector<FileLock>& heldLocks() {
    static std::vector<FileLock> locks;
    return locks;
}

bool printed(const Outcome& outcome) {
    if (!outcome.ok()) failure(outcome.message.text);
    return outcome.ok();
}

// What an image said beyond its dots, and its sidecar with its delays, from
// its read to its save.
struct KeptImage {
    ImageFacts facts;
    Sidecar sidecar;
};
std::map<std::string, KeptImage>& keptImages() {
    static std::map<std::string, KeptImage> kept;
    return kept;
}

bool lockUntilExit(const std::string& path) {
    FileLock lock;
    if (!printed(lock.lock(path, limits::PairLockWaitMs))) return false;
    if (lock.held()) heldLocks().push_back(std::move(lock));
    return true;
}

} // namespace

bool loadDocument(const std::string& path, Document& doc) {
    if (!imageFormatOfPath(path)) return loadPatternFile(path, doc);
    if (!lockUntilExit(path)) return false;
    KeptImage kept;
    if (!printed(readImageDocument(path, doc, kept.sidecar, kept.facts))) return false;
    keptImages()[path] = std::move(kept);
    return true;
}

bool saveImageFile(const std::string& path, const Document& doc, const Sidecar& sidecar,
                   std::optional<ImageFormat> format) {
    const ImageFacts& facts = keptImages()[path].facts;
    // Written in the form it was read in, whatever its name says.
    return printed(writeImageDocument(path, doc, sidecar, facts, format.value_or(facts.format)));
}

const ImageFacts& imageFactsOf(const std::string& path) {
    return keptImages()[path].facts;
}

bool loadPatternFile(const std::string& path, Document& doc) {
    if (imageFormatOfPath(path)) {
        failure(quotedPath(path) +
                " is an image; this command takes a pattern file (images are taken by code, "
                "render, draw, transform, info and frames)");
        return false;
    }
    FileLock lock;
    if (!printed(lock.lock(path, limits::PairLockWaitMs))) return false;
    if (lock.held()) heldLocks().push_back(std::move(lock));
    return printed(readPatternFile(doc, path));
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
    if (doc.kind == DocumentKind::Image) {
        return saveImageFile(path, doc, keptImages()[path].sidecar, std::nullopt);
    }
    const Outcome result = writePatternFile(doc, path);
    if (!result.ok()) failure(result.message.text + "\n(" + result.reason() + ")");
    return result.ok();
}

bool readSidecarOf(const std::string& path, const Document& doc, Sidecar& sidecar) {
    if (doc.kind == DocumentKind::Image) {
        sidecar = keptImages()[path].sidecar;
        return true;
    }
    return printed(readSidecar(path, sidecar, doc.patternCount));
}

bool writeSidecarOf(const std::string& path, const Sidecar& sidecar) {
    return printed(checkWritable(sidecarPath(path), FileRole::Program)) &&
           printed(writeSidecar(path, sidecar));
}

bool savePatternPair(const std::string& path, Document& doc, const Sidecar& before,
                     const Sidecar& after) {
    const std::string side = sidecarPath(path);
    const bool sidecarChanges = !(before == after);
    if (!printed(checkWritable(path)) ||
        (sidecarChanges && !printed(checkWritable(side, FileRole::Program)))) {
        return false;
    }
    if (!sidecarChanges) return savePatternFile(path, doc);
    // The sidecar as it is now (read whole a moment ago, under the lock), to
    // put back should the pattern file fail.
    std::string old;
    const bool existed = fileExists(side);
    if (existed && readFileLimited(side, limits::SidecarBytes, old) != FileReadStatus::Ok) {
        return printed(Outcome{Failure::Open, 0,
                               Message{quotedPath(side) + " could not be read again", " ",
                                       MessageButtons::Ok, MessageIcon::Question}});
    }
    if (!printed(writeSidecar(path, after))) return false;
    if (savePatternFile(path, doc)) return true;
    if (existed) {
        (void)writeFileSafely(side, old, FileRole::Program);
    } else {
        (void)::unlink(side.c_str());
    }
    return false;
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
