// The panel data export of all patterns as text. The panel has 48 COM lines,
// so the largest pattern that fits is 96 x 48.
#include <benchmark/benchmark.h>

#include "benchdocument.h"
#include "grid/selection.h"
#include "panel/panelexport.h"

namespace {

void BM_ExportAllAsText(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    dedur::Document doc = dedur::bench::randomDocument(count, 96, 48);
    const dedur::Selection none;
    const dedur::PanelRange range = dedur::parsePanelRange(dedur::RangeChoice::All, "", count, 0);
    size_t bytes = 0;
    for (auto _ : state) {
        const dedur::ExportOutput out =
            dedur::buildPanelExport(doc, none, range.panelFlags, false, dedur::EXPORT_TEXT);
        if (!out.error.empty()) state.SkipWithError(out.error.text.c_str());
        bytes = out.bytes.size();
        benchmark::DoNotOptimize(out.bytes.data());
    }
    state.counters["output_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ExportAllAsText)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportAllAsBinary(benchmark::State& state) {
    dedur::Document doc = dedur::bench::randomDocument(10000, 96, 48);
    const dedur::Selection none;
    const dedur::PanelRange range = dedur::parsePanelRange(dedur::RangeChoice::All, "", 10000, 0);
    for (auto _ : state) {
        const dedur::ExportOutput out =
            dedur::buildPanelExport(doc, none, range.panelFlags, false, dedur::EXPORT_BINARY);
        benchmark::DoNotOptimize(out.bytes.data());
    }
}
BENCHMARK(BM_ExportAllAsBinary)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
