#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "code/codeformats.h"
#include "code/codejob.h"
#include "code/sidecar.h"
#include "fontcode/iconfont.h"
#include "ui/centeronscreen.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace dedur {

struct Editor;
class Prompts;
class DotPreview;
class FontPreview;

// "Export code": chosen patterns as code in a driver's byte layout, with the
// text as it will be written and the dots a display shows from its bytes;
// or as the icons of a display library's font, drawn as the library will
// draw them.
class CodeDialog : public ScreenCentred<QDialog> {
    Q_OBJECT
  public:
    CodeDialog(QWidget* parent, Prompts& prompts, Editor& editor);

    // The settings as they stand, as a profile keeps them.
    CodeProfile profile() const;
    void applyProfile(const CodeProfile& profile);
    // Makes the text and the preview again from the settings.
    void refresh();
    void saveToFile();
    void copyToClipboard();
    void saveAsProfile();
    // The name Save offers: the pattern's own name when one pattern is
    // chosen, else the file's, with the format's extension.
    QString suggestedFileName() const;
    // Kept in the settings for the next time the dialog opens.
    void rememberChoices();

    const std::string& text() const { return text_; }
    bool textCut() const { return cut_; }
    QComboBox* formatBox() const { return format_; }
    QComboBox* layoutBox() const { return layout_; }
    QComboBox* readsBox() const { return reads_; }
    QComboBox* profileBox() const { return profiles_; }
    QLineEdit* nameField() const { return name_; }
    QLineEdit* rangeField() const { return range_; }
    QRadioButton* allButton() const { return all_; }
    QCheckBox* invertBox() const { return invert_; }
    QCheckBox* progmemBox() const { return progmem_; }
    QLabel* problemLabel() const { return problem_; }
    // What Copy, Save or a changed layout did, said in the dialog.
    QLabel* noteLabel() const { return note_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* copyButton() const { return copy_; }
    QRadioButton* currentButton() const { return current_; }
    // The pattern the display preview shows, of several chosen.
    QComboBox* previewBox() const { return shown_; }
    DotPreview* preview() const { return preview_; }
    FontPreview* fontPreview() const { return fontPreview_; }
    QLineEdit* firstField() const { return first_; }
    QSpinBox* spacingBox() const { return spacing_; }
    QSpinBox* baselineBox() const { return baseline_; }
    QComboBox* lvglVersionBox() const { return lvglVersion_; }
    QLineEdit* foregroundField() const { return foreground_; }
    QLineEdit* backgroundField() const { return background_; }

  private:
    void fillFormats();
    void fillProfiles();
    // The dialog as it was left last: the file's profile or the last choices.
    void restoreChoices();
    // The layouts the format refuses are greyed out; with `switchLayout`
    // a refused layout gives way to the first one it takes.
    void fitLayoutToFormat(bool switchLayout);
    // The text for the settings; false (with the reason in the label) when
    // they are refused.
    bool makeText(CodeJob& job);
    // The whole code for the job, handed on a piece at a time.
    Outcome makeCode(const CodeJob& job, const CodeProfile& profile, const CodeSink& sink) const;
    void showDisplay(const CodeJob& job);
    // The icon font's options; false when the first code is not a number.
    bool iconOptions(IconFontOptions& options) const;
    bool lvglOptions(LvglImageOptions& options) const;
    void showIcons(const CodeJob& job, FontFormat format);

    Prompts& prompts_;
    Editor& editor_;
    std::string text_;         // the first limits::ShownCodeBytes of the code
    bool cut_ = false;         // the code goes on past text_
    std::string templateText_; // the chosen template, as last read
    QComboBox* profiles_;
    QRadioButton* current_;
    QRadioButton* all_;
    QRadioButton* numbers_;
    QLineEdit* range_;
    QComboBox* format_;
    QComboBox* layout_;
    QComboBox* reads_;
    QLineEdit* name_;
    QCheckBox* invert_;
    QCheckBox* progmem_;
    QPlainTextEdit* view_;
    QLabel* problem_;
    QLabel* note_;
    QPushButton* save_;
    QPushButton* copy_;
    QComboBox* shown_;
    std::vector<int> chosen_; // the numbers of the patterns the code holds
    DotPreview* preview_;
    FontPreview* fontPreview_;
    QLineEdit* first_;
    QSpinBox* spacing_;
    QSpinBox* baseline_;
    QComboBox* lvglVersion_;
    QLineEdit* foreground_;
    QLineEdit* background_;
};

} // namespace dedur
