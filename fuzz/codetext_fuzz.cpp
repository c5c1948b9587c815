// Any sidecar text reads without harm, and what is read is written and read
// back the same; any template text renders or is refused, never more.
#include <cstdlib>
#include <string>

#include "code/codetemplate.h"
#include "code/sidecar.h"
#include "fuzzinput.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const bool asTemplate = in.byte() & 1;
    const std::string text = in.rest();
    if (asTemplate) {
        CodeJob job;
        job.file = "f.pat";
        job.name = "f";
        CodePattern p;
        p.number = 1;
        p.ident = "f_1";
        p.width = 3;
        p.height = 2;
        p.bytes = {0xA0, 0x60};
        p.packed = {0x05, 0x06}; // "#.#", ".##"
        job.patterns = {p, p};
        std::string out;
        const Outcome made = renderCodeTemplate(job, text, "fuzz", out);
        if (!made.ok() && !out.empty()) std::abort();
        return 0;
    }
    Sidecar read;
    if (!parseSidecar(text, "fuzz.pat", read).ok()) {
        if (!read.empty()) std::abort();
        return 0;
    }
    Sidecar again;
    if (!parseSidecar(formatSidecar(read), "fuzz.pat", again).ok() || !(again == read)) {
        std::abort();
    }
    return 0;
}
