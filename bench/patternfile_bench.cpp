// Reading and writing pattern files of 100 to 100,000 patterns of 96 x 48
// dots (472 MB at the top), so that growth shows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "benchdocument.h"
#include "document/patternfile.h"

namespace {

std::string benchPath() {
    return (std::filesystem::temp_directory_path() /
            ("dedur-bench-" + std::to_string(::getpid()) + ".pat"))
        .string();
}

void BM_WritePatternFile(benchmark::State& state) {
    dedur::Document doc = dedur::bench::randomDocument(static_cast<int>(state.range(0)), 96, 48);
    const std::string path = benchPath();
    size_t bytes = 0;
    for (auto _ : state) {
        const dedur::Outcome result = dedur::writePatternFile(doc, path);
        if (!result.ok()) state.SkipWithError("write failed");
        bytes = std::filesystem::file_size(path);
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
    std::filesystem::remove(path);
}
BENCHMARK(BM_WritePatternFile)
    ->RangeMultiplier(10)
    ->Range(100, 100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ReadPatternFile(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string path = benchPath();
    dedur::Document written = dedur::bench::randomDocument(count, 96, 48);
    dedur::writePatternFile(written, path);
    written = dedur::Document{};
    const size_t bytes = std::filesystem::file_size(path);
    for (auto _ : state) {
        dedur::Document doc;
        const dedur::Outcome result = dedur::readPatternFile(doc, path);
        if (!result.ok() || doc.patternCount != count) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(doc.store.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadPatternFile)
    ->RangeMultiplier(10)
    ->Range(100, 100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Every pattern's header, as `dedur-cli info` reads them: linear in the count.
void BM_HeaderOfEveryPattern(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    dedur::Document doc = dedur::bench::randomDocument(count, 12, 12);
    for (auto _ : state) {
        int total = 0;
        for (int i = 0; i < count; ++i) {
            dedur::PatternHeader h;
            dedur::getHeader(doc, i, h);
            total += h.width;
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(static_cast<int64_t>(count) * state.iterations());
}
BENCHMARK(BM_HeaderOfEveryPattern)->RangeMultiplier(10)->Range(100, 100000);

// One step of the navigation near the end of the list: the same at any count.
void BM_StepNearTheEnd(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    dedur::Document doc = dedur::bench::randomDocument(count, 96, 48);
    int step = 0;
    for (auto _ : state) {
        doc.currentPattern = count - 1 - (step++ & 1);
        dedur::reloadWorkDots(doc);
        benchmark::DoNotOptimize(doc.workDots.data());
    }
}
BENCHMARK(BM_StepNearTheEnd)->RangeMultiplier(10)->Range(100, 100000);

} // namespace
