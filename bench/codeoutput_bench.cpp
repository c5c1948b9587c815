// The code output of all patterns (96 x 48, the largest that fits the panel),
// its two halves apart: gathering the patterns' bytes in a layout, and
// writing them as C or through a template that walks every byte.
#include <benchmark/benchmark.h>

#include "benchdocument.h"
#include "code/codeformats.h"
#include "code/codetemplate.h"
#include "panel/panelexport.h"

namespace {

dedur::CodeJob jobOf(const dedur::Document& doc, dedur::CodeLayout layout) {
    const dedur::PanelRange range =
        dedur::parsePanelRange(dedur::RangeChoice::All, "", doc.patternCount, 0);
    dedur::CodeOptions options;
    options.layout = layout;
    return dedur::makeCodeJob(doc, range.panelFlags, {}, options, "bench.pat");
}

void BM_GatherBytes(benchmark::State& state) {
    const dedur::Document doc =
        dedur::bench::randomDocument(static_cast<int>(state.range(0)), 96, 48);
    const auto layout = static_cast<dedur::CodeLayout>(state.range(1));
    for (auto _ : state) benchmark::DoNotOptimize(jobOf(doc, layout));
    state.SetItemsProcessed(state.range(0) * state.iterations());
}
BENCHMARK(BM_GatherBytes)->ArgsProduct({{100, 1000, 10000}, {0, 2}})->Unit(benchmark::kMillisecond);

void BM_WriteC(benchmark::State& state) {
    const dedur::Document doc =
        dedur::bench::randomDocument(static_cast<int>(state.range(0)), 96, 48);
    const dedur::CodeJob job = jobOf(doc, dedur::CodeLayout::RowsMsb);
    std::string out;
    for (auto _ : state) {
        if (!dedur::writeCode(job, dedur::CodeFormat::C, out).ok()) state.SkipWithError("refused");
    }
    state.SetBytesProcessed(static_cast<int64_t>(out.size()) * state.iterations());
}
BENCHMARK(BM_WriteC)->RangeMultiplier(10)->Range(100, 10000)->Unit(benchmark::kMillisecond);

void BM_TemplateEveryByte(benchmark::State& state) {
    const dedur::Document doc =
        dedur::bench::randomDocument(static_cast<int>(state.range(0)), 96, 48);
    const dedur::CodeJob job = jobOf(doc, dedur::CodeLayout::RowsMsb);
    const std::string text = "{{#patterns}}{{name}}\n{{#bytes}}{{index}}: {{bin}} ${{hex}} "
                             "{{value}}\n{{/bytes}}{{/patterns}}";
    std::string out;
    for (auto _ : state) {
        if (!dedur::renderCodeTemplate(job, text, "bench", out).ok()) {
            state.SkipWithError("refused");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(out.size()) * state.iterations());
}
BENCHMARK(BM_TemplateEveryByte)
    ->RangeMultiplier(10)
    ->Range(100, 10000)
    ->Unit(benchmark::kMillisecond);

} // namespace
