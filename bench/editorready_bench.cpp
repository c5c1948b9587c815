// The editor started on a large pattern file, from nothing to a painted
// window with the last pattern of the settings shown, and its peak memory
// against the file's size.
#include <benchmark/benchmark.h>

#include "offscreenmain.h"

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "benchdocument.h"
#include "document/patternfile.h"
#include "editor.h"
#include "editorsettings.h"
#include "ui/qtprompts.h"
#include "window/mainwindow.h"

namespace {

namespace fs = std::filesystem;

// The peak resident memory since the last reset, in bytes.
double peakResident() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) * 1024.0;
    }
    return 0;
}

void resetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A file of `count` random 96 x 96 patterns, made once.
std::string patternFile(int count) {
    const fs::path path =
        fs::temp_directory_path() / ("dedur-ready-" + std::to_string(count) + ".pat");
    if (!fs::exists(path)) {
        dedur::Document doc = dedur::bench::randomDocument(count, 96, 96);
        dedur::writePatternFile(doc, path.string());
    }
    return path.string();
}

struct Started {
    dedur::Editor editor;
    dedur::QtPrompts prompts;
    dedur::MainWindow window{editor, prompts};

    explicit Started(const std::string& directory) : editor(directory) {}
};

void BM_EditorReady96x96(benchmark::State& state) {
    const std::string file = patternFile(static_cast<int>(state.range(0)));
    const fs::path directory = fs::temp_directory_path() / "dedur-ready-settings";
    fs::create_directories(directory);
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(directory / "DEDUR.INI", std::ios::binary)
            << "[others]\r\nPATFILE = " << file << "\r\nPATNO = " << state.range(0) - 1 << "\r\n";
        resetPeakResident();
        const double before = peakResident();
        state.ResumeTiming();
        auto started = std::make_unique<Started>(directory.string());
        dedur::loadSettings(started->editor);
        started->window.placeWindow(QSize(1400, 1000));
        started->window.show();
        started->window.startUp();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (started->editor.document.patternCount != state.range(0)) {
            state.SkipWithError("the file did not load");
        }
        peak = std::max(peak, peakResident() - before);
        started.reset();
        state.ResumeTiming();
    }
    const double size = static_cast<double>(fs::file_size(file));
    state.counters["file_MB"] = size / 1e6;
    state.counters["added_peak_MB"] = peak / 1e6;
    state.counters["peak_per_file"] = peak / size;
}
BENCHMARK(BM_EditorReady96x96)
    ->RangeMultiplier(10)
    ->Range(100, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

DEDUR_OFFSCREEN_BENCHMARK_MAIN()
