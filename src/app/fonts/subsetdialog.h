#pragma once

#include <QDialog>
#include <string>

#include "code/glyphsubset.h"
#include "ui/centeronscreen.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace dedur {

struct Editor;
class Prompts;
class DotPreview;

// "Export subset for text": the glyphs of the characters some text uses, as
// C, BDF or JSON for the firmware, with the text it will write.
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
    QComboBox* readsBox() const { return reads_; }
    DotPreview* preview() const { return preview_; }
    const std::string& output() const { return output_; }

  private:
    void showFirstGlyph(const GlyphSubset& subset, GlyphFileKind kind);

    Prompts& prompts_;
    Editor& editor_;
    std::string output_;
    QPlainTextEdit* strings_;
    QComboBox* format_;
    QComboBox* layout_;
    QLineEdit* name_;
    QLabel* missing_;
    QComboBox* reads_;
    DotPreview* preview_;
    QPlainTextEdit* view_;
};

} // namespace dedur
