// Any sidecar text is read whole or refused, deep nesting and huge numbers
// included, without running out of stack or memory; what is read is written
// and read back the same, and its numbers stay within the patterns however
// many are inserted before them.
#include <cstdlib>
#include <string>

#include "base/limits.h"
#include "code/sidecar.h"
#include "fuzzinput.h"

using namespace dedur;

namespace {

bool within(const Sidecar& s, int count) {
    for (const auto& [n, name] : s.names) {
        if (n < 1 || n > count || name.empty()) return false;
    }
    for (const auto& [n, ms] : s.delays) {
        if (n < 1 || n > count || ms < 1 || ms > limits::FrameDelayMs) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    int count = in.range(1, 30000);
    const int at = in.range(1, count + 1);
    const int added = in.range(1, 1000);
    const std::string text = in.rest();

    Sidecar read;
    if (!parseSidecar(text, "fuzz.pat", read, count).ok()) {
        if (!read.empty()) std::abort();
        return 0;
    }
    if (!within(read, count)) std::abort();
    Sidecar again;
    if (!parseSidecar(formatSidecar(read), "fuzz.pat", again, count).ok() || !(again == read)) {
        std::abort();
    }
    // Patterns inserted, then the same ones deleted: every name back in place.
    shiftNames(again, at, added);
    count += added;
    if (!within(again, count)) std::abort();
    std::vector<uint8_t> flags(static_cast<size_t>(count), 0);
    for (int n = at; n < at + added; ++n) flags[static_cast<size_t>(n - 1)] = 1;
    deleteNames(again, flags);
    if (!(again == read)) std::abort();
    moveName(again, at > 1 ? at - 1 : 1, count - added);
    if (!within(again, count - added)) std::abort();
    return 0;
}
