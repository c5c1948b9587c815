// The panel data export of all patterns, as text and as bytes, for 100 to
// 100,000 patterns. The panel has 48 COM lines, so the largest pattern that
// fits is 96 x 48. The output is made piece by piece as the writer takes it.
#include <benchmark/benchmark.h>

#include "benchdocument.h"
#include "grid/selection.h"
#include "panel/panelexport.h"

namespace {

void exportAll(benchmark::State& state, int type) {
    const int count = static_cast<int>(state.range(0));
    dedur::Document doc = dedur::bench::randomDocument(count, 96, 48);
    const dedur::Selection none;
    const dedur::PanelRange range = dedur::parsePanelRange(dedur::RangeChoice::All, "", count, 0);
    uint64_t bytes = 0;
    for (auto _ : state) {
        const dedur::ExportStream out =
            dedur::panelExportStream(doc, none, range.panelFlags, false, type);
        if (!out.outcome.ok()) state.SkipWithError(out.outcome.message.text.c_str());
        bytes = 0;
        out.bytes.produce([&bytes](std::string_view piece) {
            bytes += piece.size();
            benchmark::DoNotOptimize(piece.data());
            return true;
        });
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}

void BM_ExportAllAsText(benchmark::State& state) {
    exportAll(state, dedur::EXPORT_TEXT);
}
BENCHMARK(BM_ExportAllAsText)
    ->RangeMultiplier(10)
    ->Range(100, 100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ExportAllAsBinary(benchmark::State& state) {
    exportAll(state, dedur::EXPORT_BINARY);
}
BENCHMARK(BM_ExportAllAsBinary)
    ->RangeMultiplier(10)
    ->Range(100, 100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
