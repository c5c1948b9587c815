#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/centeronscreen.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace dedur {

struct Editor;
class Prompts;

// "Export Panel Data ": the LCD memory of patterns or of the floating block,
// as ".DB" text or raw bytes, into a file.
class ExportDialog : public ScreenCentred<QDialog> {
    Q_OBJECT
  public:
    ExportDialog(QWidget* parent, Prompts& prompts, Editor& editor);

    QLineEdit* fileField() const { return file_; }
    QLineEdit* rangeField() const { return range_; }
    QRadioButton* textButton() const { return text_; }
    QRadioButton* binaryButton() const { return binary_; }
    QRadioButton* selectionButton() const { return selection_; }
    QRadioButton* currentButton() const { return current_; }
    QRadioButton* allButton() const { return all_; }
    QRadioButton* numbersButton() const { return numbers_; }

    QCheckBox* screenBox() const { return screen_; }

    void browse();
    void exportNow();

  private:
    // The chosen patterns as one screen, written to `path`.
    void exportScreen(const std::string& path, const std::vector<uint8_t>& flags, int type);

    Prompts& prompts_;
    Editor& editor_;
    QLineEdit* file_;
    QLineEdit* range_;
    QRadioButton* text_;
    QRadioButton* binary_;
    QRadioButton* selection_;
    QRadioButton* current_;
    QRadioButton* all_;
    QRadioButton* numbers_;
    QCheckBox* screen_;
};

} // namespace dedur
