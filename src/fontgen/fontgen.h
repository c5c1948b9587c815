#pragma once

#include <functional>
#include <string>
#include <vector>

namespace dedur::fontgen {

// Where the free source fonts live on a Debian system.
struct FontSources {
    std::string wenQuanYi = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc";
    std::string taipei24 = "/usr/share/fonts/X11/misc/taipei24.pcf.gz";
    std::string unifont = "/usr/share/fonts/opentype/unifont/unifont.otf";
    std::string consoleFont = "/usr/share/consolefonts/Lat15-Fixed15.psf.gz";
};

struct FileReport {
    std::string name;
    int records = 0;
    int missing = 0;   // characters no source font has: left blank
    int clipped = 0;   // glyphs with ink beyond their cell
    bool kept = false; // the file existed and was left alone
};

struct Result {
    bool ok = false;
    bool cancelled = false; // the progress said stop: nothing was written
    std::string error;
    std::vector<FileReport> files;
};

// Told `done` of `total` steps now and then; false stops the work. The files
// are drawn first and written at the end, so a stop leaves no file at all.
using Progress = std::function<bool(int done, int total)>;

// Writes "STD16X15.fon", "STD24.fon", "ASCFONT.15", "SPCFONT.15" and
// "SPCFSUPP.15" into `directory`; existing files are kept unless `force`.
Result makeFonts(const std::string& directory, bool force, const FontSources& sources = {},
                 const Progress& progress = {});

} // namespace dedur::fontgen
