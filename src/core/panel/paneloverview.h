#pragma once

#include <string>
#include <vector>

namespace dedur {

struct Document;

// Where a pattern lies on the panel under the export's mapping: the SEG and
// COM lines it covers, cut to the panel, and why the export would refuse it
// when it runs off.
struct PatternOutline {
    int number = 0; // from 1
    int segFirst = 0, segLast = 0, comFirst = 0, comLast = 0;
    bool visible = false; // some of it lies on the panel
    std::string offPanel; // empty when it fits
};

std::vector<PatternOutline> patternOutlines(const Document& doc);
PatternOutline patternOutline(const Document& doc, int index);

} // namespace dedur
