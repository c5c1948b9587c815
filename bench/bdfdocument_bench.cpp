// Opening and saving BDF fonts as documents, at three sizes: the first 1,000
// glyphs of unifont, a 24 x 24 CJK font (taipei24, 13,503 glyphs) and the
// whole of unifont (57,086). The fonts are Debian's PCF files turned into BDF
// by pcf2bdf once, in the temporary folder; a font that is not installed is
// skipped with a message.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "fonts/bdfdocument.h"

namespace {

namespace fs = std::filesystem;

std::string temporary(const std::string& name) {
    return (fs::temp_directory_path() / ("dedur-bench-" + name)).string();
}

// The BDF of an installed PCF font, made once; empty when it cannot be.
std::string converted(const std::string& pcf, const std::string& name) {
    const std::string out = temporary(name + ".bdf");
    if (fs::exists(out)) return out;
    const std::string command = "gzip -dc '" + pcf + "' 2>/dev/null | pcf2bdf > '" + out + "'";
    if (!fs::exists(pcf) || std::system(command.c_str()) != 0) {
        fs::remove(out);
        return "";
    }
    return out;
}

// The fonts by name: unifont, taipei24 and unifont's first 1,000 glyphs.
const std::map<std::string, std::string>& fonts() {
    static const std::map<std::string, std::string> made = [] {
        std::map<std::string, std::string> m;
        m["unifont"] = converted("/usr/share/fonts/X11/misc/unifont.pcf.gz", "unifont");
        m["taipei24"] = converted("/usr/share/fonts/X11/misc/taipei24.pcf.gz", "taipei24");
        // The first 1,000 glyphs: the text up to the 1,001st, CHARS set.
        dedur::BdfDocument doc;
        if (!m["unifont"].empty() && dedur::readBdfDocument(m["unifont"], doc).ok() &&
            doc.glyphs.size() > 1000) {
            std::string text = doc.text.substr(0, doc.glyphs[1000].firstLine) + "ENDFONT\n";
            text.replace(doc.charsLine, doc.charsLineEnd - doc.charsLine, "CHARS 1000");
            const std::string subset = temporary("unifont-1000.bdf");
            if (std::FILE* f = std::fopen(subset.c_str(), "wb")) {
                std::fwrite(text.data(), 1, text.size(), f);
                if (std::fclose(f) == 0) m["unifont-1000"] = subset;
            }
        }
        return m;
    }();
    return made;
}

bool pathOf(benchmark::State& state, const std::string& name, std::string& path) {
    const auto it = fonts().find(name);
    if (it == fonts().end() || it->second.empty()) {
        state.SkipWithError((name + " is not installed (xfonts-unifont, xfonts-intl-chinese, "
                                    "pcf2bdf)")
                                .c_str());
        return false;
    }
    path = it->second;
    return true;
}

void BM_Open(benchmark::State& state, const std::string& name) {
    std::string path;
    if (!pathOf(state, name, path)) return;
    size_t glyphs = 0;
    for (auto _ : state) {
        dedur::BdfDocument doc;
        if (!dedur::readBdfDocument(path, doc).ok()) state.SkipWithError("unreadable");
        glyphs = doc.glyphs.size();
        benchmark::DoNotOptimize(doc);
    }
    state.counters["glyphs"] = static_cast<double>(glyphs);
}

// A save after one glyph was redrawn: every other glyph copied as it stood,
// written through the safe write (synced to disk).
void BM_SaveEdited(benchmark::State& state, const std::string& name) {
    std::string path;
    if (!pathOf(state, name, path)) return;
    dedur::BdfDocument doc;
    if (!dedur::readBdfDocument(path, doc).ok()) return state.SkipWithError("unreadable");
    dedur::BdfGlyphShape shape;
    shape.width = shape.height = 8;
    shape.advance = 8;
    shape.rows.assign(8, 0x81);
    if (!doc.setGlyph(static_cast<int>(doc.glyphs.size() / 2), shape).ok()) {
        return state.SkipWithError("refused");
    }
    const std::string out = temporary("saved-" + name + ".bdf");
    for (auto _ : state) {
        if (!dedur::writeBdfDocument(out, doc).ok()) state.SkipWithError("not written");
    }
    fs::remove(out);
}

BENCHMARK_CAPTURE(BM_Open, unifont_1000, std::string("unifont-1000"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open, taipei24, std::string("taipei24"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open, unifont, std::string("unifont"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveEdited, unifont_1000, std::string("unifont-1000"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveEdited, taipei24, std::string("taipei24"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveEdited, unifont, std::string("unifont"))->Unit(benchmark::kMillisecond);

} // namespace
