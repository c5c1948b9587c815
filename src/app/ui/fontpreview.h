#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "fonts/bdf.h"

namespace dedur {

// Where the font a library draws differs from the font it was made of, in
// dots of a line of the text: x from the line's first pen position, y from
// the baseline down (the row just above the baseline is -1).
struct FontPreviewMark {
    enum Kind {
        OnlyDrawn,   // a dot the library draws that the source has not
        OnlySource,  // a dot of the source the library leaves out
        Advance,     // the pen stands elsewhere after this glyph (x: where the library's stands)
        OutsideLine, // a dot past the library's line but within the source's
    };
    Kind kind;
    int line;
    int x;
    int y;
    bool operator==(const FontPreviewMark&) const = default;
};

// Some text drawn twice, magnified, line by line: with the source font
// (the glyph file's) and with the font as a library will draw it (decoded
// from the bytes written for it), with the differences marked. A refusal
// to write the font shows its reason instead.
class FontPreview : public QWidget {
    Q_OBJECT
  public:
    explicit FontPreview(QWidget* parent = nullptr);

    // `sourceName` names the upper line of each pair ("the glyph file"),
    // `library` who draws the lower one ("LVGL").
    void setFonts(const std::u32string& text, const BdfFont& source, const QString& sourceName,
                  const BdfFont& drawn, const QString& library);
    void setRefusal(const QString& why);
    void clear();

    const std::vector<FontPreviewMark>& marks() const { return marks_; }
    const QString& refusal() const { return refusal_; }
    int lines() const { return static_cast<int>(lines_.size()); }
    // The widget pixel at the centre of a dot of a line, in the source's
    // band or the library's (as last painted).
    QPoint dotCentre(int line, bool drawnBand, int x, int y) const;
    // Dots magnified this many times (as last painted).
    int scale() const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    using Dots = std::vector<std::pair<int, int>>; // (y, x), sorted
    struct Line {
        Dots source;
        Dots drawn;
        int top = 0, bottom = 0; // rows from the baseline, bottom past the end
    };
    // The legend's keys: a mark's colour and what it means, placed.
    struct Key {
        QColor colour;
        bool outline;
        QString what;
        QRect place;
    };
    std::vector<Key> legend() const;
    int legendHeight() const;
    int bandTop(int line, bool drawnBand) const;

    std::vector<Line> lines_;
    std::vector<FontPreviewMark> marks_;
    int left_ = 0, right_ = 0; // columns of every line, right past the end
    QString sourceName_;
    QString library_;
    QString refusal_;
};

} // namespace dedur
