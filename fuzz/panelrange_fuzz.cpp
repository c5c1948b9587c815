// Any range text either is refused or flags only existing patterns; the
// export of what it flags stays inside the display memory.
#include <cstdlib>

#include "document/patternstore.h"
#include "fuzzinput.h"
#include "grid/selection.h"
#include "panel/panelexport.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const int count = in.range(1, 40);
    const int current = in.range(0, count - 1);
    const auto choice = static_cast<RangeChoice>(in.range(0, 3));
    const std::string text = in.rest();
    const PanelRange range = parsePanelRange(choice, text, count, current);
    if (!range.ok()) return 0;
    if (range.panelFlags.size() != static_cast<size_t>(count) + 2) std::abort();
    if (range.panelFlags[count] || range.panelFlags[count + 1]) std::abort();
    int flagged = 0;
    for (int i = 0; i < count; ++i) flagged += range.panelFlags[i];
    if (flagged == 0) std::abort();
    return 0;
}
