#include "fonts/glyphlist.h"

#include "fonts/bdfdocument.h"

namespace dedur {

QString glyphRowText(const BdfDocument& font, int index) {
    const BdfDocGlyph& g = font.glyphs[static_cast<size_t>(index)];
    const QString name = QString::fromLatin1(g.name.c_str());
    if (g.encoding < 0) return QString("(none)  %1").arg(name);
    const bool unicode = font.encodingKind == BdfEncodingKind::Unicode ||
                         font.encodingKind == BdfEncodingKind::Unknown;
    const QString code = unicode ? QString("U+%1").arg(g.encoding, 4, 16, QChar('0')).toUpper()
                                 : QString("0x%1").arg(g.encoding, 4, 16, QChar('0')).toUpper();
    QString shown;
    const auto c = static_cast<char32_t>(g.encoding);
    if (unicode && g.encoding > 0x20 && g.encoding <= 0x10FFFF && !(c >= 0x7F && c < 0xA0) &&
        !(c >= 0xD800 && c < 0xE000)) {
        shown = QString::fromUcs4(&c, 1);
    }
    return QString("%1  %2  %3").arg(code, shown.isEmpty() ? QString(" ") : shown, name);
}

int GlyphListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant GlyphListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_ ||
        index.row() >= static_cast<int>(font_.glyphs.size())) {
        return {};
    }
    return glyphRowText(font_, index.row());
}

void GlyphListModel::refresh() {
    beginResetModel();
    rows_ = static_cast<int>(font_.glyphs.size());
    endResetModel();
}

GlyphList::GlyphList(const BdfDocument& font, QWidget* parent)
    : QListView(parent), model_(font, this) {
    setModel(&model_);
    // Every row is as high as the first: the view never measures 60,000 rows.
    setUniformItemSizes(true);
    setFocusPolicy(Qt::NoFocus);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setObjectName("glyphList");
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& now) {
                if (!showing_ && now.isValid()) emit glyphChosen(now.row() + 1);
            });
}

void GlyphList::showGlyph(int number) {
    const QModelIndex at = model_.index(number - 1, 0);
    if (!at.isValid()) return;
    showing_ = true;
    setCurrentIndex(at);
    scrollTo(at);
    showing_ = false;
}

} // namespace dedur
