// One move of a drag with the panel view open: the current pattern's
// display memory rebuilt, its bytes listed and the panel painted, for a
// filled 96 x 48 pattern among 1 to 10,000.
#include <benchmark/benchmark.h>

#include "offscreenmain.h"

#include <QApplication>
#include <cstdlib>

#include "benchdocument.h"
#include "editor.h"
#include "panel/panelview.h"

namespace {

void BM_PanelViewUpdatePerMove(benchmark::State& state) {
    dedur::Editor editor;
    editor.document = dedur::bench::randomDocument(static_cast<int>(state.range(0)), 96, 48);
    dedur::fillPattern(editor.document, dedur::DOT_ON);
    dedur::PanelView view(editor, nullptr);
    view.show();
    view.refresh(true);
    for (auto _ : state) {
        view.refresh(false);
        view.repaint();
    }
}
BENCHMARK(BM_PanelViewUpdatePerMove)->Arg(1)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

DEDUR_OFFSCREEN_BENCHMARK_MAIN()
