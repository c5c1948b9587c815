// Reading files with very long lines and with very many short ones: the
// pattern reader and the settings reader against counting the lines of the
// same bytes (what `wc -l` does).
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "base/fileread.h"
#include "document/patternfile.h"
#include "settings/settingsfile.h"
#include "testsupport.h"

namespace {

std::string benchPath(const char* name) {
    return (std::filesystem::temp_directory_path() /
            ("dedur-bench-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

// A pattern file whose second line is `megabytes` MB long.
std::string longLineFile(int megabytes) {
    return "PATTERN\r\n1\r\n" + std::string(static_cast<size_t>(megabytes) << 20, '1') +
           "\r\nSIZE 2 2 1 1 0 2\r\n11\r\n11\r\n";
}

// A pattern file of `lines` lines of 12 dots, in patterns of 12 x 96.
std::string shortLinesFile(int lines) {
    const int patterns = lines / 97;
    std::string text = "PATTERN\r\n" + std::to_string(patterns) + "\r\n";
    text.reserve(static_cast<size_t>(lines) * 14 + 64);
    for (int p = 0; p < patterns; ++p) {
        text += "SIZE 12 96 1 1 0 2\r\n";
        for (int row = 0; row < 96; ++row) text += "010101010101\r\n";
    }
    return text;
}

// The reference: read the file and count its line ends.
size_t countLines(const std::string& path) {
    std::string text;
    dedur::readFileLimited(path, size_t{1} << 32, text);
    size_t count = 0;
    for (const char* p = text.data();
         (p = static_cast<const char*>(std::memchr(p, '\n', text.data() + text.size() - p))); ++p) {
        ++count;
    }
    return count;
}

template <typename Read>
void readFile(benchmark::State& state, const std::string& text, const char* name, Read read) {
    const std::string path = benchPath(name);
    dedur::test::writeBytes(path, text);
    for (auto _ : state) benchmark::DoNotOptimize(read(path));
    state.SetBytesProcessed(static_cast<int64_t>(text.size()) * state.iterations());
    std::filesystem::remove(path);
}

int readPattern(const std::string& path) {
    dedur::Document doc;
    return dedur::readPatternFile(doc, path).ok() ? doc.patternCount : -1;
}

void BM_PatternFileWithALongLine(benchmark::State& state) {
    readFile(state, longLineFile(static_cast<int>(state.range(0))), "long.pat", readPattern);
}
BENCHMARK(BM_PatternFileWithALongLine)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_CountLinesOfALongLine(benchmark::State& state) {
    readFile(state, longLineFile(static_cast<int>(state.range(0))), "long.txt", countLines);
}
BENCHMARK(BM_CountLinesOfALongLine)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_PatternFileOfShortLines(benchmark::State& state) {
    readFile(state, shortLinesFile(static_cast<int>(state.range(0))), "short.pat", readPattern);
}
BENCHMARK(BM_PatternFileOfShortLines)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

void BM_CountLinesOfShortLines(benchmark::State& state) {
    readFile(state, shortLinesFile(static_cast<int>(state.range(0))), "short.txt", countLines);
}
BENCHMARK(BM_CountLinesOfShortLines)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

// Start-up reads a handful of keys from "DEDUR.INI"; here one with a long line.
void BM_SettingsWithALongLine(benchmark::State& state) {
    const std::string text =
        "[others]\r\nNOTE = " + std::string(static_cast<size_t>(state.range(0)) << 20, 'x') +
        "\r\nEDITTYPE = 2\r\n";
    readFile(state, text, "DEDUR.INI", [](const std::string& path) {
        std::string settings;
        dedur::readSettingsFile(path, settings);
        return dedur::readSetting(&settings, "others", "EDITTYPE").size();
    });
}
BENCHMARK(BM_SettingsWithALongLine)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace
