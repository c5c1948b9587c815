#include "glyphrenderer.h"

#include <algorithm>
#include <map>
#include <zlib.h>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace dedur::fontgen {

bool Cell::blank() const {
    return std::all_of(dots.begin(), dots.end(), [](uint8_t d) { return d == 0; });
}

void Cell::clear() {
    std::fill(dots.begin(), dots.end(), 0);
    clipped = false;
}

std::vector<uint8_t> Cell::record() const {
    const int bytesPerRow = width / 8;
    std::vector<uint8_t> bytes(static_cast<size_t>(bytesPerRow * height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (dots[static_cast<size_t>(y * width + x)]) {
                bytes[static_cast<size_t>(y * bytesPerRow + x / 8)] |=
                    static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    return bytes;
}

namespace {

class FreeTypeRenderer : public GlyphRenderer {
  public:
    ~FreeTypeRenderer() override {
        if (face_) FT_Done_Face(face_);
        if (library_) FT_Done_FreeType(library_);
    }

    bool open(const std::string& path, long faceIndex, int strikeHeight, int pixelSize,
              int cellHeight, std::string& error) {
        if (FT_Init_FreeType(&library_) || FT_New_Face(library_, path.c_str(), faceIndex, &face_)) {
            error = "cannot open the font " + path;
            return false;
        }
        if (strikeHeight > 0) {
            int strike = -1;
            for (int i = 0; i < face_->num_fixed_sizes; ++i) {
                if (face_->available_sizes[i].height == strikeHeight) strike = i;
            }
            if (strike < 0 || FT_Select_Size(face_, strike)) {
                error = path + " has no " + std::to_string(strikeHeight) + "-pixel strike";
                return false;
            }
        } else if (FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelSize))) {
            error = "cannot size the font " + path;
            return false;
        }
        if (face_->num_charmaps > 0 && !face_->charmap) FT_Set_Charmap(face_, face_->charmaps[0]);
        // One baseline for the whole font: its ascent and descent centred in the cell.
        const int ascent = static_cast<int>((face_->size->metrics.ascender + 32) >> 6);
        const int descent = static_cast<int>((-face_->size->metrics.descender + 32) >> 6);
        baseline_ = ascent + (cellHeight - (ascent + descent)) / 2;
        return true;
    }

    bool render(uint32_t code, Cell& cell) override {
        const FT_UInt index = FT_Get_Char_Index(face_, code);
        if (index == 0) return false;
        if (FT_Load_Glyph(face_, index,
                          FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME)) {
            return false;
        }
        const FT_GlyphSlot slot = face_->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        const int advance = static_cast<int>((slot->advance.x + 32) >> 6);
        // Centred by advance, so that full-width glyphs keep their spacing.
        const int x0 = (cell.width - advance) / 2 + slot->bitmap_left;
        const int y0 = baseline_ - slot->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
            for (unsigned col = 0; col < bitmap.width; ++col) {
                bool ink;
                if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                    ink = (line[col / 8] >> (7 - col % 8)) & 1;
                } else {
                    ink = line[col] >= 128;
                }
                if (!ink) continue;
                const int x = x0 + static_cast<int>(col);
                const int y = y0 + static_cast<int>(row);
                if (x < 0 || y < 0 || x >= cell.width || y >= cell.height) {
                    cell.clipped = true;
                    continue;
                }
                cell.dots[static_cast<size_t>(y * cell.width + x)] = 1;
            }
        }
        return true;
    }

  private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    int baseline_ = 0;
};

class ConsoleFontRenderer : public GlyphRenderer {
  public:
    bool open(const std::string& path, std::string& error) {
        gzFile file = gzopen(path.c_str(), "rb");
        if (!file) {
            error = "cannot open the console font " + path;
            return false;
        }
        std::vector<uint8_t> data;
        uint8_t chunk[8192];
        int got;
        while ((got = gzread(file, chunk, sizeof chunk)) > 0)
            data.insert(data.end(), chunk, chunk + got);
        gzclose(file);
        if (!parse(data)) {
            error = path + " is not a PSF console font of 8-dot glyphs";
            return false;
        }
        return true;
    }

