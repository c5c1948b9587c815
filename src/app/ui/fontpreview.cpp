#include "ui/fontpreview.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <unordered_map>

#include "base/limits.h"

namespace dedur {

namespace {

constexpr int Margin = 6;
constexpr int PairGap = 4;  // pixels between a line's two bands
constexpr int LineGap = 12; // pixels between one line's pair and the next

const QColor Unlit(0xF4, 0xF4, 0xF4);
const QColor Baseline(0xA8, 0xC4, 0xE8);
// As the code dialog's preview marks a dot that differs.
const QColor LitWrong(0xB0, 0x10, 0x10);
const QColor DarkWrong(0xF2, 0xA8, 0xA8);
const QColor PenMoved(0xE0, 0x80, 0x00);

using GlyphIndex = std::unordered_map<long, const BdfGlyph*>;

GlyphIndex indexOf(const BdfFont& font) {
    GlyphIndex index;
    index.reserve(font.glyphs.size());
    for (const BdfGlyph& g : font.glyphs) index.emplace(g.encoding, &g);
    return index;
}

const BdfGlyph* glyphOf(const GlyphIndex& index, char32_t c) {
    const auto at = index.find(static_cast<long>(c));
    return at == index.end() ? nullptr : at->second;
}

int advanceOf(const BdfGlyph* g) {
    if (!g) return 0;
    return g->advance >= 0 ? g->advance : g->width;
}

// The glyph's dots at the pen, as (row from the baseline, column); false
// once the preview holds all the dots it may.
bool place(const BdfGlyph* g, int pen, std::vector<std::pair<int, int>>& out, size_t& room) {
    if (!g) return true;
    const int top = -(g->yOffset + g->height);
    for (int y = 0; y < g->height; ++y) {
        for (int x = 0; x < g->width; ++x) {
            const size_t i =
                static_cast<size_t>(y) * static_cast<size_t>(g->width) + static_cast<size_t>(x);
            if (i >= g->dots.size() || g->dots[i] != '1') continue;
            if (room == 0) return false;
            --room;
            out.emplace_back(top + y, pen + g->xOffset + x);
        }
    }
    return true;
}

} // namespace

FontPreview::FontPreview(QWidget* parent) : QWidget(parent) {
    setMinimumSize(260, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void FontPreview::clear() {
    lines_.clear();
    marks_.clear();
    refusal_.clear();
    update();
}

void FontPreview::setRefusal(const QString& why) {
    clear();
    refusal_ = why;
    update();
}

void FontPreview::setFonts(const std::u32string& text, const BdfFont& source,
                           const QString& sourceName, const BdfFont& drawn,
                           const QString& library) {
    clear();
    sourceName_ = sourceName;
    library_ = library;
    const GlyphIndex sourceGlyphs = indexOf(source);
    const GlyphIndex drawnGlyphs = indexOf(drawn);
    size_t room = limits::PreviewDots;
    left_ = 0;
    right_ = 1;
    size_t start = 0;
    while (start < text.size() && lines_.size() < limits::PreviewTextLines && room > 0) {
        size_t end = text.find(U'\n', start);
        if (end == std::u32string::npos) end = text.size();
        std::u32string_view characters(text.data() + start, end - start);
        if (!characters.empty() && characters.back() == U'\r') characters.remove_suffix(1);
        start = end + 1;
        if (characters.size() > limits::PreviewLineCharacters) {
            characters = characters.substr(0, limits::PreviewLineCharacters);
        }
        const int number = static_cast<int>(lines_.size());
        Line line;
        int sourcePen = 0, drawnPen = 0;
        for (char32_t c : characters) {
            const BdfGlyph* s = glyphOf(sourceGlyphs, c);
            const BdfGlyph* d = glyphOf(drawnGlyphs, c);
            if (!place(s, sourcePen, line.source, room) || !place(d, drawnPen, line.drawn, room)) {
                break;
            }
            sourcePen += advanceOf(s);
            drawnPen += advanceOf(d);
            if (advanceOf(s) != advanceOf(d)) {
                marks_.push_back({FontPreviewMark::Advance, number, drawnPen, 0});
            }
            right_ = std::max({right_, sourcePen, drawnPen});
        }
        std::sort(line.source.begin(), line.source.end());
        line.source.erase(std::unique(line.source.begin(), line.source.end()), line.source.end());
        std::sort(line.drawn.begin(), line.drawn.end());
        line.drawn.erase(std::unique(line.drawn.begin(), line.drawn.end()), line.drawn.end());

        line.top = -std::max(source.ascent, drawn.ascent);
        line.bottom = std::max({source.descent, drawn.descent, 0});
        for (const Dots* dots : {&line.source, &line.drawn}) {
            for (const auto& [y, x] : *dots) {
                line.top = std::min(line.top, y);
                line.bottom = std::max(line.bottom, y + 1);
                left_ = std::min(left_, x);
                right_ = std::max(right_, x + 1);
            }
        }
        // Both lists are sorted: one walk finds the dots only one of them has.
        Dots onlyDrawn, onlySource;
        std::set_difference(line.drawn.begin(), line.drawn.end(), line.source.begin(),
                            line.source.end(), std::back_inserter(onlyDrawn));
        std::set_difference(line.source.begin(), line.source.end(), line.drawn.begin(),
                            line.drawn.end(), std::back_inserter(onlySource));
        for (const auto& [y, x] : onlyDrawn) {
            marks_.push_back({FontPreviewMark::OnlyDrawn, number, x, y});
        }
        for (const auto& [y, x] : onlySource) {
            marks_.push_back({FontPreviewMark::OnlySource, number, x, y});
        }
        // A line shorter than the source's cuts what stands past it.
        if (drawn.ascent + drawn.descent > 0) {
            for (const auto& [y, x] : line.drawn) {
                const bool pastDrawn = y < -drawn.ascent || y >= drawn.descent;
                const bool withinSource = y >= -source.ascent && y < source.descent;
                if (pastDrawn && withinSource) {
                    marks_.push_back({FontPreviewMark::OutsideLine, number, x, y});
                }
            }
        }
        lines_.push_back(std::move(line));
        // A last newline ends the last line rather than starting one.
        if (end + 1 >= text.size()) break;
    }
    update();
}

std::vector<FontPreview::Key> FontPreview::legend() const {
    std::vector<Key> keys = {{LitWrong, false, "only " + library_ + " draws it", {}},
                             {DarkWrong, false, library_ + " leaves it out", {}},
                             {PenMoved, false, "the next glyph starts elsewhere", {}},
                             {PenMoved, true, "past " + library_ + "'s line", {}}};
    // Below the line saying what the bands are, as many to a row as fit.
    const int lineSpacing = fontMetrics().lineSpacing();
    int x = Margin, y = 2 + lineSpacing + 1;
    for (Key& k : keys) {
        const int w = lineSpacing + fontMetrics().horizontalAdvance(k.what) + 2;
        if (x > Margin && x + w > width() - Margin) {
            x = Margin;
            y += lineSpacing;
        }
        k.place = QRect(x, y, w, lineSpacing);
        x += w + 14;
    }
    return keys;
}

int FontPreview::legendHeight() const {
    return legend().back().place.bottom() + 6;
}

int FontPreview::scale() const {
    if (lines_.empty()) return 1;
    int rows = 0;
    for (const Line& line : lines_) rows += 2 * (line.bottom - line.top);
    const int gaps = static_cast<int>(lines_.size()) * (PairGap + LineGap);
    const int across = (width() - 2 * Margin) / std::max(1, right_ - left_);
    const int down = (height() - legendHeight() - Margin - gaps) / std::max(1, rows);
    return std::clamp(std::min(across, down), 1, 16);
}

int FontPreview::bandTop(int line, bool drawnBand) const {
    const int s = scale();
    int top = legendHeight();
    for (int i = 0; i < line; ++i) {
        top +=
            2 * (lines_[static_cast<size_t>(i)].bottom - lines_[static_cast<size_t>(i)].top) * s +
            PairGap + LineGap;
    }
    const Line& l = lines_[static_cast<size_t>(line)];
    if (drawnBand) top += (l.bottom - l.top) * s + PairGap;
    return top;
}

QPoint FontPreview::dotCentre(int line, bool drawnBand, int x, int y) const {
    if (line < 0 || line >= lines()) return {};
    const int s = scale();
    const Line& l = lines_[static_cast<size_t>(line)];
    return {Margin + (x - left_) * s + s / 2, bandTop(line, drawnBand) + (y - l.top) * s + s / 2};
}

QSize FontPreview::sizeHint() const {
    return {640, 260};
}

void FontPreview::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setClipRect(event->rect());
    const QColor text = palette().color(QPalette::WindowText);
    if (!refusal_.isEmpty()) {
        p.setPen(LitWrong);
        p.drawText(rect().adjusted(Margin, Margin, -Margin, -Margin),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, refusal_);
        return;
    }
    if (lines_.empty()) return;
    const int s = scale();
    const int lineSpacing = fontMetrics().lineSpacing();

    // The legend: what each band is, then what each mark means.
    p.setPen(text);
    p.drawText(QRect(Margin, 2, width() - 2 * Margin, lineSpacing), Qt::AlignLeft,
               QString("Each line: %1 above, as %2 draws it below").arg(sourceName_, library_));
    const int box = lineSpacing - 4;
    for (const Key& k : legend()) {
        const QRect r = k.place;
        if (k.outline) {
            p.setPen(QPen(k.colour, 2));
            p.drawRect(r.x() + 1, r.y() + 3, box - 2, box - 2);
        } else {
            p.fillRect(r.x(), r.y() + 2, box, box, k.colour);
        }
        p.setPen(text);
        p.drawText(r.adjusted(lineSpacing, 0, 0, 0), Qt::AlignLeft, k.what);
    }

    const QRect visible = event->rect();
    const auto cell = [&](int line, bool drawnBand, int dx, int dy) {
        const QPoint c = dotCentre(line, drawnBand, dx, dy);
        return QRect(c.x() - s / 2, c.y() - s / 2, s, s);
    };
    const auto dot = [&](const QRect& r, const QColor& colour) {
        if (!r.intersects(visible)) return;
        p.fillRect(s >= 4 ? r.adjusted(0, 0, -1, -1) : r, colour);
    };
    for (int i = 0; i < lines(); ++i) {
        const Line& line = lines_[static_cast<size_t>(i)];
        for (bool drawnBand : {false, true}) {
            const int top = bandTop(i, drawnBand);
            const QRect band(Margin, top, (right_ - left_) * s, (line.bottom - line.top) * s);
            p.fillRect(band, Unlit);
            const int baseline = top + (0 - line.top) * s;
            p.fillRect(
                QRect(band.left(), baseline - (s >= 4 ? 1 : 0), band.width(), s >= 4 ? 2 : 1),
                Baseline);
            for (const auto& [dy, dx] : drawnBand ? line.drawn : line.source) {
                dot(cell(i, drawnBand, dx, dy), Qt::black);
            }
        }
    }
    for (const FontPreviewMark& m : marks_) {
        const QRect r = cell(m.line, true, m.x, m.y);
        switch (m.kind) {
        case FontPreviewMark::OnlyDrawn:
            dot(r, LitWrong);
            break;
        case FontPreviewMark::OnlySource:
            dot(r, DarkWrong);
            break;
        case FontPreviewMark::OutsideLine:
            p.setPen(QPen(PenMoved, std::max(1, s / 4)));
            p.drawRect(r.adjusted(0, 0, -1, -1));
            break;
        case FontPreviewMark::Advance: {
            const Line& line = lines_[static_cast<size_t>(m.line)];
            const int top = bandTop(m.line, true);
            p.fillRect(QRect(r.left() - std::max(1, s / 4), top, std::max(2, s / 2),
                             (line.bottom - line.top) * s),
                       PenMoved);
            break;
        }
        }
    }
}

} // namespace dedur
