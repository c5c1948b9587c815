// The grid of the editor zoomed over a 96 x 48 pattern of random dots: one
// scroll step (the grid moved, the strip that comes into view painted and
// the window's backing store brought up to date), and the memory the editor
// takes beyond its size at the normal cell size.
#include <benchmark/benchmark.h>

#include "offscreenmain.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <filesystem>
#include <fstream>
#include <string>

#include "benchdocument.h"
#include "editor.h"
#include "editorsettings.h"
#include "grid/gridwidget.h"
#include "ui/commandids.h"
#include "ui/qtprompts.h"
#include "window/mainwindow.h"

namespace {

namespace fs = std::filesystem;

double statusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::atof(line.c_str() + 6) * 1024.0;
    }
    return 0;
}

struct ZoomedEditor {
    dedur::Editor editor;
    dedur::QtPrompts prompts;
    dedur::MainWindow window{editor, prompts};

    ZoomedEditor() : editor(directory()) {
        dedur::loadSettings(editor);
        window.placeWindow(QSize(1400, 1000));
        window.show();
        window.startUp();
        editor.document = dedur::bench::randomDocument(1, 96, 48);
        window.repaintGrid(true);
        QCoreApplication::processEvents();
    }

    static std::string directory() {
        const fs::path path = fs::temp_directory_path() / "dedur-gridscroll";
        fs::create_directories(path);
        std::ofstream(path / "DEDUR.INI", std::ios::binary) << "[others]\r\n";
        return path.string();
    }

    // Cells of `cell` pixels (0: the normal size), by the zoom commands.
    void zoomTo(int cell) {
        while (window.grid()->geometry().gridX < cell) window.dispatchCommand(dedur::CmdZoomIn);
        QCoreApplication::processEvents();
    }

    QScrollBar* bar(bool vertical) {
        QScrollArea* area = window.gridArea();
        return vertical ? area->verticalScrollBar() : area->horizontalScrollBar();
    }
};

// range(0): the cell's width; range(1): 1 for a vertical step; range(2): the
// step in pixels (0: the scroll bar's own step, as an arrow key makes).
void BM_ScrollStep(benchmark::State& state) {
    ZoomedEditor e;
    e.zoomTo(static_cast<int>(state.range(0)));
    QScrollBar* bar = e.bar(state.range(1) != 0);
    const int step = state.range(2) ? static_cast<int>(state.range(2)) : bar->singleStep();
    if (bar->maximum() < 2 * step) {
        state.SkipWithError("the grid does not scroll");
        return;
    }
    const int middle = bar->maximum() / 2;
    bar->setValue(middle);
    QCoreApplication::processEvents();
    bool back = false;
    for (auto _ : state) {
        bar->setValue(back ? middle : middle + step);
        QCoreApplication::processEvents(); // the exposed strip painted and flushed
        back = !back;
    }
    state.counters["step_px"] = step;
}
BENCHMARK(BM_ScrollStep)
    ->Args({16, 0, 0})
    ->Args({24, 0, 0})
    ->Args({40, 0, 0})
    ->Args({40, 0, 41})
    ->Args({40, 1, 41})
    ->Args({40, 0, 400})
    ->Unit(benchmark::kMicrosecond);

// The editor's resident memory after zooming to cells of range(0) pixels and
// scrolling over the whole grid, beyond what it takes at the normal size.
void BM_ZoomedEditorMemory(benchmark::State& state) {
    double added = 0;
    double addedPeak = 0;
    for (auto _ : state) {
        ZoomedEditor e;
        const double normal = statusBytes("VmRSS:");
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak from here
        e.zoomTo(static_cast<int>(state.range(0)));
        for (const bool vertical : {false, true}) {
            QScrollBar* bar = e.bar(vertical);
            for (int at = 0; at <= bar->maximum(); at += bar->pageStep()) {
                bar->setValue(at);
                QCoreApplication::processEvents();
            }
        }
        added = statusBytes("VmRSS:") - normal;
        addedPeak = statusBytes("VmHWM:") - normal;
    }
    state.counters["added_MB"] = added / 1e6;
    state.counters["added_peak_MB"] = addedPeak / 1e6;
}
BENCHMARK(BM_ZoomedEditorMemory)
    ->Arg(0)
    ->Arg(16)
    ->Arg(24)
    ->Arg(40)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

DEDUR_OFFSCREEN_BENCHMARK_MAIN()