    bool render(uint32_t code, Cell& cell) override {
        const auto it = glyphOf_.find(code);
        if (it == glyphOf_.end()) return false;
        const uint8_t* rows = glyphs_.data() + static_cast<size_t>(it->second) * height_;
        for (int y = 0; y < std::min(height_, cell.height); ++y) {
            for (int x = 0; x < std::min(8, cell.width); ++x) {
                if ((rows[y] >> (7 - x)) & 1)
                    cell.dots[static_cast<size_t>(y * cell.width + x)] = 1;
            }
        }
        if (height_ > cell.height) cell.clipped = true;
        return true;
    }

  private:
    static uint32_t le32(const uint8_t* p) {
        return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
    }

    // Where the glyphs and the Unicode table lie in a PSF1 or PSF2 file.
    struct Layout {
        size_t count = 0;
        size_t offset = 0;
        size_t table = 0;
        bool psf2 = false;
        bool unicode = false;
    };

    bool readLayout(const std::vector<uint8_t>& d, Layout& l) {
        if (d.size() >= 4 && d[0] == 0x36 && d[1] == 0x04) {
            l.count = (d[2] & 1) ? 512 : 256;
            l.unicode = d[2] & 2;
            height_ = d[3];
            l.offset = 4;
            l.table = l.offset + l.count * static_cast<size_t>(height_);
        } else if (d.size() >= 32 && le32(d.data()) == 0x864AB572u) {
            l.psf2 = true;
            l.offset = le32(d.data() + 8);
            l.unicode = le32(d.data() + 12) & 1;
            l.count = le32(d.data() + 16);
            const uint32_t charSize = le32(d.data() + 20);
            height_ = static_cast<int>(le32(d.data() + 24));
            if (le32(d.data() + 28) != 8 || charSize != static_cast<uint32_t>(height_))
                return false;
            l.table = l.offset + l.count * charSize;
        } else {
            return false;
        }
        return height_ > 0 && l.table <= d.size();
    }

    bool parse(const std::vector<uint8_t>& d) {
        Layout l;
        if (!readLayout(d, l)) return false;
        glyphs_.assign(d.begin() + static_cast<long>(l.offset),
                       d.begin() + static_cast<long>(l.table));
        if (!l.unicode) {
            for (uint32_t i = 0; i < l.count; ++i) glyphOf_[i] = i;
            return true;
        }
        readUnicodeTable(d, l);
        return true;
    }

    // The Unicode table: per glyph, the characters it shows.
    void readUnicodeTable(const std::vector<uint8_t>& d, const Layout& l) {
        size_t at = l.table;
        for (uint32_t glyph = 0; glyph < l.count && at < d.size(); ++glyph) {
            bool sequence = false;
            while (at < d.size()) {
                if (!l.psf2) {
                    if (at + 1 >= d.size()) return;
                    const uint32_t u = d[at] | d[at + 1] << 8;
                    at += 2;
                    if (u == 0xFFFF) break;
                    if (u == 0xFFFE) sequence = true;
                    if (!sequence && !glyphOf_.count(u)) glyphOf_[u] = glyph;
                    continue;
                }
                const uint8_t b = d[at];
                if (b == 0xFF) {
                    ++at;
                    break;
                }
                if (b == 0xFE) {
                    sequence = true;
                    ++at;
                    continue;
                }
                // UTF-8 character.
                uint32_t u = b;
                int more = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
                if (more) u &= (0x3F >> more);
                ++at;
                while (more-- > 0 && at < d.size()) u = u << 6 | (d[at++] & 0x3F);
                if (!sequence && !glyphOf_.count(u)) glyphOf_[u] = glyph;
            }
        }
    }

    int height_ = 0;
    std::vector<uint8_t> glyphs_;
    std::map<uint32_t, uint32_t> glyphOf_;
};

} // namespace

std::unique_ptr<GlyphRenderer> openFreeTypeFont(const std::string& path, long faceIndex,
                                                int strikeHeight, int pixelSize, int cellHeight,
                                                std::string& error) {
    auto renderer = std::make_unique<FreeTypeRenderer>();
    if (!renderer->open(path, faceIndex, strikeHeight, pixelSize, cellHeight, error))
        return nullptr;
    return renderer;
}

std::unique_ptr<GlyphRenderer> openConsoleFont(const std::string& path, std::string& error) {
    auto renderer = std::make_unique<ConsoleFontRenderer>();
    if (!renderer->open(path, error)) return nullptr;
    return renderer;
}

} // namespace dedur::fontgen
