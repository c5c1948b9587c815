#pragma once

#include <QAbstractListModel>
#include <QListView>

namespace dedur {

struct BdfDocument;

// The glyphs of an open BDF font, one row each: code point, character and
// name. A model over the font itself, so that 60,000 glyphs cost 60,000
// rows of nothing until they scroll into view.
class GlyphListModel : public QAbstractListModel {
  public:
    explicit GlyphListModel(const BdfDocument& font, QObject* parent = nullptr)
        : QAbstractListModel(parent), font_(font) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // The glyphs were added, deleted or read anew.
    void refresh();

  private:
    const BdfDocument& font_;
    int rows_ = 0;
};

// "U+4E00  一  uni4E00": a glyph's row, the character left out where it
// would not show (controls, a font in another encoding).
QString glyphRowText(const BdfDocument& font, int index);

// The list beside the grid; choosing a row asks for that glyph (from 1).
class GlyphList : public QListView {
    Q_OBJECT
  public:
    GlyphList(const BdfDocument& font, QWidget* parent);
    GlyphListModel& model() { return model_; }
    // Marks glyph `number` (from 1) without asking for it again.
    void showGlyph(int number);

  signals:
    void glyphChosen(int number);

  private:
    GlyphListModel model_;
    bool showing_ = false;
};

} // namespace dedur
