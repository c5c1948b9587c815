// One pointer move of a shape drag over a 96 x 96 pattern: the point list is
// recomputed, stale points are repainted, the shape's cells and the thumbnail
// are painted into the grid's surface image.
#include <benchmark/benchmark.h>

#include "offscreenmain.h"

#include <QGuiApplication>
#include <cstdlib>

#include "editor.h"
#include "grid/gridpainter.h"

namespace {

struct Drag {
    dedur::Editor editor;
    dedur::GridPainter painter{editor};

    explicit Drag(dedur::Tool tool) {
        editor.document.panelDefinition.width = 96;
        editor.document.panelDefinition.height = 96;
        dedur::makeBlankDocument(editor.document);
        painter.resizeSurface(QSize(1400, 1000));
        painter.paint(QRect(0, 0, 1400, 1000), true);
        editor.grid.tool = tool;
        dedur::startShape(editor.grid, editor.document, {0, 0});
        painter.previewPaint = true;
    }

    void moveTo(dedur::DotPoint dot) {
        dedur::trackShape(editor.grid, editor.document, dot);
        painter.listChanged = true;
        painter.paint(QRect(0, 0, 1400, 1000), false);
    }
};

void run(benchmark::State& state, dedur::Tool tool, dedur::DotPoint a, dedur::DotPoint b) {
    Drag drag(tool);
    bool flip = false;
    for (auto _ : state) {
        drag.moveTo(flip ? a : b);
        flip = !flip;
        benchmark::DoNotOptimize(drag.painter.surface().constBits());
    }
}

void BM_PreviewFilledRectangle96(benchmark::State& state) {
    run(state, dedur::Tool::FilledRectangle, {95, 95}, {94, 95});
}
BENCHMARK(BM_PreviewFilledRectangle96)->Unit(benchmark::kMicrosecond);

void BM_PreviewFilledEllipse96(benchmark::State& state) {
    run(state, dedur::Tool::FilledEllipse, {96, 96}, {95, 96});
}
BENCHMARK(BM_PreviewFilledEllipse96)->Unit(benchmark::kMicrosecond);

void BM_PreviewLine96(benchmark::State& state) {
    run(state, dedur::Tool::Line, {95, 95}, {95, 94});
}
BENCHMARK(BM_PreviewLine96)->Unit(benchmark::kMicrosecond);

// A whole repaint (a zoom step, an undo, another pattern) of a 96 x 96
// pattern of random dots at cells of `range(0)` pixels, on a surface as large
// as the zoomed grid asks for.
void BM_RepaintAll96(benchmark::State& state) {
    dedur::Editor editor;
    editor.document.panelDefinition.width = 96;
    editor.document.panelDefinition.height = 96;
    dedur::makeBlankDocument(editor.document);
    std::srand(1);
    for (uint8_t& dot : editor.document.workDots) dot = std::rand() % 2 ? '1' : '0';
    dedur::storeWorkDots(editor.document);
    editor.settings.zoomCell = static_cast<int>(state.range(0));
    dedur::GridPainter painter{editor};
    const dedur::GridGeometry g = painter.geometry();
    const QSize size(g.thumbX() + 110, g.lineY(96) + 10);
    painter.resizeSurface(size);
    for (auto _ : state) {
        painter.paint(QRect(QPoint(0, 0), size), true);
        benchmark::DoNotOptimize(painter.surface().constBits());
    }
    state.counters["pixels"] = double(size.width()) * size.height();
}
BENCHMARK(BM_RepaintAll96)->Arg(8)->Arg(16)->Arg(40)->Unit(benchmark::kMillisecond);

} // namespace

DEDUR_OFFSCREEN_BENCHMARK_MAIN()
