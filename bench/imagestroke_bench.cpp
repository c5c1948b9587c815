// A 1024 x 1024 picture in the editor, zoomed to cells of 40 pixels: one
// step of a pencil stroke (the dot set, its cell and the thumbnail painted,
// the window brought up to date), and the memory twelve undo steps keep.
#include <benchmark/benchmark.h>

#include "offscreenmain.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <filesystem>
#include <fstream>
#include <string>

#include "editor.h"
#include "editorsettings.h"
#include "grid/gridwidget.h"
#include "imagedocument.h"
#include "ui/commandids.h"
#include "ui/qtprompts.h"
#include "window/mainwindow.h"

namespace {

namespace fs = std::filesystem;

struct PictureEditor {
    dedur::Editor editor;
    dedur::QtPrompts prompts;
    dedur::MainWindow window{editor, prompts};

    PictureEditor() : editor(directory()) {
        dedur::loadSettings(editor);
        window.placeWindow(QSize(1400, 1000));
        window.show();
        window.startUp();
        (void)dedur::newImageDocument(editor.document, 1024, 1024);
        window.dispatchCommand(dedur::CmdDrawPoint);
        while (window.grid()->geometry().gridX < 40) window.dispatchCommand(dedur::CmdZoomIn);
        // The middle of the picture in sight.
        for (QScrollBar* bar :
             {window.gridArea()->horizontalScrollBar(), window.gridArea()->verticalScrollBar()}) {
            bar->setValue(bar->maximum() / 2);
        }
        QCoreApplication::processEvents();
    }

    static std::string directory() {
        const fs::path path = fs::temp_directory_path() / "dedur-imagestroke";
        fs::create_directories(path);
        std::ofstream(path / "DEDUR.INI", std::ios::binary) << "[others]\r\n";
        return path.string();
    }

    // The centre of a cell in sight: column and row counted from the first
    // whole cell the viewport shows.
    QPoint cellInSight(int column, int row) {
        const dedur::GridGeometry g = window.grid()->geometry();
        const QPoint corner = -window.grid()->pos();
        const int first = corner.x() / g.px() + 1, top = corner.y() / g.py() + 1;
        const dedur::DotPoint c = g.cellCentre(first + column, top + row);
        return {c.x, c.y};
    }

    void mouse(QEvent::Type type, QPoint at) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, window.grid()->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(window.grid(), &event);
    }
};

// Each step moves the held pencil to the next clear cell in sight; when the
// cells in sight are all set, the picture is cleared, untimed.
void BM_ImageStrokeStep(benchmark::State& state) {
    PictureEditor e;
    const QSize room = e.window.gridArea()->viewport()->size();
    const int columns = room.width() / 41 - 2, rows = room.height() / 41 - 2;
    int at = 0;
    e.mouse(QEvent::MouseButtonPress, e.cellInSight(0, 0));
    for (auto _ : state) {
        if (++at == columns * rows) {
            state.PauseTiming();
            e.mouse(QEvent::MouseButtonRelease, e.cellInSight(0, 0));
            e.window.dispatchCommand(dedur::CmdClearAllDots);
            e.editor.history = {};
            at = 0;
            e.mouse(QEvent::MouseButtonPress, e.cellInSight(0, 0));
            QCoreApplication::processEvents();
            state.ResumeTiming();
            continue;
        }
        e.mouse(QEvent::MouseMove, e.cellInSight(at % columns, at / columns));
        QCoreApplication::processEvents(); // the cell and thumbnail flushed
    }
    e.mouse(QEvent::MouseButtonRelease, e.cellInSight(0, 0));
    state.counters["cells_in_sight"] = columns * rows;
}
BENCHMARK(BM_ImageStrokeStep)->Unit(benchmark::kMicrosecond);

// Twelve strokes, each an undo step: the bytes their snapshots keep.
void BM_ImageUndoMemory(benchmark::State& state) {
    double bytes = 0;
    for (auto _ : state) {
        PictureEditor e;
        for (int i = 0; i < 14; ++i) {
            e.mouse(QEvent::MouseButtonPress, e.cellInSight(i, 0));
            e.mouse(QEvent::MouseButtonRelease, e.cellInSight(i, 0));
        }
        bytes = 0;
        for (const auto& step : e.editor.history.undoBuffer) bytes += double(step.capacity());
        state.counters["steps"] = e.editor.history.undoCount();
    }
    state.counters["undo_MB"] = bytes / 1e6;
}
BENCHMARK(BM_ImageUndoMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

DEDUR_OFFSCREEN_BENCHMARK_MAIN()
