#include "fonts/fontdocument.h"

#include "document/dotpacking.h"
#include "editor.h"
#include "fonts/fontdocumentbridge.h"
#include "fonts/metricsdialog.h"
#include "grid/selection.h"
#include "ui/commandids.h"
#include "ui/editorview.h"
#include "ui/prompts.h"

namespace dedur {

namespace {

constexpr long LastCode = 0x10FFFF;

// The shape's dots kept where they stand against its box's lower-left
// corner, in a box of the new size; what falls outside is cut.
BdfGlyphShape moved(const BdfGlyphShape& from, BdfGlyphShape to) {
    to.rows.assign(packedRowBytes(to.width) * static_cast<size_t>(std::max(to.height, 0)), 0);
    const size_t fromStride = packedRowBytes(from.width), toStride = packedRowBytes(to.width);
    for (int up = 0; up < std::min(from.height, to.height); ++up) {
        const int fromRow = from.height - 1 - up, toRow = to.height - 1 - up;
        for (int x = 0; x < std::min(from.width, to.width); ++x) {
            if (!((from.rows[static_cast<size_t>(fromRow) * fromStride +
                             static_cast<size_t>(x / 8)] >>
                   (x % 8)) &
                  1))
                continue;
            to.rows[static_cast<size_t>(toRow) * toStride + static_cast<size_t>(x / 8)] |=
                static_cast<uint8_t>(1u << (x % 8));
        }
    }
    return to;
}

} // namespace

long glyphCodeOf(const QString& typed) {
    // One character stands for itself, a space too.
    const QList<uint> whole = typed.toUcs4();
    if (whole.size() == 1) return static_cast<long>(whole.front());
    const QString text = typed.trimmed();
    const auto hex = [](const QString& digits) -> long {
        bool ok = false;
        const long value = digits.toLong(&ok, 16);
        return ok && !digits.isEmpty() && digits.size() <= 6 && value >= 0 && value <= LastCode
                   ? value
                   : -1;
    };
    if (text.startsWith("U+", Qt::CaseInsensitive) || text.startsWith("0x", Qt::CaseInsensitive))
        return hex(text.mid(2));
    const QList<uint> code = text.toUcs4();
    return code.size() == 1 ? static_cast<long>(code.front()) : -1;
}

bool FontDocumentCommands::isOpen() const {
    return editor_.document.kind == DocumentKind::Font;
}

QString FontDocumentCommands::glyphLabel(int index) const {
    const BdfDocument& font = editor_.font;
    if (index < 0 || index >= static_cast<int>(font.glyphs.size())) return {};
    const BdfDocGlyph& g = font.glyphs[static_cast<size_t>(index)];
    const QString name = QString::fromLatin1(printable(g.name).c_str());
    if (g.encoding < 0) return QString("(no code) %1").arg(name);
    const bool unicode = font.encodingKind == BdfEncodingKind::Unicode ||
                         font.encodingKind == BdfEncodingKind::Unknown;
    return QString("%1%2 %3")
        .arg(unicode ? "U+" : "0x")
        .arg(QString::number(g.encoding, 16).toUpper().rightJustified(4, '0'))
        .arg(name);
}

void FontDocumentCommands::showCurrent() {
    Document& doc = editor_.document;
    editor_.currentNumber = doc.currentPattern + 1;
    view_.showNavigation(editor_.currentNumber);
    view_.setStatusText(glyphLabel(doc.currentPattern));
    view_.refreshHistoryButtons();
    view_.repaintGrid(true);
}

void FontDocumentCommands::goToGlyph(int number) {
    Document& doc = editor_.document;
    if (!isOpen()) return;
    number = std::clamp(number, 1, std::max(doc.patternCount, 1));
    if (number == doc.currentPattern + 1) return;
    view_.commitSelection();
    doc.currentPattern = number - 1;
    reloadWorkDots(doc);
    // A step of one glyph undone on another would give it the first one's dots.
    editor_.history = {};
    showCurrent();
}

void FontDocumentCommands::askGoTo() {
    if (!isOpen()) return;
    QString text;
    if (!prompts_.askText(view_.owner(), "Go to glyph", "Character or U+XXXX:", text)) return;
    const long code = glyphCodeOf(text);
    const int index = code < 0 ? -1 : editor_.font.glyphIndexOf(code);
    if (index < 0) {
        prompts_.showMessage(view_.owner(),
                             {formatText("The font has no glyph for \"%s\"",
                                         printable(text.left(40).toStdString()).c_str()),
                              "Go to glyph", MessageButtons::Ok, MessageIcon::Question});
        return;
    }
    goToGlyph(index + 1);
}

void FontDocumentCommands::typedText(const QString& text) {
    const QList<uint> codes = text.toUcs4();
    if (!isOpen() || codes.size() != 1 || codes.front() < 0x20) return;
    const int index = editor_.font.glyphIndexOf(static_cast<long>(codes.front()));
    if (index < 0) {
        prompts_.beep();
        return;
    }
    goToGlyph(index + 1);
}

void FontDocumentCommands::reshape(const BdfGlyphShape& shape) {
    Document& doc = editor_.document;
    view_.commitSelection();
    pushUndo(editor_.history, doc, editor_.selection);
    if (failed(reframeCurrentGlyph(doc, editor_.font, shape))) {
        editor_.history.undoBuffer.pop_back();
        return;
    }
    doc.modifiedFlag = true;
    showCurrent();
}

void FontDocumentCommands::metrics() {
    if (!isOpen()) return;
    view_.commitSelection();
    const BdfGlyphShape now = currentGlyphShape(editor_.document);
    MetricsDialog dialog(view_.owner(), glyphLabel(editor_.document.currentPattern), now);
    if (view_.showDialog(&dialog) != 1) return;
    const BdfGlyphShape chosen = moved(now, dialog.chosen());
    if (chosen.width == now.width && chosen.height == now.height && chosen.xOffset == now.xOffset &&
        chosen.yOffset == now.yOffset && chosen.advance == now.advance) {
        return;
    }
    reshape(chosen);
}

void FontDocumentCommands::setAdvance(int advance) {
    if (!isOpen()) return;
    BdfGlyphShape shape = currentGlyphShape(editor_.document);
    if (shape.advance == advance) return;
    shape.advance = advance;
    reshape(shape);
}

void FontDocumentCommands::addGlyph() {
    if (!isOpen()) return;
    QString text;
    if (!prompts_.askText(view_.owner(), "Add glyph", "Character or U+XXXX (to U+10FFFF):", text))
        return;
    const long code = glyphCodeOf(text);
    const int there = code < 0 ? -1 : editor_.font.glyphIndexOf(code);
    if (code < 0 || there >= 0) {
        prompts_.showMessage(
            view_.owner(),
            {there >= 0 ? formatText("The font has a glyph for U+%04lX already", code)
                        : formatText("\"%s\" is neither one character nor U+0000 to U+10FFFF",
                                     printable(text.left(40).toStdString()).c_str()),
             "Add glyph", MessageButtons::Ok, MessageIcon::Question});
        if (there >= 0) goToGlyph(there + 1);
        return;
    }
    view_.commitSelection();
    const int index = addFontGlyph(editor_.document, editor_.font, code);
    if (index < 0) {
        prompts_.showMessage(view_.owner(), {"The font cannot take another glyph", "Add glyph",
                                             MessageButtons::Ok, MessageIcon::Question});
        return;
    }
    editor_.history = {};
    showCurrent();
}

void FontDocumentCommands::deleteGlyph() {
    Document& doc = editor_.document;
    if (!isOpen()) return;
    if (doc.patternCount <= 1) {
        prompts_.beep();
        return;
    }
    // Undo keeps one glyph's steps, not the list's: deleting asks instead.
    const Message question{formatText("Delete glyph %s?\nThis cannot be undone.",
                                      glyphLabel(doc.currentPattern).toStdString().c_str()),
                           "Delete glyph", MessageButtons::YesNo, MessageIcon::Question};
    if (prompts_.showMessage(view_.owner(), question) != IDYES) return;
    view_.commitSelection();
    endFloatingBlock(editor_.selection, false);
    if (!deleteFontGlyph(doc, editor_.font)) return;
    editor_.history = {};
    showCurrent();
}

} // namespace dedur
