// Any template text over a small job and over one 96 x 96 pattern renders
// or is refused before a byte is handed on, and a render that goes on past
// what its reader wants stops there: no recursion through partials, no
// nesting past the limit, memory small whatever the text expands to.
#include <cstdlib>
#include <string>

#include "code/codetemplate.h"
#include "fuzzinput.h"

using namespace dedur;

namespace {

CodePattern pattern(int number, int width, int height, std::string ident) {
    CodePattern p;
    p.number = number;
    p.ident = std::move(ident);
    p.width = width;
    p.height = height;
    const size_t stride = static_cast<size_t>((width + 7) / 8);
    p.bytes.assign(stride * static_cast<size_t>(height), 0xA5);
    p.packed.assign(stride * static_cast<size_t>(height), 0x5A);
    return p;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const bool large = in.byte() & 1;
    const std::string text = in.rest();
    CodeJob job;
    job.file = "{{> f}}.pat"; // a value that looks like a partial
    job.name = "f";
    if (large) {
        job.patterns = {pattern(1, 96, 96, "f")};
    } else {
        job.patterns = {pattern(1, 3, 2, "f_1"), pattern(2, 9, 9, "{{> name}}")};
    }
    const bool accepted = checkCodeTemplate(job, text, "fuzz").ok();
    // Four megabytes are plenty to see a render go on; the rest is dropped.
    size_t handed = 0;
    const Outcome made = renderCodeTemplate(job, text, "fuzz", [&handed](std::string_view piece) {
        handed += piece.size();
        return handed < (size_t{4} << 20);
    });
    if (made.ok() != accepted) std::abort();
    if (!made.ok() && handed != 0) std::abort();
    return 0;
}
