#pragma once

#include <QDialog>
#include <string>

#include "code/glyphsubset.h"
#include "fontcode/fontformats.h"
#include "ui/centeronscreen.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;

namespace dedur {

struct Editor;
class Prompts;
class DotPreview;
class FontPreview;

// "Export subset for text": the glyphs of the characters some text uses, as
// C, BDF, JSON or a display library's font for the firmware, with the text
// it will write and, for a library's font, the text as the library will
// draw it.
class SubsetDialog : public ScreenCentred<QDialog> {
    Q_OBJECT
  public:
    SubsetDialog(QWidget* parent, Prompts& prompts, Editor& editor);

    void refresh();
    void loadTextFile();
    void saveToFile();

    QPlainTextEdit* textBox() const { return strings_; }
    QComboBox* formatBox() const { return format_; }
    QComboBox* layoutBox() const { return layout_; }
    QLineEdit* nameField() const { return name_; }
    QLabel* missingLabel() const { return missing_; }
    QScrollArea* missingArea() const { return missingArea_; }
    QPushButton* copyWarningButton() const { return copyWarning_; }
    QComboBox* readsBox() const { return reads_; }
    QCheckBox* remapBox() const { return remap_; }
    DotPreview* preview() const { return preview_; }
    FontPreview* fontPreview() const { return fontPreview_; }
    const std::string& output() const { return output_; }

  private:
    // The warning line, with Copy while it says something.
    void setWarning(const QString& text);
    void showFirstGlyph(const GlyphSubset& subset, GlyphFileKind kind);
    // The glyph files a subset is made of.
    struct GlyphBytes {
        std::string file, ascii, symbol, symbolSupp;
    };
    // The subset in a library's font format, and the text as it draws it.
    void makeLibraryFont(FontFormat format, const GlyphSubset& subset, const GlyphBytes& bytes,
                         const std::string& name);

    Prompts& prompts_;
    Editor& editor_;
    std::string output_;
    QPlainTextEdit* strings_;
    QComboBox* format_;
    QComboBox* layout_;
    QLineEdit* name_;
    QLabel* missing_;
    QScrollArea* missingArea_;
    QPushButton* copyWarning_;
    QComboBox* reads_;
    QCheckBox* remap_;
    DotPreview* preview_;
    FontPreview* fontPreview_;
    QPlainTextEdit* view_;
};

} // namespace dedur
