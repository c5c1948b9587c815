#include "fontgen.h"

#include <filesystem>
#include <functional>

#include "base/safewrite.h"
#include "document/patternfile.h"
#include "fonts/big5.h"
#include "fonts/big5codec.h"
#include "fonts/glyphfile.h"
#include "glyphrenderer.h"
#include "settings/settingsfile.h"

namespace dedur::fontgen {

namespace {

// WenQuanYi Zen Hei Sharp, the face of the collection with bitmap strikes.
constexpr long WenQuanYiSharpFace = 2;

bool isSpace(char32_t c) {
    return c == 0x20 || c == 0xA0 || c == 0x3000;
}

// Box drawing and block elements join their neighbours: their strokes run to
// the cell's edges even where the font draws them a pixel short.
bool isBoxDrawing(char32_t c) {
    return c >= 0x2500 && c <= 0x259F;
}

void stretchToEdges(Cell& cell) {
    const int w = cell.width;
    const int h = cell.height;
    auto dot = [&cell, w](int x, int y) -> uint8_t& {
        return cell.dots[static_cast<size_t>(y * w + x)];
    };
    for (int y = 0; y < h; ++y) {
        int last = w - 1;
        while (last > 0 && !dot(last, y)) --last;
        if (last >= w - 3 && dot(last, y))
            for (int x = last; x < w; ++x) dot(x, y) = 1;
        int first = 0;
        while (first < w - 1 && !dot(first, y)) ++first;
        if (first <= 2 && dot(first, y))
            for (int x = 0; x <= first; ++x) dot(x, y) = 1;
    }
    for (int x = 0; x < w; ++x) {
        int last = h - 1;
        while (last > 0 && !dot(x, last)) --last;
        if (last >= h - 3 && dot(x, last))
            for (int y = last; y < h; ++y) dot(x, y) = 1;
        int first = 0;
        while (first < h - 1 && !dot(x, first)) ++first;
        if (first <= 2 && dot(x, first))
            for (int y = 0; y <= first; ++y) dot(x, y) = 1;
    }
}

// A source font and whether it is addressed by Big5 code instead of Unicode.
struct Source {
    GlyphRenderer* renderer;
    bool byBig5Code;
};

// The next Big5 code after `code`, in code order (trail bytes 40..7E, A1..FE).

class FileBuilder {
  public:
    FileBuilder(const std::string& name, int width, int height) : cell_(width, height) {
        report_.name = name;
        recordSize_ = width / 8 * height;
    }

    // Record `index` shows `character` (Big5 `code` when known).
    void add(size_t index, std::optional<char32_t> character, uint32_t code,
             const std::vector<Source>& sources) {
        if (bytes_.size() < (index + 1) * recordSize_) bytes_.resize((index + 1) * recordSize_, 0);
        cell_.clear();
        bool found = false;
        for (const Source& s : sources) {
            if (!s.byBig5Code && !character) continue;
            cell_.clear();
            if (!s.renderer->render(s.byBig5Code ? code : static_cast<uint32_t>(*character), cell_))
                continue;
            // An empty picture of a visible character is no glyph at all.
            if (cell_.blank() && !(character && isSpace(*character))) continue;
            found = true;
            break;
        }
        if (!found) {
            cell_.clear();
            if (!(character && isSpace(*character))) ++report_.missing;
        }
        if (found && character && isBoxDrawing(*character)) stretchToEdges(cell_);
        if (cell_.clipped) ++report_.clipped;
        const std::vector<uint8_t> record = cell_.record();
        std::copy(record.begin(), record.end(),
                  bytes_.begin() + static_cast<long>(index * recordSize_));
        ++report_.records;
    }

    // Room for `count` records (a blank record 0 where the file has one).
    void reserve(size_t count) { bytes_.resize(count * recordSize_, 0); }

    // Anything at the name is kept, a link to nothing too. With force the
    // file is replaced, but a link at a glyph file's name is refused, never
    // written through: it may point at anything.
    bool check(const std::string& directory, bool force, std::string& error) {
        path_ = makeWorkPath(directory, report_.name);
        std::error_code statusError;
        if (!force && std::filesystem::symlink_status(path_, statusError).type() !=
                          std::filesystem::file_type::not_found) {
            report_.kept = true;
            return true;
        }
        if (const Outcome outcome = checkWritable(path_, FileRole::Program); !outcome.ok()) {
            error = "cannot write " + path_ + ": " + outcome.reason();
            return false;
        }
        return true;
    }

