// Any text read as a pattern file either is refused with the document left
// as it was, or loads; one pass and two passes agree; what loads is written
// and read back unchanged.
#include <cstdlib>
#include <string>

#include "document/patternfile.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Document doc;
    const std::vector<uint8_t> before = doc.store;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Outcome result = readPatternText(doc, text, "fuzz.pat");
    // Read in one pass, the text gives what two passes give.
    Document measured;
    const Outcome twoPasses = readPatternText(measured, text, "fuzz.pat", true);
    if (twoPasses.failure != result.failure || twoPasses.message.text != result.message.text ||
        measured.store != doc.store || measured.patternCount != doc.patternCount) {
        std::abort();
    }
    if (result.ok()) {
        // The index made while reading is the one made from the store.
        Document rebuilt = doc;
        invalidateRecordIndex(rebuilt);
        if (recordIndex(rebuilt) != doc.recordOffsets) std::abort();
    }
    if (!result.ok()) {
        if (doc.store != before) std::abort();
        return 0;
    }
    // Records with a side above 96 cannot occur; the writer's stop there is
    // never reached, so all patterns come back.
    const std::string written = formatPatternFile(doc);
    Document again;
    if (!readPatternText(again, written, "again.pat").ok()) std::abort();
    if (again.store != doc.store || again.patternCount != doc.patternCount) std::abort();
    return 0;
}
