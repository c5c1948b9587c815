// A subset of the 24x24 Big5 file for N characters of text, its steps apart,
// beside reading the glyph file twice: the subset reads the file once and
// should cost less than a second reading.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "base/fileread.h"
#include "code/glyphsubset.h"
#include "fonts/big5.h"

namespace {

constexpr auto Kind = dedur::GlyphFileKind::Big5_24x24;

// A glyph file of random dots, written once to the temporary folder.
const std::string& glyphFilePath() {
    static const std::string path = [] {
        const dedur::GlyphFileShape s = dedur::glyphFileShape(Kind);
        std::string bytes(static_cast<size_t>(s.records * s.recordBytes), '\0');
        std::mt19937 random(1);
        for (char& b : bytes) b = static_cast<char>(random());
        const std::string p =
            (std::filesystem::temp_directory_path() / "dedur-bench-STD24.fon").string();
        std::FILE* f = std::fopen(p.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return p;
    }();
    return path;
}

std::string readGlyphFile() {
    std::string bytes;
    if (dedur::readFileLimited(glyphFilePath(), size_t{1} << 21, bytes) !=
        dedur::FileReadStatus::Ok)
        std::abort();
    return bytes;
}

// The first `count` characters of the file, as UTF-8 text.
std::string textOf(int count) {
    std::string text;
    for (int r = 0, n = 0; n < count && r < dedur::Big5GlyphCount; ++r) {
        const long c = dedur::codePointOfRecord(Kind, r);
        if (c < 0) continue;
        text += dedur::utf8(static_cast<char32_t>(c));
        ++n;
    }
    return text;
}

void BM_ReadGlyphFileTwice(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(readGlyphFile());
        benchmark::DoNotOptimize(readGlyphFile());
    }
}
BENCHMARK(BM_ReadGlyphFileTwice)->Unit(benchmark::kMicrosecond);

// Reading the file and gathering the glyphs of the text's characters.
void BM_GatherSubset(benchmark::State& state) {
    const std::string text = textOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::vector<char32_t> characters;
        size_t badAt = 0;
        dedur::distinctCharacters(text, characters, badAt);
        benchmark::DoNotOptimize(
            dedur::makeSubset(readGlyphFile(), Kind, dedur::CodeLayout::RowsMsb, characters));
    }
}
BENCHMARK(BM_GatherSubset)->Arg(500)->Arg(5000)->Arg(13000)->Unit(benchmark::kMicrosecond);

// Writing the gathered glyphs as C, a megabyte at a time to a sink that
// drops them.
void BM_WriteSubsetC(benchmark::State& state) {
    const std::string text = textOf(static_cast<int>(state.range(0)));
    std::vector<char32_t> characters;
    size_t badAt = 0;
    dedur::distinctCharacters(text, characters, badAt);
    const dedur::GlyphSubset subset =
        dedur::makeSubset(readGlyphFile(), Kind, dedur::CodeLayout::RowsMsb, characters);
    size_t written = 0;
    for (auto _ : state) {
        written = 0;
        dedur::writeSubsetC(subset, "glyphs", [&written](std::string_view piece) {
            written += piece.size();
            return true;
        });
    }
    state.SetBytesProcessed(static_cast<int64_t>(written) * state.iterations());
}
BENCHMARK(BM_WriteSubsetC)->Arg(500)->Arg(5000)->Arg(13000)->Unit(benchmark::kMicrosecond);

} // namespace