    bool write(std::string& error) {
        if (report_.kept) return true;
        const std::string text(bytes_.begin(), bytes_.end());
        if (const Outcome outcome = writeFileSafely(path_, text, FileRole::Program);
            !outcome.ok()) {
            error = "cannot write " + path_ + ": " + outcome.reason();
            return false;
        }
        return true;
    }

    const FileReport& report() const { return report_; }

  private:
    Cell cell_;
    std::string path_;
    size_t recordSize_;
    std::vector<uint8_t> bytes_;
    FileReport report_;
};

} // namespace

Result makeFonts(const std::string& directory, bool force, const FontSources& sources,
                 const Progress& progress) {
    Result result;
    std::error_code fsError;
    if (!std::filesystem::is_directory(directory, fsError)) {
        result.error = directory + " is not a directory";
        return result;
    }
    std::string error;
    auto wqy15 = openFreeTypeFont(sources.wenQuanYi, WenQuanYiSharpFace, 15, 0, 15, error);
    auto unifont15 = wqy15 ? openFreeTypeFont(sources.unifont, 0, 0, 15, 15, error) : nullptr;
    auto taipei24 = unifont15 ? openFreeTypeFont(sources.taipei24, 0, 24, 0, 24, error) : nullptr;
    auto wqy24 = taipei24 ? openFreeTypeFont(sources.wenQuanYi, 0, 0, 24, 24, error) : nullptr;
    auto console = wqy24 ? openConsoleFont(sources.consoleFont, error) : nullptr;
    if (!console) {
        result.error = error + " (Debian packages: fonts-wqy-zenhei, fonts-unifont, "
                               "xfonts-intl-chinese, console-setup-linux)";
        return result;
    }
    const std::vector<Source> small = {{wqy15.get(), false}, {unifont15.get(), false}};
    const std::vector<Source> large = {{taipei24.get(), true}, {wqy24.get(), false}};
    const std::vector<Source> ascii = {{console.get(), false}};

    constexpr int AsciiCount = 127;
    constexpr int SymbolCount = 407;
    constexpr int SymbolSuppCount = 364;
    // A step is a character drawn (into both Big5 files at once).
    const int total = Big5GlyphCount + AsciiCount + SymbolCount + SymbolSuppCount;
    int done = 0;
    auto stepped = [&](int steps) {
        const int before = done;
        done += steps;
        // Told about every 256 steps: often enough for a smooth bar, rarely
        // enough to cost nothing.
        if (!progress || (before / 256 == done / 256 && done != total)) return true;
        if (progress(done, total)) return true;
        result.cancelled = true;
        result.error = "stopped before any file was written";
        return false;
    };
    if (progress && !progress(0, total)) {
        result.cancelled = true;
        result.error = "stopped before any file was written";
        return result;
    }

    std::vector<FileBuilder> files;
    files.emplace_back(Std16x15FileName, 16, 15);
    files.emplace_back(Std24FileName, 24, 24);
    for (int number = 1; number <= Big5GlyphCount; ++number) {
        if (!stepped(1)) return result;
        const uint16_t code = glyphNumberToCode(number);
        const auto character = decodeBig5(code >> 8, code & 0xFF);
        files[0].add(static_cast<size_t>(number - 1), character, code, small);
        files[1].add(static_cast<size_t>(number - 1), character, code, large);
    }
    files.emplace_back(AsciiFileName, 8, 15);
    files.back().reserve(AsciiCount + 1);
    for (char32_t c = 1; c <= AsciiCount; ++c) files.back().add(c, c, c, ascii);
    if (!stepped(AsciiCount)) return result;

    // The symbol files: record n is the n-th code from their first code on.
    auto symbols = [&](const char* name, uint16_t first, int count) {
        files.emplace_back(name, 16, 15);
        files.back().reserve(static_cast<size_t>(count) + 1);
        uint16_t code = first;
        for (int n = 1; n <= count; ++n, code = nextBig5(code)) {
            files.back().add(static_cast<size_t>(n), decodeBig5(code >> 8, code & 0xFF), code,
                             small);
        }
        return stepped(count);
    };
    if (!symbols(SpecialFileName, 0xA140, SymbolCount)) return result;
    if (!symbols(SpecialSuppFileName, 0xC6A1, SymbolSuppCount)) return result;

    // Every file is checked before the first is written, so that a refusal
    // leaves the folder as it was.
    for (FileBuilder& file : files) {
        if (!file.check(directory, force, result.error)) return result;
    }
    for (FileBuilder& file : files) {
        if (!file.write(result.error)) return result;
        result.files.push_back(file.report());
    }
    result.ok = true;
    return result;
}

} // namespace dedur::fontgen
